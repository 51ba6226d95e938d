#include "Datastore.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ClientRegistry.h"
#include "DatastoreItem.h"
#include "KeywordFile.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "VariantArray.h"

const char ITEM_RECORD_PROGID[] = "Godwit.GodwitCtrl.1";

namespace {

const UINT kNoteAccelerators = 139;
// The longest back-end line taken, terminator included.
const int kMaxLineBytes = 1024;

// Names an unreadable keyword file may be kept under: "keywords.xml.bad",
// then "keywords.xml.bad2" and on, never over an older one.
const int kMaxAsideNames = 100;

int g_liveCount = 0;
// The full path of an unreadable keyword file that could not be kept aside:
// while it is there no save replaces it, and the user has been told of it.
std::string g_unreadKeywordFile;
// The datastore whose item list web action items look names up in.
const CDatastore* g_boundDatastore = nullptr;

// A settings text as the registry holds it now; reading writes nothing.
CString ReadSetting(int index)
{
    ClientRegistry settings(ClientRegistry::WriteNothingAtEnd);
    const char* text = static_cast<const char*>(settings.GetValue(index, false));
    return text ? text : "";
}

// A string of the resource library that holds a display name and, after a
// line feed, its example.
void LoadNameAndExample(UINT id, CString& name, CString& example)
{
    CString text;
    text.LoadString(id);
    int split = text.Find('\n');
    name = split < 0 ? text : text.Left(split);
    example = split < 0 ? CString() : text.Mid(split + 1);
}

// Writes the whole file beside the target and renames it into place, so
// that a failed write leaves no half file that would never be replaced.
void WriteNewFile(const CString& path, const void* bytes, UINT size)
{
    CString temporary = path + ".tmp";
    {
        CFile file(temporary, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        try {
            file.Write(bytes, size);
            file.Flush();
            file.Close();
        } catch (CException*) {
            file.Abort();
            DeleteFileA(temporary);
            throw;
        }
    }
    if (!MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        LONG error = static_cast<LONG>(GetLastError());
        DeleteFileA(temporary);
        AfxThrowFileException(CFileException::genericException, error, path);
    }
}

CString FullPath(const CString& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? CString(full) : path;
}

// The new name, or an empty text when no free name could be taken.
CString MoveAside(const CString& path)
{
    for (int n = 1; n <= kMaxAsideNames; ++n) {
        CString aside = path + ".bad";
        if (n > 1) {
            CString number;
            number.Format("%d", n);
            aside += number;
        }
        if (MoveFileExA(path, aside, MOVEFILE_WRITE_THROUGH))
            return aside;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            break;
    }
    return CString();
}

void TellUser(UINT id, const CString& path, const CString& aside)
{
    CString format, text;
    format.LoadString(id);
    text.Format(format, path.GetString(), aside.GetString());
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}

// Moved aside at load, the file cannot be replaced by the first save: that
// one writes what this run has, and the user's text stays under its new name.
void KeepUnreadableKeywordFile(const CString& path)
{
    CString full = FullPath(path);
    CString aside = MoveAside(path);
    if (!aside.IsEmpty()) {
        if (g_unreadKeywordFile == full.GetString())
            g_unreadKeywordFile.clear();
        TellUser(IDS_KEYWORDS_KEPT_ASIDE, full, FullPath(aside));
        return;
    }
    if (g_unreadKeywordFile == full.GetString())
        return;
    g_unreadKeywordFile = full.GetString();
    TellUser(IDS_KEYWORDS_NOT_KEPT_ASIDE, full, CString());
}

// The default item file of the resource library, written when there is one.
// A missing or empty resource writes nothing, so that a later start with a
// complete library still finds no file and writes it.
void WriteDefaultItemFile(const CString& path)
{
    HINSTANCE library = AfxGetResourceHandle();
    HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(IDR_DEFAULT_ITEMFILE), QUI_RES_KWDB_TYPE);
    DWORD size = found ? SizeofResource(library, found) : 0;
    HGLOBAL loaded = size ? LoadResource(library, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes)
        WriteNewFile(path, bytes, size);
}

// An ANSI copy of a back end's line, cut to the longest line taken.
std::string LineText(BSTR line)
{
    if (!line || !*line)
        return std::string();
    int needed = WideCharToMultiByte(CP_ACP, 0, line, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string text(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, line, -1, &text[0], needed, nullptr, nullptr);
    text.resize(std::strlen(text.c_str()));
    if (text.size() > kMaxLineBytes - 1)
        text.resize(kMaxLineBytes - 1);
    return text;
}

class ArrayAccess {
public:
    explicit ArrayAccess(SAFEARRAY* array) : m_array(array)
    {
        if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&m_data))))
            m_data = nullptr;
    }
    ~ArrayAccess()
    {
        if (m_data)
            SafeArrayUnaccessData(m_array);
    }
    ArrayAccess(const ArrayAccess&) = delete;
    ArrayAccess& operator=(const ArrayAccess&) = delete;
    BSTR* Data() const { return m_data; }

private:
    SAFEARRAY* m_array;
    BSTR* m_data = nullptr;
};

} // namespace

