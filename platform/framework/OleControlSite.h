// The container's side of one hosted control (not public): the client site,
// the in-place site and frame, the control site, the ambient properties and
// the sink of the control's default events.
#pragma once
#include <ocidl.h>
#include <olectl.h>

#include "quifw/OleDispatchDriver.h"
#include "quifw/Wnd.h"

class COleControlSite final : public IOleClientSite, public IOleInPlaceSite, public IOleControlSite, public IDispatch {
public:
    // Creates the control and activates it in place in hWndParent; S_OK and
    // a counted site in *ppSite, or the failing status and nothing.
    static HRESULT Create(REFCLSID clsid, HWND hWndParent, const RECT& rect, UINT nID, COleControlSite** ppSite);

    HWND GetControlWindow() const { return m_hWndCtrl; }
    LPUNKNOWN GetControlUnknown() const { return m_pObject; }
    const COleDispatchDriver& Driver() const { return m_driver; }

    // Gives the control its new place (pixels, in the parent's client area).
    void MoveControl(const RECT& rect);
    // Deactivates, disconnects and releases the control; the site stays
    // until its last reference goes.
    void CloseControl();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow and IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT pos) override;

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL lock) override;
    STDMETHODIMP GetExtendedControl(IDispatch** disp) override;
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL gotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // IDispatch: the ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

private:
    // The frame a control asks for while it activates: the parent's top-level
    // window, with no menus, tool bars or status line to share.
    class Frame : public IOleInPlaceFrame {
    public:
        explicit Frame(COleControlSite* pSite) : m_pSite(pSite) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return m_pSite->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_pSite->Release(); }
        STDMETHODIMP GetWindow(HWND* window) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
        STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
        STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
        STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
        STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
        STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    private:
        COleControlSite* m_pSite;
    };

    // Receives the control's default events and offers them to the event
    // sink map of the window the control sits in.
    class EventSink : public IDispatch {
    public:
        explicit EventSink(COleControlSite* pSite) : m_pSite(pSite) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return m_pSite->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_pSite->Release(); }
        // No type information, as the ambient side has none.
        STDMETHODIMP GetTypeInfoCount(UINT* count) override { return m_pSite->GetTypeInfoCount(count); }
        STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
        {
            return m_pSite->GetTypeInfo(index, lcid, info);
        }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
        STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excepInfo, UINT* argErr) override;

        IID m_iid = IID_NULL;

    private:
        COleControlSite* m_pSite;
    };

    COleControlSite(HWND hWndParent, const RECT& rect, UINT nID);
    ~COleControlSite();
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    HRESULT Load(REFCLSID clsid);
    void Disconnect();
    void ConnectEvents();
    HRESULT GetAmbient(DISPID id, VARIANT* value);
    void SetExtentFrom(const RECT& rect);

    LONG m_refs = 1;
    HWND m_hWndParent;
    RECT m_rect;
    UINT m_nID;
    HWND m_hWndCtrl = nullptr;
    BOOL m_bInPlaceActive = FALSE;
    IUnknown* m_pObject = nullptr;
    IOleObject* m_pOleObject = nullptr;
    COleDispatchDriver m_driver;
    IConnectionPoint* m_pEventPoint = nullptr;
    DWORD m_dwEventCookie = 0;
    Frame m_frame{this};
    EventSink m_sink{this};
};
