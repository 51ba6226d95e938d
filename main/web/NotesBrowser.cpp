#include "BrowserDrivers.h"
#include "NotesUIWorkspace.h"

int CNotesUIWorkspace::Create()
{
    return CreateDispatch("Notes.NotesUIWorkspace") ? 0 : 1;
}

DISPID CNotesUIWorkspace::MemberId(const wchar_t* name)
{
    if (!m_lpDispatch)
        AfxThrowOleException(E_POINTER);
    OLECHAR* names[] = {const_cast<OLECHAR*>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = m_lpDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        AfxThrowOleException(hr);
    return id;
}

VARIANT CNotesUIWorkspace::OpenURL(VARIANT* pURL, VARIANT* pReload, VARIANT* pURLList, VARIANT* pCharSet,
                                   VARIANT* pWebUser, VARIANT* pWebPassword, VARIANT* pProxyUser,
                                   VARIANT* pProxyPassword, VARIANT* pNotesRetriever)
{
    static const BYTE kNineByReference[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT
        VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(MemberId(L"URLOpen"), DISPATCH_METHOD, VT_VARIANT, &result, kNineByReference, pURL, pReload,
                 pURLList, pCharSet, pWebUser, pWebPassword, pProxyUser, pProxyPassword, pNotesRetriever);
    return result;
}

NotesBrowser::NotesBrowser()
{
    m_pWorkspace = new CNotesUIWorkspace;
    m_pWorkspace->Create();
}

NotesBrowser::~NotesBrowser()
{
    delete m_pWorkspace;
}

void NotesBrowser::RebuildWorkspace()
{
    delete m_pWorkspace;
    m_pWorkspace = new CNotesUIWorkspace;
    m_pWorkspace->Create();
}

int NotesBrowser::OpenURL(LPCSTR lpszURL, BOOL bShow)
{
    // A client that was not there when the driver was made may be there now;
    // while it is not, the association's program gets the URL.
    if (m_pWorkspace && !m_pWorkspace->m_lpDispatch)
        m_pWorkspace->Create();
    if (!m_pWorkspace || !m_pWorkspace->m_lpDispatch)
        return BrowserInterface::OpenURL(lpszURL, bShow);

    COleVariant url(lpszURL);
    COleVariant reload(static_cast<short>(FALSE), VT_BOOL);
    // The arguments after the flag are left out, as optional arguments are.
    COleVariant missing(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR);
    bool failed = false;
    try {
        VARIANT result = m_pWorkspace->OpenURL(&url, &reload, &missing, &missing, &missing, &missing, &missing,
                                                 &missing, &missing);
        failed = V_VT(&result) == VT_ERROR && V_ERROR(&result) != 0;
        VariantClear(&result);
    } catch (CException* e) {
        e->Delete();
        failed = true;
    }
    // The client was closed: the next call reaches it again through a new
    // workspace, and this URL was not opened.
    if (failed)
        RebuildWorkspace();
    return failed ? 0 : 1;
}
