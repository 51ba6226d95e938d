// The program: its one application object and its entry point.
#include "OzuApp.h"
#include "SelectionGrab.h"
#include "UpdateHandoff.h"

namespace {
COzuApp theApp;
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    QuiInstallSelectionGrab();
    QuiInstallUpdateHandoff();
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
