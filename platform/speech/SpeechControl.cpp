#include "SpeechControl.h"

#include "QuiSpeechIds.h"

namespace {

// Shown only where it is put; drawn by its own window.
const DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                          OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

template <class T>
HRESULT CopyOut(const T& from, T* to)
{
    if (!to)
        return E_POINTER;
    *to = from;
    return S_OK;
}

// A control told to fail its creation never comes to be.
HRESULT Created(const char* object)
{
    std::string call = std::string(object) + " create";
    if (SpeechCall::ToFail(call)) {
        SpeechCall::Log("FAILED " + call);
        return E_FAIL;
    }
    SpeechCall::Log(call);
    return S_OK;
}

}  // namespace

//--- the window of either control

CSpeechControlBase::CSpeechControlBase(REFCLSID clsid, const IID* eventIid)
    : QuiMessageControlImpl(clsid, eventIid, kMiscStatus)
{
}

//--- the engine

const QuiInterfaceEntry CSpeechEngine::kInterfaces[] = {
    {&IID_IQuiSpeechEngine, QuiCastTo<CSpeechEngine, IQuiSpeechEngine>},
    {&IID_IDispatch, QuiCastTo<CSpeechEngine, IQuiSpeechEngine>},
    {},
};

STDMETHODIMP CSpeechEngine::Start()
{
    m_running = true;
    return S_OK;
}

STDMETHODIMP CSpeechEngine::Stop()
{
    m_running = false;
    return S_OK;
}

STDMETHODIMP CSpeechEngine::get_Active(LONG* value)
{
    return CopyOut(m_active, value);
}

STDMETHODIMP CSpeechEngine::put_Active(LONG value)
{
    m_active = value;
    return S_OK;
}

//--- the phrase control

const QuiInterfaceEntry CSpeechPhrasesCtrl::kInterfaces[] = {
    {&IID_IQuiSpeechPhrases, QuiCastTo<CSpeechPhrasesCtrl, IQuiSpeechPhrases>},
    {&IID_IDispatch, QuiCastTo<CSpeechPhrasesCtrl, IQuiSpeechPhrases>},
    {&IID_IConnectionPointContainer, QuiCastTo<CSpeechPhrasesCtrl, IConnectionPointContainer>},
    {nullptr, QuiCastTo<CSpeechPhrasesCtrl, QuiWindowedControlImpl>, QuiWindowedControlImpl::kInterfaces},
    {},
};

CSpeechPhrasesCtrl::CSpeechPhrasesCtrl()
    : CSpeechControlBase(CLSID_QuiSpeechPhrases, &DIID__DQuiSpeechPhrasesEvents),
      m_events(this, DIID__DQuiSpeechPhrasesEvents)
{
    AddConnectionPoint(&m_events);
}

// The window goes while the whole object still answers its messages.
CSpeechPhrasesCtrl::~CSpeechPhrasesCtrl()
{
    InPlaceDeactivate();
    if (m_engine)
        m_engine->Release();
}

HRESULT CSpeechPhrasesCtrl::FinalConstruct()
{
    HRESULT hr = Created("phrases");
    if (FAILED(hr))
        return hr;
    QuiComObject<CSpeechEngine>* engine = nullptr;
    hr = QuiComObject<CSpeechEngine>::CreateObject(&engine);
    if (SUCCEEDED(hr))
        m_engine = static_cast<IQuiSpeechEngine*>(engine);
    return hr;
}

STDMETHODIMP CSpeechPhrasesCtrl::get_Listening(VARIANT_BOOL* value)
{
    return CopyOut(m_listening, value);
}

STDMETHODIMP CSpeechPhrasesCtrl::put_Listening(VARIANT_BOOL value)
{
    m_listening = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CSpeechPhrasesCtrl::get_Engine(IDispatch** engine)
{
    if (!engine)
        return E_POINTER;
    *engine = m_engine;
    m_engine->AddRef();
    return S_OK;
}

STDMETHODIMP CSpeechPhrasesCtrl::AddPhrase(BSTR phrase, LONG command, BSTR, VARIANT_BOOL, IDispatch** engine)
{
    if (!engine)
        return E_POINTER;
    *engine = nullptr;
    if (SysStringLen(phrase) == 0)
        return E_INVALIDARG;
    m_phrases.push_back({std::wstring(phrase, SysStringLen(phrase)), command});
    return get_Engine(engine);
}

bool CSpeechPhrasesCtrl::HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT* result)
{
    static const UINT hear = RegisterWindowMessageA(QUI_SPEECH_HEAR_MESSAGE);
    if (message != hear)
        return false;
    *result = Hear(static_cast<size_t>(wParam));
    return true;
}

