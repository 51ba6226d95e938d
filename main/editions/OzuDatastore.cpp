#include "OzuDatastore.h"

#include <cstdlib>
#include <string>

#include "NotesPathUtil.h"
#include "OzuNewContactDlg.h"
#include "PimItems.h"
#include "QuiResIds.h"
#include "QuillmateExcept.h"
#include "VariantArray.h"

namespace {

const int kMaxProfileBytes = 1024;

QuiItem* NewTodoCategory() { return new COzuTodoCategory; }
QuiItem* NewJournalFolder() { return new COzuJournalFolder; }
QuiItem* NewContactItem() { return new COzuContact; }

// Element i of an array of strings as ANSI text, cut to the profile's size.
std::string ElementText(const VARIANT& answer, LONG i)
{
    SAFEARRAY* array = V_ARRAY(&answer);
    LONG lower = 0;
    SafeArrayGetLBound(array, 1, &lower);
    BSTR text = nullptr;
    LONG index = lower + i;
    if (FAILED(SafeArrayGetElement(array, &index, &text)) || !text)
        return std::string();
    char buffer[kMaxProfileBytes] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    SysFreeString(text);
    return buffer;
}

LONG ElementCount(const VARIANT& answer)
{
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&answer), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&answer), 1, &upper);
    return upper - lower + 1;
}

} // namespace

COzuDatastore::COzuDatastore()
{
    try {
        NotesPathUtil notes;
        if (!notes.Found()) {
            CString question;
            question.LoadString(IDS_NOTES_NOT_FOUND);
            HWND desktop = GetDesktopWindow();
            if (AfxPromptMessageBox(desktop, question, "Quillmate", MB_YESNO) != IDYES
                || !notes.BrowseForNotes(desktop))
                throw new COzuExcept(IDS_NOTES_NOT_CHOSEN);
        }
        RegisterServer("Heron.dll", IHeronWrapper::PROGID, FALSE, IDS_NOTES_SERVER_FAILED);
        RegisterServer("Godwit.ocx", ITEM_RECORD_PROGID, FALSE, IDS_NOTES_SERVER_FAILED);
        m_pWrapper = new IHeronWrapper;
        if (!m_pWrapper->CreateDispatch())
            throw new COzuExcept(IDS_NOTES_SERVER_FAILED);
    } catch (COleException* e) {
        e->Delete();
        throw new COzuExcept(IDS_NOTES_SERVER_FAILED);
    }
}

COzuDatastore::~COzuDatastore() = default;

long COzuDatastore::Connect()
{
    return ServerCall(IDS_NOTES_SERVER_FAILED, [this] {
        m_pWrapper->CreateDispatch();
        return m_pWrapper->Connect(0);
    });
}

long COzuDatastore::FileRecord(IDispatch* record)
{
    long answer = ServerCall(IDS_RECORD_REFUSED, [&] { return m_pWrapper->FileKeynote(record); });
    // Heron answers its failures by status; a non-zero answer is one too.
    if (answer != 0)
        throw new COzuExcept(IDS_RECORD_REFUSED);
    return answer;
}

long COzuDatastore::OpenBackEnd()
{
    return ServerCall(IDS_NOTES_SERVER_FAILED, [this] { return m_pWrapper->OpenApplication(); });
}

long COzuDatastore::GetDefaultDuration()
{
    return m_nDefaultDuration;
}

long COzuDatastore::GetBackEndVersion()
{
    if (m_nVersion > 0)
        return m_nVersion;
    Connect();
    IHeronWrapper* heron = Heron();
    if (!heron)
        return 0;
    long version = ServerCall(IDS_NOTES_SERVER_FAILED, [heron] { return heron->GetNotesVersion(); });
    // A failed answer is asked again next time rather than kept.
    if (version > 0)
        m_nVersion = version;
    return version;
}

BOOL COzuDatastore::GetFolderList(CStringArray& folders)
{
    Connect();
    IHeronWrapper* heron = Heron();
    if (!heron)
        return FALSE;
    VARIANT info = ServerCall(IDS_NOTES_SERVER_FAILED, [heron] { return heron->GetUserInfo(); });
    folders.RemoveAll();
    if (QuiIsStringArray(info)) {
        for (LONG i = 0, count = ElementCount(info); i < count; ++i)
            folders.Add(ElementText(info, i).c_str());
    }
    VariantClear(&info);
    return TRUE;
}

