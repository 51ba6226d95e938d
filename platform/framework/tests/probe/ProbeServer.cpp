// The probe server: the kit's classes and nothing else.
#include <windows.h>

#include <string>

#include "GodwitDispIds.h"
#include "ProbeIds.h"
#include "ProbeServer.h"
#include "QuiComObject.h"
#include "QuiComRegistry.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"
#include "QuiPlainObject.h"

namespace {

class Probe : public QuiObjectRoot,
              public QuiDispatchImpl<IProbe, &IID_IProbe>,
              public QuiSupportErrorInfoImpl<&IID_IProbe> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP Fail(BSTR description, LONG helpContext) override
    {
        return QuiSetErrorInfo(PROBE_FAILURE, CLSID_Probe, IID_IProbe, description,
                               static_cast<DWORD>(helpContext));
    }
    STDMETHODIMP FailQuietly() override { return PROBE_QUIET_FAILURE; }
    STDMETHODIMP Append(BSTR* text, BSTR tail, LONG* length) override
    {
        if (!text || !length)
            return E_POINTER;
        std::wstring joined(*text ? *text : L"", *text ? SysStringLen(*text) : 0);
        joined.append(tail ? tail : L"", tail ? SysStringLen(tail) : 0);
        BSTR result = SysAllocStringLen(joined.data(), static_cast<UINT>(joined.size()));
        if (!result)
            return E_OUTOFMEMORY;
        SysFreeString(*text);
        *text = result;
        *length = static_cast<LONG>(joined.size());
        return S_OK;
    }
    STDMETHODIMP get_Enabled(VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
        *value = m_enabled;
        return S_OK;
    }
    STDMETHODIMP put_Enabled(VARIANT_BOOL value) override
    {
        m_enabled = value ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    STDMETHODIMP Echo(VARIANT value, VARIANT* copy) override
    {
        if (!copy)
            return E_POINTER;
        VariantInit(copy);
        return VariantCopy(copy, &value);
    }
    STDMETHODIMP RecordType(IDispatch* record, LONG* type) override
    {
        if (!record || !type)
            return E_POINTER;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT value;
        VariantInit(&value);
        HRESULT hr = record->Invoke(DISPID_GODWIT_TYPE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                    &none, &value, nullptr, nullptr);
        if (SUCCEEDED(hr))
            hr = VariantChangeType(&value, &value, 0, VT_I4);
        *type = SUCCEEDED(hr) ? value.lVal : 0;
        VariantClear(&value);
        return hr;
    }

private:
    VARIANT_BOOL m_enabled = VARIANT_FALSE;
};

const QuiInterfaceEntry Probe::kInterfaces[] = {
    {&IID_IProbe, QuiCastTo<Probe, IProbe>},
    {&IID_IDispatch, QuiCastTo<Probe, IProbe>},
    {&IID_ISupportErrorInfo, QuiCastTo<Probe, ISupportErrorInfo>},
    {},
};

using ProbePlain = QuiPlainObject<&CLSID_ProbePlain>;

const QuiClassRegistration kProbeKeys = QuiClassRegistration("Probe Class")
                                            .ProgId(PROBE_PROGID, "Probe Object")
                                            .InprocServer("Apartment")
                                            .TypeLib();

const QuiClassRegistration kProbePlainKeys = QuiClassRegistration("ProbePlain Class")
                                                 .ProgId(PROBE_PLAIN_PROGID, "ProbePlain Object")
                                                 .InprocServer("Apartment");

const QuiClassEntry kClasses[] = {
    {&CLSID_Probe, QuiCreate<Probe>, &kProbeKeys},
    {&CLSID_ProbePlain, QuiCreate<ProbePlain>, &kProbePlainKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_ProbeLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
