// Plover's Outlook session: the Application object and its MAPI namespace,
// opened by Connect and held until the server object goes. Outlook from 2007
// SP2 on ends when the user closes it, whoever holds its objects; a step that
// meets that opens a session of a new Outlook and is tried once more.
#pragma once
#include "OutlookObject.h"

class COutlookSession {
public:
    explicit COutlookSession(COutlookNames& names) : m_names(names) {}
    ~COutlookSession() { Close(); }
    COutlookSession(const COutlookSession&) = delete;
    COutlookSession& operator=(const COutlookSession&) = delete;

    // Creates Outlook's Application, takes its MAPI namespace and logs on;
    // S_OK at once while a session is held. On failure nothing is held.
    HRESULT Open();
    // Releases the namespace, then the Application.
    void Close();
    bool Held() const { return m_namespace.Held(); }

    // Runs `step` (an HRESULT of Outlook's calls); when Outlook answered that
    // it has gone, every object of the old session is released and `step`
    // runs once more in a new one.
    template <class Step>
    HRESULT Retry(Step step)
    {
        HRESULT hr = step();
        if (OutlookIsGone(hr)) {
            Close();
            if (SUCCEEDED(Open()))
                hr = step();
        }
        return hr;
    }

    COutlookNames& Names() { return m_names; }
    COutlookObject& Application() { return m_application; }
    COutlookObject& NameSpace() { return m_namespace; }

private:
    HRESULT Logon(bool showDialog);

    COutlookNames& m_names;
    COutlookObject m_application{m_names};
    COutlookObject m_namespace{m_names};
};
