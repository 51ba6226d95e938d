// Outlook as its object model reference publishes it: the ProgID, the IIDs of
// the interfaces Plover asks for, and members called through IDispatch by
// their documented names. No layout of Outlook's interfaces is assumed beyond
// IDispatch itself, so one build drives every Outlook that has those names.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <vector>

#define OUTLOOK_PROGID L"Outlook.Application"

// The interfaces Plover holds Outlook's objects by.
enum class OlInterface {
    Application,      // _Application {00063001-0000-0000-C000-000000000046}
    NameSpace,        // _NameSpace {00063002-...}
    TaskItem,         // _TaskItem {00063035-...}
    AppointmentItem,  // _AppointmentItem {00063033-...}
    JournalItem,      // _JournalItem {00063022-...}
    MailItem,         // _MailItem {00063034-...}
    NoteItem,         // _NoteItem {00063025-...}
    Recipients,       // Recipients {0006303B-...}
    Recipient,        // Recipient {00063045-...}
    Attachments,      // Attachments {0006303C-...}
    Categories,       // _Categories {000630E4-...}
    Category,         // _Category {000630E3-...}
};

// The IID Outlook documents for the interface.
const IID& OutlookIid(OlInterface iface);

// Whether a call's answer says that Outlook has gone: the user closed it, and
// every object of its session answers so from then on.
bool OutlookIsGone(HRESULT hr);

// The DISPIDs of the members called, per interface, each name looked up once
// for the life of the server object.
class COutlookNames {
public:
    HRESULT Resolve(IDispatch* object, OlInterface iface, const wchar_t* name, DISPID* id);

private:
    struct Entry {
        OlInterface iface;
        std::wstring name;
        DISPID id;
    };
    std::vector<Entry> m_entries;
};

// VARIANT arguments that borrow their values (never cleared by the call).
namespace OlArg {
VARIANT Text(BSTR text);
VARIANT Long(LONG value);
VARIANT Bool(bool value);
VARIANT Date(DATE value);
// An optional argument left out, as automation leaves one out.
VARIANT Missing();
}  // namespace OlArg

// One Outlook object held by the interface its kind documents.
class COutlookObject {
public:
    explicit COutlookObject(COutlookNames& names) : m_names(names) {}
    ~COutlookObject() { Release(); }
    COutlookObject(const COutlookObject&) = delete;
    COutlookObject& operator=(const COutlookObject&) = delete;

    // Asks `from` for the interface `iface` and holds it; E_NOINTERFACE from
    // an object that is not that kind.
    HRESULT Attach(IUnknown* from, OlInterface iface);
    void Release();
    bool Held() const { return m_object != nullptr; }

    HRESULT Get(const wchar_t* name, VARIANT* value);
    HRESULT Put(const wchar_t* name, const VARIANT& value);
    // A method; `result` may be null when the caller wants none.
    HRESULT Call(const wchar_t* name, std::initializer_list<VARIANT> args, VARIANT* result = nullptr);
    // A property or a method whose result is an Outlook object of kind `iface`.
    HRESULT Child(const wchar_t* name, OlInterface iface, COutlookObject* object);
    HRESULT CallChild(const wchar_t* name, std::initializer_list<VARIANT> args, OlInterface iface,
                      COutlookObject* object);

private:
    HRESULT Invoke(const wchar_t* name, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result);
    static HRESULT Adopt(HRESULT hr, VARIANT* result, OlInterface iface, COutlookObject* object);

    COutlookNames& m_names;
    IDispatch* m_object = nullptr;
    OlInterface m_iface = OlInterface::Application;
};
