// The program: its one application object and its entry point.
#include "ConnectorDlg.h"
#include "OzuApp.h"
#include "SelectionGrab.h"
#include "UpdateHandoff.h"

#ifdef QUI_WITH_WEB_EDITIONS
void QuiRegisterWebEditions();
#endif

#ifdef QUI_WITH_PIM_EDITIONS
void QuiRegisterPimEditions();
#endif

namespace {
COzuApp theApp;
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    QuiInstallSelectionGrab();
    QuiInstallUpdateHandoff();
#ifdef QUI_WITH_WEB_EDITIONS
    QuiRegisterWebEditions();
#endif
    QuiInstallConnectorDialogs();
#ifdef QUI_WITH_PIM_EDITIONS
    QuiRegisterPimEditions();
#endif
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
