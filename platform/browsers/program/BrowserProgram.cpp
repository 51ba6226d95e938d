// The program the shell's association names for web pages: it records how it
// was started ("launch <folder> <command line>") and, for a page file, whether
// the page was still there when it came to read it ("page <folder> arrived
// <path>" or "missing"), after "ReadDelayMs" as a browser starting cold takes.
#include <windows.h>

#include <string>

#include "StandInLog.h"

namespace {

// The one argument, without its quotes.
std::string Argument(const char* commandLine)
{
    std::string argument(commandLine);
    while (!argument.empty() && argument.back() == ' ')
        argument.pop_back();
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        argument = argument.substr(1, argument.size() - 2);
    return argument;
}

bool IsLocalPath(const std::string& text)
{
    return text.size() > 2 && (text[1] == ':' || (text[0] == '\\' && text[1] == '\\'));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int showCommand)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of('\\'));
    folder = folder.substr(folder.find_last_of('\\') + 1);
    BrowserStandIn::Log("launch " + folder + " show=" + std::to_string(showCommand) + " " + commandLine);
    const std::string page = Argument(commandLine);
    if (!IsLocalPath(page))
        return 0;
    Sleep(BrowserStandIn::Number("ReadDelayMs", 0));
    const bool there = GetFileAttributesA(page.c_str()) != INVALID_FILE_ATTRIBUTES;
    BrowserStandIn::Log("page " + folder + (there ? " arrived " : " missing ") + page);
    return 0;
}
