#include "UpdateHandoff.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "ClientRegistry.h"
#include "ConnectorFile.h"
#include "FileUtil.h"
#include "OzuApp.h"
#include "QuiResIds.h"
#include "QuotedFields.h"
#include "TrayWnd.h"
#include "WebActionHandler.h"
#include "WebConnector.h"

const char kUpdatedFilesList[] = "QUIUPDATED_FILES";
const char kUpdateMessageName[] = "QUI_UPD_NOTIF";
const char kUpdateDownloadFolder[] = "Updates";

namespace {

// The command file of the updater last started; deleted once its
// notification arrives or the next updater starts.
CString s_commandFile;

void DeleteCommandFile()
{
    if (!s_commandFile.IsEmpty())
        ::DeleteFileA(s_commandFile);
    s_commandFile.Empty();
}

CString CurrentFolder()
{
    DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    std::vector<char> buffer(size + 1);
    DWORD length = size ? ::GetCurrentDirectoryA(size + 1, buffer.data()) : 0;
    return length && length <= size ? CString(buffer.data()) : CString();
}

CString FullPath(LPCSTR lpszPath)
{
    DWORD size = ::GetFullPathNameA(lpszPath, 0, nullptr, nullptr);
    if (!size)
        return CString();
    std::vector<char> buffer(size + 1);
    DWORD length = ::GetFullPathNameA(lpszPath, size + 1, buffer.data(), nullptr);
    return length && length <= size ? CString(buffer.data()) : CString();
}

BOOL IsRoot(const CString& folder)
{
    int n = folder.GetLength();
    return (n == 3 && folder[1] == ':' && folder[2] == '\\') || (n == 1 && folder[0] == '\\');
}

// "C:\dir\" becomes "C:\dir"; a root keeps its backslash, or it would name
// the current folder of its drive.
CString WithoutClosingBackslash(CString folder)
{
    if (folder.GetLength() > 1 && folder[folder.GetLength() - 1] == '\\' && !IsRoot(folder))
        folder.Delete(folder.GetLength() - 1);
    return folder;
}

CString WithClosingBackslash(CString folder)
{
    if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\')
        folder += '\\';
    return folder;
}

CString SettingText(ClientRegistry& settings, int index)
{
    const char* text = static_cast<const char*>(settings.GetValue(index, true));
    return text ? CString(text) : CString();
}

// A folder setting, or the current folder while it is empty, resolved with a
// closing backslash.
CString ResolvedFolder(const CString& setting)
{
    return WithClosingBackslash(FullPath(setting.IsEmpty() ? CString(".") : setting));
}

BOOL WriteWholeFile(LPCSTR lpszPath, const CString& text)
{
    FILE* file = std::fopen(lpszPath, "wb");
    if (!file)
        return FALSE;
    size_t length = static_cast<size_t>(text.GetLength());
    bool ok = std::fwrite(text.GetString(), 1, length, file) == length;
    return std::fclose(file) == 0 && ok;
}

// The updater's program: a bare name lies in the program's own folder; a
// full path is taken as it is. Never the current folder.
CString UpdaterPath(const CString& exe)
{
    if (exe.GetLength() > 1 && (exe[1] == ':' || (exe[0] == '\\' && exe[1] == '\\')))
        return exe;
    std::vector<char> buffer(MAX_PATH * 4);
    if (!GetModulePath(exe, buffer.data(), static_cast<UINT>(buffer.size())))
        return CString();
    return CString(buffer.data());
}

BOOL HasExtension(const CString& path, const char* const* extensions)
{
    int dot = path.ReverseFind('.');
    if (dot < 0 || path.Find('\\', dot) >= 0)
        return FALSE;
    CString ext = path.Mid(dot);
    for (; *extensions; ++extensions)
        if (ext.CompareNoCase(*extensions) == 0)
            return TRUE;
    return FALSE;
}

const char* const kConnectorExtensions[] = {".xml", nullptr};
const char* const kPictureExtensions[] = {".gif", ".jpg", ".jpeg", ".png", ".bmp", ".ico", nullptr};

// Where a list may take its files from and put them.
struct UpdateFolders {
    CString download;
    CString connectors;
    CString pictures;
    CString itemFiles[2];   // the system item file and the keyword file, never replaced

    explicit UpdateFolders(ClientRegistry& settings)
    {
        download = WithClosingBackslash(FullPath(kUpdateDownloadFolder));
        CString folder = GetConnectorsFolder();
        connectors = ResolvedFolder(folder);
        pictures = ResolvedFolder(SettingText(settings, ClientRegistry::ImageDir));
        itemFiles[0] = FullPath(SettingText(settings, ClientRegistry::DefaultKwDb));
        itemFiles[1] = FullPath(SettingText(settings, ClientRegistry::AliasDB));
    }

