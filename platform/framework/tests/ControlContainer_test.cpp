// Hosting a control in a window: creation by class identifier, the
// control's window as the object's window, calls on its IDispatch, its
// place, its end, the ambient properties it may ask for, and its events
// through the parent's event sink map. The control is the test's own, built
// on the COM kit and offered to COM from this process.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "QuiComModule.h"
#include "QuiConnectionPoint.h"
#include "QuiWindowedControl.h"
#include "TestSupport.h"

namespace {

const CLSID CLSID_TestControl = {0x5a0e3d2c, 0x81f4, 0x4b7e, {0x9e, 0x11, 0x2d, 0x6a, 0x73, 0x40, 0xc1, 0x5f}};
const CLSID CLSID_NeverRegistered = {0x0c2b9e71, 0x3d45, 0x4f60, {0xa8, 0x1b, 0x7e, 0x90, 0x55, 0x12, 0x34, 0x01}};
const IID DIID_TestEvents = {0x6f1d22b0, 0x0e6a, 0x4c3b, {0x91, 0x5d, 0x44, 0x2c, 0x18, 0x7a, 0x0b, 0x93}};

const DISPID kValue = 1;   // long property
const DISPID kEcho = 2;    // method: BSTR in, the same BSTR out

const UINT kCtrlId = 161;
const CRect kPlace(10, 20, 110, 70);

// What the last control made saw, read by the tests after it is gone.
struct ControlLife {
    int live = 0;
    int closes = 0;
    int deactivations = 0;
    std::vector<RECT> rects;
    SIZEL extent = {};
    HWND window = nullptr;
    bool refuseActivation = false;   // set by a test: the next activation fails
    int refusedActivations = 0;
};
ControlLife g_life;

class CTestControl : public QuiObjectRoot,
                     public IDispatch,
                     public QuiWindowedControlImpl,
                     public QuiConnectionPointContainerImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];
    static CTestControl* s_last;

    CTestControl() : QuiWindowedControlImpl(CLSID_TestControl, &DIID_TestEvents, 0), m_events(this, DIID_TestEvents)
    {
        AddConnectionPoint(&m_events);
        ++g_life.live;
        s_last = this;
    }
    ~CTestControl() override
    {
        InPlaceDeactivate();
        --g_life.live;
        if (s_last == this)
            s_last = nullptr;
    }

    int Fire(DISPID id, std::vector<VARIANT> lastFirst)
    {
        DISPPARAMS params = {lastFirst.data(), nullptr, static_cast<UINT>(lastFirst.size()), 0};
        return m_events.FireDispatch(id, &params);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (id == kValue && (flags & DISPATCH_PROPERTYPUT)) {
            VARIANT value;
            VariantInit(&value);
            if (params->cArgs != 1 || FAILED(VariantChangeType(&value, &params->rgvarg[0], 0, VT_I4)))
                return DISP_E_TYPEMISMATCH;
            m_value = value.lVal;
            return S_OK;
        }
        if (id == kValue && (flags & DISPATCH_PROPERTYGET) && result) {
            result->vt = VT_I4;
            result->lVal = m_value;
            return S_OK;
        }
        if (id == kEcho && (flags & DISPATCH_METHOD) && params->cArgs == 1 && result)
            return VariantCopy(result, &params->rgvarg[0]);
        return DISP_E_MEMBERNOTFOUND;
    }

    STDMETHODIMP Close(DWORD option) override
    {
        ++g_life.closes;
        return QuiWindowedControlImpl::Close(option);
    }
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT pos) override
    {
        if (verb == OLEIVERB_INPLACEACTIVATE && g_life.refuseActivation) {
            ++g_life.refusedActivations;
            return E_FAIL;
        }
        return QuiWindowedControlImpl::DoVerb(verb, msg, site, index, parent, pos);
    }
    STDMETHODIMP InPlaceDeactivate() override
    {
        if (Window())
            ++g_life.deactivations;
        return QuiWindowedControlImpl::InPlaceDeactivate();
    }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override
    {
        if (pos)
            g_life.rects.push_back(*pos);
        return QuiWindowedControlImpl::SetObjectRects(pos, clip);
    }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override
    {
        if (size)
            g_life.extent = *size;
        return QuiWindowedControlImpl::SetExtent(aspect, size);
    }

    HRESULT Ambient(DISPID id, VARIANT* value) { return GetAmbientProperty(id, value); }

