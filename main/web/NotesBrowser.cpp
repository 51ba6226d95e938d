#include "BrowserDrivers.h"
#include "NotesUIWorkspace.h"

int CNotesUIWorkspace::Create()
{
    return CreateDispatch("Notes.NotesUIWorkspace") ? 0 : 1;
}

namespace {

const BYTE kRef2[] = VTS_PVARIANT VTS_PVARIANT;
const BYTE kRef3[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
const BYTE kRef5[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
const BYTE kRef6[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
const BYTE kRef9[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT
    VTS_PVARIANT VTS_PVARIANT;

} // namespace

VARIANT CNotesUIWorkspace::GetProperty1503()
{
    VARIANT result;
    VariantInit(&result);
    GetProperty(dispidProperty1503, VT_VARIANT, &result);
    return result;
}

VARIANT CNotesUIWorkspace::GetProperty1506()
{
    VARIANT result;
    VariantInit(&result);
    GetProperty(dispidProperty1506, VT_VARIANT, &result);
    return result;
}

VARIANT CNotesUIWorkspace::Method1530(VARIANT* p1, VARIANT* p2, VARIANT* p3, VARIANT* p4, VARIANT* p5, VARIANT* p6,
                                      VARIANT* p7, VARIANT* p8, VARIANT* p9)
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(dispidMethod1530, DISPATCH_METHOD, VT_VARIANT, &result, kRef9, p1, p2, p3, p4, p5, p6, p7, p8, p9);
    return result;
}

VARIANT CNotesUIWorkspace::Method1531(VARIANT* p1, VARIANT* p2, VARIANT* p3)
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(dispidMethod1531, DISPATCH_METHOD, VT_VARIANT, &result, kRef3, p1, p2, p3);
    return result;
}

VARIANT CNotesUIWorkspace::Method1532(VARIANT* p1, VARIANT* p2, VARIANT* p3, VARIANT* p4, VARIANT* p5)
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(dispidMethod1532, DISPATCH_METHOD, VT_VARIANT, &result, kRef5, p1, p2, p3, p4, p5);
    return result;
}

void CNotesUIWorkspace::Method1535(VARIANT* p1, VARIANT* p2, VARIANT* p3, VARIANT* p4, VARIANT* p5, VARIANT* p6)
{
    InvokeHelper(dispidMethod1535, DISPATCH_METHOD, VT_EMPTY, nullptr, kRef6, p1, p2, p3, p4, p5, p6);
}

VARIANT CNotesUIWorkspace::Method1536()
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(dispidMethod1536, DISPATCH_METHOD, VT_VARIANT, &result, nullptr);
    return result;
}

VARIANT CNotesUIWorkspace::Method1539(VARIANT* p1, VARIANT* p2)
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(dispidMethod1539, DISPATCH_METHOD, VT_VARIANT, &result, kRef2, p1, p2);
    return result;
}

VARIANT CNotesUIWorkspace::OpenURL(VARIANT* pURL, VARIANT* pReload, VARIANT* pURLList, VARIANT* pCharSet,
                                   VARIANT* pWebUser, VARIANT* pWebPassword, VARIANT* pProxyUser,
                                   VARIANT* pProxyPassword, VARIANT* pNotesRetriever)
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(dispidOpenURL, DISPATCH_METHOD, VT_VARIANT, &result, kRef9, pURL, pReload, pURLList, pCharSet,
                 pWebUser, pWebPassword, pProxyUser, pProxyPassword, pNotesRetriever);
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
