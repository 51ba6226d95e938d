// What every object the stand-in hands out shares with the objects of an
// Outlook running in a process of its own: it belongs to the session it was
// made in and, once the user has closed Outlook, answers as a server that has
// gone; and only the members of the Outlook version served are found.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "QuiDispatch.h"
#include "StandInSettings.h"

// S_OK while `session` is the current one, else what a proxy of a server
// that has gone answers.
HRESULT StandInClosed(DWORD session);

// Whether the version served has the member of the interface, found by its
// name (any case) or its DISPID.
bool StandInHasMember(REFIID iid, const wchar_t* name);
bool StandInHasMember(REFIID iid, DISPID id);

template <class Iface, const IID* Iid>
class StandInDispatch : public QuiDispatchImpl<Iface, Iid> {
public:
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        if (HRESULT gone = Closed())
            return gone;
        if (names && ids && count > 0 && names[0] && !StandInHasMember(*Iid, names[0])) {
            for (UINT i = 0; i < count; ++i)
                ids[i] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        return QuiDispatchImpl<Iface, Iid>::GetIDsOfNames(riid, names, count, lcid, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override
    {
        if (HRESULT gone = Closed())
            return gone;
        if (!StandInHasMember(*Iid, member))
            return DISP_E_MEMBERNOTFOUND;
        return QuiDispatchImpl<Iface, Iid>::Invoke(member, riid, lcid, flags, params, result, excepInfo, argErr);
    }

protected:
    HRESULT Closed() const { return StandInClosed(m_session); }

private:
    DWORD m_session = StandInSettings::Session();
};
