// The application object, its MAPI namespace and the default folders, and
// the module's class table.
#include "OutlookStore.h"
#include "QuiComRegistry.h"
#include "StandInItems.h"
#include "StandInSettings.h"

namespace {

class CFolder : public QuiObjectRoot, public QuiDispatchImpl<MAPIFolder, &IID_MAPIFolder> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    explicit CFolder(const wchar_t* name) : m_name(name) {}

    STDMETHODIMP get_Name(BSTR* name) override
    {
        if (!name)
            return E_POINTER;
        *name = SysAllocString(m_name);
        return *name ? S_OK : E_OUTOFMEMORY;
    }

private:
    const wchar_t* m_name;
};
const QuiInterfaceEntry CFolder::kInterfaces[] = {
    {&IID_MAPIFolder, QuiCastTo<CFolder, MAPIFolder>},
    {&IID_IDispatch, QuiCastTo<CFolder, MAPIFolder>},
    {},
};

bool FlagArgument(const VARIANT& value)
{
    VARIANT flag;
    VariantInit(&flag);
    if (V_VT(&value) == VT_ERROR || FAILED(VariantChangeType(&flag, const_cast<VARIANT*>(&value), 0, VT_BOOL)))
        return false;
    return V_BOOL(&flag) != VARIANT_FALSE;
}

std::string TextArgument(const VARIANT& value)
{
    VARIANT text;
    VariantInit(&text);
    if (V_VT(&value) == VT_ERROR || FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return std::string();
    std::string utf8 = Utf8(std::wstring(V_BSTR(&text) ? V_BSTR(&text) : L"", SysStringLen(V_BSTR(&text))));
    VariantClear(&text);
    return utf8;
}

class CNameSpace : public QuiObjectRoot,
                   public QuiDispatchImpl<_NameSpace, &IID__NameSpace>,
                   public QuiSupportErrorInfoImpl<&IID__NameSpace> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    // Every logon, kept or refused, goes into the store as a record of its own.
    STDMETHODIMP Logon(VARIANT profile, VARIANT password, VARIANT showDialog, VARIANT newSession) override
    {
        bool fails = StandInSettings::TakeLogonFailure();
        const std::wstring store = StandInSettings::StorePath();
        if (!store.empty()) {
            StoreRecord record{"logon", fails ? "failed" : "ok", {}};
            record.fields.emplace_back("Profile", TextArgument(profile));
            record.fields.emplace_back("ShowDialog", FlagArgument(showDialog) ? "true" : "false");
            record.fields.emplace_back("NewSession", FlagArgument(newSession) ? "true" : "false");
            if (!AppendStoreRecord(store, record))
                return StandInError(E_FAIL, IID__NameSpace, L"The message store could not be written.");
        }
        if (fails)
            return StandInError(E_FAIL, IID__NameSpace, L"The profile could not be opened.");
        return S_OK;
    }

    STDMETHODIMP GetDefaultFolder(OlDefaultFolders type, MAPIFolder** folder) override
    {
        if (!folder)
            return E_POINTER;
        *folder = nullptr;
        const wchar_t* name = nullptr;
        switch (type) {
        case olFolderInbox: name = L"Inbox"; break;
        case olFolderCalendar: name = L"Calendar"; break;
        case olFolderContacts: name = L"Contacts"; break;
        case olFolderJournal: name = L"Journal"; break;
        case olFolderNotes: name = L"Notes"; break;
        case olFolderTasks: name = L"Tasks"; break;
        default: return StandInError(E_INVALIDARG, IID__NameSpace, L"There is no such default folder.");
        }
        return QuiComObject<CFolder>::CreateInstance(IID_MAPIFolder, reinterpret_cast<void**>(folder), name);
    }
};
const QuiInterfaceEntry CNameSpace::kInterfaces[] = {
    {&IID__NameSpace, QuiCastTo<CNameSpace, _NameSpace>},
    {&IID_IDispatch, QuiCastTo<CNameSpace, _NameSpace>},
    {&IID_ISupportErrorInfo, QuiCastTo<CNameSpace, ISupportErrorInfo>},
    {},
};

class CApplication : public QuiObjectRoot,
                     public QuiDispatchImpl<_Application, &IID__Application>,
                     public QuiSupportErrorInfoImpl<&IID__Application> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP GetNamespace(BSTR type, _NameSpace** space) override
    {
        if (!space)
            return E_POINTER;
        *space = nullptr;
        if (!type || lstrcmpiW(type, L"MAPI") != 0)
            return StandInError(E_INVALIDARG, IID__Application, L"Only the MAPI namespace is available.");
        if (StandInSettings::CallFails("_Application.GetNamespace"))
            return StandInError(E_FAIL, IID__Application, L"The namespace could not be opened.");
        return QuiComObject<CNameSpace>::CreateInstance(IID__NameSpace, reinterpret_cast<void**>(space));
    }

    STDMETHODIMP CreateItem(OlItemType type, IDispatch** item) override
    {
        if (!item)
            return E_POINTER;
        *item = nullptr;
        if (StandInSettings::CallFails("_Application.CreateItem"))
            return StandInError(E_FAIL, IID__Application, L"The item could not be created.");
        HRESULT hr = CreateStandInItem(type, item);
        return hr == E_INVALIDARG ? StandInError(hr, IID__Application, L"There is no such item type.") : hr;
    }
};
const QuiInterfaceEntry CApplication::kInterfaces[] = {
    {&IID__Application, QuiCastTo<CApplication, _Application>},
    {&IID_IDispatch, QuiCastTo<CApplication, _Application>},
    {&IID_ISupportErrorInfo, QuiCastTo<CApplication, ISupportErrorInfo>},
    {},
};

const QuiClassRegistration kApplicationKeys = QuiClassRegistration("Outlook Stand-in Application")
                                                  .ProgId("Outlook.Application.9", "Outlook Stand-in Application")
                                                  .VersionIndependentProgId("Outlook.Application",
                                                                            "Outlook Stand-in Application")
                                                  .InprocServer("Apartment")
                                                  .TypeLib()
                                                  .Version("1.0");

const QuiClassEntry kClasses[] = {
    {&CLSID_Application, QuiCreate<CApplication>, &kApplicationKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_OutlookStandIn, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