protected:
    HWND CreateControlWindow(HWND parent, const RECT& pos) override
    {
        static ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "QuiTestControlWnd";
            return RegisterClassA(&wc);
        }();
        g_life.window = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_CHILD, pos.left, pos.top, pos.right - pos.left,
                                        pos.bottom - pos.top, parent, nullptr, GetModuleHandleA(nullptr), this);
        return g_life.window;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(hWnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        if (message == WM_NCDESTROY)
            if (auto* self = reinterpret_cast<CTestControl*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA)))
                self->WindowGone(hWnd);
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }

    QuiConnectionPoint m_events;
    long m_value = 0;
};

CTestControl* CTestControl::s_last = nullptr;

const QuiInterfaceEntry CTestControl::kInterfaces[] = {
    {&IID_IDispatch, QuiCastTo<CTestControl, IDispatch>},
    {&IID_IConnectionPointContainer, QuiCastTo<CTestControl, IConnectionPointContainer>},
    {nullptr, QuiCastTo<CTestControl, QuiWindowedControlImpl>, QuiWindowedControlImpl::kInterfaces},
    {},
};

const QuiClassEntry kClasses[] = {
    {&CLSID_TestControl, QuiCreate<CTestControl>, nullptr},
    {},
};
const QuiServerInfo kServer = {kClasses, nullptr, false};

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Long(long value)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Short(short value)
{
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT RefBool(VARIANT_BOOL* value)
{
    VARIANT v;
    v.vt = VT_BOOL | VT_BYREF;
    v.pboolVal = value;
    return v;
}

VARIANT RefText(BSTR* value)
{
    VARIANT v;
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = value;
    return v;
}

// The events the host took, as text.
class CBaseHost : public CWnd {
public:
    std::vector<std::string> heard;

protected:
    BOOL OnAnyThing(long value)
    {
        heard.push_back("base " + std::to_string(value));
        return TRUE;
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CBaseHost, CWnd)
    ON_EVENT(CBaseHost, kCtrlId, 7, OnAnyThing, VTS_I4)
END_EVENTSINK_MAP()

class CHost : public CBaseHost {
public:
    BOOL Create() { return CreateEx(0, nullptr, "host", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr); }
    BOOL m_bTakeSeven = TRUE;

protected:
    void OnHeard(LPCTSTR text, long command, BSTR* reply, BOOL* handled)
    {
        heard.push_back(std::string(text) + " " + std::to_string(command) + (*handled ? " was" : " not"));
        *handled = TRUE;
        SysFreeString(*reply);
        *reply = SysAllocString(L"done");
    }
    BOOL OnSeven(long value)
    {
        heard.push_back("derived " + std::to_string(value));
        return m_bTakeSeven;
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHost, CBaseHost)
    ON_EVENT(CHost, kCtrlId, 1, OnHeard, VTS_BSTR VTS_I4 VTS_PBSTR VTS_PBOOL)
    ON_EVENT(CHost, kCtrlId, 7, OnSeven, VTS_I4)
END_EVENTSINK_MAP()

class ControlContainer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_ole);
        g_life = ControlLife();
        QuiModule().Init(GetModuleHandleA(nullptr), kServer);
        ASSERT_HRESULT_SUCCEEDED(QuiModule().RegisterClassObjects(CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE));
        AfxEnableControlContainer();
        ASSERT_TRUE(m_host.Create());
    }
    void TearDown() override
    {
        m_host.DestroyWindow();
        QuiModule().RevokeClassObjects();
        if (SUCCEEDED(m_ole))
            OleUninitialize();
    }

    BOOL CreateIn(CWnd& control, DWORD style = WS_CHILD | WS_VISIBLE)
    {
        return control.CreateControl(CLSID_TestControl, nullptr, style, kPlace, &m_host, kCtrlId);
    }

    HRESULT m_ole = OleInitialize(nullptr);
    CHost m_host;
};

