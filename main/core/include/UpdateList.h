// Applying the updater's list of fetched files: which lines are taken and the
// copies they make. Plain file calls only, so that it also runs on the fuzz
// target's stand-in for them.
#pragma once
#include <afxquill.h>

#include <vector>

// A path of a list line is taken only when it lies, after resolving, directly
// in the folder given (with or without a closing backslash). The resolved
// path in resolved.
BOOL ResolveInFolder(LPCSTR lpszPath, LPCSTR lpszFolder, CString& resolved);

// Where a list may take its files from and put them.
class UpdateFolders {
public:
    // Folders as the settings name them, empty for the current folder; the
    // two item files, which no line may replace.
    UpdateFolders(LPCSTR lpszDownload, LPCSTR lpszConnectors, LPCSTR lpszPictures, LPCSTR lpszSystemItems,
                  LPCSTR lpszKeywords);

    // A file directly in the download folder.
    BOOL AcceptSource(LPCSTR lpszPath, CString& resolved) const;
    // A connector definition file into the connectors folder, or a picture
    // into the picture folder; never one of the item files by any name.
    BOOL AcceptDestination(LPCSTR lpszPath, const CString& source, CString& resolved) const;

    // A file as the system knows it: where it lies (the same for every name
    // of it), and its size and time of writing, which change with its bytes.
    struct FileId {
        bool known = false;
        DWORD volume = 0, high = 0, low = 0;
        DWORD sizeHigh = 0, sizeLow = 0;
        FILETIME written = {};
        bool SameFile(const FileId& other) const;
        bool Unchanged(const FileId& other) const;
    };
    static FileId IdentityOf(LPCSTR lpszPath);

private:
    BOOL IsItemFile(const CString& path) const;

    CString m_download;
    CString m_connectors;
    CString m_pictures;
    CString m_itemFiles[2];
    FileId m_itemIds[2];
};

// A line of the list that is taken: what the user is asked about and what
// is copied on Yes.
struct UpdateEntry {
    CString source;        // resolved, in the download folder
    CString destination;   // resolved
    BOOL bReplaces = FALSE; // a file is there now
    UpdateFolders::FileId fetched; // the source as it was shown
};
typedef std::vector<UpdateEntry> UpdatePlan;

struct UpdateResult {
    BOOL bCopied = FALSE;
    CStringArray newFiles;  // destinations that did not exist before
    CStringArray failed;    // destinations whose copy failed
};

// The lines of the list text that are taken, in their order (each line's
// line feed cut in place, a carriage return before it allowed); a refused
// line is left out and touches nothing.
void PlanUpdateList(char* text, const UpdateFolders& folders, UpdatePlan& plan);
// Copies each entry's source over its destination and then deletes it, but
// only while both are still taken and the source is the file planned: what
// is installed is what the user was shown.
void ApplyUpdatePlan(const UpdatePlan& plan, const UpdateFolders& folders, UpdateResult& result);
// Both, for every line of the list text.
void ApplyUpdateList(char* text, const UpdateFolders& folders, UpdateResult& result);
