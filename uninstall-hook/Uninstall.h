// The steps of the uninstall, each usable on its own by the tests.
#pragma once
#include <windows.h>

#include <string>

namespace dunlin {

// Deletes root\key with everything below it; a subkey that cannot be deleted
// is left (with its parents), never retried forever. TRUE when the key is gone.
BOOL DeleteKeyTree(HKEY root, const char* key);

// The install folder named by the main program's App Paths entry, or empty
// when it is not one that can be removed: the value must name an existing
// folder, not a drive root, that holds Quillmate.exe.
std::string InstallFolder();
BOOL IsInstallFolder(const std::string& folder);

// Removes the folder and everything in it; links and junctions inside it are
// removed themselves, never followed.
BOOL RemoveFolderTree(const std::string& folder);

// Unregisters one component from the server file its class is registered
// with (else its file in the install folder), then removes its ProgIDs; a
// component whose ProgID is not registered is skipped.
void UnregisterComponent(const std::string& folder, const char* file, const char* progId);

// The main program's automation server: its ProgIDs, class, type library and
// App Paths entry.
void RemoveAutomationServer();

// The whole uninstall.
void Uninstall();

} // namespace dunlin
