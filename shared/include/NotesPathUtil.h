// Finds the Lotus Notes program folder and puts it on the process's PATH, so
// that the Notes access server (and the libraries it loads by name) can be
// found. Compiled into the main program and the uninstall hook.
#pragma once
#include <windows.h>

class NotesPathUtil {
public:
    // Looks in order at the Notes 5.0 key's "Path", the App Paths entry of
    // notes.exe, then the folder the user once picked ("Notes Path" of the
    // product key, only while it still holds notes.exe); the first hit goes
    // on PATH (with the Notes data folder, for a hit of the Notes key).
    NotesPathUtil();

    BOOL Found() const { return m_bFound; }
    // The folder found; empty when none was.
    const char* Folder() const { return m_folder; }

    // Lets the user pick the Notes folder (through the prompt seam); a folder
    // holding notes.exe is remembered as "Notes Path" and put on PATH. TRUE
    // when such a folder was picked. Lives in NotesPathBrowse.cpp, which
    // needs the framework.
    BOOL BrowseForNotes(HWND hWndOwner);

    // Adds folder to the process's PATH unless it is already one of its
    // entries (case and a trailing backslash aside); never leaves an empty
    // entry. FALSE when the environment could not be set.
    static BOOL AppendToPath(const char* folder);

    // The REG_SZ or REG_EXPAND_SZ value `name` (null: the default value) of
    // root\subKey into out (outLen bytes), terminated and with surrounding
    // double quotes taken off; FALSE when missing, empty, of another type or
    // too long for out.
    static BOOL ReadRegText(HKEY root, const char* subKey, const char* name, char* out, DWORD outLen);

    // TRUE when folder holds a file named notes.exe.
    static BOOL HoldsNotesProgram(const char* folder);

private:
    BOOL m_bFound = FALSE;
    char m_folder[MAX_PATH] = "";
};
