// The update hand-off: the program writes a command file for the updater and
// starts it; when the updater has fetched files it writes their list and
// broadcasts QUI_UPD_NOTIF, and the program asks the user, copies them into
// place, names the new connectors and reloads its datastore.
#pragma once
#include <afxquill.h>

#include "UpdateList.h"

class CTrayWnd;
class ClientRegistry;

// The list the updater writes into the program's current folder, the message
// it broadcasts, and the folder below the current one that it fetches into:
// only files in that folder are taken from a list.
extern const char kUpdatedFilesList[];     // "QUIUPDATED_FILES"
extern const char kUpdateMessageName[];    // "QUI_UPD_NOTIF"
extern const char kUpdateDownloadFolder[]; // "Updates"

// Installs RunUpdater and the notification handler into the application's
// and the tray window's hooks.
void QuiInstallUpdateHandoff();

// The text of the updater's command file for the given folders (each given
// as the system names it; a trailing backslash is dropped except from a
// drive's root).
CString BuildUpdaterOptions(LPCSTR lpszCatalog, LPCSTR lpszCurrentDir, LPCSTR lpszConnectors, LPCSTR lpszImages);

// Writes the command file into the current folder and starts the updater
// named by "PintailExe" from the program's own folder. On a start, "PintailDate"
// becomes now; on a failure the command file is deleted and the date kept.
// TRUE when the updater started.
BOOL QuiStartUpdater(ClientRegistry& settings, DATE now);

// The handler of QUI_UPD_NOTIF: reads and applies the list; result 1.
LRESULT QuiOnUpdateNotify(CTrayWnd* pTrayWnd, WPARAM wParam, LPARAM lParam);

// The question before installing: message 60021, then a line for each file
// the update adds or replaces, naming those that replace a file there and
// the menu texts of every action of a connector file.
CString BuildUpdateQuestion(const UpdatePlan& plan);

// Shows the menu texts of the connector definition files among paths.
void ReportNewFiles(CStringArray& paths);
// The list text of that message: the first subtype's menu text of each
// readable definition file, ", " between, a line break after every third
// name counted from the second.
CString BuildNewConnectorList(const CStringArray& paths);
