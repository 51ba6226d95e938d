// The updater's list of fetched files applied over a scratch drive, as the
// hand-off applies it. Whatever the lines say: the item files keep their
// bytes under every name (a hard link to each stands in the connectors and
// the picture folder); nothing is written but a connector fetched into the
// connectors folder as a ".xml" file, or a fetched file into the picture
// folder under a picture's extension, each directly in its folder; only the
// download folder loses files; the result names what happened; no handle is
// left open. ResolveInFolder keeps its own promise on each line as a path.
// The first byte chooses the picture folder: its own (even) or the
// connectors folder (odd); the rest is the list.
#include "FuzzFolder.h"
#include "UpdateList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "update list broke its promise: %s\n", what);
        std::abort();
    }
}

const char kConnector[] = "<CONNECTOR MENUSTRING=\"A\">\n<SUBTYPE MENUSTRING=\"a\" ACTION=\"http://a/\" >\n"
                          "</SUBTYPE>\n</CONNECTOR>\n";

// The drive's files (host paths below the drive, as the system names them)
// and their bytes; folders end in "/".
const std::map<std::string, std::string> kLayout = {
    {"Quill/", ""},
    {"Quill/QuiSystem.xml", "system items"},
    {"Quill/keywords.xml", "user keywords"},
    {"Quill/Quillmate.exe", "MZ"},
    {"Quill/old.xml", kConnector},
    {"Quill/Pics/", ""},
    {"Quill/Pics/logo.gif", "GIF89a logo"},
    {"Quill/Updates/", ""},
    {"Quill/Updates/a.xml", kConnector},
    {"Quill/Updates/b.gif", "GIF89a fetched"},
    {"Quill/Updates/plain.xml", "not a connector"},
    {"Quill/Updates/c.txt", "text"},
    {"Quill/Updates/Sub/", ""},
    {"Quill/Updates/Sub/d.xml", kConnector},
    {"Other/", ""},
    {"Other/e.xml", kConnector},
};
// Other names of the item files.
const std::map<std::string, std::string> kLinks = {
    {"Quill/alias.xml", "Quill/QuiSystem.xml"},
    {"Quill/Pics/kw.gif", "Quill/keywords.xml"},
    {"Quill/Pics/sys.xml", "Quill/QuiSystem.xml"},
    {"Quill/kw.png", "Quill/keywords.xml"},
};

const std::string& Drive()
{
    static const std::string drive = FuzzFolder() + "/C";
    return drive;
}

void Lay()
{
    std::error_code ignored;
    fs::remove_all(Drive(), ignored);
    fs::create_directories(Drive());
    for (const auto& file : kLayout) {
        std::string path = Drive() + "/" + file.first;
        if (file.first.back() == '/') {
            fs::create_directories(path);
            continue;
        }
        std::ofstream(path, std::ios::binary) << file.second;
    }
    for (const auto& link : kLinks)
        Require(::link((Drive() + "/" + link.second).c_str(), (Drive() + "/" + link.first).c_str()) == 0,
                "the layout's hard links");
}

struct Seen {
    std::string bytes;
    bool folder;
};

std::map<std::string, Seen> Snapshot()
{
    std::map<std::string, Seen> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(Drive())) {
        std::string name = entry.path().string().substr(Drive().size() + 1);
        if (entry.is_directory()) {
            files[name + "/"] = Seen{"", true};
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[name] = Seen{bytes.str(), false};
    }
    return files;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
}

// Directly in the host folder (ending in "/") with one of the extensions (".xml" alone
// is a name the system allows).
bool DirectlyIn(const std::string& name, const std::string& folder, const std::set<std::string>& extensions)
{
    if (name.compare(0, folder.size(), folder) != 0 || name.find('/', folder.size()) != std::string::npos)
        return false;
    size_t dot = name.rfind('.');
    return dot != std::string::npos && dot >= folder.size() && extensions.count(Lower(name.substr(dot)));
}