LRESULT CSpeechPhrasesCtrl::Hear(size_t index)
{
    if (index >= m_phrases.size())
        return -1;
    const Phrase& phrase = m_phrases[index];
    BSTR text = SysAllocStringLen(phrase.text.data(), static_cast<UINT>(phrase.text.size()));
    BSTR reply = nullptr;
    VARIANT_BOOL handled = VARIANT_FALSE;
    BSTR speaker = SysAllocString(L"stand-in");
    BSTR context = SysAllocString(L"");
    // Last argument first, as IDispatch takes them.
    VARIANT args[6];
    for (VARIANT& arg : args)
        VariantInit(&arg);
    args[5].vt = VT_BSTR, args[5].bstrVal = text;
    args[4].vt = VT_I4, args[4].lVal = phrase.command;
    args[3].vt = VT_BSTR | VT_BYREF, args[3].pbstrVal = &reply;
    args[2].vt = VT_BOOL | VT_BYREF, args[2].pboolVal = &handled;
    args[1].vt = VT_BSTR, args[1].bstrVal = speaker;
    args[0].vt = VT_BSTR, args[0].bstrVal = context;
    DISPPARAMS params = {args, nullptr, 6, 0};
    if (!EventsFrozen())
        m_events.FireDispatch(DISPID_SPEECHPHRASES_HEARD, &params);
    // The phrase and its command, as they were said.
    DISPPARAMS said = {&args[4], nullptr, 2, 0};
    SpeechCall::Log("phrases heard" + SpeechCall::Arguments(&said) + (handled ? " 1" : " 0"));
    SysFreeString(text);
    SysFreeString(reply);
    SysFreeString(speaker);
    SysFreeString(context);
    return handled ? 1 : 0;
}

//--- the rich edit

const QuiInterfaceEntry CSpeechRichEditCtrl::kInterfaces[] = {
    {&IID_IQuiSpeechRichEdit, QuiCastTo<CSpeechRichEditCtrl, IQuiSpeechRichEdit>},
    {&IID_IDispatch, QuiCastTo<CSpeechRichEditCtrl, IQuiSpeechRichEdit>},
    {nullptr, QuiCastTo<CSpeechRichEditCtrl, QuiWindowedControlImpl>, QuiWindowedControlImpl::kInterfaces},
    {},
};

CSpeechRichEditCtrl::CSpeechRichEditCtrl() : CSpeechControlBase(CLSID_QuiSpeechRichEdit, nullptr)
{
}

// The window goes while the whole object still answers its messages.
CSpeechRichEditCtrl::~CSpeechRichEditCtrl()
{
    InPlaceDeactivate();
    if (m_font)
        m_font->Release();
}

HRESULT CSpeechRichEditCtrl::FinalConstruct()
{
    return Created("richedit");
}

HWND CSpeechRichEditCtrl::Inner() const
{
    return Window() ? GetDlgItem(Window(), QUI_SPEECH_INNER_EDIT_ID) : nullptr;
}

// The inner edit fills the control; what was set before it existed moves in.
void CSpeechRichEditCtrl::OnWindowCreated(HWND window)
{
    static HMODULE richEdit = LoadLibraryA("riched20.dll");
    if (!richEdit)
        return;
    RECT client;
    GetClientRect(window, &client);
    HWND inner = CreateWindowExW(0, RICHEDIT_CLASSW, m_text.c_str(),
                                 WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
                                 client.right, client.bottom, window,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(QUI_SPEECH_INNER_EDIT_ID)),
                                 QuiModule().Instance(), nullptr);
    if (!inner)
        return;
    // The text in the container's font, else the dialogs' one.
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    VARIANT ambient;
    if (!m_font && GetAmbientProperty(DISPID_AMBIENT_FONT, &ambient) == S_OK && ambient.vt == VT_DISPATCH &&
        ambient.pdispVal)
        ambient.pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&m_font));
    VariantClear(&ambient);
    HFONT ambientFont = nullptr;
    if (m_font && SUCCEEDED(m_font->get_hFont(&ambientFont)) && ambientFont)
        font = ambientFont;
    SendMessageW(inner, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ApplyFrame();
    SendMessageW(inner, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(m_backColor));
    ApplySelection();
}

