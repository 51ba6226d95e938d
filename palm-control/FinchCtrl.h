// The Palm control: the Palm Desktop user's categories, contacts and users
// for the main program, filing of its item records, and the UserInfoChange
// event when the user's memo folder changes. Every Palm operation goes
// through the PilotManager.
#pragma once
#include <afxquill.h>

#include "ContactItem.h"
#include "Finch.h"
#include "FinchDispIds.h"
#include "KeynoteFiler.h"
#include "PilotManager.h"
#include "QuiConnectionPoint.h"
#include "QuiDispatch.h"
#include "QuiMessageControl.h"
#include "UserFolderWatch.h"

class CFinchCtrl : public QuiObjectRoot,
                   public QuiDispatchImpl<_DFinch, &IID__DFinch>,
                   public QuiMessageControlImpl,
                   public QuiConnectionPointContainerImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CFinchCtrl();
    ~CFinchCtrl() override;

    // Refuses a set of the read-only properties as a control does.
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

    STDMETHODIMP get_TodoCategories(VARIANT* value) override;
    STDMETHODIMP put_TodoCategories(VARIANT value) override;
    STDMETHODIMP get_MemoCategories(VARIANT* value) override;
    STDMETHODIMP put_MemoCategories(VARIANT value) override;
    STDMETHODIMP get_Contacts(VARIANT* value) override;
    STDMETHODIMP put_Contacts(VARIANT value) override;
    STDMETHODIMP get_CurrentItemText(BSTR* value) override;
    STDMETHODIMP get_ContactFieldOrder(BSTR* value) override;
    STDMETHODIMP get_CategoryFieldOrder(BSTR* value) override;
    STDMETHODIMP get_Users(VARIANT* value) override;
    STDMETHODIMP get_CurrentUser(BSTR* value) override;
    STDMETHODIMP put_CurrentUser(BSTR value) override;
    STDMETHODIMP get_UserDirectory(BSTR* value) override;
    STDMETHODIMP FileKeynote(IDispatch* keynote, short* result) override;
    STDMETHODIMP NewContact(BSTR* contactName, LONG* result) override;
    STDMETHODIMP OpenDesktopApp(LONG* result) override;
    STDMETHODIMP GetShowInList(BSTR* firstName, BSTR* lastName, BSTR* company, BSTR* result) override;
    STDMETHODIMP GetEmail(BSTR* firstName, BSTR* lastName, BSTR* company, BSTR* result) override;
    STDMETHODIMP DataRefresh(LONG* result) override;
    STDMETHODIMP GetCalendarDay(VARIANT* date, VARIANT* items, LONG* result) override;
    STDMETHODIMP Connect(LONG unused, LONG* result) override;
    STDMETHODIMP AboutBox() override;

protected:
    const char* WindowClassName() const override { return "QuiFinchCtrlWnd"; }
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDraw(HDC dc, const RECT& bounds) override;
    HRESULT LoadState(IStream* stream) override;
    HRESULT SaveState(IStream* stream) override;

private:
    // Watches the current user's memo folder from a new worker that posts
    // to `window` (the control's, also while it is being made).
    void WatchUserFolder(HWND window);
    void OnFolderChanged(HWND window);
    void FireUserInfoChange();
    HRESULT CategoryList(int (PilotManager::*get)(VARIANT*), VARIANT* value);
    HRESULT FieldOrder(int (PilotManager::*get)(BYTE*), BSTR* value);
    // Fills a contact record from the three names and asks the library for
    // its e-mail entries; the entry `pick` chooses becomes the answer.
    HRESULT ContactEntry(BSTR* firstName, BSTR* lastName, BSTR* company, BSTR* result,
                         const EMAILINFO* (*pick)(const CONTACTITEM&));
    void SaveLastUser();

    PilotManager m_manager;
    KeynoteFiler m_filer;
    UserFolderWatch m_watch;
    QuiConnectionPoint m_events;
};
