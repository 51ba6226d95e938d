// The item record property cache of the access servers: the dispatch
// identifiers of a Godwit record's properties, resolved by name once per
// record object, and the property read by identifier that goes with them.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

class GodwitDispIdCache {
public:
    // `names` is the server's list of property names (at most 19 characters
    // each), resolved in that order; it must outlive the cache.
    GodwitDispIdCache(const wchar_t* const* names, size_t count);
    ~GodwitDispIdCache();
    GodwitDispIdCache(const GodwitDispIdCache&) = delete;
    GodwitDispIdCache& operator=(const GodwitDispIdCache&) = delete;

    // Resolves the names on `record` unless the entries were resolved on
    // that very object; a name the record does not know gets no entry.
    // TRUE when entries exist afterwards; FALSE for a null record when none
    // were ever made. Another object may number its properties otherwise,
    // so a new record object is always resolved afresh.
    BOOL Fill(IDispatch* record);

    // The DISPID of a name (case-sensitive), DISPID_UNKNOWN when it has none.
    DISPID Lookup(const wchar_t* name) const;
    size_t Count() const { return m_entries.size(); }

    // Property get of `id` into `value`, which must hold a valid VARIANT: it
    // is cleared first, and left empty when the read fails.
    static HRESULT ReadProperty(IDispatch* record, DISPID id, VARIANT* value);
    // The same by name through the cache.
    HRESULT Read(IDispatch* record, const wchar_t* name, VARIANT* value) const
    {
        return ReadProperty(record, Lookup(name), value);
    }

private:
    struct Entry {
        std::wstring name;
        DISPID id;
    };
    void Reset();

    const wchar_t* const* m_names;
    size_t m_count;
    std::vector<Entry> m_entries;
    // The record the entries belong to, held so that no other object can
    // take its address while they are in use.
    IUnknown* m_source = nullptr;
};
