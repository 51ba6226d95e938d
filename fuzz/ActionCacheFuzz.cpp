// The offline list's cache reader on arbitrary bytes. It must end quietly at
// whatever is damaged, read nothing past the end, and what it kept must store
// and load back to the same actions.
#include "WebActionList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "cache reader broke its promise: %s\n", what);
        std::abort();
    }
}

bool SameQueuedFields(const CWebActionJug& a, const CWebActionJug& b)
{
    if (a.m_nId != b.m_nId || a.m_strText != b.m_strText || a.m_nConnectorIndex != b.m_nConnectorIndex ||
        a.m_nSubtypeIndex != b.m_nSubtypeIndex)
        return false;
    for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i) {
        if (CString(a.m_contact.GetText(i)) != b.m_contact.GetText(i))
            return false;
    }
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        const EMAILINFO& x = a.m_contact.Email(i);
        const EMAILINFO& y = b.m_contact.Email(i);
        if (CString(x.GetValue()) != y.GetValue() || CString(x.GetLabel()) != y.GetLabel() || x.shown != y.shown)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CWebActionList list;
    CMemFile input(data, static_cast<UINT>(size));
    CArchive loading(&input, CArchive::load, 4096);
    int count = list.LoadCache(loading);
    Require(count == list.GetCount(), "count");

    // Store what was kept, in order, and load it back.
    CMemFile stored;
    {
        CArchive ar(&stored, CArchive::store);
        for (const CWebActionJug& jug : list.GetActions())
            ar << &jug;
        ar << static_cast<CObject*>(nullptr);
        ar.Close();
    }
    stored.Seek(0, CFile::begin);
    CArchive again(&stored, CArchive::load, 4096);
    CWebActionList back;
    Require(back.LoadCache(again) == count, "stored actions do not load back");
    auto read = back.GetActions().begin();
    for (const CWebActionJug& jug : list.GetActions())
        Require(SameQueuedFields(jug, *read++), "a stored action loads back different");
    return 0;
}
