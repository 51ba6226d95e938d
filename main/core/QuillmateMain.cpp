// The program: its one application object and its entry point.
#include "OzuApp.h"

#ifdef QUI_WITH_PIM_EDITIONS
void QuiRegisterPimEditions();
#endif

namespace {
COzuApp theApp;
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
#ifdef QUI_WITH_PIM_EDITIONS
    QuiRegisterPimEditions();
#endif
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
