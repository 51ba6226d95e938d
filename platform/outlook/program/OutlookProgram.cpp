// outlook.exe of the stand-in: started, it notes in the message store which
// build ran, tells whoever waits that it is up, and ends.
#include <windows.h>

#include "FileVersionInfo.h"
#include "OutlookStore.h"
#include "StandInSettings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length == sizeof path)
        return 1;
    CFileVersionInfo version(path);
    StoreRecord record{"program", "started", {}};
    record.fields.emplace_back("Version", version.GetFileVersion() ? version.GetFileVersion() : "none");
    const std::wstring store = StandInSettings::StorePath();
    bool stored = store.empty() || AppendStoreRecord(store, record);

    HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, STANDIN_STARTED_EVENT);
    if (started) {
        SetEvent(started);
        CloseHandle(started);
    }
    return stored ? 0 : 1;
}
