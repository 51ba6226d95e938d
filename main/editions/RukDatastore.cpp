#include "RukDatastore.h"

#include <cstdlib>

#include "FileVersionInfo.h"
#include "NotesPathUtil.h"
#include "PimItems.h"
#include "QuiResIds.h"

namespace {

const char kOutlookAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
const DWORD kMaxPathBytes = 256;

QuiItem* NewTodoCategory() { return new CRukTodoCategory; }
QuiItem* NewJournalFolder() { return new CRukJournalFolder; }

} // namespace

const char* CRukDatastore::ServerFileFor(const char* versionText)
{
    const char* text = versionText && *versionText ? versionText : "unknown";
    return std::atof(text) >= 8.5 ? "Plover.dll" : "Plover97.dll";
}

CRukDatastore::CRukDatastore()
{
    // The value may be quoted and need not end in a terminator.
    char outlook[kMaxPathBytes];
    if (!NotesPathUtil::ReadRegText(HKEY_LOCAL_MACHINE, kOutlookAppPath, nullptr, outlook, sizeof outlook))
        throw new COzuExcept(IDS_OUTLOOK_NOT_FOUND);
    CFileVersionInfo info(outlook);
    const char* version = info.GetFileVersion();
    if (!version)
        throw new COzuExcept(IDS_OUTLOOK_NOT_FOUND);
    m_strServerFile = ServerFileFor(version);
    try {
        // Both server files register under the one ProgID: the one that
        // fits the installed Outlook takes it at every start.
        RegisterServer(m_strServerFile, IPloverWrapper::PROGID, TRUE, IDS_OUTLOOK_SERVER_FAILED);
        RegisterServer("Godwit.ocx", ITEM_RECORD_PROGID, FALSE, IDS_OUTLOOK_SERVER_FAILED);
        m_pWrapper = new IPloverWrapper;
        if (!m_pWrapper->CreateDispatch())
            throw new COzuExcept(IDS_OUTLOOK_SERVER_FAILED);
    } catch (COleException* e) {
        e->Delete();
        throw new COzuExcept(IDS_OUTLOOK_SERVER_FAILED);
    }
}

CRukDatastore::~CRukDatastore() = default;

long CRukDatastore::Connect()
{
    return ServerCall(IDS_OUTLOOK_NOT_FOUND, [this] { return m_pWrapper->Connect(0) == 0 ? TRUE : FALSE; });
}

long CRukDatastore::FileRecord(IDispatch* record)
{
    return ServerCall(IDS_RECORD_REFUSED, [&] { return m_pWrapper->FileKeynote(record); });
}

long CRukDatastore::OpenBackEnd()
{
    return ServerCall(IDS_OUTLOOK_SERVER_FAILED, [this] { return m_pWrapper->OpenApplication(); });
}

long CRukDatastore::GetDefaultDuration()
{
    return m_nDefaultDuration;
}

long CRukDatastore::GetBackEndVersion()
{
    return BACKEND_VERSION;
}

BOOL CRukDatastore::GetFolderList(CStringArray&)
{
    return FALSE;
}

BOOL CRukDatastore::LoadItems()
{
    CLoadScope scope;
    if (!Connect())
        throw new COzuExcept(IDS_OUTLOOK_NOT_FOUND);
    RegisterTypes();
    ServerCall(IDS_OUTLOOK_NOT_FOUND, [&] { AddAnswer(m_pWrapper->GetTodoCategories(), PIM_TODO_CATEGORY_TYPE, 0); });
    scope.Breathe();
    return CDatastore::LoadItems();
}

int CRukDatastore::GetType()
{
    return typeOutlook;
}

void CRukDatastore::RegisterTypes()
{
    static const TypeRow kRows[] = {
        {PIM_TODO_CATEGORY_TYPE, &NewTodoCategory, IDS_TODO_CATEGORY_TYPE, IDS_TODO_CATEGORY_EXAMPLE,
         PIM_TODO_CATEGORY_CATEGORY, IDS_TODO_CATEGORY_TYPE},
        {PIM_JOURNAL_TYPE, &NewJournalFolder, IDS_MEMO_CATEGORY_TYPE, IDS_MEMO_CATEGORY_EXAMPLE, PIM_JOURNAL_CATEGORY,
         IDS_MEMO_CATEGORY_TYPE},
        // Outlook's contacts are not offered: only their type category.
        {PIM_CONTACT_TYPE, nullptr, IDS_PALM_CONTACT_TYPE, IDS_CONTACT_EXAMPLE, PIM_CONTACT_CATEGORY,
         IDS_PALM_CONTACT_TYPE},
    };
    RegisterEditionTypes(kRows, 3);
}

UINT CRukDatastore::GetResourceId()
{
    return IDR_OUTLOOK_ACCELERATORS;
}

void CRukDatastore::AddTrayMenuItems(CMenu* menu, UINT pos)
{
    if (!menu)
        return;
    CString text;
    text.LoadString(IDS_TRAY_OPEN_OUTLOOK);
    menu->InsertMenu(pos, MF_BYPOSITION | MF_STRING, ID_TRAY_OPEN_PIM, text);
}
