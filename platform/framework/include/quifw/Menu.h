// CMenu: a menu handle, owned when loaded or created here.
#pragma once

#include <memory>
#include <vector>

#include "Object.h"
#include "String.h"

class CWnd;

class CMenu : public CObject {
public:
    CMenu() = default;
    ~CMenu() override;                     // destroys an owned menu
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    BOOL LoadMenu(UINT nIDResource);       // from the resource handle
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    BOOL Attach(HMENU hMenu);              // not destroyed with the object
    HMENU Detach();

    // The pop-up at a position; the object lives as long as this one.
    CMenu* GetSubMenu(int nPos);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;    // 0xFFFFFFFF for a pop-up or a bad position
    UINT GetMenuState(UINT nIDItem, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& text, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPTSTR lpszText, int nMaxCount, UINT nFlags) const;
    BOOL GetMenuItemInfo(UINT nIDItem, MENUITEMINFO* pInfo, BOOL bByPos = FALSE) const;
    BOOL SetMenuItemInfo(UINT nIDItem, const MENUITEMINFO* pInfo, BOOL bByPos = FALSE);

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);

    // With TPM_RETURNCMD the chosen command, else whether the menu ran; the
    // command goes to pWnd as WM_COMMAND.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

private:
    BOOL m_bOwned = FALSE;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
};
