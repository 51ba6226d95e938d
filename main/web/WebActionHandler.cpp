#include "WebActionHandler.h"

#include <sstream>

#include "WebActionRun.h"

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

// The offline list keeps only part of an action; a run later needs all of it.
void CopyWholeAction(CWebActionJug& to, const CWebActionJug& from)
{
    to = from;
    to.m_parameters = from.m_parameters;
    to.m_nFlags = from.m_nFlags;
    to.m_strNote = from.m_strNote;
    to.m_dtStartDate = from.m_dtStartDate;
    to.m_dtEndDate = from.m_dtEndDate;
    to.m_dtStartTime = from.m_dtStartTime;
    to.m_dtEndTime = from.m_dtEndTime;
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
            return connectorNotFound;
    }
    CWebConnectorDefinitionFile& target = (flags & connectorEnable) ? m_enabled : m_disabled;
    if (source == &target)
        return connectorSet;

    // The file moves as a whole, so every connector it holds moves with it.
    const CString from = source->GetConnectors()[static_cast<size_t>(index)].m_strPath;
    const CString folder = (&target == &m_enabled) ? GetConnectorsFolder() : GetDisabledConnectorsFolder();
    const CString to = folder + FileNameOf(from);
    if (!MoveDefinitionFile(from, to))
        return connectorNotMoved;
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
    return connectorSet;
}

//--- running actions

CWebActionHandler::~CWebActionHandler()
{
    DeleteWebActionPages();
}

int CWebActionHandler::SubmitAction(CWebActionJug& action)
{
    if (m_urlHandler.IsConnected() == 1) {
        DeleteWebActionPages();
        SendQueued();
        char page[MAX_PATH];
        return Run(action, GetWebActionPagePath(page)) ? submitRun : submitFailed;
    }
    if (!m_actions.Add(action))
        return submitRun;
    // The list numbered the action; remember what it does not keep.
    m_queued.emplace_back();
    QueuedAction& queued = m_queued.back();
    CopyWholeAction(queued.action, action);
    if (const CWebConnectorSubtype* subtype = FindSubtype(action.m_nConnectorIndex, action.m_nSubtypeIndex)) {
        const CWebConnectorDef& connector = m_enabled.GetConnectors()[static_cast<size_t>(action.m_nConnectorIndex)];
        queued.connectorPath = connector.m_strPath;
        queued.connectorName = connector.m_strName;
        queued.menuString = subtype->m_strMenuString;
    }
    return submitQueued;
}

int CWebActionHandler::RunWebAction(CWebActionJug& action)
{
    DeleteWebActionPages();
    char page[MAX_PATH];
    return Run(action, GetWebActionPagePath(page));
}

int CWebActionHandler::GetUnsentCount()
{
    int unsent = 0;
    for (const QueuedAction& queued : m_queued) {
        if (m_actions.Find(queued.action.m_nId))
            unsent++;
    }
    return unsent;
}

int CWebActionHandler::SendQueuedActions()
{
    if (m_urlHandler.IsConnected() != 1)
        return 0;
    DeleteWebActionPages();
    return SendQueued();
}

int CWebActionHandler::SendQueued()
{
    int sent = 0;
    while (!m_queued.empty()) {
        QueuedAction& queued = m_queued.front();
        const int id = queued.action.m_nId;
        int connector = -1;
        // An entry taken out of the offline list meanwhile is not sent.
        if (m_actions.Find(id)) {
            if (const CWebConnectorSubtype* subtype = FindSubtype(queued, connector)) {
                queued.action.m_nConnectorIndex = connector;
                queued.action.m_nSubtypeIndex = subtype->m_nSubtypeIndex;
                // What the browser did not take stays kept, with all after it.
                if (!Run(queued.action, GetNumberedWebActionPagePath(id)))
                    break;
                ++sent;
            }
            m_actions.Remove(id);
        }
        m_queued.pop_front();
    }
    return sent;
}

const CWebConnectorSubtype* CWebActionHandler::FindSubtype(int connector, int subtype) const
{
    const std::vector<CWebConnectorDef>& connectors = m_enabled.GetConnectors();
    if (connector < 0 || connector >= static_cast<int>(connectors.size()))
        return nullptr;
    const std::vector<CWebConnectorSubtype>& subtypes = connectors[static_cast<size_t>(connector)].m_subtypes;
    if (subtype < 0 || subtype >= static_cast<int>(subtypes.size()))
        return nullptr;
    return &subtypes[static_cast<size_t>(subtype)];
}

const CWebConnectorSubtype* CWebActionHandler::FindSubtype(const QueuedAction& queued, int& connector) const
{
    const std::vector<CWebConnectorDef>& connectors = m_enabled.GetConnectors();
    for (size_t i = 0; i < connectors.size(); ++i) {
        if (connectors[i].m_strPath != queued.connectorPath || connectors[i].m_strName != queued.connectorName)
            continue;
        for (const CWebConnectorSubtype& subtype : connectors[i].m_subtypes) {
            if (subtype.m_strMenuString == queued.menuString) {
                connector = static_cast<int>(i);
                return &subtype;
            }
        }
    }
    return nullptr;
}

int CWebActionHandler::Run(CWebActionJug& action, const char* pagePath)
{
    QuiTemplateParamList params;
    ExpandProfilePlaceholders(params, action);
    const CWebConnectorSubtype* subtype = FindSubtype(action.m_nConnectorIndex, action.m_nSubtypeIndex);
    // A template too long to fill would open an empty URL or page.
    if (!subtype || subtype->m_strAction.GetLength() > QUITEMPLATE_MAX_INPUT)
        return 0;

    const bool isUrl = subtype->m_strMethod.CompareNoCase("GET") == 0;
    std::istringstream input(subtype->m_strAction.GetString());
    std::ostringstream output;
    QUITEMPLATE job(&input, &output, params, isUrl ? templateUrl : templateHtml);
    job.Expand();
    const BOOL show = (action.m_nFlags & CWebActionJug::flagNoShow) ? FALSE : TRUE;
    if (isUrl)
        return m_urlHandler.OpenURL(output.str().c_str(), show);
    if (!WriteWebActionPage(pagePath, output.str()))
        return 0;
    return m_urlHandler.OpenURL(pagePath, show);
}
