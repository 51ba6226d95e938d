#include "UpdateHandoff.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "ClientRegistry.h"
#include "FileUtil.h"
#include "OzuApp.h"
#include "QuiResIds.h"
#include "TrayWnd.h"
#include "UpdateList.h"
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

CString SettingText(ClientRegistry& settings, int index)
{
    const char* text = static_cast<const char*>(settings.GetValue(index, true));
    return text ? CString(text) : CString();
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
    COzuApp* app = QuiGetOzuApp();
    ClientRegistry* settings = app ? app->GetSettings() : nullptr;
    if (!settings)
        return 1;
    UpdateFolders folders(kUpdateDownloadFolder, GetConnectorsFolder(),
                          SettingText(*settings, ClientRegistry::ImageDir),
                          SettingText(*settings, ClientRegistry::DefaultKwDb),
                          SettingText(*settings, ClientRegistry::AliasDB));
    UpdatePlan plan;
    PlanUpdateList(buffer, folders, plan);
    // A list of nothing that could be installed asks nothing.
    if (plan.empty()) {
        if (bAsked)
            ShowMessage(LoadText(IDS_UPDATE_NOTHING_NEW), MB_TASKMODAL | MB_ICONINFORMATION);
        return 1;
    }
    // No: the fetched files stay where the updater put them, untouched.
    if (ShowMessage(BuildUpdateQuestion(plan), MB_YESNO | MB_SYSTEMMODAL) != IDYES)
        return 1;
    UpdateResult result;
    ApplyUpdatePlan(plan, folders, result);
    ReportFailedCopies(result.failed);
    if (result.bCopied) {
        if (result.newFiles.GetSize() > 0)
            ReportNewFiles(result.newFiles);
        app->ReloadDatastore(0, FALSE);
    }
    return 1;
}

namespace {

// Catalogue text as one line of the question: no line break of its own, and
// short enough that a long one cannot push the rest out of the box.
CString Shown(const CString& text)
{
    const int kLongest = 60;
    CString shown = text.GetLength() > kLongest ? text.Left(kLongest) + "..." : text;
    for (int i = 0; i < shown.GetLength(); ++i)
        if (static_cast<unsigned char>(shown[i]) < ' ')
            shown.SetAt(i, ' ');
    return shown;
}

// The file's name, whether it replaces one there, and every action of a
// connector file, hidden ones too: a replaced template is what the user
// must see.
CString DescribeUpdateEntry(const UpdateEntry& entry)
{
    CString line = Shown(entry.destination.Mid(entry.destination.ReverseFind('\\') + 1));
    if (entry.bReplaces)
        line += " " + LoadText(IDS_UPDATE_REPLACES);
    CWebConnectorDefinitionFile file;
    if (entry.destination.Right(4).CompareNoCase(".xml") != 0 || file.Load(entry.source) <= 0)
        return line;
    const int kMostActions = 12;
    int shown = 0;
    const char* separator = ": ";
    for (const CWebConnectorDef& connector : file.GetConnectors())
        for (const CWebConnectorSubtype& subtype : connector.m_subtypes) {
            line += separator;
            if (shown++ == kMostActions)
                return line + "...";
            line += "\"" + Shown(subtype.m_strMenuString) + "\"";
            separator = ", ";
        }
    return line;
}

} // namespace

CString BuildUpdateQuestion(const UpdatePlan& plan)
{
    // More files than a box can show end in "...": the user may still say No.
    const size_t kMostShown = 30;
    CString text = LoadText(IDS_UPDATE_ASK_INSTALL) + "\r\n";
    for (size_t i = 0; i < plan.size() && i <= kMostShown; ++i)
        text += "\r\n" + (i < kMostShown ? DescribeUpdateEntry(plan[i]) : CString("..."));
    return text;
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
