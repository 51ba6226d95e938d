// A server built on the kit alone: a control with a dual interface, error
// information and an event, and a plain second class.
#include <windows.h>

#include "KitTestServer.h"
#include "KitTestServerIds.h"
#include "QuiComObject.h"
#include "QuiComRegistry.h"
#include "QuiConnectionPoint.h"
#include "QuiControl.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"
#include "QuiPlainObject.h"

namespace {

class KitTest : public QuiObjectRoot,
                public QuiDispatchImpl<IKitTest, &IID_IKitTest>,
                public QuiSupportErrorInfoImpl<&IID_IKitTest>,
                public QuiConnectionPointContainerImpl,
                public QuiControlImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];

    KitTest()
        : QuiControlImpl(CLSID_KitTest, &DIID__DKitTestEvents, KITTEST_MISC_STATUS),
          m_events(this, DIID__DKitTestEvents)
    {
        AddConnectionPoint(&m_events);
    }
    ~KitTest() { SysFreeString(m_text); }

    STDMETHODIMP get_Text(BSTR* value) override
    {
        if (!value)
            return E_POINTER;
        *value = SysAllocString(m_text ? m_text : L"");
        return *value ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP put_Text(BSTR value) override
    {
        BSTR copy = SysAllocString(value ? value : L"");
        if (!copy)
            return E_OUTOFMEMORY;
        SysFreeString(m_text);
        m_text = copy;
        return S_OK;
    }
    STDMETHODIMP Fail(BSTR description, LONG helpContext) override
    {
        return QuiSetErrorInfo(E_FAIL, CLSID_KitTest, IID_IKitTest, description, helpContext);
    }
    STDMETHODIMP FailFromTable(LONG stringId) override
    {
        return QuiSetErrorInfo(KITTEST_TABLE_FAILURE_CODE, CLSID_KitTest, IID_IKitTest,
                               static_cast<UINT>(stringId));
    }
    STDMETHODIMP Raise(LONG value) override
    {
        if (EventsFrozen())
            return S_OK;
        VARIANT arg;
        VariantInit(&arg);
        V_VT(&arg) = VT_I4;
        V_I4(&arg) = value;
        DISPPARAMS params = {&arg, nullptr, 1, 0};
        m_events.FireDispatch(1, &params);
        return S_OK;
    }
    STDMETHODIMP Add(LONG a, LONG b, LONG* sum) override
    {
        if (!sum)
            return E_POINTER;
        *sum = a + b;
        return S_OK;
    }
    STDMETHODIMP FailQuietly() override { return E_FAIL; }
    STDMETHODIMP get_When(DATE* value) override
    {
        if (!value)
            return E_POINTER;
        *value = m_when;
        return S_OK;
    }
    STDMETHODIMP put_When(DATE value) override
    {
        m_when = value;
        return S_OK;
    }

protected:
    void OnDraw(HDC dc, const RECT& bounds) override
    {
        FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

private:
    QuiConnectionPoint m_events;
    BSTR m_text = nullptr;
    DATE m_when = 0.0;
};

const QuiInterfaceEntry KitTest::kInterfaces[] = {
    {&IID_IKitTest, QuiCastTo<KitTest, IKitTest>},
    {&IID_IDispatch, QuiCastTo<KitTest, IKitTest>},
    {&IID_ISupportErrorInfo, QuiCastTo<KitTest, ISupportErrorInfo>},
    {&IID_IConnectionPointContainer, QuiCastTo<KitTest, IConnectionPointContainer>},
    {nullptr, QuiCastTo<KitTest, QuiControlImpl>, QuiControlImpl::kInterfaces},
    {},
};

using KitPlain = QuiPlainObject<&CLSID_KitPlain>;

const QuiClassRegistration kKitTestKeys = QuiClassRegistration("KitTest Class")
                                              .ProgId("QuiKitTest.KitTest.1", "KitTest Object")
                                              .VersionIndependentProgId("QuiKitTest.KitTest", "KitTest Object")
                                              .Programmable()
                                              .InprocServer("Apartment")
                                              .Control("131473", 101)
                                              .TypeLib()
                                              .Version("1.0");

const QuiClassRegistration kKitPlainKeys = QuiClassRegistration("KitPlain Class")
                                               .ProgId("QuiKitTest.KitPlain.1", "KitPlain Object")
                                               .InprocServer("Both");

const QuiClassEntry kClasses[] = {
    {&CLSID_KitTest, QuiCreate<KitTest>, &kKitTestKeys},
    {&CLSID_KitPlain, QuiCreate<KitPlain>, &kKitPlainKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_KitTestLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
