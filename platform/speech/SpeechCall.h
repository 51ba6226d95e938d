// What every call on the stand-ins goes through: the log a test reads back
// and the list of calls a test told to fail.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "QuiDispatch.h"

namespace SpeechCall {

// "<object> <method|get|put> <dispid>", as the log and the fail list name a call.
std::string Name(const char* object, DISPID member, WORD flags);
bool ToFail(const std::string& call);
void Log(const std::string& line);
// The arguments in the order the caller wrote them, as log text.
std::string Arguments(const DISPPARAMS* params);
// Fills `excepInfo` for a call made to fail; DISP_E_EXCEPTION.
HRESULT Fail(const std::string& call, EXCEPINFO* excepInfo);

}  // namespace SpeechCall

// IDispatch of a stand-in object: each call is logged and may be made to
// fail before the type library carries it to the member.
template <class Iface, const IID* DispIid>
class SpeechDispatchImpl : public QuiDispatchImpl<Iface, DispIid> {
public:
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override
    {
        std::string call = SpeechCall::Name(ObjectName(), member, flags);
        if (SpeechCall::ToFail(call)) {
            SpeechCall::Log("FAILED " + call);
            return SpeechCall::Fail(call, excepInfo);
        }
        SpeechCall::Log(call + SpeechCall::Arguments(params));
        return QuiDispatchImpl<Iface, DispIid>::Invoke(member, riid, lcid, flags, params, result, excepInfo,
                                                       argErr);
    }

protected:
    virtual const char* ObjectName() const = 0;
};
