// Pintail.exe, the updater in its least working form. Started by the main
// program as  Pintail.exe "-f:<command file>" , it reads the command file
// (-i: catalogue, -m: list file name, -n: message name, -p: program folder,
// -c: connectors folder, -g: picture folder), fetches the files the catalogue
// names into "<-p:>\Updates", writes the list of fetched files into
// "<-p:>\<-m:>" and broadcasts the registered message named by -n:.
//
// The catalogue is a text file, one file name a line (blank lines and lines
// starting with ';' are skipped), read from a local path or an http:// URL;
// the files it names lie beside it. ".xml" files go to the connectors folder,
// pictures to the picture folder; a file whose destination already holds the
// same bytes is left out of the list.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "QuiInet.h"
#include "QuotedFields.h"

namespace {

struct Options {
    std::string catalog, listName, messageName, programDir, connectorsDir, picturesDir;
};

bool ReadFile(const std::string& path, std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// Written beside the target and moved over it once complete.
bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::string temp = path + ".part";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (ok && ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    ::DeleteFileA(temp.c_str());
    return false;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool ReadOptions(const std::string& path, Options& options)
{
    std::string text;
    if (!ReadFile(path, text))
        return false;
    for (const std::string& line : Lines(text)) {
        if (line.size() < 3 || line[0] != '-' || line[2] != ':')
            continue;   // -x, -s and the closing blank line carry nothing here
        std::string value = line.substr(3);
        switch (line[1]) {
        case 'i': options.catalog = value; break;
        case 'm': options.listName = value; break;
        case 'n': options.messageName = value; break;
        case 'p': options.programDir = value; break;
        case 'c': options.connectorsDir = value; break;
        case 'g': options.picturesDir = value; break;
        default: break;
        }
    }
    return !options.programDir.empty() && !options.listName.empty();
}

std::string InFolder(std::string folder, const std::string& name)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder + name;
}

bool EndsWith(const std::string& text, const char* tail)
{
    size_t n = std::strlen(tail);
    return text.size() >= n && _stricmp(text.c_str() + text.size() - n, tail) == 0;
}

// Only plain file names are fetched: nothing that climbs out of a folder.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

// Where the catalogue and its files come from.
class Source {
public:
    explicit Source(const std::string& catalog) : m_catalog(catalog)
    {
        m_http = _strnicmp(catalog.c_str(), "http://", 7) == 0;
        size_t slash = catalog.find_last_of(m_http ? "/" : "\\/");
        m_base = slash == std::string::npos ? std::string() : catalog.substr(0, slash + 1);
    }
    ~Source()
    {
        if (m_session)
            m_close(m_session);
        if (m_shrike)
            ::FreeLibrary(m_shrike);
    }

    bool FetchCatalog(std::string& bytes) { return Fetch(m_catalog, bytes); }
    bool FetchFile(const std::string& name, std::string& bytes) { return Fetch(m_base + name, bytes); }

private:
    bool Fetch(const std::string& where, std::string& bytes)
    {
        return m_http ? FetchHttp(where, bytes) : ReadFile(where, bytes);
    }

    // Through the download library, loaded by name from the updater's folder.
    bool FetchHttp(const std::string& url, std::string& bytes)
    {
        if (!m_session && !Connect(url))
            return false;
        char host[256] = {}, path[2048] = {}, scheme[16] = {};
        QuiUrlParts parts = {QUI_URL_PARTS_SIZE, host, sizeof host, path, sizeof path, scheme, sizeof scheme, 0};
        if (!m_crack(url.c_str(), &parts))
            return false;
        char* data = nullptr;
        int length = m_getFile(m_session, path, &data);
        bool ok = length > 0 && data;
        if (ok)
            bytes.assign(data, static_cast<size_t>(length));
        std::free(data);
        return ok;
    }

    bool Connect(const std::string& url)
    {
        if (!m_shrike) {
            char module[MAX_PATH * 2] = {};
            ::GetModuleFileNameA(nullptr, module, sizeof module - 1);
            if (char* slash = std::strrchr(module, '\\'))
                slash[1] = '\0';
            m_shrike = ::LoadLibraryA((std::string(module) + "Shrike.dll").c_str());
            if (!m_shrike)
                return false;
            m_init = reinterpret_cast<QUIINETInitProc>(::GetProcAddress(m_shrike, "QUIINETInit"));
            m_crack = reinterpret_cast<QUIINETCrackURLProc>(::GetProcAddress(m_shrike, "QUIINETCrackURL"));
            m_getFile = reinterpret_cast<QUIINETGetFileProc>(::GetProcAddress(m_shrike, "QUIINETGetFile"));
            m_close = reinterpret_cast<QUIINETCloseProc>(::GetProcAddress(m_shrike, "QUIINETClose"));
            if (!m_init || !m_crack || !m_getFile || !m_close)
                return false;
        }
        // "http://host[:port]/..."
        std::string rest = url.substr(7);
        std::string hostPort = rest.substr(0, rest.find('/'));
        std::string host = hostPort;
        int port = 80;
        size_t colon = hostPort.find(':');
        if (colon != std::string::npos) {
            host = hostPort.substr(0, colon);
            port = std::atoi(hostPort.c_str() + colon + 1);
        }
        m_session = m_init(nullptr, host.c_str(), port);
        return m_session != nullptr;
    }

    std::string m_catalog;
    std::string m_base;
    bool m_http = false;
    HMODULE m_shrike = nullptr;
    QuiHttpSession* m_session = nullptr;
    QUIINETInitProc m_init = nullptr;
    QUIINETCrackURLProc m_crack = nullptr;
    QUIINETGetFileProc m_getFile = nullptr;
    QUIINETCloseProc m_close = nullptr;
};

std::string Quoted(const std::string& text)
{
    std::vector<char> buffer(text.size() * 2 + 3);
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    return QuoteCsvField(buffer.data(), buffer.size());
}

// The fetched files' list lines; a file is fetched when its destination
// does not already hold the same bytes.
std::string FetchAll(const Options& options)
{
    Source source(options.catalog);
    std::string catalog;
    if (options.catalog.empty() || !source.FetchCatalog(catalog))
        return std::string();
    std::string downloads = InFolder(options.programDir, "Updates");
    ::CreateDirectoryA(downloads.c_str(), nullptr);
    const char* pictures[] = {".gif", ".jpg", ".jpeg", ".png", ".bmp", ".ico"};
    std::string list;
    for (const std::string& name : Lines(catalog)) {
        if (name.empty() || name[0] == ';' || !IsPlainName(name))
            continue;
        std::string folder;
        if (EndsWith(name, ".xml"))
            folder = options.connectorsDir.empty() ? options.programDir : options.connectorsDir;
        for (const char* ext : pictures)
            if (EndsWith(name, ext))
                folder = options.picturesDir.empty() ? options.programDir : options.picturesDir;
        std::string bytes, present;
        if (folder.empty() || !source.FetchFile(name, bytes))
            continue;
        std::string destination = InFolder(folder, name);
        if (ReadFile(destination, present) && present == bytes)
            continue;
        std::string fetched = InFolder(downloads, name);
        if (WriteFile(fetched, bytes))
            list += Quoted(fetched) + "," + Quoted(destination) + "\r\n";
    }
    return list;
}

std::string CommandFileOf(const char* commandLine)
{
    const char* option = std::strstr(commandLine, "-f:");
    if (!option)
        return std::string();
    std::string path(option + 3);
    size_t end = path.find('"');
    if (end != std::string::npos)
        path.resize(end);
    while (!path.empty() && path.back() == ' ')
        path.pop_back();
    return path;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    Options options;
    std::string commandFile = CommandFileOf(lpCmdLine ? lpCmdLine : "");
    if (commandFile.empty() || !ReadOptions(commandFile, options))
        return 1;
    std::string list = FetchAll(options);
    if (!WriteFile(InFolder(options.programDir, options.listName), list))
        return 2;
    if (!options.messageName.empty())
        ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA(options.messageName.c_str()), 0, 0);
    return 0;
}
