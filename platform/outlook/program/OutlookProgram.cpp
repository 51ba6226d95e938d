// outlook.exe of the stand-in: started, it notes in the message store which
// build ran, tells whoever waits that it is up, and ends. Started with
// "/close", it is the user closing Outlook: the session ends, and every
// object handed out before answers as an object of a server that has gone.
#include <windows.h>

#include <cstring>

#include "FileVersionInfo.h"
#include "OutlookStore.h"
#include "StandInSettings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    const bool close = commandLine && std::strstr(commandLine, "/close") != nullptr;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length == sizeof path)
        return 1;
    CFileVersionInfo version(path);
    StoreRecord record{"program", close ? "closed" : "started", {}};
    record.fields.emplace_back("Version", version.GetFileVersion() ? version.GetFileVersion() : "none");
    if (close && !StandInSettings::CloseSession())
        return 1;
    const std::wstring store = StandInSettings::StorePath();
    bool stored = store.empty() || AppendStoreRecord(store, record);
    if (close)
        return stored ? 0 : 1;

    HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, STANDIN_STARTED_EVENT);
    if (started) {
        SetEvent(started);
        CloseHandle(started);
    }
    return stored ? 0 : 1;
}
