#include "WebActionHandler.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "QuiResIds.h"
#include "WebActionRun.h"

namespace {

// Kept actions are tried again at most this often.
const DWORD kResendIntervalMs = 60000;
// A browser that was handed a page reads it within this time, even one that
// starts cold; only then may the page go.
const DWORD kPageLifeMs = 120000;

// A message of the resource library filled with printf's arguments.
template <class... Args> int TellFormatted(UINT id, UINT type, Args... args)
{
    CString format, text;
    format.LoadString(id);
    text.Format(format, args...);
    return AfxMessageBox(text, type);
}

// Loads every "*.xml" file of the folder, in the order the search gives
// them; the full paths of those refused for their size go to `tooLarge`.
int LoadFolder(const CString& folder, CWebConnectorDefinitionFile& into, std::vector<CString>& tooLarge)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder + "*.xml", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        CString path;
        path.Format("%s%s", folder.GetString(), found.cFileName);
        bool refused = false;
        into.Load(path, &refused);
        if (refused) {
            char full[MAX_PATH];
            DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
            tooLarge.push_back(length && length < MAX_PATH ? CString(full) : path);
        }
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
    return LoadTelling(GetConnectorsFolder(), m_enabled);
}

int CWebActionHandler::LoadDisabledConnectors()
{
    m_disabled.RemoveAll();
    return LoadTelling(GetDisabledConnectorsFolder(), m_disabled);
}

