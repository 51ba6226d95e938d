// Applying the updater's list of fetched files: which lines are taken and the
// copies they make. Plain file calls only, so that it also runs on the fuzz
// target's stand-in for them.
#pragma once
#include <afxquill.h>

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

    struct FileId {
        bool known = false;
        DWORD volume = 0, high = 0, low = 0;
    };

private:
    BOOL IsItemFile(const CString& path) const;

    CString m_download;
    CString m_connectors;
    CString m_pictures;
    CString m_itemFiles[2];
    FileId m_itemIds[2];
};

struct UpdateResult {
    BOOL bCopied = FALSE;
    CStringArray newFiles;  // destinations that did not exist before
    CStringArray failed;    // destinations whose copy failed
};

// Applies one line of the list (its line feed cut, a carriage return before
// it allowed): an accepted source is copied over its destination and then
// deleted; a refused line touches nothing.
void ApplyUpdateLine(char* line, const UpdateFolders& folders, UpdateResult& result);
// Every line of the list text, in place.
void ApplyUpdateList(char* text, const UpdateFolders& folders, UpdateResult& result);
