// The common library of the Palm Desktop stand-in: the desktop's users. The
// list lives in "Users.dat" in the desktop folder; each user's data lie in a
// folder of that name below it.
#pragma once
#include <afxquill.h>

#include <vector>

#define PALM_USERS_FILE "Users.dat"

class CUser {
public:
    CUser(unsigned long id, LPCTSTR name, LPCTSTR directory) : m_id(id), m_name(name), m_directory(directory) {}
    unsigned long GetID() const { return m_id; }
    const CString& GetName() const { return m_name; }
    // The user's folder below the desktop folder, without a backslash.
    const CString& GetDirectory() const { return m_directory; }

private:
    unsigned long m_id;
    CString m_name;
    CString m_directory;
};

class CUserMgr {
public:
    // Reads the users of the desktop folder (which ends in a backslash). A
    // folder without a users file has no users. 0 when read; otherwise the
    // manager holds no users.
    int SetDirectory(LPCTSTR desktopPath);
    // The users in the order they were added; null at the end.
    CUser* FindFirst();
    CUser* FindNext();
    int GetCount() const { return static_cast<int>(m_users.size()); }

    // What the desktop does when someone adds a user: the next id, and a
    // folder for each table. Null when the name is taken or a folder cannot
    // be made. Without makeFolders only the entry is added (for a folder
    // that cannot exist).
    CUser* AddUser(LPCTSTR name, LPCTSTR directory, bool makeFolders = true);
    // Writes the list back (a temporary file renamed over the old one);
    // throws CFileException* or CArchiveException* on failure.
    void Save();

    // The list as text, one line per user.
    CString Dump() const;

private:
    CString m_directory;
    std::vector<CUser> m_users;
    size_t m_cursor = 0;
};

// The folders of a user's tables below the user's folder.
extern const char* const kPalmTableFolders[4];