int CWebActionHandler::LoadTelling(const CString& folder, CWebConnectorDefinitionFile& into)
{
    std::vector<CString> tooLarge;
    const int found = LoadFolder(folder, into, tooLarge);
    // Each file once: every reload meets it again.
    CString names;
    for (const CString& path : tooLarge)
        if (m_toldTooLarge.insert(path.GetString()).second)
            names += path + "\r\n";
    if (!names.IsEmpty())
        TellFormatted(IDS_CONNECTOR_TOO_LARGE, MB_OK | MB_ICONWARNING, names.GetString());
    return found;
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

CWebActionHandler::CWebActionHandler()
{
    DeleteWebActionPages(kPageLifeMs);
}

CWebActionHandler::~CWebActionHandler()
{
    SetWakeTimer(false);
    KeepUnsaved();
    DeleteWebActionPages(kPageLifeMs);
}

int CWebActionHandler::SubmitAction(CWebActionJug& action)
{
    m_strLastPage.Empty();
    // Quitting, the action is kept as off line and goes from the next start.
    if (!m_bSending && !QuiURLHandler::IsQuitting() && m_urlHandler.IsConnected() == 1) {
        DeleteWebActionPages(kPageLifeMs);
        SendQueued();
        return Run(action) ? submitRun : submitFailed;
    }
    if (action.m_nFlags & CWebActionJug::flagNoQueue)
        return m_bSending ? submitFailed : submitRun;
    const CWebConnectorSubtype* subtype = FindSubtype(action.m_nConnectorIndex, action.m_nSubtypeIndex);
    if (!subtype)
        return submitFailed;
    CWebActionJug kept;
    kept.CopyWhole(action);
    kept.m_strConnectorName = m_enabled.GetConnectors()[static_cast<size_t>(action.m_nConnectorIndex)].m_strName;
    kept.m_strSubtypeName = subtype->m_strMenuString;
    // Run now, it would have taken the present moment as its start date.
    if (kept.m_dtStartDate == -1.0)
        kept.m_dtStartDate = COleDateTime::GetCurrentTime();
    m_actions.Add(kept);
    action.m_nId = kept.m_nId;
    TellCacheState();
    return submitQueued;
}

int CWebActionHandler::RunWebAction(CWebActionJug& action)
{
    DeleteWebActionPages(kPageLifeMs);
    return Run(action);
}

int CWebActionHandler::GetUnsentCount()
{
    return m_actions.GetCount();
}

int CWebActionHandler::SendQueuedActions()
{
    // The browser is not asked while no kept action could go anywhere.
    int connector = -1;
    const std::list<CWebActionJug>& kept = m_actions.GetActions();
    if (std::none_of(kept.begin(), kept.end(), [&](const CWebActionJug& a) { return FindKeptSubtype(a, connector); }))
        return 0;
    if (m_bSending || QuiURLHandler::IsQuitting() || m_urlHandler.IsConnected() != 1)
        return 0;
    DeleteWebActionPages(kPageLifeMs);
    return SendQueued();
}

int CWebActionHandler::SendQueuedWhenDue(DWORD dwNow)
{
    const auto waiting = [this] { return m_actions.GetCount() > 0 || m_actions.IsCacheHeld(); };
    SetWakeTimer(waiting());
    if (!waiting() || (m_bTried && dwNow - m_dwLastTry < kResendIntervalMs))
        return 0;
    m_bTried = true;
    m_dwLastTry = dwNow;
    // A cache file held by another program at start is read once it can be.
    if (m_actions.IsCacheHeld())
        m_actions.ReadHeldCache();
    TellCacheState();
    const int sent = SendQueuedActions();
    SetWakeTimer(waiting());
    return sent;
}

void CWebActionHandler::SetWakeTimer(bool bOn)
{
    // A thread timer without a procedure: its message only wakes the loop.
    if (bOn && !m_nWakeTimer) {
        m_nWakeTimer = ::SetTimer(nullptr, 0, kResendIntervalMs, nullptr);
    } else if (!bOn && m_nWakeTimer) {
        ::KillTimer(nullptr, m_nWakeTimer);
        m_nWakeTimer = 0;
    }
}

int CWebActionHandler::SendQueued()
{
    std::vector<int> ids;
    for (const CWebActionJug& kept : m_actions.GetActions())
        ids.push_back(kept.m_nId);
    int sent = 0;
    for (int id : ids) {
        // A quit met by a wait stops the resend: the rest stay kept as they are.
        if (QuiURLHandler::IsQuitting())
            break;
        const CWebActionJug* kept = m_actions.Find(id);
        int connector = -1;
        const CWebConnectorSubtype* subtype = kept ? FindKeptSubtype(*kept, connector) : nullptr;
        // One whose connector is gone waits for it, and is told at exit.
        if (!subtype)
            continue;
        CWebActionJug action;
        action.CopyWhole(*kept);
        action.m_nConnectorIndex = connector;
        action.m_nSubtypeIndex =
            static_cast<int>(subtype - m_enabled.GetConnectors()[static_cast<size_t>(connector)].m_subtypes.data());
        // What the browser did not take stays kept and is tried again later;
        // the others go all the same.
        if (!Run(action))
            continue;
        ++sent;
        m_actions.Remove(id);
    }
    if (sent)
        TellCacheState();
    return sent;
}

void CWebActionHandler::TellCacheState()
{
    if (m_actions.IsCacheHeld() && !m_bToldHeld) {
        m_bToldHeld = true;
        TellFormatted(IDS_OFFLINE_CACHE_HELD, MB_OK | MB_ICONWARNING, m_actions.GetCachePath().GetString());
    }
    if (!m_actions.GetKeptAside().IsEmpty() && !m_bToldKeptAside) {
        m_bToldKeptAside = true;
        TellFormatted(IDS_OFFLINE_CACHE_UNREAD, MB_OK | MB_ICONWARNING, m_actions.GetCachePath().GetString(),
                      m_actions.GetKeptAside().GetString());
    }
    if (m_actions.IsCacheSaved()) {
        m_bToldUnsaved = false;
    } else if (!m_bToldUnsaved && !m_actions.IsCacheHeld()) {
        m_bToldUnsaved = true;
        TellFormatted(IDS_OFFLINE_CACHE_FAILED, MB_OK | MB_ICONWARNING, m_actions.GetCachePath().GetString());
    }
}

BOOL CWebActionHandler::KeepUnsaved()
{
    if (m_bLetGo)
        return FALSE;
    while (!m_actions.IsCacheSaved() && !m_actions.SaveCache()) {
        if (TellFormatted(IDS_OFFLINE_NOT_SAVED, MB_RETRYCANCEL | MB_ICONWARNING,
                          m_actions.GetCachePath().GetString()) != IDRETRY) {
            m_bLetGo = true;
            return FALSE;
        }
    }
    return TRUE;
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

const CWebConnectorSubtype* CWebActionHandler::FindKeptSubtype(const CWebActionJug& kept, int& connector) const
{
    // Kept without the names (a cache file of the earlier layout), its
    // indexes may name any connector by now: it waits as one whose
    // connector is gone.
    if (kept.m_strConnectorName.IsEmpty() && kept.m_strSubtypeName.IsEmpty())
        return nullptr;
    const std::vector<CWebConnectorDef>& connectors = m_enabled.GetConnectors();
    const int count = static_cast<int>(connectors.size());
    // The connector at the kept index first, should two bear the same name.
    const int first = kept.m_nConnectorIndex >= 0 && kept.m_nConnectorIndex < count ? kept.m_nConnectorIndex : 0;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        if (connectors[static_cast<size_t>(i)].m_strName != kept.m_strConnectorName)
            continue;
        for (const CWebConnectorSubtype& subtype : connectors[static_cast<size_t>(i)].m_subtypes) {
            if (subtype.m_strMenuString == kept.m_strSubtypeName) {
                connector = i;
                return &subtype;
            }
        }
    }
    return nullptr;
}

int CWebActionHandler::Run(CWebActionJug& action)
{
    m_strLastPage.Empty();
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
    // Messages pass while the browser reads what it is given: nothing else
    // is handed to it meanwhile.
    m_bSending = true;
    struct Sent {
        bool& sending;
        ~Sent() { sending = false; }
    } sent{m_bSending};
    if (isUrl)
        return m_urlHandler.OpenURL(output.str().c_str(), show);
    // A page a browser may still be about to read is never written over.
    const CString page = GetFreeWebActionPagePath();
    if (!WriteWebActionPage(page, output.str()))
        return 0;
    m_strLastPage = page;
    return m_urlHandler.OpenURL(page, show);
}