// What the path resolves to, in the folder given or not at all.
void CheckResolve(const std::string& line)
{
    static const char kFolder[] = "C:\\Quill";
    CString resolved;
    if (!ResolveInFolder(line.c_str(), kFolder, resolved))
        return;
    std::string full(resolved.GetString());
    Require(full.size() > sizeof kFolder && Lower(full.substr(0, sizeof kFolder)) == "c:\\quill\\",
            "a resolved path lies in its folder");
    Require(full.find('\\', sizeof kFolder) == std::string::npos, "a resolved path lies directly in its folder");
    char buffer[4096];
    DWORD length = GetFullPathNameA(line.c_str(), sizeof buffer, buffer, nullptr);
    Require(length < sizeof buffer && full == buffer, "the resolved path is the system's full path");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    host_files::SetDrive(Drive());
    host_files::SetCurrentFolder("C:\\Quill");
    // The drive is laid again only after an input that changed it.
    static bool laid = false;
    if (!laid)
        Lay();
    laid = true;
    const bool ownPictures = (data[0] & 1) == 0;
    const std::string pictures = ownPictures ? "Quill/Pics/" : "Quill/";
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    text = text.substr(0, text.find('\0'));
    for (size_t at = 0; at < text.size();) {
        size_t end = std::min(text.find('\n', at), text.size());
        CheckResolve(text.substr(at, end - at));
        at = end + 1;
    }

    const std::map<std::string, Seen> before = Snapshot();
    UpdateFolders folders("Updates", "", ownPictures ? "C:\\Quill\\Pics" : "", "QuiSystem.xml", "keywords.xml");
    UpdateResult result;
    std::vector<char> list(text.begin(), text.end());
    list.push_back('\0');
    ApplyUpdateList(list.data(), folders, result);
    const std::map<std::string, Seen> after = Snapshot();
    laid = after.size() == before.size();
    for (auto a = after.begin(), b = before.begin(); laid && a != after.end(); ++a, ++b)
        laid = a->first == b->first && a->second.bytes == b->second.bytes;

    Require(host_files::OpenHandles() == 0, "every handle is closed");
    Require(after.at("Quill/QuiSystem.xml").bytes == "system items" &&
                after.at("Quill/keywords.xml").bytes == "user keywords",
            "the item files keep their bytes");
    std::set<std::string> fetched, connectors;
    for (const auto& file : before)
        if (DirectlyIn(file.first, "Quill/Updates/", {".xml", ".gif", ".txt"})) {
            fetched.insert(file.second.bytes);
            if (file.second.bytes == kConnector)
                connectors.insert(file.second.bytes);
        }
    bool changed = false;
    for (const auto& file : after) {
        auto was = before.find(file.first);
        if (was != before.end() && was->second.bytes == file.second.bytes && was->second.folder == file.second.folder)
            continue;
        changed = true;
        Require(!file.second.folder, "no folder is made");
        bool connector = DirectlyIn(file.first, "Quill/", {".xml"}) && connectors.count(file.second.bytes);
        bool picture = DirectlyIn(file.first, pictures, {".gif", ".jpg", ".jpeg", ".png", ".bmp", ".ico"}) &&
                       fetched.count(file.second.bytes);
        Require(connector || picture, "only a fetched connector or picture is written, into its folder");
    }
    for (const auto& file : before)
        if (!after.count(file.first))
            Require(DirectlyIn(file.first, "Quill/Updates/", {".xml", ".gif", ".txt"}),
                    "only fetched files are deleted");
    Require(!changed || result.bCopied, "a copy is told");
    for (INT_PTR i = 0; i < result.newFiles.GetSize(); ++i) {
        std::string host = host_files::HostPath(result.newFiles[i].GetString());
        Require(host.size() > Drive().size(), "a new file is on the drive");
        std::string name = host.substr(Drive().size() + 1);
        Require(after.count(name) && !before.count(name), "a new file did not exist before");
    }
    return 0;
}
