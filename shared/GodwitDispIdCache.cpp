#include "GodwitDispIdCache.h"

GodwitDispIdCache::GodwitDispIdCache(const wchar_t* const* names, size_t count) : m_names(names), m_count(count)
{
}

GodwitDispIdCache::~GodwitDispIdCache()
{
    Reset();
}

void GodwitDispIdCache::Reset()
{
    m_entries.clear();
    if (m_source)
        m_source->Release();
    m_source = nullptr;
}

BOOL GodwitDispIdCache::Fill(IDispatch* record)
{
    if (!record)
        return m_source ? TRUE : FALSE;
    // COM identity: the IUnknown of an object is always the same pointer.
    IUnknown* identity = nullptr;
    if (FAILED(record->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) || !identity) {
        identity = record;
        identity->AddRef();
    }
    if (identity == m_source) {
        identity->Release();
        return TRUE;
    }
    Reset();
    m_source = identity;
    for (size_t i = 0; i < m_count; ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(m_names[i]);
        DISPID id = DISPID_UNKNOWN;
        if (record->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &id) != S_OK)
            continue;
        try {
            m_entries.push_back({m_names[i], id});
        } catch (...) {
            break;  // out of memory: the names resolved so far stay usable
        }
    }
    return TRUE;
}

DISPID GodwitDispIdCache::Lookup(const wchar_t* name) const
{
    if (!name)
        return DISPID_UNKNOWN;
    for (const Entry& entry : m_entries) {
        if (entry.name == name)
            return entry.id;
    }
    return DISPID_UNKNOWN;
}

HRESULT GodwitDispIdCache::ReadProperty(IDispatch* record, DISPID id, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantClear(value);
    if (!record)
        return E_POINTER;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    HRESULT hr = record->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr,
                                nullptr);
    if (FAILED(hr))
        VariantClear(value);
    return hr;
}
