// The application object, its MAPI namespace with the default folders and
// the master category list, and the module's class table.
#include "OutlookStore.h"
#include "QuiComRegistry.h"
#include "StandInItems.h"
#include "StandInObject.h"
#include "StandInSettings.h"

namespace {

class CFolder : public QuiObjectRoot, public StandInDispatch<MAPIFolder, &IID_MAPIFolder> {
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

// A text argument as given: a left-out optional one and an Empty one are
// told apart from an empty text.
std::string TextArgument(const VARIANT& value)
{
    if (V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND)
        return "(omitted)";
    if (V_VT(&value) == VT_EMPTY)
        return "(empty)";
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return "(not a text)";
    std::string utf8 = Utf8(std::wstring(V_BSTR(&text) ? V_BSTR(&text) : L"", SysStringLen(V_BSTR(&text))));
    VariantClear(&text);
    return utf8;
}

class CCategory : public QuiObjectRoot, public StandInDispatch<_Category, &IID__Category> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    explicit CCategory(std::wstring name) : m_name(std::move(name)) {}

    STDMETHODIMP get_Name(BSTR* name) override
    {
        if (!name)
            return E_POINTER;
        *name = SysAllocString(m_name.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::wstring m_name;
};
const QuiInterfaceEntry CCategory::kInterfaces[] = {
    {&IID__Category, QuiCastTo<CCategory, _Category>},
    {&IID_IDispatch, QuiCastTo<CCategory, _Category>},
    {},
};

// The store's master category list as the settings name it; an item is
// found by its position from 1 or by its name.
class CCategories : public QuiObjectRoot,
                    public StandInDispatch<_Categories, &IID__Categories>,
                    public QuiSupportErrorInfoImpl<&IID__Categories> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    CCategories() : m_names(StandInSettings::MasterCategories()) {}

    STDMETHODIMP get_Count(LONG* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<LONG>(m_names.size());
        return S_OK;
    }
    STDMETHODIMP Item(VARIANT index, _Category** category) override
    {
        if (!category)
            return E_POINTER;
        *category = nullptr;
        size_t at = m_names.size();
        VARIANT number;
        VariantInit(&number);
        if (V_VT(&index) == VT_BSTR) {
            for (at = 0; at < m_names.size() && lstrcmpiW(m_names[at].c_str(), V_BSTR(&index)) != 0; ++at) {
            }
        } else if (SUCCEEDED(VariantChangeType(&number, &index, 0, VT_I4)) && V_I4(&number) >= 1) {
            at = static_cast<size_t>(V_I4(&number)) - 1;
        }
        if (at >= m_names.size())
            return StandInError(E_INVALIDARG, IID__Categories, L"Array index out of bounds.");
        return QuiComObject<CCategory>::CreateInstance(IID__Category, reinterpret_cast<void**>(category),
                                                       m_names[at]);
    }

private:
    std::vector<std::wstring> m_names;
};
const QuiInterfaceEntry CCategories::kInterfaces[] = {
    {&IID__Categories, QuiCastTo<CCategories, _Categories>},
    {&IID_IDispatch, QuiCastTo<CCategories, _Categories>},
    {&IID_ISupportErrorInfo, QuiCastTo<CCategories, ISupportErrorInfo>},
    {},
};

class CNameSpace : public QuiObjectRoot,
                   public StandInDispatch<_NameSpace, &IID__NameSpace>,
                   public QuiSupportErrorInfoImpl<&IID__NameSpace> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    // Every logon, kept or refused, goes into the store as a record of its own.
    STDMETHODIMP Logon(VARIANT profile, VARIANT password, VARIANT showDialog, VARIANT newSession) override
    {
        if (HRESULT gone = Closed())
            return gone;
        bool fails = StandInSettings::TakeLogonFailure();
        const std::wstring store = StandInSettings::StorePath();
        if (!store.empty()) {
            StoreRecord record{"logon", fails ? "failed" : "ok", {}};
            record.fields.emplace_back("Profile", TextArgument(profile));
            record.fields.emplace_back("Password", TextArgument(password));
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
        if (HRESULT gone = Closed())
            return gone;
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

    STDMETHODIMP get_Categories(_Categories** categories) override
    {
        if (HRESULT gone = Closed())
            return gone;
        if (!categories)
            return E_POINTER;
        *categories = nullptr;
        if (StandInSettings::CallFails("_NameSpace.Categories"))
            return StandInError(E_FAIL, IID__NameSpace, L"The category list could not be read.");
        return QuiComObject<CCategories>::CreateInstance(IID__Categories, reinterpret_cast<void**>(categories));
    }
};
const QuiInterfaceEntry CNameSpace::kInterfaces[] = {
    {&IID__NameSpace, QuiCastTo<CNameSpace, _NameSpace>},
    {&IID_IDispatch, QuiCastTo<CNameSpace, _NameSpace>},
    {&IID_ISupportErrorInfo, QuiCastTo<CNameSpace, ISupportErrorInfo>},
    {},
};

class CApplication : public QuiObjectRoot,
                     public StandInDispatch<_Application, &IID__Application>,
                     public QuiSupportErrorInfoImpl<&IID__Application> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP GetNamespace(BSTR type, _NameSpace** space) override
    {
        if (HRESULT gone = Closed())
            return gone;
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
        if (HRESULT gone = Closed())
            return gone;
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
