// The Palm data library's one access manager: finds the Palm Desktop's
// folder and current user in the registry, checks that the user's data
// exist, and owns the user's tables and the link to the running desktop.
#pragma once
#include <afxquill.h>

#include "ContactItem.h"
#include "PalmDesktopLink.h"
#include "PalmItems.h"
#include "PalmRegistry.h"
#include "PalmTables.h"
#include "PalmUserBlock.h"
#include "PdCommon.h"

class PalmAccessManager {
public:
    // moduleName: the library's own file name, whose resources it loads.
    explicit PalmAccessManager(const char* moduleName);
    PalmAccessManager(const PalmAccessManager&) = delete;
    PalmAccessManager& operator=(const PalmAccessManager&) = delete;

    PalmTables& Tables() { return m_tables; }
    PalmDesktopLink& Desktop() { return m_desktop; }
    PalmRegistry& Registry() { return m_registry; }
    const PalmUserBlock& User() const { return m_user; }
    // Whether the user's data existed when the manager was made.
    int IsInitialized() const { return m_initialized; }

    // The desktop's users in its order.
    void GetUsers(CStringArray& names);
    // 1 when the user exists and has data; otherwise the previous user stays.
    int SetCurrentUser(LPCTSTR name);

    // Writes an item of a kind (1 to-do, 2 memo, 3 appointment) while the
    // desktop holds still: 0 without writing when the desktop refuses the
    // lock; goes ahead without one when no desktop runs. 1 when written.
    int WriteItem(int kind, void* item);
    // Adds a contact whatever the desktop answers to the lock.
    int AddContact(const CONTACTITEM& contact);
    // Lets the user type a new contact in the New Contact sheet, owned by
    // the control `request.owner` names, and adds it: 1 when added; 0 when
    // cancelled, without a name or company, or not written.
    int NewContact(const CONTACTITEM& request);
    // 0 refused, 1 the desktop reloaded, 2 no desktop running.
    int DataRefresh() { return m_desktop.Refresh(); }

private:
    // Looks the user of m_user.userName up; true when found (id and path set).
    bool FindUser();
    // True when the user's to-do file exists; otherwise tells the user so.
    bool CheckUserData();

    CString m_moduleName;
    // Made before the tables and the desktop link, which keep a reference to it.
    PalmUserBlock m_user;
    PalmTables m_tables;
    PalmDesktopLink m_desktop;
    PalmRegistry m_registry;
    CUserMgr m_users;
    int m_initialized = 0;
};