    BOOL AcceptSource(LPCSTR lpszPath, CString& resolved) const
    {
        if (!ResolveInFolder(lpszPath, download, resolved))
            return FALSE;
        DWORD attributes = ::GetFileAttributesA(resolved);
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    // A connector definition file into the connectors folder, or a picture
    // into the picture folder.
    BOOL AcceptDestination(LPCSTR lpszPath, const CString& source, CString& resolved) const
    {
        if (ResolveInFolder(lpszPath, connectors, resolved) && HasExtension(resolved, kConnectorExtensions) &&
            resolved.CompareNoCase(itemFiles[0]) != 0 && resolved.CompareNoCase(itemFiles[1]) != 0) {
            char* text = nullptr;
            int isConnector = ReadConnectorFile(source, &text);
            delete[] text;
            if (isConnector)
                return TRUE;
        }
        return ResolveInFolder(lpszPath, pictures, resolved) && HasExtension(resolved, kPictureExtensions);
    }
};

CString LoadText(UINT nId)
{
    CString text;
    text.LoadString(nId);
    return text;
}

// The tray window's message boxes count as the application's open boxes.
int ShowMessage(const CString& text, UINT nType)
{
    CQuillmateApp* app = QuiGetApp();
    if (app)
        app->BeginModalBox();
    int answer = AfxMessageBox(text, nType);
    if (app)
        app->EndModalBox();
    return answer;
}

struct UpdateResult {
    BOOL bCopied = FALSE;
    CStringArray newFiles;
    CStringArray failed;
};

void ApplyLine(char* line, const UpdateFolders& folders, UpdateResult& result)
{
    size_t length = std::strlen(line);
    if (length && line[length - 1] == '\r')
        line[length - 1] = '\0';
    char* fields[3] = {};
    if (SplitCsvLine(line, fields, 3) < 2)
        return;
    CString source, destination;
    if (!folders.AcceptSource(UnquoteCsvField(fields[0]), source) ||
        !folders.AcceptDestination(UnquoteCsvField(fields[1]), source, destination))
        return;
    BOOL bNew = ::GetFileAttributesA(destination) == INVALID_FILE_ATTRIBUTES;
    if (!::CopyFileA(source, destination, FALSE)) {
        result.failed.Add(destination);
        return;
    }
    result.bCopied = TRUE;
    if (bNew)
        result.newFiles.Add(destination);
    ::DeleteFileA(source);
}

void ReportFailedCopies(const CStringArray& failed)
{
    if (failed.GetSize() == 0)
        return;
    CString text = LoadText(IDS_UPDATE_COPY_FAILED);
    for (INT_PTR i = 0; i < failed.GetSize(); ++i)
        text += "\r\n" + failed[i];
    ShowMessage(text, MB_TASKMODAL | MB_ICONEXCLAMATION);
}

void RunUpdaterOfApp()
{
    COzuApp* app = QuiGetOzuApp();
    ClientRegistry* settings = app ? app->GetSettings() : nullptr;
    // An updater that never starts never answers: the user's request ends here.
    if (!settings || !QuiStartUpdater(*settings, app->GetCurrentTime().m_dt))
        CTrayWnd::s_bUpdateAskedByUser = FALSE;
}

} // namespace

void QuiInstallUpdateHandoff()
{
    COzuApp::SetUpdaterRunner(&RunUpdaterOfApp);
    CTrayWnd::SetUpdateNotifyHandler(&QuiOnUpdateNotify);
}

CString BuildUpdaterOptions(LPCSTR lpszCatalog, LPCSTR lpszCurrentDir, LPCSTR lpszConnectors, LPCSTR lpszImages)
{
    CString current(lpszCurrentDir);
    CString connectors = lpszConnectors && *lpszConnectors ? CString(lpszConnectors) : current;
    CString images = lpszImages && *lpszImages ? CString(lpszImages) : current;
    CString text;
    text.Format("-i:%s\n-m:%s\n-n:%s\n-p:%s\n-c:%s\n-x\n-s\n-g:%s\n ", lpszCatalog, kUpdatedFilesList,
                kUpdateMessageName, WithoutClosingBackslash(current).GetString(),
                WithoutClosingBackslash(connectors).GetString(), images.GetString());
    return text;
}

BOOL QuiStartUpdater(ClientRegistry& settings, DATE now)
{
    DeleteCommandFile();
    CString current = WithoutClosingBackslash(CurrentFolder());
    char commandFile[MAX_PATH + 1] = {};
    if (current.IsEmpty() || !::GetTempFileNameA(current, "qup", 0, commandFile))
        return FALSE;
    CString options = BuildUpdaterOptions(SettingText(settings, ClientRegistry::PintailCatalog), current,
                                          SettingText(settings, ClientRegistry::ConnectorsLocation),
                                          SettingText(settings, ClientRegistry::ImageDir));
    CString exe = UpdaterPath(SettingText(settings, ClientRegistry::PintailExe));
    if (exe.IsEmpty() || !WriteWholeFile(commandFile, options)) {
        ::DeleteFileA(commandFile);
        return FALSE;
    }
    CString commandLine = "\"" + exe + "\" \"-f:" + commandFile + "\"";
    std::vector<char> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(exe, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                          &startup, &process)) {
        ::DeleteFileA(commandFile);
        return FALSE;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    s_commandFile = commandFile;
    settings.SetValue(ClientRegistry::PintailDate, &now);
    return TRUE;
}

LRESULT QuiOnUpdateNotify(CTrayWnd*, WPARAM, LPARAM)
{
    // Whatever this notification turns out to be, the user's request is answered.
    BOOL bAsked = CTrayWnd::s_bUpdateAskedByUser;
    CTrayWnd::s_bUpdateAskedByUser = FALSE;
    DeleteCommandFile();
    char* buffer = nullptr;
    if (!ReadAndDeleteFile(kUpdatedFilesList, &buffer))
        return 1;
    std::unique_ptr<char[]> text(buffer);
    if (!*buffer) {
        if (bAsked)
            ShowMessage(LoadText(IDS_UPDATE_NOTHING_NEW), MB_TASKMODAL | MB_ICONINFORMATION);
        return 1;
    }
    // No: the fetched files stay where the updater put them, untouched.
    if (ShowMessage(LoadText(IDS_UPDATE_ASK_INSTALL), MB_YESNO | MB_SYSTEMMODAL) != IDYES)
        return 1;
    COzuApp* app = QuiGetOzuApp();
    ClientRegistry* settings = app ? app->GetSettings() : nullptr;
    if (!settings)
        return 1;
    UpdateFolders folders(*settings);
    UpdateResult result;
    for (char* line = buffer; *line;) {
        char* end = std::strchr(line, '\n');
        char* next = end ? end + 1 : line + std::strlen(line);
        if (end)
            *end = '\0';
        ApplyLine(line, folders, result);
        line = next;
    }
    ReportFailedCopies(result.failed);
    if (result.bCopied) {
        if (result.newFiles.GetSize() > 0)
            ReportNewFiles(result.newFiles);
        app->ReloadDatastore(0, FALSE);
    }
    return 1;
}

CString BuildNewConnectorList(const CStringArray& paths)
{
    std::vector<CString> names;
    for (INT_PTR i = 0; i < paths.GetSize(); ++i) {
        CWebConnectorDefinitionFile file;
        if (file.Load(paths[i]) <= 0)
            continue;
        for (const CWebConnectorDef& connector : file.GetConnectors())
            if (!connector.m_subtypes.empty()) {
                names.push_back(connector.m_subtypes.front().m_strMenuString);
                break;
            }
    }
    CString list;
    for (size_t k = 0; k < names.size(); ++k) {
        list += names[k];
        if (k + 1 < names.size())
            list += ", ";
        if (k > 0 && k % 3 == 0)
            list += "\r\n";
    }
    return list;
}

void ReportNewFiles(CStringArray& paths)
{
    CString list = BuildNewConnectorList(paths);
    if (list.IsEmpty())
        return;
    CString text = LoadText(IDS_UPDATE_NEW_CONNECTORS) + "\r\n" + list + "\r\n" + LoadText(IDS_UPDATE_NEW_CONNECTORS_END);
    ShowMessage(text, MB_TASKMODAL | MB_ICONINFORMATION);
}

BOOL ResolveInFolder(LPCSTR lpszPath, LPCSTR lpszFolder, CString& resolved)
{
    resolved.Empty();
    if (!lpszPath || !*lpszPath || !lpszFolder || !*lpszFolder)
        return FALSE;
    // Device and stream names, wildcards and the long-path prefixes are never a fetched file.
    CString path(lpszPath);
    if (path.FindOneOf("*?\"<>|") >= 0 || path.Find(':', 2) >= 0 || path.Left(4) == "\\\\?\\" ||
        path.Left(4) == "\\\\.\\")
        return FALSE;
    CString full = FullPath(path);
    int slash = full.ReverseFind('\\');
    if (slash < 0 || slash + 1 == full.GetLength())
        return FALSE;
    CString folder = WithClosingBackslash(CString(lpszFolder));
    if (full.Left(slash + 1).CompareNoCase(folder) != 0)
        return FALSE;
    resolved = full;
    return TRUE;
}
