// Where notes.ini is: beside the Notes program the registry names, else in
// the Notes data folder it names, or, when Notes names no program folder at
// all, on the search path.
#pragma once
#include <windows.h>

#define NOTES_REGISTRY_KEY "Software\\Lotus\\Notes\\5.0"

class FindNotesIni {
public:
    FindNotesIni();

    char registryPath[MAX_PATH];  // found through "Path", or on the search path
    char dataPath[MAX_PATH];      // found through "DataPath"
    const char* found;            // one of the two, or null
};

// One REG_SZ value of a key opened for reading; false when it cannot be read.
bool ReadRegistryText(HKEY root, const char* subKey, const char* name, char* buffer, DWORD size);