CDatastore::CDatastore()
{
    ++g_liveCount;
    CWebActionItem::SetItemList(m_kestrel.getItemList());
    g_boundDatastore = this;
}

CDatastore::~CDatastore()
{
    try {
        SaveKeywordFile();
    } catch (...) {
        // The run is ending: nothing is left to tell, and the file is as it was.
    }
    --g_liveCount;
    if (g_boundDatastore == this) {
        CWebActionItem::SetItemList(nullptr);
        g_boundDatastore = nullptr;
    }
}

int CDatastore::GetLiveCount()
{
    return g_liveCount;
}

BOOL CDatastore::LoadItems()
{
    SyncItems();
    return TRUE;
}

void CDatastore::CheckRecordControl()
{
    COleDispatchDriver record;
    COleException error;
    if (!record.CreateDispatch(ITEM_RECORD_PROGID, &error))
        throw new COzuExcept(IDS_NO_RECORD_CONTROL, 0);
    record.ReleaseDispatch();
}

int CDatastore::GetType()
{
    return typeWebOnlyDefault;
}

int CDatastore::GetTypeName(CString& name)
{
    static const UINT kNames[] = {IDS_EDITION_WEB, IDS_EDITION_NOTES, IDS_EDITION_PALM, IDS_EDITION_OUTLOOK,
                                  IDS_EDITION_WEB};
    int code = GetType();
    if (code < 0 || code >= static_cast<int>(sizeof kNames / sizeof kNames[0]))
        return 0;
    name.LoadString(kNames[code]);
    return code;
}

CWebActionHandler* CDatastore::GetWebActionHandler()
{
    return &m_webActionHandler;
}

int CDatastore::SendWebAction(CWebActionJug* action)
{
    if (!action)
        return CWebActionHandler::submitRun;
    CAppWait wait;
    return m_webActionHandler.SubmitAction(*action);
}

int CDatastore::OpenWebPage(LPCSTR lpszURL, BOOL bShow)
{
    CAppWait wait;
    return m_webActionHandler.GetURLHandler().OpenURL(lpszURL, bShow);
}

BOOL CDatastore::HasFeature(int)
{
    return FALSE;
}

BOOL CDatastore::AddItems(const VARIANT& lines, QuiItemType* type, int idColumn)
{
    if (V_VT(&lines) == VT_EMPTY || !type || !QuiIsStringArray(lines))
        return FALSE;
    SAFEARRAY* array = V_ARRAY(&lines);
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    ArrayAccess access(array);
    if (!access.Data())
        return FALSE;
    QuiItemList& items = *m_kestrel.getItemList();
    for (LONG i = 0; i <= upper - lower; ++i) {
        std::unique_ptr<QuiItem> made(type->newItem(QuiItemID()));
        CDatastoreItem* item = dynamic_cast<CDatastoreItem*>(made.get());
        if (!item)
            continue;
        std::string text = LineText(access.Data()[i]);
        if (!text.empty())
            item->FromCsvLine(&text[0]);
        if (!item->HasFields())
            continue;
        LPCSTR idText = idColumn != -1 ? item->GetFieldText(idColumn) : "";
        QuiItemID id;
        if (*idText)
            id.fromString(idText);
        else
            id.generateUnique();
        item->setID(id);
        item->setDirty(false);
        if (items.add(item))
            made.release();
    }
    return TRUE;
}

QuiItemList* CDatastore::GetItemList()
{
    return m_kestrel.getItemList();
}

QuiItemType* CDatastore::GetItemType(LPCSTR id)
{
    return id ? m_kestrel.getTypeList()->get(QuiItemID(id)) : nullptr;
}

QuiItemTypeList* CDatastore::GetTypeList()
{
    return m_kestrel.getTypeList();
}

QuiTypeCategoryList* CDatastore::GetTypeCategoryList()
{
    return m_kestrel.getTypeCategoryList();
}

QuiKestrel* CDatastore::GetKestrel()
{
    return &m_kestrel;
}

// Items that an earlier sync took out come back when their connector is
// enabled again, with the keywords the user gave them.
BOOL CDatastore::SyncItems()
{
    m_webActionHandler.LoadConnectors();
    QuiItemList& items = *m_kestrel.getItemList();
    for (auto it = m_removedItems.begin(); it != m_removedItems.end();) {
        if (items.add(it->get())) {
            it->release();
            it = m_removedItems.erase(it);
        } else {
            ++it;
        }
    }
    AddWebActionItems(m_kestrel, m_webActionHandler.GetEnabledConnectors());
    TakeOutWebActionItems(true);
    return TRUE;
}

int CDatastore::RemoveWebActionItems()
{
    TakeOutWebActionItems(false);
    return 0;
}

void CDatastore::TakeOutWebActionItems(bool onlyUnbound)
{
    // Without the type, a walk would run over every item of the database.
    QuiItemType* type = GetItemType(WEB_ACTION_TYPE_ID);
    if (!type)
        return;
    QuiItemList& items = *m_kestrel.getItemList();
    for (QuiItem* item : ItemsOf(items, type)) {
        CWebActionItem* action = dynamic_cast<CWebActionItem*>(item);
        if (onlyUnbound && action && action->GetSubtype())
            continue;
        if (items.remove(item))
            m_removedItems.emplace_back(item);
    }
}