CRect PlaceInParent(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

TEST_F(ControlContainer, ControlWindowBecomesTheObjectsWindow)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control));
    ASSERT_NE(nullptr, control.m_hWnd);
    EXPECT_EQ(g_life.window, control.m_hWnd);
    EXPECT_EQ(&control, CWnd::FromHandlePermanent(control.m_hWnd));
    EXPECT_EQ(m_host.m_hWnd, ::GetParent(control.m_hWnd));
    EXPECT_EQ(static_cast<int>(kCtrlId), control.GetDlgCtrlID());
    EXPECT_EQ(kPlace, PlaceInParent(control.m_hWnd));
    EXPECT_TRUE(control.GetStyle() & WS_VISIBLE);
    EXPECT_NE(nullptr, control.GetControlUnknown());
    // One inch is 2540 HIMETRIC units.
    SIZE ppi = {96, 96};
    HDC dc = GetDC(nullptr);
    ppi.cx = GetDeviceCaps(dc, LOGPIXELSX);
    ppi.cy = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(MulDiv(kPlace.Width(), 2540, ppi.cx), g_life.extent.cx);
    EXPECT_EQ(MulDiv(kPlace.Height(), 2540, ppi.cy), g_life.extent.cy);
}

TEST_F(ControlContainer, HiddenWithoutVisibleStyle)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control, WS_CHILD));
    EXPECT_FALSE(control.GetStyle() & WS_VISIBLE);
}

TEST_F(ControlContainer, CreationFailsCleanlyAndLeavesTheObjectAsItWas)
{
    struct Row {
        const char* what;
        const CLSID* clsid;
        bool withParent;
    } rows[] = {
        {"class not registered", &CLSID_NeverRegistered, true},
        {"no parent", &CLSID_TestControl, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CWnd control;
        EXPECT_FALSE(control.CreateControl(*row.clsid, nullptr, WS_CHILD | WS_VISIBLE, kPlace,
                                           row.withParent ? &m_host : nullptr, kCtrlId));
        EXPECT_EQ(nullptr, control.m_hWnd);
        EXPECT_EQ(nullptr, control.GetControlUnknown());
        EXPECT_EQ(nullptr, ::GetWindow(m_host.m_hWnd, GW_CHILD));
        EXPECT_EQ(0, g_life.live);
    }
    // The same object can be used again.
    CWnd control;
    EXPECT_FALSE(control.CreateControl(CLSID_NeverRegistered, nullptr, WS_CHILD, kPlace, &m_host, kCtrlId));
    EXPECT_TRUE(CreateIn(control));
}

TEST_F(ControlContainer, AControlThatWillNotActivateIsReleased)
{
    g_life.refuseActivation = true;
    CWnd control;
    EXPECT_FALSE(control.CreateControl(CLSID_TestControl, nullptr, WS_CHILD, kPlace, &m_host, kCtrlId));
    ASSERT_EQ(1, g_life.refusedActivations) << "the control was made and asked to activate";
    EXPECT_EQ(1, g_life.closes);
    EXPECT_EQ(0, g_life.live);
    EXPECT_EQ(nullptr, control.m_hWnd);
    EXPECT_EQ(nullptr, ::GetWindow(m_host.m_hWnd, GW_CHILD));
    // The same object can be used again once the control activates.
    g_life.refuseActivation = false;
    EXPECT_TRUE(CreateIn(control));
}

TEST_F(ControlContainer, PropertiesAndMethodsReachTheControl)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control));
    control.SetProperty(kValue, VT_I4, 42L);
    long value = 0;
    control.GetProperty(kValue, VT_I4, &value);
    EXPECT_EQ(42, value);
    // Coerced on the way back as the dispatch driver does.
    CString text;
    control.GetProperty(kValue, VT_BSTR, &text);
    EXPECT_STREQ("42", text);
    static const BYTE params[] = VTS_BSTR;
    CString echoed;
    control.InvokeHelper(kEcho, DISPATCH_METHOD, VT_BSTR, &echoed, params, "call Bob");
    EXPECT_STREQ("call Bob", echoed);
}

