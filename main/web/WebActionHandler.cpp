#include "WebActionHandler.h"

namespace {

// Loads every "*.xml" file of the folder, in the order the search gives them.
int LoadFolder(const CString& folder, CWebConnectorDefinitionFile& into)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder + "*.xml", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        CString path;
        path.Format("%s%s", folder.GetString(), found.cFileName);
        into.Load(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return 1;
}

// The file's name and extension.
CString FileNameOf(const CString& path)
{
    int cut = -1;
    for (int i = 0; i < path.GetLength(); ++i) {
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            cut = i;
    }
    return path.Mid(cut + 1);
}

// A connector's subtypes carry its position in its collection.
void Renumber(CWebConnectorDefinitionFile& collection)
{
    std::vector<CWebConnectorDef>& connectors = collection.GetConnectors();
    for (size_t i = 0; i < connectors.size(); ++i) {
        for (CWebConnectorSubtype& subtype : connectors[i].m_subtypes)
            subtype.m_nConnectorIndex = static_cast<int>(i);
    }
}

BOOL MoveDefinitionFile(const CString& from, const CString& to)
{
    return MoveFileA(from, to);
}

} // namespace

int CWebActionHandler::LoadConnectors()
{
    m_enabled.RemoveAll();
    return LoadFolder(GetConnectorsFolder(), m_enabled);
}

int CWebActionHandler::LoadDisabledConnectors()
{
    m_disabled.RemoveAll();
    return LoadFolder(GetDisabledConnectorsFolder(), m_disabled);
}

std::vector<CWebConnectorDef>& CWebActionHandler::GetDisabledConnectors()
{
    if (m_disabled.GetConnectors().empty())
        LoadDisabledConnectors();
    return m_disabled.GetConnectors();
}

int CWebActionHandler::SetConnectorEnabled(const CWebConnectorDef& connector, UINT flags)
{
    // Read the disabled folder before anything moves into its collection, or
    // its other files would never be read.
    GetDisabledConnectors();
    CWebConnectorDefinitionFile* source = &m_enabled;
    int index = m_enabled.FindConnector(connector);
    if (index < 0) {
        source = &m_disabled;
        index = m_disabled.FindConnector(connector);
        if (index < 0)
            return 0;
    }
    CWebConnectorDefinitionFile& target = (flags & connectorEnable) ? m_enabled : m_disabled;
    if (source == &target)
        return 1;

    // The file moves as a whole, so every connector it holds moves with it.
    const CString from = source->GetConnectors()[static_cast<size_t>(index)].m_strPath;
    const CString folder = (&target == &m_enabled) ? GetConnectorsFolder() : GetDisabledConnectorsFolder();
    const CString to = folder + FileNameOf(from);
    if (!MoveDefinitionFile(from, to))
        return 1;
    std::vector<CWebConnectorDef>& moving = source->GetConnectors();
    for (auto it = moving.begin(); it != moving.end();) {
        if (it->m_strPath != from) {
            ++it;
            continue;
        }
        target.GetConnectors().push_back(*it);
        target.GetConnectors().back().m_strPath = to;
        it = moving.erase(it);
    }
    Renumber(m_enabled);
    Renumber(m_disabled);
    return 1;
}
