// notes.exe of the stand-in: the Notes client as far as starting it goes.
// It tells whoever waits that it started, then ends.
#include <windows.h>

#include "NotesStandIn.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, NOTES_STANDIN_STARTED_EVENT);
    if (!started)
        return 1;
    SetEvent(started);
    CloseHandle(started);
    return 0;
}
