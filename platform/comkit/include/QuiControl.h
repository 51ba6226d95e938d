// The least of an OLE control: what a container needs to site a control
// that it creates by ProgID, drives through IDispatch and draws through
// IViewObject, without in-place activation or a window of its own.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "QuiComObject.h"

class QuiControlImpl : public IOleObject,
                       public IOleControl,
                       public IPersistStreamInit,
                       public IProvideClassInfo2,
                       public IViewObject2 {
public:
    // Rows for the derived class's table: {nullptr, QuiCastTo<T, QuiControlImpl>, QuiControlImpl::kInterfaces}.
    static const QuiInterfaceEntry kInterfaces[];

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT pos) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDev,
                      HDC draw, LPCRECTL bounds, LPCRECTL metafileBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                      ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDev,
                             LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, SIZEL* size) override;

protected:
    // `eventIid` is the default source dispinterface (null: no events);
    // `miscStatus` the OLEMISC bits the class also registers.
    QuiControlImpl(REFCLSID clsid, const IID* eventIid, DWORD miscStatus);
    virtual ~QuiControlImpl();

    // Hooks of the derived control.
    virtual void OnDraw(HDC dc, const RECT& bounds) {}
    virtual void OnAmbientChange(DISPID id) {}
    virtual HRESULT LoadState(IStream* stream) { return S_OK; }
    virtual HRESULT SaveState(IStream* stream) { return S_OK; }

    // An ambient property of the container, VT_EMPTY when there is none.
    HRESULT GetAmbientProperty(DISPID id, VARIANT* value);
    bool EventsFrozen() const { return m_freezeCount > 0; }
    void SetModified() { m_dirty = true; }

private:
    HRESULT EnsureAdviseHolder();

    CLSID m_clsid;
    const IID* m_eventIid;
    DWORD m_miscStatus;
    IOleClientSite* m_site = nullptr;
    IOleAdviseHolder* m_adviseHolder = nullptr;
    IAdviseSink* m_viewSink = nullptr;
    DWORD m_viewAspects = 0;
    DWORD m_viewFlags = 0;
    SIZEL m_extent;
    LONG m_freezeCount = 0;
    bool m_dirty = false;
};
