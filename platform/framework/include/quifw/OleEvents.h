// Event sink maps: a window that holds controls (CWnd::CreateControl) takes
// their events through rows of its class's map, searched derived class first.
//
//   BEGIN_EVENTSINK_MAP(CMyWnd, CWnd)
//       ON_EVENT(CMyWnd, IDC_SPEECH, 1, OnHeard, VTS_BSTR VTS_I4 VTS_PBOOL)
//   END_EVENTSINK_MAP()
//
// The VTS_ codes (OleDispatchDriver.h) say what each argument is converted to
// before the handler sees it; the handler takes, in order: VTS_BSTR LPCTSTR,
// VTS_I2 short, VTS_I4 long, VTS_R8 double, VTS_DATE DATE, VTS_BOOL BOOL,
// VTS_DISPATCH LPDISPATCH, VTS_UNKNOWN LPUNKNOWN, VTS_VARIANT const VARIANT*,
// and for the by-reference codes VTS_PBSTR BSTR*, VTS_PI2 short*, VTS_PI4
// long*, VTS_PBOOL BOOL*, VTS_PVARIANT VARIANT* (what it stores there goes
// back to the control). A handler returns void, or BOOL where FALSE lets the
// search go on to the base class's rows.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include <oaidl.h>

#include "String.h"

class CCmdTarget;

struct AFX_EVENTSINKMAP_ENTRY {
    UINT nCtrlID;              // 0 ends the table
    DISPID dispid;
    const char* pbParams;      // the VTS_ codes
    HRESULT (*pfnThunk)(CCmdTarget* pTarget, VARIANT* pArgs);   // arguments in the handler's order
};

struct AFX_EVENTSINKMAP {
    const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
    const AFX_EVENTSINKMAP_ENTRY* lpEntries;
};

namespace afxevent {

// One argument, read from a VARIANT already converted to its row's code.
// `ok` is false when the VARIANT is not of a kind the handler's type takes.
template <class T> struct Arg;

template <> struct Arg<LPCTSTR> {
    explicit Arg(VARIANT& v);
    LPCTSTR Get() const { return text; }
    bool ok;
    CString text;
};
template <> struct Arg<long> {
    explicit Arg(VARIANT& v) : ok(v.vt == VT_I4), value(ok ? v.lVal : 0) {}
    long Get() const { return value; }
    bool ok;
    long value;
};
template <> struct Arg<short> {
    explicit Arg(VARIANT& v) : ok(v.vt == VT_I2), value(ok ? v.iVal : 0) {}
    short Get() const { return value; }
    bool ok;
    short value;
};
// BOOL and int are one type: it takes VTS_BOOL, VTS_I4 or VTS_I2.
template <> struct Arg<int> {
    explicit Arg(VARIANT& v);
    int Get() const { return value; }
    bool ok;
    int value;
};
template <> struct Arg<double> {
    explicit Arg(VARIANT& v) : ok(v.vt == VT_R8 || v.vt == VT_DATE), value(ok ? v.dblVal : 0.0) {}
    double Get() const { return value; }
    bool ok;
    double value;
};
template <> struct Arg<LPDISPATCH> {
    explicit Arg(VARIANT& v) : ok(v.vt == VT_DISPATCH), value(ok ? v.pdispVal : nullptr) {}
    LPDISPATCH Get() const { return value; }
    bool ok;
    LPDISPATCH value;
};
template <> struct Arg<LPUNKNOWN> {
    explicit Arg(VARIANT& v) : ok(v.vt == VT_UNKNOWN), value(ok ? v.punkVal : nullptr) {}
    LPUNKNOWN Get() const { return value; }
    bool ok;
    LPUNKNOWN value;
};
template <> struct Arg<const VARIANT*> {
    explicit Arg(VARIANT& v) : ok(true), value(&v) {}
    const VARIANT* Get() const { return value; }
    bool ok;
    const VARIANT* value;
};
// By reference: the control's own storage, handed through.
template <class P, VARTYPE VT> struct RefArg {
    explicit RefArg(VARIANT& v) : ok(v.vt == (VT | VT_BYREF)), value(ok ? static_cast<P>(v.byref) : nullptr) {}
    P Get() const { return value; }
    bool ok;
    P value;
};
template <> struct Arg<BSTR*> : RefArg<BSTR*, VT_BSTR> { using RefArg::RefArg; };
template <> struct Arg<short*> : RefArg<short*, VT_I2> { using RefArg::RefArg; };
template <> struct Arg<long*> : RefArg<long*, VT_I4> { using RefArg::RefArg; };
template <> struct Arg<VARIANT*> : RefArg<VARIANT*, VT_VARIANT> { using RefArg::RefArg; };
// A BOOL the handler sets; the control gets it back as VARIANT_BOOL.
template <> struct Arg<BOOL*> {
    explicit Arg(VARIANT& v);
    ~Arg();
    Arg(const Arg&) = delete;
    Arg& operator=(const Arg&) = delete;
    BOOL* Get() { return &value; }
    bool ok;
    BOOL value;
    VARIANT_BOOL* target;
};

template <class F> struct Handler;
template <class C, class R, class... A> struct Handler<R (C::*)(A...)> {
    typedef C Class;
    typedef R Result;
    typedef std::tuple<Arg<std::decay_t<A>>...> Args;
    static constexpr std::size_t kCount = sizeof...(A);
};

template <auto Fn, std::size_t... I>
HRESULT CallWith(CCmdTarget* pTarget, VARIANT* pArgs, std::index_sequence<I...>)
{
    typedef Handler<decltype(Fn)> H;
    typename H::Args args(pArgs[I]...);
    if (!(true && ... && std::get<I>(args).ok))
        return DISP_E_TYPEMISMATCH;
    auto* pObject = static_cast<typename H::Class*>(pTarget);
    if constexpr (std::is_void_v<typename H::Result>) {
        (pObject->*Fn)(std::get<I>(args).Get()...);
        return S_OK;
    } else {
        return (pObject->*Fn)(std::get<I>(args).Get()...) ? S_OK : S_FALSE;
    }
}

// S_OK handled, S_FALSE passed on, a failure when the arguments do not fit.
template <auto Fn> HRESULT Thunk(CCmdTarget* pTarget, VARIANT* pArgs)
{
    return CallWith<Fn>(pTarget, pArgs, std::make_index_sequence<Handler<decltype(Fn)>::kCount>());
}

template <auto Fn> constexpr std::size_t Arity()
{
    return Handler<decltype(Fn)>::kCount;
}

template <std::size_t Count, std::size_t N> constexpr const char* CheckedCodes(const char (&codes)[N])
{
    static_assert(Count == N - 1, "the handler's arguments and the VTS_ codes differ");
    return codes;
}

} // namespace afxevent

#define DECLARE_EVENTSINK_MAP() \
protected: \
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap(); \
    const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass) \
    const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
    const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap() \
    { \
        using TheBaseClass = baseClass; \
        static const AFX_EVENTSINKMAP_ENTRY entries[] = {

// A handler whose arity differs from its codes does not compile.
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams) \
    {static_cast<UINT>(id), static_cast<DISPID>(dispid), \
     afxevent::CheckedCodes<afxevent::Arity<&theClass::pfnHandler>()>(vtsParams), \
     &afxevent::Thunk<&theClass::pfnHandler>},

#define END_EVENTSINK_MAP() \
            {0, 0, nullptr, nullptr}}; \
        static const AFX_EVENTSINKMAP map = {&TheBaseClass::GetThisEventSinkMap, entries}; \
        return &map; \
    }