TEST_F(ControlContainer, CallsWithoutAControlRaiseBlank)
{
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, nullptr, "", WS_CHILD, kPlace, &m_host, 5));
    struct Row {
        const char* what;
        void (*call)(CWnd&);
    } rows[] = {
        {"get", [](CWnd& w) { long v; w.GetProperty(kValue, VT_I4, &v); }},
        {"put", [](CWnd& w) { w.SetProperty(kValue, VT_I4, 1L); }},
        {"method", [](CWnd& w) { w.InvokeHelper(kEcho, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SCODE sc = S_OK;
        try {
            row.call(plain);
        } catch (COleException* e) {
            sc = e->m_sc;
            e->Delete();
        }
        EXPECT_EQ(OLE_E_BLANK, sc);
    }
}

TEST_F(ControlContainer, MovingTheObjectMovesTheControlThroughItsSite)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control));
    g_life.rects.clear();
    control.MoveWindow(5, 6, 150, 80);
    ASSERT_EQ(1u, g_life.rects.size());
    EXPECT_EQ(CRect(5, 6, 155, 86), CRect(g_life.rects[0]));
    EXPECT_EQ(CRect(5, 6, 155, 86), PlaceInParent(control.m_hWnd));

    struct Row {
        int x, y, cx, cy;
        UINT flags;
        CRect expected;
    } rows[] = {
        {30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER, CRect(30, 40, 180, 120)},
        {0, 0, 60, 20, SWP_NOMOVE | SWP_NOZORDER, CRect(30, 40, 90, 60)},
        {1, 2, 3, 4, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER, CRect(30, 40, 90, 60)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        control.SetWindowPos(nullptr, row.x, row.y, row.cx, row.cy, row.flags);
        EXPECT_EQ(row.expected, PlaceInParent(control.m_hWnd));
        EXPECT_EQ(row.expected, CRect(g_life.rects.back()));
    }
    EXPECT_EQ(3u, g_life.rects.size());   // the last row moved nothing
}

TEST_F(ControlContainer, ControlEndsWithItsObjectsWindow)
{
    struct Row {
        const char* how;
        void (*end)(CWnd& control, CWnd& host);
    } rows[] = {
        {"DestroyWindow", [](CWnd& control, CWnd&) { EXPECT_TRUE(control.DestroyWindow()); }},
        {"parent destroyed", [](CWnd&, CWnd& host) { host.DestroyWindow(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        g_life = ControlLife();
        if (!m_host.m_hWnd) {
            ASSERT_TRUE(m_host.Create());
        }
        CWnd control;
        ASSERT_TRUE(CreateIn(control));
        HWND hWnd = control.m_hWnd;
        row.end(control, m_host);
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(nullptr, control.m_hWnd);
        EXPECT_EQ(nullptr, control.GetControlUnknown());
        EXPECT_EQ(1, g_life.closes);
        EXPECT_EQ(0, g_life.live) << "the control is released";
    }
}

TEST_F(ControlContainer, ObjectGoingFirstEndsTheControl)
{
    HWND hWnd = nullptr;
    {
        CWnd control;
        ASSERT_TRUE(CreateIn(control));
        hWnd = control.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(1, g_life.closes);
    EXPECT_EQ(0, g_life.live);
}

TEST_F(ControlContainer, AmbientPropertiesOfTheWindow)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control));
    CTestControl* pControl = CTestControl::s_last;
    ASSERT_NE(nullptr, pControl);
    struct Row {
        DISPID id;
        VARTYPE vt;
        long value;
    } rows[] = {
        {DISPID_AMBIENT_USERMODE, VT_BOOL, VARIANT_TRUE},
        {DISPID_AMBIENT_UIDEAD, VT_BOOL, VARIANT_FALSE},
        {DISPID_AMBIENT_SHOWGRABHANDLES, VT_BOOL, VARIANT_FALSE},
        {DISPID_AMBIENT_SHOWHATCHING, VT_BOOL, VARIANT_FALSE},
        {DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, VARIANT_FALSE},
        {DISPID_AMBIENT_BACKCOLOR, VT_I4, static_cast<long>(GetSysColor(COLOR_WINDOW))},
        {DISPID_AMBIENT_FORECOLOR, VT_I4, static_cast<long>(GetSysColor(COLOR_WINDOWTEXT))},
        {DISPID_AMBIENT_LOCALEID, VT_I4, static_cast<long>(GetUserDefaultLCID())},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        VARIANT value;
        ASSERT_EQ(S_OK, pControl->Ambient(row.id, &value));
        EXPECT_EQ(row.vt, value.vt);
        EXPECT_EQ(row.value, row.vt == VT_BOOL ? value.boolVal : value.lVal);
        VariantClear(&value);
    }
    VARIANT font;
    ASSERT_EQ(S_OK, pControl->Ambient(DISPID_AMBIENT_FONT, &font));
    ASSERT_EQ(VT_DISPATCH, font.vt);
    IFont* pFont = nullptr;
    ASSERT_EQ(S_OK, font.pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&pFont)));
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, pFont->get_Name(&name));
    EXPECT_LT(0u, SysStringLen(name));
    SysFreeString(name);
    pFont->Release();
    VariantClear(&font);

    VARIANT none;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, pControl->Ambient(DISPID_AMBIENT_TEXTALIGN + 1000, &none));
}

