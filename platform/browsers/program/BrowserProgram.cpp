// The program the shell's association names for web pages: it records how it
// was started ("launch <folder> <command line>") and ends.
#include <windows.h>

#include <string>

#include "StandInLog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int showCommand)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of('\\'));
    folder = folder.substr(folder.find_last_of('\\') + 1);
    BrowserStandIn::Log("launch " + folder + " show=" + std::to_string(showCommand) + " " + commandLine);
    return 0;
}
