// The program: its one application object and its entry point.
#include "ConnectorDlg.h"
#include "OzuApp.h"

namespace {
COzuApp theApp;
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    QuiInstallConnectorDialogs();
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