int COzuDatastore::EntryTypeBit(long value)
{
    static const int kBits[] = {0x100, 0x200, 0x400, 0x800, 0x1000};
    if (value >= 0 && value <= 4)
        return kBits[value];
    for (int bit : kBits)
        if (value == bit)
            return bit;
    return 0;
}

void COzuDatastore::ReadCalendarProfile()
{
    Connect();
    m_nDefaultEntryType = 0;
    m_nDefaultDuration = 0;
    IHeronWrapper* heron = Heron();
    if (!heron)
        return;
    VARIANT prefs = ServerCall(IDS_NOTES_SERVER_FAILED, [heron] { return heron->GetCalendarPrefs(); });
    if (QuiIsStringArray(prefs)) {
        LONG count = ElementCount(prefs);
        // The server gives the entry type as its kind's SubType bit.
        if (count > 0)
            m_nDefaultEntryType = EntryTypeBit(std::atol(ElementText(prefs, 0).c_str()));
        if (count > 1)
            m_nDefaultDuration = std::atoi(ElementText(prefs, 1).c_str());
    }
    VariantClear(&prefs);
}

// Each list is read on its own: one that the server cannot give (an address
// book that cannot be read, say) leaves the others loaded, and the user is
// told once, with the server's texts, what is missing. A server that cannot
// be reached at all still fails the whole load.
BOOL COzuDatastore::LoadItems()
{
    CLoadScope scope;
    RegisterTypes();
    CString missing;
    auto load = [&](auto read) {
        try {
            ServerCall(IDS_NOTES_SERVER_FAILED, read);
        } catch (COzuExcept* e) {
            if (!missing.IsEmpty())
                missing += "\r\n\r\n";
            missing += e->GetText();
            delete e;
        }
        scope.Breathe();
    };
    if (HasFeature(1)) {
        Connect();
        load([&] { AddAnswer(m_pWrapper->GetContacts(), PIM_CONTACT_TYPE, 0); });
    }
    Connect();
    load([&] { AddAnswer(m_pWrapper->GetTodoCategories(), PIM_TODO_CATEGORY_TYPE, 0); });
    if (HasFeature(11)) {
        Connect();
        load([&] { AddAnswer(m_pWrapper->GetJournalCategories(), PIM_JOURNAL_TYPE, 0); });
    }
    Connect();
    load([&] { ReadCalendarProfile(); });
    if (!missing.IsEmpty()) {
        COzuExcept report(IDS_NOTES_SERVER_FAILED);
        report.SetText(missing);
        report.ReportError();
    }
    return CDatastore::LoadItems();
}

int COzuDatastore::GetType()
{
    return typeNotes;
}

void COzuDatastore::RegisterTypes()
{
    static const TypeRow kRows[] = {
        {PIM_TODO_CATEGORY_TYPE, &NewTodoCategory, IDS_TODO_CATEGORY_TYPE, IDS_NOTES_TODO_CATEGORY_EXAMPLE,
         PIM_TODO_CATEGORY_CATEGORY, IDS_TODO_CATEGORY_TYPE},
        {PIM_JOURNAL_TYPE, &NewJournalFolder, IDS_JOURNAL_TYPE, IDS_NOTES_JOURNAL_EXAMPLE, PIM_JOURNAL_CATEGORY,
         IDS_JOURNAL_TYPE},
        {PIM_CONTACT_TYPE, &NewContactItem, IDS_CONTACT_TYPE, IDS_CONTACT_EXAMPLE, PIM_CONTACT_CATEGORY,
         IDS_CONTACT_TYPE},
    };
    RegisterEditionTypes(kRows, 3);
}

UINT COzuDatastore::GetResourceId()
{
    return IDR_NOTE_ACCELERATORS;
}

const char* const* COzuDatastore::GetItemTypeIds()
{
    return GetBackEndVersion() < 5 ? s_typeIdsV4 : s_typeIdsV5;
}

void COzuDatastore::AddTrayMenuItems(CMenu* menu, UINT pos)
{
    if (!menu)
        return;
    CString text;
    text.LoadString(IDS_TRAY_OPEN_NOTES);
    menu->InsertMenu(pos, MF_BYPOSITION | MF_STRING, ID_TRAY_OPEN_PIM, text);
}

long COzuDatastore::NewContact()
{
    OzuNewContactDlg dialog;
    if (dialog.DoModal() != IDOK)
        return 0;
    ServerCall(IDS_NOTES_SERVER_FAILED, [&] { return m_pWrapper->CreateContact(dialog.BuildContactLine()); });
    return 0;
}
