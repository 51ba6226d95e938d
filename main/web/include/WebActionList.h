// The offline list: web actions that could not run because the browser
// reported no connection, preloaded from the cache file "actioncache.dat".
#pragma once

#include <list>

#include "WebActionJug.h"

extern const char kWebActionCacheFile[];

class CWebActionList {
public:
    // Loads the cache file of the current folder.
    CWebActionList();
    virtual ~CWebActionList() = default;
    CWebActionList(const CWebActionList&) = delete;
    CWebActionList& operator=(const CWebActionList&) = delete;

    // Keeps a copy of the action (what CWebActionJug's operator= copies) and
    // writes its new id into the caller's action too. 0, and nothing kept,
    // when the action must never be queued; else the new count.
    int Add(CWebActionJug& action);
    // The entry with that id, or null.
    CWebActionJug* Find(int id);
    // Removes the entry with that id when there is one; returns 1.
    int Remove(int id);
    int GetCount() const { return static_cast<int>(m_actions.size()); }
    const std::list<CWebActionJug>& GetActions() const { return m_actions; }

    // Appends the actions stored in the cache file; returns the count. A
    // missing or damaged file ends the loading quietly, keeping what was read.
    int LoadCache();
    int LoadCache(LPCTSTR path);
    int LoadCache(CArchive& ar);

private:
    std::list<CWebActionJug> m_actions;
};
