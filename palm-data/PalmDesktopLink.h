// The running Palm Desktop as the data library talks to it: a private
// window message that makes the desktop hold still while the library writes
// the user's files and reload them afterwards, the text of its visible to-do
// or memo edit field, and starting the program.
#pragma once
#include <afxquill.h>

#include "ContactItem.h"
#include "PalmRegistry.h"
#include "PalmTables.h"
#include "PalmUserBlock.h"

class PalmDesktopLink {
public:
    // Answers of Lock.
    enum { LockRefused = 0, Locked = 1, NoDesktop = 2 };

    explicit PalmDesktopLink(const PalmUserBlock& user) : m_user(user) {}
    PalmDesktopLink(const PalmDesktopLink&) = delete;
    PalmDesktopLink& operator=(const PalmDesktopLink&) = delete;

    // Refused while HotSync shows its progress window, when the desktop does
    // not answer the ping (or takes longer than the ping time-out), or when
    // its window is disabled.
    int Lock();
    // Lets the desktop reload; 1.
    int Unlock();
    // Lock, and unlock again when that was not refused: the desktop reloads.
    int Refresh();
    // The text of the desktop's visible to-do or memo edit field; empty when
    // there is none.
    CString GetCurrentItem();
    // Starts the desktop program that lies beside the HotSync program the
    // registry names, in the desktop folder. The new process's id, 0 when
    // it was not started.
    DWORD Start(PalmRegistry& registry);
    // Shows the New Contact sheet from the resources of `resources`, owned
    // by the window of the control that `contact.owner` names, with the
    // address book's categories and custom labels; on OK fills `contact`
    // and answers 1, else 0.
    int NewContact(HMODULE resources, AddressTableAccess& address, CONTACTITEM& contact);

    // How long a ping may take before the desktop counts as not answering.
    void SetPingTimeout(UINT milliseconds) { m_pingTimeout = milliseconds; }

private:
    // True when the desktop window answers the ping as it should.
    bool Ping(HWND desktop) const;
    bool FindEditFields(HWND desktop);

    const PalmUserBlock& m_user;
    HWND m_desktop = nullptr;     // the window the edit fields were found in
    HWND m_todoEdit = nullptr;
    HWND m_memoEdit = nullptr;
    UINT m_pingTimeout = 5000;
};
