// The servers this machine knows, the journal database with its default
// folders, and the folders of a database: read whole, read for what
// changed, and created.
#include <string>
#include <vector>

#include "HeronOptions.h"
#include "HeronRes.h"
#include "HeronWorker.h"
#include "QuotedFields.h"

namespace {

const int kKindNew = 8;
const int kKindChanged = 4;
const int kKindDeleted = 2;
const int kAllDepths = 256;

std::string OptionText(int index, const char* fallback)
{
    const char* text = reinterpret_cast<const char*>(HeronOptions::Get(index));
    return text ? text : fallback;
}

std::string JournalName()
{
    return OptionText(HERON_OPT_JOURNAL_NAME, "journal.nsf");
}

// Backslashes in the name, counting no further than 257.
int NestingOf(const std::string& name)
{
    int count = 0;
    for (size_t i = 0; i < name.size() && count <= kAllDepths; ++i)
        count += name[i] == '\\';
    return count;
}

}  // namespace

int HERON::GetServerList(LNText* servers)
{
    ReturnedErrors returned;
    if (m_session.Session().GetServerNames(servers) != 0) {
        SetError(NTS5_ERROR_CANT_GET_SERVERLIST, "GetServerList", IDS_NO_SERVER_LIST);
        return NTS5_ERROR_CANT_GET_SERVERLIST.code;
    }
    return 0;
}

int HERON::GetServers(VARIANT* out)
{
    LNText servers;
    int result = GetServerList(&servers);
    TextList names;
    for (DWORD i = 0; result == 0 && i < servers.GetCount(); ++i)
        names.Append(servers[i].GetPlatformTextPtr());
    names.ToVariant(out);
    return result;
}

bool HERON::DatabaseExists(const std::string& database)
{
    ReturnedErrors returned;
    LNDatabase found;
    if (m_session.Session().GetDatabase(database.c_str(), &found, "") != 0 || found.Open() != 0)
        return false;
    found.Close();
    return true;
}

bool HERON::CreateJournalDatabase()
{
    const std::string templateName = OptionText(HERON_OPT_JOURNAL_TEMPLATE, "journal4.ntf");
    const std::string name = JournalName();
    ThrownErrors thrown;
    try {
        LNCreateDatabaseOptions options;
        std::string templateServer;
        // Without a local template the user's mail server lends its own.
        if (!DatabaseExists(templateName)) {
            LNDatabase mail;
            if (LNSTATUS status = m_session.GetMailDatabase(&mail))
                throw status;
            templateServer = mail.GetServerName();
        }
        m_session.Session().CreateDatabaseFromTemplate(templateName.c_str(), templateServer.c_str(), name.c_str(), "",
                                                       options);
    } catch (LNSTATUS status) {
        SetStatusError(status, "CreateJournalDatabase", IDS_CTX_CREATE_JOURNAL);
        return false;
    }
    return true;
}

int HERON::CreateDefaultJournalFolders()
{
    std::string names = HeronString(IDS_DEFAULT_JOURNAL_FOLDERS, 256);
    if (names.empty())
        return 0;
    std::vector<char> text(names.begin(), names.end());
    text.push_back('\0');
    std::vector<char*> fields(names.size() + 2);
    int count = SplitCsvLine(text.data(), fields.data(), static_cast<int>(fields.size()));
    const std::string journal = JournalName();
    for (int i = 0; i < count; ++i)
        CreateDatabaseFolder(journal, UnquoteCsvField(fields[i]));
    return count;
}

int HERON::GetJournalFolders(VARIANT* out)
{
    const std::string name = JournalName();
    // The defaults go into a new journal only: a folder the user deleted
    // stays deleted.
    if (!DatabaseExists(name)) {
        if (!CreateJournalDatabase())
            return NTS5_ERROR_UNABLE_TO_CREATE_JOURNAL_DB.code;
        CreateDefaultJournalFolders();
    }
    return GetDatabaseFolders(name, out, 1);
}

int HERON::GetModifiedJournalFolders(VARIANT* out)
{
    return GetModifiedDatabaseFolders(JournalName(), out, kAllDepths);
}

