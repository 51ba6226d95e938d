#include "WebConnector.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ConnectorFile.h"
#include "ConnectorText.h"

using ConnectorText::FindTag;

namespace {

const char kSubtypeTag[] = "<SUBTYPE";
const char kSubtypeEnd[] = "</SUBTYPE>";
const char kConnectorEnd[] = "</CONNECTOR>";
const char kHtmlTag[] = "<HTML>";
const char kHtmlEnd[] = "</HTML>";

// The keys of a SUBTYPE tag, in the order they are read.
struct SubtypeKey {
    const char* name;
    CString CWebConnectorSubtype::*field;   // null: ATTRIBUTES, which only sets a flag
};

const SubtypeKey kSubtypeKeys[] = {
    {"MENUSTRING", &CWebConnectorSubtype::m_strMenuString},
    {"KEYWORDS", &CWebConnectorSubtype::m_strKeywords},
    {"IMAGE", &CWebConnectorSubtype::m_strImage},
    {"METHOD", &CWebConnectorSubtype::m_strMethod},
    {"ACTION", &CWebConnectorSubtype::m_strAction},
    {"WEBACTION", &CWebConnectorSubtype::m_strWebAction},
    {"VERSION", &CWebConnectorSubtype::m_strVersion},
    {"DESCRIPTION", &CWebConnectorSubtype::m_strDescription},
    {"LONGDESCRIPTION", &CWebConnectorSubtype::m_strLongDescription},
    {"SERVICETYPE", &CWebConnectorSubtype::m_strServiceType},
    {"SERVICECATEGORY", &CWebConnectorSubtype::m_strServiceCategory},
    {"PORTAL", &CWebConnectorSubtype::m_strPortal},
    {"EXAMPLESTR", &CWebConnectorSubtype::m_strExampleStr},
    {"ATTRIBUTES", nullptr},
};

// The text from "<HTML>" through "</HTML>" becomes the action.
void ReadHtmlBlock(const char* text, const char* subtype, CWebConnectorSubtype& record)
{
    const char* start = FindTag(text, subtype, kHtmlTag);
    const char* end = start ? std::strstr(start, kHtmlEnd) : nullptr;
    if (end)
        record.m_strAction = CString(start, static_cast<int>(end + sizeof kHtmlEnd - 1 - start));
}

} // namespace

//--- CWebConnectorSubtype

BOOL CWebConnectorSubtype::ReadTag(LPCSTR text)
{
    const char* tag = text ? FindTag(text, text, kSubtypeTag) : nullptr;
    CWebConnectorSubtype read(*this);
    if (!tag || !CWebConnectorDefinitionFile::ParseSubtypeAttributes(text, tag, read))
        return FALSE;
    *this = read;
    return TRUE;
}

BOOL CWebConnectorSubtype::IsNoAction() const
{
    return m_strWebAction.CompareNoCase("no") == 0;
}

BOOL CWebConnectorSubtype::IsHidden() const
{
    return m_strWebAction.CompareNoCase("hidden") == 0;
}

//--- CWebConnectorDef

BOOL CWebConnectorDef::IsSameAs(const CWebConnectorDef& other) const
{
    if (m_strName != other.m_strName || m_strPath != other.m_strPath)
        return FALSE;
    size_t count = std::min(m_subtypes.size(), other.m_subtypes.size());
    for (size_t i = 0; i < count; ++i) {
        if (m_subtypes[i].m_strMenuString != other.m_subtypes[i].m_strMenuString)
            return FALSE;
    }
    return TRUE;
}

//--- CWebConnectorDefinitionFile

int CWebConnectorDefinitionFile::Load(LPCSTR path, bool* tooLarge)
{
    char* text = nullptr;
    if (!ReadConnectorFile(path, &text, tooLarge))
        return 0;
    m_strPath = path;
    ReadVersion(text);
    ParseConnectors(text, path);
    delete[] text;
    return static_cast<int>(m_connectors.size());
}

void CWebConnectorDefinitionFile::ReadVersion(const char* text)
{
    const char* version = FindTag(text, text, "VERSION");
    const char* equals = version ? std::strchr(version, '=') : nullptr;
    if (equals)
        m_strVersion = ConnectorText::FormatVersion(std::atof(equals + 1));
}

int CWebConnectorDefinitionFile::FindConnector(const CWebConnectorDef& def) const
{
    for (size_t i = 0; i < m_connectors.size(); ++i) {
        if (m_connectors[i].IsSameAs(def))
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CWebConnectorDefinitionFile::ParseSubtypeAttributes(const char* text, const char* tag,
                                                         CWebConnectorSubtype& record)
{
    const char* tagEnd = std::strchr(tag, '>');
    if (!tagEnd)
        return FALSE;
    const char* behindName = tag + sizeof kSubtypeTag - 1;
    for (const SubtypeKey& key : kSubtypeKeys) {
        // Only the key's first place behind "<SUBTYPE" counts, and only inside the tag.
        const char* at = FindTag(text, behindName, key.name);
        if (!at || at >= tagEnd)
            continue;
        CString value;
        if (!ConnectorText::ReadValue(at, key.name, true, value))
            return FALSE;
        if (key.field) {
            record.*key.field = value;
        } else {
            value.MakeUpper();
            if (value.Find("DEFAULT") >= 0)
                record.m_nFlags |= CWebConnectorSubtype::flagDefault;
        }
    }
    return TRUE;
}

void CWebConnectorDefinitionFile::ParseConnectors(char* text, LPCSTR path)
{
    char* pos = text;
    while (const char* found = ConnectorText::FindConnectorTag(text, pos)) {
        char* connector = text + (found - text);
        CWebConnectorDef def;
        def.m_strPath = path;
        if (const char* name = FindTag(text, connector + 1, "MENUSTRING"))
            ConnectorText::ReadValue(name, "MENUSTRING", false, def.m_strName);
        char* connectorEnd = std::strstr(connector, kConnectorEnd);
        if (!connectorEnd) {
            m_connectors.push_back(def);
            return;
        }
        const int connectorIndex = static_cast<int>(m_connectors.size());
        char* next = connector;
        for (;;) {
            const char* subtype = FindTag(text, next, kSubtypeTag);
            if (!subtype || subtype > connectorEnd)
                break;
            char* subtypeEnd = std::strstr(text + (subtype - text), kSubtypeEnd);
            if (!subtypeEnd)
                break;
            char* behind = subtypeEnd + sizeof kSubtypeEnd - 1;
            char kept = *behind;
            *behind = '\0';
            CWebConnectorSubtype record;
            ReadHtmlBlock(text, subtype, record);
            if (ParseSubtypeAttributes(text, subtype, record)) {
                record.m_nSubtypeIndex = static_cast<int>(def.m_subtypes.size());
                record.m_nConnectorIndex = connectorIndex;
                record.m_strConnectorName = def.m_strName;
                def.m_subtypes.push_back(record);
            }
            *behind = kept;
            next = behind;
        }
        m_connectors.push_back(def);
        pos = connectorEnd + sizeof kConnectorEnd - 1;
    }
}