BOOL CDatastore::LoadItemDatabase()
{
    CString path = ReadSetting(ClientRegistry::DefaultKwDb);
    if (path.IsEmpty())
        return FALSE;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        WriteDefaultItemFile(path);
    m_kestrel.readFile(path);
    LoadKeywordFile();
    return TRUE;
}

void CDatastore::LoadKeywordFile()
{
    CString path = ReadSetting(ClientRegistry::AliasDB);
    if (path.IsEmpty())
        return;
    std::unique_ptr<QuiTaggedField> kept(new QuiTaggedField(QuiKestrel::kTagRoot, nullptr));
    KeywordFileRead read = MergeKeywordFile(m_kestrel, path, *kept);
    m_keptRecords = std::move(kept);
    if (read == KeywordFileRead::unreadable)
        KeepUnreadableKeywordFile(path);
    else if (g_unreadKeywordFile == FullPath(path).GetString())
        g_unreadKeywordFile.clear();
}

BOOL CDatastore::SaveKeywordFile()
{
    std::vector<QuiItem*> dirty;
    QuiItemList& items = *m_kestrel.getItemList();
    for (QuiItem* item : ItemsOf(items, nullptr))
        if (item->getDirty())
            dirty.push_back(item);
    // An item taken out, by the user or by a sync that found its connector
    // gone, comes back at the next start: its keywords must too.
    auto held = [&](const QuiItemID& id) {
        return items.get(id) || std::any_of(dirty.begin(), dirty.end(), [&](QuiItem* d) { return d->getID() == id; });
    };
    for (const auto* out : {&m_userRemovedItems, &m_removedItems})
        for (const auto& removed : *out)
            if (removed->getDirty() && !held(removed->getID()))
                dirty.push_back(removed.get());
    if (dirty.empty())
        return TRUE;
    CString path = ReadSetting(ClientRegistry::AliasDB);
    if (path.IsEmpty())
        return TRUE;
    if (g_unreadKeywordFile == FullPath(path).GetString())
        return FALSE;
    QuiKestrel changed;
    Loan<QuiItemList, QuiItem> loan(dirty, *changed.getItemList());
    return changed.writeFile(path, m_keptRecords.get()) ? TRUE : FALSE;
}

BOOL CDatastore::RemoveItem(QuiItem* item)
{
    if (!item || !m_kestrel.getItemList()->remove(item))
        return FALSE;
    m_userRemovedItems.emplace_back(item);
    return TRUE;
}

void CDatastore::RegisterTypes()
{
    struct Row {
        const char* id;
        UINT name;
        const char* category;
        bool pimDestination;
    };
    static const Row kRows[] = {
        {WEB_ACTION_TYPE_ID, IDS_WEB_ACTION_TYPE, WEB_ACTION_CATEGORY_ID, false},
        {WEB_PIMDEST_TYPE_ID, IDS_WEB_PIMDEST_TYPE, "", true},
        {WEB_HIDDEN_TYPE_ID, IDS_WEB_ACTION_TYPE, "", false},
    };
    CString name, example;
    LoadNameAndExample(IDS_WEB_ACTION_TYPE, name, example);
    std::unique_ptr<QuiTypeCategory> category(new QuiTypeCategory(QuiItemID(WEB_ACTION_CATEGORY_ID), name));
    if (m_kestrel.getTypeCategoryList()->add(category.get()))
        category.release();
    for (const Row& row : kRows) {
        LoadNameAndExample(row.name, name, example);
        QuiItem* prototype = row.pimDestination ? new CWebPimDestItem() : new CWebActionItem();
        std::unique_ptr<QuiItemType> type(new QuiItemType(QuiItemID(row.id), name, prototype));
        type->setExample(example);
        // A second registration (a reload) keeps the types already held.
        if (m_kestrel.registerType(type.get(), QuiItemID(row.category)))
            type.release();
    }
}

UINT CDatastore::GetResourceId()
{
    return kNoteAccelerators;
}

const char* const* CDatastore::GetItemTypeIds()
{
    return nullptr;
}

void CDatastore::AddTrayMenuItems(CMenu*, UINT) {}

void CDatastore::OnTrayMenuClosed(CMenu*, int) {}

void CDatastore::OnTrayMenuCommand(UINT) {}

void CDatastore::SaveAtSessionEnd()
{
    SaveKeywordFile();
    m_webActionHandler.KeepUnsaved();
}

int CDatastore::ReportUnsentActions()
{
    const int unsent = m_webActionHandler.GetUnsentCount();
    // Actions the user let go when their list could not be written are not
    // told as kept.
    if (m_webActionHandler.KeepUnsaved() && unsent > 0) {
        CString format, text;
        format.LoadString(IDS_OFFLINE_KEPT);
        text.Format(format, unsent);
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
    return unsent;
}
