// The offline list's cache reader on arbitrary bytes, from memory and from
// the cache file a new list loads. It must end quietly at whatever is
// damaged, read nothing past the end, and what it kept must store and load
// back to the same actions, every id its own. Then the input's last bytes
// add, find and remove actions on the loaded list, which must keep every id
// its own.
#include "FuzzFolder.h"
#include "WebActionList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "cache reader broke its promise: %s\n", what);
        std::abort();
    }
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameKeptFields(const CWebActionJug& a, const CWebActionJug& b)
{
    if (a.m_nId != b.m_nId || a.m_strText != b.m_strText || a.m_nConnectorIndex != b.m_nConnectorIndex ||
        a.m_nSubtypeIndex != b.m_nSubtypeIndex || a.m_nFlags != b.m_nFlags || a.m_strNote != b.m_strNote ||
        a.m_strConnectorName != b.m_strConnectorName || a.m_strSubtypeName != b.m_strSubtypeName ||
        !SameBits(a.m_dtStartDate, b.m_dtStartDate) || !SameBits(a.m_dtEndDate, b.m_dtEndDate) ||
        !SameBits(a.m_dtStartTime, b.m_dtStartTime) || !SameBits(a.m_dtEndTime, b.m_dtEndTime) ||
        a.m_parameters.size() != b.m_parameters.size())
        return false;
    for (size_t i = 0; i < a.m_parameters.size(); ++i) {
        if (a.m_parameters[i].m_strName != b.m_parameters[i].m_strName ||
            a.m_parameters[i].m_strValue != b.m_parameters[i].m_strValue)
            return false;
    }
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

// The cache file lies in the current folder: each run gets a folder of its
// own, so that other targets started beside it are not fed this one's file.
void EnterOwnFolder()
{
    static bool entered = false;
    if (entered)
        return;
    Require(chdir(FuzzFolder().c_str()) == 0, "no folder of its own");
    entered = true;
}

CWebActionList* LoadFromFile(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(kWebActionCacheFile, "wb");
    Require(f && std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0, "cannot write the cache file");
    CWebActionList* list = new CWebActionList;
    std::remove(kWebActionCacheFile);
    return list;
}

// A list of the memory alone: no file is ever there to load.
const char kNoFile[] = "never-written.dat";

// Each byte an operation on the list, checked against a model of ids and texts.
void Edit(CWebActionList& list, const uint8_t* ops, size_t count)
{
    std::map<int, std::string> model;
    for (const CWebActionJug& jug : list.GetActions())
        model.emplace(jug.m_nId, static_cast<const char*>(jug.m_strText));
    for (size_t i = 0; i < count; ++i) {
        const int id = ops[i] >> 2;
        switch (ops[i] & 3) {
        case 0:
        case 1: {
            CWebActionJug action;
            action.m_strText = std::to_string(i).c_str();
            action.m_nId = -1;
            action.m_nFlags = (ops[i] & 0x40) ? CWebActionJug::flagNoQueue : 0;
            const int before = list.GetCount();
            const int added = list.Add(action);
            if (action.m_nFlags & CWebActionJug::flagNoQueue) {
                Require(added == 0 && list.GetCount() == before, "an action never to be queued was kept");
                break;
            }
            Require(added == before + 1 && list.GetCount() == added, "the count after adding");
            Require(action.m_nId > 0 && !model.count(action.m_nId), "a new action got an id already held");
            model.emplace(action.m_nId, std::to_string(i));
            break;
        }
        case 2: {
            CWebActionJug* found = list.Find(id);
            Require((found != nullptr) == (model.count(id) == 1), "found what is not held or missed what is");
            if (found)
                Require(model[id] == static_cast<const char*>(found->m_strText), "found another action");
            break;
        }
        case 3:
            Require(list.Remove(id) == 1, "removing answers 1");
            model.erase(id);
            break;
        }
        Require(list.GetCount() == static_cast<int>(model.size()), "count and held actions differ");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterOwnFolder();
    CWebActionList list(kNoFile);
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
    CWebActionList back(kNoFile);
    Require(back.LoadCache(again) == count, "stored actions do not load back");
    auto read = back.GetActions().begin();
    for (const CWebActionJug& jug : list.GetActions())
        Require(SameKeptFields(jug, *read++), "a stored action loads back different");

    std::unique_ptr<CWebActionList> fromFile(LoadFromFile(data, size));
    Require(fromFile->GetCount() == count, "the file and the memory readers disagree");
    // Ids repeated in a damaged file are given ids of their own.
    std::map<int, int> seen;
    for (const CWebActionJug& jug : fromFile->GetActions())
        Require(jug.m_nId > 0 && ++seen[jug.m_nId] == 1, "two entries with one id");
    const size_t ops = size < 48 ? size : 48;
    Edit(*fromFile, data + size - ops, ops);
    // What the edits wrote must not reach the next input's lists.
    std::remove(kWebActionCacheFile);
    return 0;
}