int HERON::CreateDatabaseFolder(const std::string& database, const std::string& folder)
{
    return Recorded(IDS_CTX_CREATE_FOLDER, [&]() -> int {
        ThrownErrors thrown;
        LNDatabase target;
        m_session.Session().GetDatabase(database.c_str(), &target, "");
        target.Open();
        if (!target.ViewFolderExists(folder.c_str())) {
            LNViewFolder design;
            target.GetViewFolder("$All", &design);
            LNViewFolder created;
            // Stored as it is made, with the colours of the design it copies.
            target.CreateFolder(folder.c_str(), 0, design, &created);
        }
        if (target.IsOpen())
            target.Close();
        return 0;
    });
}

int HERON::MakeFolderLine(const LNDatabase& database, LNViewFolder* folder, std::string* line, int depthLimit,
                          int kind)
{
    line->clear();
    if (!folder->IsOpen())
        folder->Open(0);
    LNString name;
    folder->GetName(&name);
    if (NestingOf(name.GetPlatformTextPtr()) >= depthLimit)
        return 0;
    TextList fields;
    fields.Append(DatabaseKeyText(database, folder->GetNoteID()));
    fields.Append(name.GetPlatformTextPtr());
    fields.Append(std::to_string(kind));
    *line = JoinQuotedFields(fields);
    return 3;
}

int HERON::GetDatabaseFolders(const std::string& database, VARIANT* out, int depthLimit)
{
    return Recorded(IDS_CTX_DATABASE_FOLDERS, [&]() -> int {
        ThrownErrors thrown;
        LNDatabase source;
        m_session.Session().GetDatabase(database.c_str(), &source, "");
        source.Open();
        LNNoteArray views;
        source.GetViewFolders(&views);
        TextList lines;
        for (DWORD i = 0; i < views.GetCount(); ++i) {
            LNViewFolder folder;
            source.GetNote(views[i], &folder);
            folder.Open(0);
            std::string line;
            if (folder.IsFolder() && MakeFolderLine(source, &folder, &line, depthLimit, 0))
                lines.Append(line);
            folder.Close();
        }
        lines.ToVariant(out);
        source.Close();
        return 0;
    });
}

int HERON::GetModifiedDatabaseFolders(const std::string& database, VARIANT* out, int depthLimit)
{
    LNDatetime since;
    LastReadTime(database.c_str(), &since);
    // Taken before the read: what changes while it runs comes next time.
    const TIMEDATE at = CheckTime();
    if (since.IsWildcard()) {
        int result = GetDatabaseFolders(database, out, kAllDepths);
        if (result == 0)
            MarkRead(database.c_str(), at);
        return result;
    }
    return Recorded(IDS_CTX_MODIFIED_FOLDERS, [&]() -> int {
        ThrownErrors thrown;
        LNDatabase source;
        m_session.Session().GetDatabase(database.c_str(), &source, "");
        source.Open();
        LNNoteArray notes;
        source.GetModifiedNotes(since, LNNOTECLASS_VIEW, &notes);
        TextList lines;
        for (DWORD i = 0; i < notes.GetCount(); ++i) {
            const LNNOTEID id = notes[i];
            if (id & LNNOTEID_DELETED) {
                TextList fields;
                fields.Append(DatabaseKeyText(source, id));
                fields.Append(std::string());
                fields.Append(std::to_string(kKindDeleted));
                lines.Append(JoinQuotedFields(fields));
                continue;
            }
            LNViewFolder folder;
            source.GetNote(id, &folder);
            folder.Open(0);
            if (!folder.IsFolder())
                continue;
            LNDatetime created;
            folder.GetCreated(&created);
            const int kind = CompareNotesStamps(created.GetStamp(), since.GetStamp()) < 0 ? kKindChanged : kKindNew;
            std::string line;
            if (MakeFolderLine(source, &folder, &line, depthLimit, kind))
                lines.Append(line);
        }
        lines.ToVariant(out);
        source.Close();
        MarkRead(database.c_str(), at);
        return 0;
    });
}