TEST_F(ControlContainer, EventsReachTheParentsEventSinkMap)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control));
    CTestControl* pControl = CTestControl::s_last;
    ASSERT_NE(nullptr, pControl);

    BSTR reply = nullptr;
    VARIANT_BOOL handled = VARIANT_FALSE;
    // A short where the row wants a long is converted first.
    EXPECT_EQ(1, pControl->Fire(1, {RefBool(&handled), RefText(&reply), Short(166), Text(L"new note")}));
    ASSERT_EQ(1u, m_host.heard.size());
    EXPECT_EQ("new note 166 not", m_host.heard[0]);
    EXPECT_EQ(VARIANT_TRUE, handled);
    ASSERT_NE(nullptr, reply);
    EXPECT_STREQ(L"done", reply);
    SysFreeString(reply);
}

TEST_F(ControlContainer, EventRowsSearchDerivedFirstThenBase)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control));
    DISPPARAMS params = {nullptr, nullptr, 0, 0};
    VARIANT arg = Long(9);
    params.rgvarg = &arg;
    params.cArgs = 1;
    EXPECT_EQ(S_OK, m_host.OnEvent(kCtrlId, 7, &params));
    m_host.m_bTakeSeven = FALSE;
    EXPECT_EQ(S_OK, m_host.OnEvent(kCtrlId, 7, &params));
    EXPECT_EQ((std::vector<std::string>{"derived 9", "derived 9", "base 9"}), m_host.heard);
}

TEST_F(ControlContainer, EventsThatFitNoRow)
{
    VARIANT_BOOL handled = VARIANT_FALSE;
    BSTR reply = nullptr;
    std::vector<VARIANT> wrongType = {RefBool(&handled), Long(1), Short(166), Text(L"x")};
    std::vector<VARIANT> tooFew = {Text(L"x")};
    std::vector<VARIANT> fits = {RefBool(&handled), RefText(&reply), Long(1), Text(L"x")};
    struct Row {
        const char* what;
        UINT id;
        DISPID dispid;
        std::vector<VARIANT>* args;
        HRESULT expected;
    } rows[] = {
        {"other control", kCtrlId + 1, 1, &fits, S_FALSE},
        {"other event", kCtrlId, 2, &fits, S_FALSE},
        {"by value where a reference is wanted", kCtrlId, 1, &wrongType, DISP_E_TYPEMISMATCH},
        {"too few arguments", kCtrlId, 1, &tooFew, DISP_E_BADPARAMCOUNT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DISPPARAMS params = {row.args->data(), nullptr, static_cast<UINT>(row.args->size()), 0};
        EXPECT_EQ(row.expected, m_host.OnEvent(row.id, row.dispid, &params));
    }
    EXPECT_TRUE(m_host.heard.empty());
    for (auto* args : {&wrongType, &tooFew, &fits}) {
        for (VARIANT& v : *args) {
            if (v.vt == VT_BSTR)
                VariantClear(&v);
        }
    }
}

TEST_F(ControlContainer, VerbsShowAndHideTheControlsWindow)
{
    CWnd control;
    ASSERT_TRUE(CreateIn(control, WS_CHILD));
    IOleObject* pOle = nullptr;
    ASSERT_EQ(S_OK, control.GetControlUnknown()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&pOle)));
    struct Row {
        LONG verb;
        HRESULT result;
        bool visible;
    } rows[] = {
        {OLEIVERB_SHOW, S_OK, true},          {OLEIVERB_HIDE, S_OK, false},
        {OLEIVERB_INPLACEACTIVATE, S_OK, false}, {OLEIVERB_PRIMARY, S_OK, true},
        {OLEIVERB_HIDE, S_OK, false},         {OLEIVERB_UIACTIVATE, S_OK, true},
        {OLEIVERB_PROPERTIES, E_NOTIMPL, true}, {1, OLEOBJ_S_INVALIDVERB, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.verb);
        EXPECT_EQ(row.result, pOle->DoVerb(row.verb, nullptr, nullptr, 0, m_host.m_hWnd, &kPlace));
        EXPECT_EQ(row.visible, (control.GetStyle() & WS_VISIBLE) != 0);
        EXPECT_EQ(g_life.window, control.m_hWnd) << "activating again makes no second window";
    }
    pOle->Release();
}