// The container sees its edit's notifications as this control's own.
bool CSpeechRichEditCtrl::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_SIZE:
        if (HWND inner = Inner())
            MoveWindow(inner, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        *result = 0;
        return true;
    case WM_SETFOCUS:
        if (HWND inner = Inner())
            SetFocus(inner);
        *result = 0;
        return true;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) != Inner())
            return false;
        *result = SendMessageA(GetParent(window), WM_COMMAND,
                               MAKEWPARAM(GetDlgCtrlID(window), HIWORD(wParam)), reinterpret_cast<LPARAM>(window));
        return true;
    case WM_NOTIFY:
        *result = SendMessageA(GetParent(window), WM_NOTIFY, wParam, lParam);
        return true;
    default:
        return false;
    }
}

void CSpeechRichEditCtrl::ApplyFrame()
{
    HWND window = Window();
    if (!window)
        return;
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    style = m_borderStyle ? (style | WS_BORDER) : (style & ~WS_BORDER);
    exStyle = m_appearance ? (exStyle | WS_EX_CLIENTEDGE) : (exStyle & ~WS_EX_CLIENTEDGE);
    SetWindowLongPtrA(window, GWL_STYLE, style);
    SetWindowLongPtrA(window, GWL_EXSTYLE, exStyle);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void CSpeechRichEditCtrl::ApplySelection()
{
    if (HWND inner = Inner()) {
        CHARRANGE range = {m_selStart, m_selStart + m_selLength};
        SendMessageW(inner, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
}

STDMETHODIMP CSpeechRichEditCtrl::get_BackColor(OLE_COLOR* value)
{
    return CopyOut(m_backColor, value);
}

STDMETHODIMP CSpeechRichEditCtrl::put_BackColor(OLE_COLOR value)
{
    COLORREF color;
    if (FAILED(OleTranslateColor(value, nullptr, &color)))
        return CTL_E_INVALIDPROPERTYVALUE;
    m_backColor = value;
    if (HWND inner = Inner())
        SendMessageW(inner, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
    return S_OK;
}

STDMETHODIMP CSpeechRichEditCtrl::get_BorderStyle(LONG* value)
{
    return CopyOut(m_borderStyle, value);
}

STDMETHODIMP CSpeechRichEditCtrl::put_BorderStyle(LONG value)
{
    return PutFrame(&m_borderStyle, value);
}

STDMETHODIMP CSpeechRichEditCtrl::get_Appearance(LONG* value)
{
    return CopyOut(m_appearance, value);
}

STDMETHODIMP CSpeechRichEditCtrl::put_Appearance(LONG value)
{
    return PutFrame(&m_appearance, value);
}

// Border and appearance are each off (0) or on (1).
HRESULT CSpeechRichEditCtrl::PutFrame(LONG* field, LONG value)
{
    if (value != 0 && value != 1)
        return CTL_E_INVALIDPROPERTYVALUE;
    *field = value;
    ApplyFrame();
    return S_OK;
}

STDMETHODIMP CSpeechRichEditCtrl::get_Text(BSTR* value)
{
    if (!value)
        return E_POINTER;
    if (HWND inner = Inner()) {
        int length = GetWindowTextLengthW(inner);
        std::wstring text(length + 1, L'\0');
        length = GetWindowTextW(inner, &text[0], length + 1);
        *value = SysAllocStringLen(text.data(), length);
    } else {
        *value = SysAllocStringLen(m_text.data(), static_cast<UINT>(m_text.size()));
    }
    return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CSpeechRichEditCtrl::put_Text(BSTR value)
{
    m_text.assign(value ? value : L"", SysStringLen(value));
    if (HWND inner = Inner())
        SetWindowTextW(inner, m_text.c_str());
    return S_OK;
}

STDMETHODIMP CSpeechRichEditCtrl::get_SelStart(LONG* value)
{
    if (HWND inner = Inner()) {
        CHARRANGE range = {};
        SendMessageW(inner, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        m_selStart = range.cpMin;
        m_selLength = range.cpMax - range.cpMin;
    }
    return CopyOut(m_selStart, value);
}

// As in the edits of forms: a new start is an empty selection there.
STDMETHODIMP CSpeechRichEditCtrl::put_SelStart(LONG value)
{
    if (value < 0)
        return CTL_E_INVALIDPROPERTYVALUE;
    m_selStart = value;
    m_selLength = 0;
    ApplySelection();
    return S_OK;
}

STDMETHODIMP CSpeechRichEditCtrl::get_SelLength(LONG* value)
{
    LONG start;
    get_SelStart(&start);
    return CopyOut(m_selLength, value);
}

STDMETHODIMP CSpeechRichEditCtrl::put_SelLength(LONG value)
{
    if (value < 0)
        return CTL_E_INVALIDPROPERTYVALUE;
    LONG start;
    get_SelStart(&start);
    m_selLength = value;
    ApplySelection();
    return S_OK;
}

STDMETHODIMP CSpeechRichEditCtrl::get_RedrawLocked(VARIANT_BOOL* value)
{
    return CopyOut(m_redrawLocked, value);
}

STDMETHODIMP CSpeechRichEditCtrl::put_RedrawLocked(VARIANT_BOOL value)
{
    m_redrawLocked = value ? VARIANT_TRUE : VARIANT_FALSE;
    if (HWND inner = Inner()) {
        SendMessageW(inner, WM_SETREDRAW, m_redrawLocked ? FALSE : TRUE, 0);
        if (!m_redrawLocked)
            InvalidateRect(inner, nullptr, TRUE);
    }
    return S_OK;
}

HRESULT CSpeechRichEditCtrl::GetSelectionFormat(CHARFORMATW* format)
{
    HWND inner = Inner();
    if (!inner)
        return OLE_E_NOT_INPLACEACTIVE;
    *format = CHARFORMATW();
    format->cbSize = sizeof *format;
    SendMessageW(inner, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(format));
    return S_OK;
}

HRESULT CSpeechRichEditCtrl::SetSelectionFormat(DWORD mask, DWORD effects, COLORREF color)
{
    HWND inner = Inner();
    if (!inner)
        return OLE_E_NOT_INPLACEACTIVE;
    CHARFORMATW format = {};
    format.cbSize = sizeof format;
    format.dwMask = mask;
    format.dwEffects = effects;
    format.crTextColor = color;
    SendMessageW(inner, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return S_OK;
}

HRESULT CSpeechRichEditCtrl::GetEffect(DWORD effect, VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    CHARFORMATW format;
    HRESULT hr = GetSelectionFormat(&format);
    *value = SUCCEEDED(hr) && (format.dwEffects & effect) ? VARIANT_TRUE : VARIANT_FALSE;
    return hr;
}

HRESULT CSpeechRichEditCtrl::PutEffect(DWORD effect, VARIANT_BOOL value)
{
    // CFE_BOLD, CFE_ITALIC and CFE_UNDERLINE share their bits with their CFM_ masks.
    return SetSelectionFormat(effect, value ? effect : 0, 0);
}

STDMETHODIMP CSpeechRichEditCtrl::get_SelColor(LONG* value)
{
    if (!value)
        return E_POINTER;
    CHARFORMATW format;
    HRESULT hr = GetSelectionFormat(&format);
    *value = SUCCEEDED(hr) ? static_cast<LONG>(format.crTextColor) : 0;
    return hr;
}

STDMETHODIMP CSpeechRichEditCtrl::put_SelColor(LONG value)
{
    return SetSelectionFormat(CFM_COLOR, 0, static_cast<COLORREF>(value));
}

STDMETHODIMP CSpeechRichEditCtrl::get_DictationEnabled(VARIANT_BOOL* value)
{
    return CopyOut(m_dictation, value);
}

STDMETHODIMP CSpeechRichEditCtrl::put_DictationEnabled(VARIANT_BOOL value)
{
    m_dictation = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
