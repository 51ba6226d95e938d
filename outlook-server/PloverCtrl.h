// The Outlook access server's one object: an Outlook session, Outlook's
// category list, filing of item records and starting Outlook, for the main
// program's Outlook edition. A small control whose only drawing is a caption.
#pragma once
#include <windows.h>

#include "GodwitDispIdCache.h"
#include "OutlookSession.h"
#include "Plover.h"
#include "QuiControl.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"

class CPlover : public QuiObjectRoot,
                public QuiDispatchImpl<IPlover, &IID_IPlover>,
                public QuiSupportErrorInfoImpl<&IID_IPlover>,
                public QuiControlImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CPlover();
    ~CPlover();

    // The type library's Invoke answers S_OK for every success code of a
    // member; callers look for S_FALSE, so the member's own answer is
    // handed back to them.
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

    STDMETHODIMP get_Contacts(VARIANT* pVal) override;
    STDMETHODIMP get_TodoCategories(VARIANT* pVal) override;
    STDMETHODIMP Connect(LONG reserved) override;
    STDMETHODIMP CreateContact(BSTR contact) override;
    STDMETHODIMP FileKeynote(IDispatch* keynote) override;
    STDMETHODIMP get_Folders(VARIANT* pVal) override;
    STDMETHODIMP CreateCategory(BSTR category) override;
    STDMETHODIMP OpenOutlook() override;

protected:
    void OnDraw(HDC dc, const RECT& bounds) override;

private:
    // Error information with a text of the string table (or the given
    // text); failures answer S_FALSE, a success code that callers must
    // look at.
    HRESULT Fail(UINT stringId, HRESULT hr = S_FALSE);
    HRESULT Fail(const wchar_t* text, HRESULT hr = S_FALSE, DWORD code = 0);
    HRESULT Answer(HRESULT hr);

    COutlookNames m_names;
    COutlookSession m_session{m_names};
    GodwitDispIdCache m_cache;
    HRESULT m_answer = S_OK;
};
