#include "IbeDatastore.h"

#include <string>
#include <vector>

#include "OzuApp.h"
#include "PimItems.h"
#include "QuiResIds.h"
#include "VariantArray.h"

namespace {

const int kDefaultDuration = 60;
const int kMaxUserBytes = 260;

CString g_pendingUser;

QuiItem* NewTodoCategory() { return new CIbeTodoCategory; }
QuiItem* NewMemoCategory() { return new CIbeMemoCategory; }
QuiItem* NewContactItem() { return new CIbeContact; }

// The Palm users as the control lists them: empty when the answer is no
// array of strings.
std::vector<CString> UserNames(VARIANT users)
{
    std::vector<CString> names;
    if (QuiIsStringArray(users)) {
        SAFEARRAY* array = V_ARRAY(&users);
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(array, 1, &lower);
        SafeArrayGetUBound(array, 1, &upper);
        for (LONG i = lower; i <= upper; ++i) {
            BSTR name = nullptr;
            char text[kMaxUserBytes] = "";
            if (SUCCEEDED(SafeArrayGetElement(array, &i, &name)) && name)
                WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
            SysFreeString(name);
            names.push_back(text);
        }
    }
    VariantClear(&users);
    return names;
}

CString VariantText(VARIANT value)
{
    CString text;
    if (V_VT(&value) == VT_BSTR && V_BSTR(&value)) {
        char buffer[kMaxUserBytes] = "";
        WideCharToMultiByte(CP_ACP, 0, V_BSTR(&value), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
        text = buffer;
    }
    VariantClear(&value);
    return text;
}

} // namespace

const CString& CIbeDatastore::GetPendingUser()
{
    return g_pendingUser;
}

CIbeDatastore::CIbeDatastore()
{
    UINT failure = IDS_PALM_CONTROL_FAILED;
    try {
        RegisterServer("finch.ocx", IPalmAccessWrapper::PROGID, FALSE, IDS_PALM_CONTROL_FAILED);
        m_pWrapper = new IPalmAccessWrapper;
        failure = IDS_NO_RECORD_CONTROL;
        if (!g_pendingUser.IsEmpty()) {
            CString user = g_pendingUser;
            g_pendingUser.Empty();
            ServerCall(IDS_PALM_CONTROL_FAILED, [&] { Palm()->SetCurrentUser(user); });
        }
        RegisterServer("Godwit.ocx", ITEM_RECORD_PROGID, FALSE, IDS_NO_RECORD_CONTROL);
        if (!m_pWrapper->CreateDispatch())
            throw new COzuExcept(IDS_NO_RECORD_CONTROL);
    } catch (COleException* e) {
        e->Delete();
        throw new COzuExcept(failure);
    }
}

CIbeDatastore::~CIbeDatastore()
{
    if (m_usersMenu.GetSafeHmenu())
        m_usersMenu.DestroyMenu();
}

long CIbeDatastore::Connect()
{
    return ServerCall(IDS_PALM_NOT_CONNECTED, [this] {
        m_pWrapper->CreateDispatch();
        return m_pWrapper->Connect(0) == 0 ? TRUE : FALSE;
    });
}

long CIbeDatastore::FileRecord(IDispatch* record)
{
    long answer = ServerCall(IDS_RECORD_REFUSED, [&] { return m_pWrapper->FileKeynote(record); });
    if (answer == 0)
        throw new COzuExcept(IDS_RECORD_REFUSED);
    return answer;
}

long CIbeDatastore::OpenBackEnd()
{
    return ServerCall(IDS_PALM_CONTROL_FAILED, [this] { return m_pWrapper->OpenApplication(); });
}

long CIbeDatastore::GetDefaultDuration()
{
    return kDefaultDuration;
}

long CIbeDatastore::GetBackEndVersion()
{
    return 0;
}

BOOL CIbeDatastore::GetFolderList(CStringArray&)
{
    return FALSE;
}

BOOL CIbeDatastore::LoadItems()
{
    CLoadScope scope;
    if (!Connect())
        throw new COzuExcept(IDS_PALM_NOT_CONNECTED);
    RegisterTypes();
    ServerCall(IDS_PALM_NOT_CONNECTED, [&] {
        CQuillmateApp* app = QuiGetApp();
        if (app && app->IsFeature(1)) {
            AddAnswer(m_pWrapper->GetContacts(), PIM_CONTACT_TYPE, 3);
            scope.Breathe();
        }
        AddAnswer(m_pWrapper->GetTodoCategories(), PIM_TODO_CATEGORY_TYPE, 1);
        scope.Breathe();
        AddAnswer(m_pWrapper->GetJournalCategories(), PIM_JOURNAL_TYPE, 1);
        scope.Breathe();
    });
    return CDatastore::LoadItems();
}

int CIbeDatastore::GetType()
{
    return typePalm;
}

void CIbeDatastore::RegisterTypes()
{
    static const TypeRow kRows[] = {
        {PIM_TODO_CATEGORY_TYPE, &NewTodoCategory, IDS_TODO_CATEGORY_TYPE, IDS_TODO_CATEGORY_EXAMPLE,
         PIM_TODO_CATEGORY_CATEGORY, IDS_TODO_CATEGORY_TYPE},
        {PIM_JOURNAL_TYPE, &NewMemoCategory, IDS_MEMO_CATEGORY_TYPE, IDS_MEMO_CATEGORY_EXAMPLE, PIM_JOURNAL_CATEGORY,
         IDS_MEMO_CATEGORY_TYPE},
        {PIM_CONTACT_TYPE, &NewContactItem, IDS_PALM_CONTACT_TYPE, IDS_CONTACT_EXAMPLE, PIM_CONTACT_CATEGORY,
         IDS_PALM_CONTACT_TYPE},
    };
    RegisterEditionTypes(kRows, 3);
}

UINT CIbeDatastore::GetResourceId()
{
    return IDR_PALM_ACCELERATORS;
}

void CIbeDatastore::AddTrayMenuItems(CMenu* menu, UINT pos)
{
    if (!menu)
        return;
    CString text;
    text.LoadString(IDS_TRAY_OPEN_PALM);
    menu->InsertMenu(pos, MF_BYPOSITION | MF_STRING, ID_TRAY_OPEN_PIM, text);
    std::vector<CString> users;
    CString current;
    try {
        users = UserNames(ServerCall(IDS_PALM_CONTROL_FAILED, [this] { return Palm()->GetUsers(); }));
        if (users.size() < 2)
            return;
        current = g_pendingUser.IsEmpty()
                      ? VariantText(ServerCall(IDS_PALM_CONTROL_FAILED, [this] { return Palm()->GetCurrentUser(); }))
                      : g_pendingUser;
    } catch (COzuExcept* e) {
        // The menu goes up without the users rather than not at all.
        delete e;
        return;
    }
    if (m_usersMenu.GetSafeHmenu())
        m_usersMenu.DestroyMenu();
    m_usersMenu.CreatePopupMenu();
    for (size_t i = 0; i < users.size() && i < MAX_USERS; ++i) {
        UINT flags = MF_STRING | (users[i] == current ? MF_CHECKED : MF_UNCHECKED);
        m_usersMenu.AppendMenu(flags, ID_TRAY_EDITION_FIRST + i, users[i]);
    }
    text.LoadString(IDS_TRAY_PALM_USERS);
    menu->InsertMenu(pos + 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(m_usersMenu.GetSafeHmenu()), text);
    menu->InsertMenu(pos + 1, MF_BYPOSITION | MF_SEPARATOR);
}

void CIbeDatastore::OnTrayMenuClosed(CMenu* menu, int)
{
    HMENU users = m_usersMenu.GetSafeHmenu();
    if (!users)
        return;
    // Taken out of the tray's menu first, which would otherwise destroy it
    // a second time with itself.
    HMENU tray = menu ? menu->GetSafeHmenu() : nullptr;
    for (int i = tray ? GetMenuItemCount(tray) - 1 : -1; i >= 0; --i) {
        if (GetSubMenu(tray, i) == users)
            RemoveMenu(tray, static_cast<UINT>(i), MF_BYPOSITION);
    }
    m_usersMenu.DestroyMenu();
}

void CIbeDatastore::OnTrayMenuCommand(UINT id)
{
    if (id < ID_TRAY_EDITION_FIRST || id > ID_TRAY_EDITION_LAST)
        return;
    try {
        std::vector<CString> users =
            UserNames(ServerCall(IDS_PALM_CONTROL_FAILED, [this] { return Palm()->GetUsers(); }));
        size_t index = id - ID_TRAY_EDITION_FIRST;
        if (index >= users.size())
            return;
        if (NotesAreOpen()) {
            // Open notes hold their categories by the current user's keys:
            // the switch waits for the reload that they hold back.
            g_pendingUser = users[index];
        } else {
            ServerCall(IDS_PALM_CONTROL_FAILED, [&] { Palm()->SetCurrentUser(users[index]); });
        }
    } catch (COzuExcept* e) {
        e->ReportError();
        delete e;
        return;
    }
    ReloadAfterUserSwitch();
}

BOOL CIbeDatastore::NotesAreOpen()
{
    COzuApp* app = QuiGetOzuApp();
    return app && app->GetNoteCount() > 0;
}

void CIbeDatastore::ReloadAfterUserSwitch()
{
    if (COzuApp* app = QuiGetOzuApp())
        app->ReloadDatastore(1, FALSE);
}

long CIbeDatastore::NewContact()
{
    return ServerCall(IDS_PALM_CONTROL_FAILED, [this] { return m_pWrapper->CreateContact(""); });
}

int CIbeDatastore::ListItems(int, CStringArray*)
{
    return 0;
}
