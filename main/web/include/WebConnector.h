// Connector definition files and their records: a collection holds the
// connectors (CONNECTOR elements) of every file loaded into it, each with its
// subtypes (SUBTYPE elements), the web actions the program offers.
#pragma once

#include <afxquill.h>

#include <vector>

// One action of a connector. Texts are empty until the file fills them.
class CWebConnectorSubtype {
public:
    enum { flagDefault = 0x1 };   // ATTRIBUTES names DEFAULT

    // Reads the keys of the first SUBTYPE tag in text; FALSE, with the
    // record as it was, when there is no such tag or it is malformed.
    BOOL ReadTag(LPCSTR text);

    // WEBACTION "no" or "hidden", in any case.
    BOOL IsNoAction() const;
    BOOL IsHidden() const;

    CString m_strMenuString;
    CString m_strKeywords;
    CString m_strAction;          // the template: the HTML block, or key ACTION
    CString m_strImage;
    CString m_strMethod;
    CString m_strWebAction;
    CString m_strConnectorName;   // the MENUSTRING of the enclosing CONNECTOR
    CString m_strVersion;
    CString m_strDescription;
    CString m_strLongDescription;
    CString m_strServiceType;
    CString m_strServiceCategory;
    CString m_strPortal;
    CString m_strExampleStr;
    int m_nSubtypeIndex = -1;     // position among the connector's subtypes
    UINT m_nFlags = 0;
    int m_nConnectorIndex = 0;    // position of the connector in its collection
};

// One connector of a definition file.
class CWebConnectorDef {
public:
    virtual ~CWebConnectorDef() = default;

    // The same name and file, and the same subtype menu strings pair by pair
    // as far as the shorter list goes.
    BOOL IsSameAs(const CWebConnectorDef& other) const;

    CString m_strName;
    std::vector<CWebConnectorSubtype> m_subtypes;
    CString m_strPath;            // the file it came from
};

// The connectors of every file loaded into it, in loading order.
class CWebConnectorDefinitionFile {
public:
    virtual ~CWebConnectorDefinitionFile() = default;

    // Reads the file (plain or scrambled) and appends its connectors. The
    // number of connectors held afterwards, or 0 when the file was not read
    // (*tooLarge, when given, tells whether it was refused for its size).
    int Load(LPCSTR path, bool* tooLarge = nullptr);
    // Appends the connectors of a definition text read from path. The text is
    // ended for a moment behind each subtype and given back as it came.
    void ParseConnectors(char* text, LPCSTR path);

    std::vector<CWebConnectorDef>& GetConnectors() { return m_connectors; }
    const std::vector<CWebConnectorDef>& GetConnectors() const { return m_connectors; }
    // The index of the connector that IsSameAs the given one, or -1.
    int FindConnector(const CWebConnectorDef& def) const;
    void RemoveAll() { m_connectors.clear(); }

    // The file loaded last, and the VERSION of the last one that had one.
    const CString& GetPath() const { return m_strPath; }
    const CString& GetVersion() const { return m_strVersion; }

    // Reads the keys of the SUBTYPE tag at `tag` into the record; FALSE when
    // the tag has no ">" or a key in it has no "=" behind it.
    static BOOL ParseSubtypeAttributes(const char* text, const char* tag, CWebConnectorSubtype& record);

private:
    void ReadVersion(const char* text);

    CString m_strPath;
    CString m_strVersion;
    std::vector<CWebConnectorDef> m_connectors;
};
