// The offline list: web actions that could not run because the browser
// reported no connection, kept in the cache file "actioncache.dat" so that
// they are sent again later, in this run or the next.
#pragma once

#include <list>

#include "WebActionJug.h"

extern const char kWebActionCacheFile[];

class CWebActionList {
public:
    // Loads the cache file of the current folder, which stays the list's
    // file when the current folder changes later.
    CWebActionList();
    // The same with a cache file of the caller's.
    explicit CWebActionList(LPCTSTR cachePath);
    virtual ~CWebActionList() = default;
    CWebActionList(const CWebActionList&) = delete;
    CWebActionList& operator=(const CWebActionList&) = delete;

    // Keeps a whole copy of the action and writes its new id into the
    // caller's action too. 0, and nothing kept, when the action must never
    // be queued; else the new count. The cache file is written anew.
    int Add(CWebActionJug& action);
    // The entry with that id, or null.
    CWebActionJug* Find(int id);
    // Removes the entry with that id when there is one, and writes the cache
    // file anew; returns 1.
    int Remove(int id);
    int GetCount() const { return static_cast<int>(m_actions.size()); }
    const std::list<CWebActionJug>& GetActions() const { return m_actions; }

    // Appends the actions stored in the cache file; returns the count. A
    // missing or damaged file ends the loading quietly, keeping what was read.
    // An id read that is held already, or not above 0, is replaced by a new one.
    // The list's own file, when it could not be read whole, is moved aside
    // before the list first writes it (GetKeptAside).
    int LoadCache();
    int LoadCache(LPCTSTR path);
    int LoadCache(CArchive& ar);

    // Stores every entry, then the end mark.
    void StoreCache(CArchive& ar) const;
    // Writes the cache file beside its place and renames it over the place
    // once it was written whole; FALSE, the old file untouched, when that fails.
    BOOL SaveCache();
    // The cache file holds what the list holds: the last write succeeded.
    BOOL IsCacheSaved() const { return m_bSaved; }
    // The list's own file exists but could not be opened (another program
    // holds it): it is never written over until it was read.
    BOOL IsCacheHeld() const { return m_bHeld; }
    // Reads a held cache file once it can be opened, keeping what the list
    // holds, and writes what was kept meanwhile; TRUE when it was read.
    BOOL ReadHeldCache();
    const CString& GetCachePath() const { return m_strCachePath; }
    // Where the cache file that could not be read whole was moved; empty
    // while none was.
    const CString& GetKeptAside() const { return m_strKeptAside; }

private:
    int NewId() const;
    // True when the end mark was reached.
    bool LoadObjects(CArchive& ar);

    std::list<CWebActionJug> m_actions;
    CString m_strCachePath;
    CString m_strKeptAside;
    BOOL m_bSaved = TRUE;
    BOOL m_bUnread = FALSE;
    BOOL m_bHeld = FALSE;
};
