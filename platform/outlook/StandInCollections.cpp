// An item's recipients and attachments. Outlook keeps an item's addressees
// as recipients, each of a type (To, CC, BCC); the guard asks the user
// before a program reads them or has them resolved.
#include <windows.h>

#include "StandInItems.h"
#include "StandInObject.h"
#include "StandInSettings.h"

namespace {

// A collection of one item's entries (its recipients, its attachments).
template <class Iface, const IID* Iid, class Entry, std::vector<Entry> ItemData::*List>
class CItemEntries : public QuiObjectRoot, public StandInDispatch<Iface, Iid>, public QuiSupportErrorInfoImpl<Iid> {
public:
    explicit CItemEntries(std::shared_ptr<ItemData> item) : m_item(std::move(item)) {}

    STDMETHODIMP get_Count(LONG* count) override
    {
        if (!count)
            return E_POINTER;
        if (HRESULT gone = StandInItem::Closed(*m_item))
            return gone;
        *count = static_cast<LONG>(((*m_item).*List).size());
        return S_OK;
    }

protected:
    // S_OK while an entry can be added: the session lasts and the item is at hand.
    HRESULT Addable() const
    {
        if (HRESULT gone = StandInItem::Closed(*m_item))
            return gone;
        return m_item->gone ? StandInItem::Gone(*m_item) : S_OK;
    }

    std::shared_ptr<ItemData> m_item;
};

class CRecipient : public QuiObjectRoot, public StandInDispatch<Recipient, &IID_Recipient> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    CRecipient(std::shared_ptr<ItemData> item, size_t index) : m_item(std::move(item)), m_index(index) {}

