#include "OzuAutoServer.h"

#include "ActionNote.h"
#include "DropProps.h"
#include "NoteBox.h"
#include "NoteManager.h"
#include "OzuApp.h"
#include "QuiComModule.h"
#include "QuiComRegistry.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

#include <new>
#include "QuillmateExcept.h"

namespace {

const GUID kAppId = {0xAA67EBE6, 0xA97A, 0x11D2, {0x84, 0xD7, 0x00, 0xA0, 0x24, 0x7B, 0x3D, 0xBA}};
const char kClassName[] = "Ozu Automation Server Class";

const QuiClassRegistration& Registration()
{
    static const QuiClassRegistration registration =
        QuiClassRegistration(kClassName)
            .ProgId("Quillmate.Ozu.1", kClassName)
            .VersionIndependentProgId("Quillmate.Ozu", kClassName)
            .AlsoProgId("Quillmate.Ibe", "Quillmate Automation Server Class (CP)", "Quillmate.Ozu.1")
            .LocalServer()
            .AppId(kAppId)
            .Programmable()
            .TypeLib();
    return registration;
}

// The module's locks are the application's: a program started for a client
// ends when the last object and client let go.
LONG LockApp()
{
    AfxOleLockApp();
    return 1;
}

LONG UnlockApp()
{
    AfxOleUnlockApp();
    return 0;
}

} // namespace

const QuiInterfaceEntry COzuAutoServer::kInterfaces[] = {
    {&IID_IOzuAutoServer, &QuiCastTo<COzuAutoServer, IOzuAutoServer>, nullptr},
    {&IID_IDispatch, &QuiCastTo<COzuAutoServer, IOzuAutoServer>, nullptr},
    {&IID_ISupportErrorInfo, &QuiCastTo<COzuAutoServer, ISupportErrorInfo>, nullptr},
    {nullptr, nullptr, nullptr},
};

namespace {

// The client's call fails with the text of message nId; the user hears of
// it the first time the bound refuses a text.
HRESULT Refuse(CNoteManager* manager, CNoteManager::Refusal kind, HRESULT hr, UINT nId, int nBound)
{
    CString format, text;
    format.LoadString(nId);
    text.Format(format, nBound);
    if (manager && manager->FirstRefusal(kind)) {
        CQuillmateApp* app = QuiGetApp();
        app->BeginModalBox();
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        app->EndModalBox();
    }
    return QuiSetErrorInfo(hr, CLSID_OzuAutoServer, IID_IOzuAutoServer, text.GetString());
}

} // namespace

STDMETHODIMP COzuAutoServer::NewNote(BSTR text)
{
    try {
        CQuillmateApp* app = QuiGetApp();
        if (!app)
            return S_OK;
        // The program is ending (the session, or the exit under way): the
        // caller keeps its text.
        if (app->HasSessionEnded() || app->IsExiting())
            return CO_E_SERVER_STOPPING;
        CNoteManager* manager = app->GetNoteManager();
        if (text && ::SysStringLen(text) > CNoteBox::MAX_TEXT)
            return Refuse(manager, CNoteManager::refusedLong, E_INVALIDARG, IDS_AUTO_TEXT_TOO_LONG,
                          CNoteBox::MAX_TEXT);
        CString narrow = QuiNarrowBstr(text);
        // A program that is starting or reloading opens the text once ready.
        COzuApp* ozu = QuiGetOzuApp();
        BOOL bNotReady = ozu && !ozu->IsReady();
        if (manager && (bNotReady || app->GetNoteCount() >= CNoteManager::MAX_OPEN_NOTES)) {
            if (!manager->QueueText(narrow))
                return Refuse(manager, CNoteManager::refusedFull, HRESULT_FROM_WIN32(ERROR_BUSY),
                              IDS_AUTO_QUEUE_FULL, CNoteManager::MAX_QUEUED_TEXTS);
            return S_OK;
        }
        CActionNote* note = app->NewNote();
        if (!note)
            return E_FAIL;
        note->SetNoteText(narrow);
    } catch (const std::bad_alloc&) {
        // No room for the note: the caller keeps its text.
        return E_OUTOFMEMORY;
    } catch (...) {
        QuiDeleteCurrentException();
        return E_FAIL;
    }
    return S_OK;
}

const QuiServerInfo& QuiOzuServerInfo()
{
    static const QuiClassEntry classes[] = {
        {&CLSID_OzuAutoServer, &QuiCreate<COzuAutoServer>, &Registration()},
        {nullptr, nullptr, nullptr},
    };
    static const QuiServerInfo info = {classes, &LIBID_OzuLib, true};
    return info;
}

BOOL CQuillmateApp::InitAutomationServer()
{
    m_bAutomationStarted = TRUE;
    if (FAILED(::CoInitialize(nullptr))) {
        m_bAutomationStarted = FALSE;
        return FALSE;
    }
    QuiComModule& module = QuiModule();
    module.Init(AfxGetInstanceHandle(), QuiOzuServerInfo());
    module.SetLockHooks(&LockApp, &UnlockApp);
    QuiServerCommand command = QuiFindServerCommand(m_lpCmdLine);
    if (command != QUI_SERVER_RUN) {
        if (command == QUI_SERVER_REGISTER)
            module.RegisterServer();
        else
            module.UnregisterServer();
        m_bAutomationStarted = FALSE;
        module.Term();
        ::CoUninitialize();
        return FALSE;
    }
    if (FAILED(module.RegisterClassObjects(CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE))) {
        m_bAutomationStarted = FALSE;
        ::CoUninitialize();
        return FALSE;
    }
    module.Lock();
    // Registered on every start, so the automation clients find the type
    // library wherever the program was installed; a missing one is no error.
    char path[MAX_PATH] = {};
    if (::GetFullPathNameA("OzuAuto.tlb", MAX_PATH, path, nullptr)) {
        wchar_t widePath[MAX_PATH] = {};
        if (::MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH))
            QuiRegisterTypeLib(widePath, L".");
    }
    return TRUE;
}

void CQuillmateApp::EndAutomationServer()
{
    QuiModule().RevokeClassObjects();
    QuiModule().Term();
    ::CoUninitialize();
    m_bAutomationStarted = FALSE;
}
