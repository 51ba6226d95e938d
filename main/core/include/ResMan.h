// The language resource library: every dialog, menu, string and picture of
// the program comes from it. The application object holds one CResMan, so
// the library is loaded before InitInstance and freed with the application.
#pragma once
#include <afxquill.h>

class CResMan {
public:
    // Loads "QuiRes<language>.dll" for the user's default language, else the
    // one for 1033, and makes it the resource source. When neither loads the
    // program's own string 1 is shown and GetResourceHandle stays null.
    CResMan();
    // The same for another library base name and language.
    CResMan(LPCTSTR lpszBaseName, LANGID wLanguage);
    ~CResMan();
    CResMan(const CResMan&) = delete;
    CResMan& operator=(const CResMan&) = delete;

    // The loaded library; null when none could be loaded.
    HINSTANCE GetResourceHandle() const { return m_hResDll; }

    // The library's file name: the base name and the language in decimal,
    // at least four digits ("QuiRes1033.dll").
    static CString LibraryName(LPCTSTR lpszBaseName, LANGID wLanguage);

private:
    void Load(LPCTSTR lpszBaseName, LANGID wLanguage);

    HINSTANCE m_hResDll = nullptr;
};