    STDMETHODIMP get_Name(BSTR* name) override
    {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        if (HRESULT gone = StandInItem::Closed(*m_item))
            return gone;
        *name = SysAllocString(m_item->recipients[m_index].name.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP get_Resolved(VARIANT_BOOL* resolved) override
    {
        if (!resolved)
            return E_POINTER;
        if (HRESULT gone = StandInItem::Closed(*m_item))
            return gone;
        *resolved = m_item->recipients[m_index].resolved ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    STDMETHODIMP get_Type(LONG* type) override
    {
        if (!type)
            return E_POINTER;
        if (HRESULT gone = StandInItem::Closed(*m_item))
            return gone;
        *type = m_item->recipients[m_index].type;
        return S_OK;
    }
    STDMETHODIMP put_Type(LONG type) override
    {
        if (HRESULT gone = StandInItem::Closed(*m_item))
            return gone;
        if (m_item->gone)
            return StandInItem::Gone(*m_item);
        if (type < olOriginator || type > olBCC)
            return StandInError(E_INVALIDARG, IID_Recipient,
                                L"Could not complete the operation. One or more parameter values are not valid.");
        m_item->recipients[m_index].type = type;
        return S_OK;
    }

private:
    std::shared_ptr<ItemData> m_item;
    size_t m_index;
};
const QuiInterfaceEntry CRecipient::kInterfaces[] = {
    {&IID_Recipient, QuiCastTo<CRecipient, Recipient>},
    {&IID_IDispatch, QuiCastTo<CRecipient, Recipient>},
    {},
};

class CRecipients : public CItemEntries<Recipients, &IID_Recipients, RecipientData, &ItemData::recipients> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    using CItemEntries::CItemEntries;

    // A new recipient takes the item's default type, To.
    STDMETHODIMP Add(BSTR name, Recipient** added) override
    {
        if (!added)
            return E_POINTER;
        *added = nullptr;
        if (HRESULT refused = Addable())
            return refused;
        try {
            m_item->recipients.push_back({name ? name : L"", false, olTo});
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        return QuiComObject<CRecipient>::CreateInstance(IID_Recipient, reinterpret_cast<void**>(added), m_item,
                                                        m_item->recipients.size() - 1);
    }
    STDMETHODIMP ResolveAll(VARIANT_BOOL* allResolved) override
    {
        if (!allResolved)
            return E_POINTER;
        if (HRESULT refused = StandInItem::Guard(*m_item, "Recipients.ResolveAll"))
            return refused;
        bool all = true;
        for (RecipientData& recipient : m_item->recipients) {
            recipient.resolved = StandInSettings::Resolves(recipient.name);
            all = all && recipient.resolved;
        }
        *allResolved = all ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
};
const QuiInterfaceEntry CRecipients::kInterfaces[] = {
    {&IID_Recipients, QuiCastTo<CRecipients, Recipients>},
    {&IID_IDispatch, QuiCastTo<CRecipients, Recipients>},
    {&IID_ISupportErrorInfo, QuiCastTo<CRecipients, ISupportErrorInfo>},
    {},
};

class CAttachment : public QuiObjectRoot, public StandInDispatch<Attachment, &IID_Attachment> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    explicit CAttachment(std::wstring displayName) : m_displayName(std::move(displayName)) {}

    STDMETHODIMP get_DisplayName(BSTR* name) override
    {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        if (HRESULT gone = Closed())
            return gone;
        *name = SysAllocString(m_displayName.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::wstring m_displayName;
};
const QuiInterfaceEntry CAttachment::kInterfaces[] = {
    {&IID_Attachment, QuiCastTo<CAttachment, Attachment>},
    {&IID_IDispatch, QuiCastTo<CAttachment, Attachment>},
    {},
};

// A text argument; an optional one that was left out gives false.
bool TextArgument(const VARIANT& value, std::wstring* text)
{
    if (V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_NULL || V_VT(&value) == VT_ERROR)
        return false;
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return false;
    text->assign(V_BSTR(&copy) ? V_BSTR(&copy) : L"", SysStringLen(V_BSTR(&copy)));
    VariantClear(&copy);
    return true;
}

class CAttachments : public CItemEntries<Attachments, &IID_Attachments, AttachmentData, &ItemData::attachments> {
public:
    static const QuiInterfaceEntry kInterfaces[];
    using CItemEntries::CItemEntries;

    // Only files can be attached: the source names one that exists.
    STDMETHODIMP Add(VARIANT source, VARIANT, VARIANT, VARIANT displayName, Attachment** added) override
    {
        if (!added)
            return E_POINTER;
        *added = nullptr;
        if (HRESULT refused = Addable())
            return refused;
        std::wstring path, name;
        if (!TextArgument(source, &path) || path.empty())
            return StandInError(E_INVALIDARG, IID_Attachments, L"An attachment needs a file to attach.");
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return StandInError(E_INVALIDARG, IID_Attachments, L"The file to attach was not found: " + path);
        if (!TextArgument(displayName, &name) || name.empty())
            name = path.substr(path.find_last_of(L"\\/") + 1);
        try {
            m_item->attachments.push_back({path, name});
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        return QuiComObject<CAttachment>::CreateInstance(IID_Attachment, reinterpret_cast<void**>(added), name);
    }
};
const QuiInterfaceEntry CAttachments::kInterfaces[] = {
    {&IID_Attachments, QuiCastTo<CAttachments, Attachments>},
    {&IID_IDispatch, QuiCastTo<CAttachments, Attachments>},
    {&IID_ISupportErrorInfo, QuiCastTo<CAttachments, ISupportErrorInfo>},
    {},
};

}  // namespace

namespace StandInItem {

HRESULT GetRecipients(const std::shared_ptr<ItemData>& item, Recipients** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (HRESULT refused = Guard(*item, (std::string(item->kind.interfaceName) + ".Recipients").c_str()))
        return refused;
    return QuiComObject<CRecipients>::CreateInstance(IID_Recipients, reinterpret_cast<void**>(out), item);
}

HRESULT GetAttachments(const std::shared_ptr<ItemData>& item, Attachments** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (HRESULT gone = Closed(*item))
        return gone;
    return QuiComObject<CAttachments>::CreateInstance(IID_Attachments, reinterpret_cast<void**>(out), item);
}

}  // namespace StandInItem
