#include "PalmAccessManager.h"

namespace {
const char kUserDataFile[] = "todo\\todo.dat";
const char kNotInitialized[] =
    "The currently selected Palm Desktop User '%s' has not been initialized. You must first run the Palm Desktop "
    "application, verify that user '%s' is selected and press the save button before %s.";
const char kSwitching[] = "switching to this user";
} // namespace

PalmAccessManager::PalmAccessManager(const char* moduleName)
    : m_moduleName(moduleName), m_tables(m_user, moduleName), m_desktop(m_user),
      m_registry(kPalmDesktopRegistry, PalmDesktopSettingCount)
{
    m_registry.ReadString(PalmDesktopPath, m_user.desktopPath);
    m_user.desktopPath += '\\';
    m_registry.ReadString(PalmLastUserName, m_user.userName);
    FindUser();
    m_initialized = CheckUserData() ? 1 : 0;
}

bool PalmAccessManager::FindUser()
{
    m_users.SetDirectory(m_user.desktopPath);
    CUser* user = m_users.FindFirst();
    for (int i = 0; user && i < m_users.GetCount(); ++i, user = m_users.FindNext()) {
        if (user->GetName() == m_user.userName) {
            m_user.userId = user->GetID();
            m_user.userPath = m_user.desktopPath + user->GetDirectory() + "\\";
            return true;
        }
    }
    return false;
}

bool PalmAccessManager::CheckUserData()
{
    if (GetFileAttributesA(m_user.userPath + kUserDataFile) != INVALID_FILE_ATTRIBUTES)
        return true;
    CString text;
    text.Format(kNotInitialized, m_user.userName.GetString(), m_user.userName.GetString(), kSwitching);
    AfxPromptMessageBox(GetForegroundWindow(), text, "Critical Error", MB_OK | MB_ICONERROR);
    return false;
}

void PalmAccessManager::GetUsers(CStringArray& names)
{
    m_users.SetDirectory(m_user.desktopPath);
    CUser* user = m_users.FindFirst();
    for (int i = 0; user && i < m_users.GetCount(); ++i, user = m_users.FindNext())
        names.Add(user->GetName());
}

int PalmAccessManager::SetCurrentUser(LPCTSTR name)
{
    if (!name || !*name)
        return 0;
    const PalmUserBlock previous = m_user;
    m_user.userName = name;
    // An unknown name has no data to check: the previous user's folder would
    // pass for it.
    if (FindUser() && CheckUserData())
        return 1;
    m_user = previous;
    return 0;
}

int PalmAccessManager::WriteItem(int kind, void* item)
{
    if (m_desktop.Lock() == PalmDesktopLink::LockRefused)
        return 0;
    const int written = m_tables.AddItem(kind, item);
    m_desktop.Unlock();
    return written;
}

int PalmAccessManager::AddContact(const CONTACTITEM& contact)
{
    m_desktop.Lock();
    const int written = m_tables.Address().AddContact(contact);
    m_desktop.Unlock();
    return written;
}

int PalmAccessManager::NewContact(const CONTACTITEM& request)
{
    CONTACTITEM contact;
    contact.owner = request.owner;
    if (!m_desktop.NewContact(GetModuleHandleA(m_moduleName), m_tables.Address(), contact))
        return 0;
    if (!*contact.GetText(CONTACTITEM::FirstName) && !*contact.GetText(CONTACTITEM::LastName) &&
        !*contact.GetText(CONTACTITEM::Company))
        return 0;
    return AddContact(contact);
}
