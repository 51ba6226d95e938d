// The program: its one application object and its entry point.
#include "OzuApp.h"

#ifdef QUI_WITH_WEB_EDITIONS
void QuiRegisterWebEditions();
#endif

namespace {
COzuApp theApp;
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
#ifdef QUI_WITH_WEB_EDITIONS
    QuiRegisterWebEditions();
#endif
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
