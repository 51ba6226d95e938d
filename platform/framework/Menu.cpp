#include "quifw/Menu.h"

#include "quifw/WinApp.h"
#include "quifw/Wnd.h"

CMenu::~CMenu()
{
    DestroyMenu();
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    if (m_hMenu)
        return FALSE;
    m_hMenu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
    m_bOwned = m_hMenu != nullptr;
    return m_bOwned;
}

BOOL CMenu::CreatePopupMenu()
{
    if (m_hMenu)
        return FALSE;
    m_hMenu = ::CreatePopupMenu();
    m_bOwned = m_hMenu != nullptr;
    return m_bOwned;
}

BOOL CMenu::DestroyMenu()
{
    BOOL owned = m_bOwned;
    HMENU hMenu = Detach();
    return owned && hMenu ? ::DestroyMenu(hMenu) : FALSE;
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu || !hMenu)
        return FALSE;
    m_hMenu = hMenu;
    m_bOwned = FALSE;
    return TRUE;
}

HMENU CMenu::Detach()
{
    // The sub-menu objects name handles inside this menu; they go with it.
    m_subMenus.clear();
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    m_bOwned = FALSE;
    return hMenu;
}

CMenu* CMenu::GetSubMenu(int nPos)
{
    HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
    if (!hSub)
        return nullptr;
    for (const auto& sub : m_subMenus) {
        if (sub->m_hMenu == hSub)
            return sub.get();
    }
    m_subMenus.push_back(std::make_unique<CMenu>());
    m_subMenus.back()->Attach(hSub);
    return m_subMenus.back().get();
}

int CMenu::GetMenuItemCount() const
{
    return ::GetMenuItemCount(m_hMenu);
}

UINT CMenu::GetMenuItemID(int nPos) const
{
    return ::GetMenuItemID(m_hMenu, nPos);
}

UINT CMenu::GetMenuState(UINT nIDItem, UINT nFlags) const
{
    return ::GetMenuState(m_hMenu, nIDItem, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& text, UINT nFlags) const
{
    int length = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
    int copied = length > 0 ? ::GetMenuString(m_hMenu, nIDItem, text.GetBuffer(length), length + 1, nFlags) : 0;
    text.ReleaseBuffer(copied);
    return copied;
}

int CMenu::GetMenuString(UINT nIDItem, LPTSTR lpszText, int nMaxCount, UINT nFlags) const
{
    return ::GetMenuString(m_hMenu, nIDItem, lpszText, nMaxCount, nFlags);
}

BOOL CMenu::GetMenuItemInfo(UINT nIDItem, MENUITEMINFO* pInfo, BOOL bByPos) const
{
    return ::GetMenuItemInfo(m_hMenu, nIDItem, bByPos, pInfo);
}

BOOL CMenu::SetMenuItemInfo(UINT nIDItem, const MENUITEMINFO* pInfo, BOOL bByPos)
{
    return ::SetMenuItemInfo(m_hMenu, nIDItem, bByPos, pInfo);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags)
{
    return ::DeleteMenu(m_hMenu, nPosition, nFlags);
}

BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags)
{
    return ::RemoveMenu(m_hMenu, nPosition, nFlags);
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
{
    return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck);
}

BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
{
    return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
{
    return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
}

BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos)
{
    return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos);
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}
