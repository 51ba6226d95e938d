#include "VVPhrases.h"

#include <memory>

namespace {

const CLSID CLSID_VVPhrases = {0x6B2A3868, 0xE625, 0x11D1, {0xB5, 0x0C, 0x00, 0x06, 0x29, 0xB2, 0xAC, 0x6D}};

enum : DISPID {
    kListening = 3,
    kEngine = 5,
    kAddPhrase = 9,
    kEngineStart = 1,
    kEngineStop = 3,
    kEngineActive = 6,
};

// The longest phrase text taken from a menu item.
const int kMaxPhrase = 256;

} // namespace

//--- CVVPhraseDriver

void CVVPhraseDriver::Start()
{
    InvokeHelper(kEngineStart, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CVVPhraseDriver::Stop()
{
    InvokeHelper(kEngineStop, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CVVPhraseDriver::SetActive(long active)
{
    SetProperty(kEngineActive, VT_I4, active);
}

//--- CVVPhrases

BOOL CVVPhrases::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateControl(CLSID_VVPhrases, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CVVPhrases::SetListening(BOOL bOn)
{
    SetProperty(kListening, VT_BOOL, bOn);
}

LPDISPATCH CVVPhrases::GetEngine() const
{
    LPDISPATCH lpEngine = nullptr;
    GetProperty(kEngine, VT_DISPATCH, &lpEngine);
    return lpEngine;
}

void CVVPhrases::AddPhrase(LPCTSTR lpszPhrase, long nCommand, LPCTSTR lpszSpoken, BOOL bEnabled)
{
    static const BYTE params[] = VTS_BSTR VTS_I4 VTS_BSTR VTS_BOOL;
    LPDISPATCH lpResult = nullptr;
    InvokeHelper(kAddPhrase, DISPATCH_METHOD, VT_DISPATCH, &lpResult, params, lpszPhrase, nCommand, lpszSpoken,
                 bEnabled);
    if (lpResult)
        lpResult->Release();
}

// Separators and items without text are nothing one could say.
void CVVPhrases::AddMenuPhrases(UINT nMenuID)
{
    HMENU hMenu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nMenuID));
    if (!hMenu)
        return;
    struct MenuGuard {
        HMENU h;
        ~MenuGuard() { ::DestroyMenu(h); }
    } guard{hMenu};
    HMENU hPopup = ::GetSubMenu(hMenu, 0);
    int count = hPopup ? ::GetMenuItemCount(hPopup) : 0;
    for (int i = 0; i < count; ++i) {
        char text[kMaxPhrase + 1] = "";
        if (::GetMenuStringA(hPopup, i, text, sizeof text, MF_BYPOSITION) <= 0)
            continue;
        UINT nCommand = ::GetMenuItemID(hPopup, i);
        if (nCommand == static_cast<UINT>(-1))
            continue;
        AddPhrase(text, static_cast<long>(nCommand), text, TRUE);
    }
}

CVVPhrases* CVVPhrases::TurnOn(CWnd* pParent, UINT nID, UINT nMenuID)
{
    std::unique_ptr<CVVPhrases> pPhrases(new CVVPhrases);
    RECT rect = {0, 0, 10, 10};
    if (!pPhrases->Create(nullptr, nullptr, WS_CHILD, rect, pParent, nID))
        return nullptr;
    // The wrapper's destructor ends the control should a call fail.
    pPhrases->AddMenuPhrases(nMenuID);
    CVVPhraseDriver engine(pPhrases->GetEngine());
    engine.Start();
    engine.SetActive(1);
    pPhrases->SetListening(TRUE);
    return pPhrases.release();
}

void CVVPhrases::TurnOff(CVVPhrases* pPhrases)
{
    if (!pPhrases)
        return;
    {
        CVVPhraseDriver engine(pPhrases->GetEngine());
        engine.SetActive(0);
        engine.Stop();
    }
    pPhrases->DestroyWindow();
    delete pPhrases;
}
