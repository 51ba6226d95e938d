#include "WebActionList.h"

#include <algorithm>
#include <memory>
#include <vector>

const char kWebActionCacheFile[] = "actioncache.dat";

namespace {
const int kCacheBufferSize = 4096;
}

CWebActionList::CWebActionList()
{
    LoadCache();
}

int CWebActionList::Add(CWebActionJug& action)
{
    if (action.m_nFlags & CWebActionJug::flagNoQueue)
        return 0;
    // Normally one past the count; past any id still held after removals or
    // from the cache, so that every entry keeps an id of its own.
    int id = GetCount() + 1;
    while (Find(id))
        ++id;
    action.m_nId = id;
    m_actions.push_back(action);
    return GetCount();
}

CWebActionJug* CWebActionList::Find(int id)
{
    for (CWebActionJug& action : m_actions) {
        if (action.m_nId == id)
            return &action;
    }
    return nullptr;
}

int CWebActionList::Remove(int id)
{
    auto found = std::find_if(m_actions.begin(), m_actions.end(),
                              [id](const CWebActionJug& action) { return action.m_nId == id; });
    if (found != m_actions.end())
        m_actions.erase(found);
    return 1;
}

int CWebActionList::LoadCache()
{
    return LoadCache(kWebActionCacheFile);
}

int CWebActionList::LoadCache(LPCTSTR path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary))
        return GetCount();
    CArchive ar(&file, CArchive::load, kCacheBufferSize);
    return LoadCache(ar);
}

int CWebActionList::LoadCache(CArchive& ar)
{
    // The objects read stay alive until the end: a damaged file may name one
    // of them again by its archive index, which then ends the loading.
    std::vector<std::unique_ptr<CWebActionJug>> read;
    try {
        for (;;) {
            CWebActionJug* action = nullptr;
            ar >> action;
            if (!action)
                break;
            bool again = std::any_of(read.begin(), read.end(),
                                     [action](const std::unique_ptr<CWebActionJug>& p) { return p.get() == action; });
            if (again)
                break;
            read.emplace_back(action);
            m_actions.push_back(*action);
        }
    } catch (CException* e) {
        e->Delete();
    }
    return GetCount();
}
