// lcppn20.dll: views and folders with their navigation, notes changed since
// a time, deletion, note times, computing with a form, the known servers
// and databases made from templates.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStore.h"

namespace {

template <class F>
LNSTATUS Checked(const char* call, F body)
{
    if (LNSTATUS status = NotesCheckCall(call))
        return status;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return NOTES_ERR_BAD_HANDLE;
    }
}

// The file of an open database; empty while it is closed.
std::string OpenFile(LNDBHANDLE handle)
{
    char file[MAX_PATH] = "";
    return handle && NotesDatabaseFile(handle, file, sizeof file) == 0 ? std::string(file) : std::string();
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// A document a view can show: no design note, profile or unread table.
bool IsDocument(const NotesNote& note)
{
    return NotesNoteClass(note) == LNNOTECLASS_DOCUMENT && !note.Find("$ProfileName") && !note.Find("$UnreadUser");
}

bool IsFolderNote(const NotesNote& note)
{
    return NotesNoteClass(note) == LNNOTECLASS_VIEW && note.Text("$Flags").find('F') != std::string::npos;
}

const NotesNote* FindTitled(const std::vector<NotesNote>& notes, const char* title, int noteClass)
{
    for (const NotesNote& note : notes) {
        if (NotesNoteClass(note) == noteClass && note.Find("$Title") && SameText(note.Text("$Title"), title))
            return &note;
    }
    return nullptr;
}

// The documents of a view or folder, in the database's order.
std::vector<LNNOTEID> EntriesOf(const std::vector<NotesNote>& notes, const NotesNote& view)
{
    std::vector<LNNOTEID> ids;
    const NotesItem* forms = view.Find("$SelectForms");
    const NotesItem* members = view.Find("$FolderEntries");
    for (const NotesNote& note : notes) {
        if (!IsDocument(note))
            continue;
        bool shown = false;
        if (IsFolderNote(view)) {
            for (size_t i = 0; members && i < members->values.size() && !shown; ++i)
                shown = std::strtoul(members->values[i].c_str(), nullptr, 10) == note.id;
        } else if (!forms) {
            shown = true;
        } else {
            for (size_t i = 0; i < forms->values.size() && !shown; ++i)
                shown = SameText(forms->values[i], note.Text("Form"));
        }
        if (shown)
            ids.push_back(note.id);
    }
    return ids;
}

std::string EnvironmentValue(const char* name)
{
    char value[1024] = "";
    return NotesEnvironmentText(name, value, sizeof value) ? std::string(value) : std::string();
}

}  // namespace

//--- LNNoteArray

LNNoteArray::LNNoteArray() : m_ids(nullptr), m_count(0) {}

LNNoteArray::~LNNoteArray()
{
    delete[] m_ids;
}

DWORD LNNoteArray::GetCount() const
{
    return m_count;
}

LNNOTEID LNNoteArray::operator[](DWORD index) const
{
    return index < m_count ? m_ids[index] : 0;
}

void LNNoteArray::Assign(const LNNOTEID* ids, DWORD count)
{
    LNNOTEID* copy = count ? new LNNOTEID[count] : nullptr;
    std::copy(ids, ids + count, copy);
    delete[] m_ids;
    m_ids = copy;
    m_count = count;
}

//--- LNNote: state, item types and times

BOOL LNNote::IsOpen() const
{
    return m_open;
}

WORD LNNote::GetItemType(const char* name) const
{
    if (NotesCheckCall("LNNote::GetItemType") || !name)
        return 0;
    try {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        const NotesItem* item = note ? note->Find(name) : nullptr;
        if (!item)
            return 0;
        return item->number ? LNITEMTYPE_NUMBERS : LNITEMTYPE_TEXT;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

LNSTATUS LNNote::DoGetTime(LNDatetime* time, bool modified) const
{
    return Checked(modified ? "LNNote::GetLastModified" : "LNNote::GetCreated", [&]() -> LNSTATUS {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        if (!note || !time)
            return NOTES_ERR_BAD_HANDLE;
        const DWORD* stamp = modified ? note->modified : note->created;
        *time = LNDatetime(NOTESTIMEDATE{{stamp[0], stamp[1]}});
        return 0;
    });
}

//--- LNDocument: computing with its form

LNSTATUS LNDocument::DoComputeWithForm(BOOL)
{
    return Checked("LNDocument::ComputeWithForm", [&]() -> LNSTATUS {
        NotesNote* note = static_cast<NotesNote*>(Data());
        if (!note)
            return NOTES_ERR_BAD_HANDLE;
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(GetFilePath(), &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        const std::string formName = note->Text("Form");
        const NotesNote* form = formName.empty() ? nullptr : FindTitled(notes, formName.c_str(), LNNOTECLASS_FORM);
        if (!form)
            return NOTES_ERR_NO_FORM;
        const std::string prefix = "$Default.";
        for (const NotesItem& item : form->items) {
            if (item.name.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::string name = item.name.substr(prefix.size());
            if (!note->Find(name))
                note->items.push_back(NotesItem{name, item.values, item.number});
        }
        return 0;
    });
}

//--- LNVFEntry

LNVFEntry::LNVFEntry() : m_file(), m_id(0), m_mainTopic(FALSE) {}

BOOL LNVFEntry::IsMainTopic() const
{
    return m_mainTopic;
}

LNSTATUS LNVFEntry::DoGetDocument(LNDocument* document) const
{
    return Checked("LNVFEntry::GetDocument", [&]() -> LNSTATUS {
        if (!document || m_id == 0)
            return NOTES_ERR_BAD_HANDLE;
        document->Bind(m_file, m_id);
        return 0;
    });
}

//--- LNViewFolder: folders and navigation

LNViewFolder::LNViewFolder() : m_viewOpen(FALSE), m_entries(nullptr), m_position(0) {}

LNViewFolder::~LNViewFolder()
{
    delete static_cast<std::vector<LNNOTEID>*>(m_entries);
}

BOOL LNViewFolder::IsFolder() const
{
    try {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        return note && IsFolderNote(*note) ? TRUE : FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

LNSTATUS LNViewFolder::DoSetBackgroundColor(WORD color)
{
    return Checked("LNViewFolder::SetBackgroundColor", [&]() -> LNSTATUS {
        NotesNote* note = static_cast<NotesNote*>(Data());
        if (!note)
            return NOTES_ERR_BAD_HANDLE;
        NotesItem* item = note->Find("$BackgroundColor");
        if (!item) {
            note->items.push_back(NotesItem{"$BackgroundColor", {}, true});
            item = &note->items.back();
        }
        item->number = true;
        item->values = {std::to_string(color)};
        return 0;
    });
}

LNSTATUS LNViewFolder::DoGoto(WORD navigation, LNVFEntry* entry)
{
    // The first entry and the next are told to fail apart.
    const char* call = navigation == LNVFNAVIGATE_NEXT ? "LNViewFolder::GotoNext" : "LNViewFolder::Goto";
    return Checked(call, [&]() -> LNSTATUS {
        auto* entries = static_cast<std::vector<LNNOTEID>*>(m_entries);
        if (!m_viewOpen || !entry)
            return NOTES_ERR_BAD_HANDLE;
        if (navigation == LNVFNAVIGATE_FIRST) {
            std::vector<NotesNote> notes;
            const NotesNote* view = static_cast<const NotesNote*>(Data());
            if (!view || !ReadNotesDatabase(GetFilePath(), &notes))
                return NOTES_ERR_FILE_NOT_FOUND;
            if (!entries) {
                entries = new std::vector<LNNOTEID>;
                m_entries = entries;
            }
            *entries = EntriesOf(notes, *view);
            m_position = 0;
        } else if (navigation == LNVFNAVIGATE_NEXT && entries) {
            if (m_position < entries->size())
                ++m_position;
        } else {
            return NOTES_ERR_BAD_HANDLE;
        }
        if (m_position >= entries->size())
            return LNWARN_END_OF_VIEW;
        const LNNOTEID id = (*entries)[m_position];
        std::vector<NotesNote> notes;
        ReadNotesDatabase(GetFilePath(), &notes);
        const NotesNote* document = FindNote(notes, id);
        lstrcpynA(entry->m_file, GetFilePath(), sizeof entry->m_file);
        entry->m_id = id;
        entry->m_mainTopic = document && !document->Find("$REF") ? TRUE : FALSE;
        return 0;
    });
}

//--- LNDatabase: views and folders, changes, deletion

LNSTATUS LNDatabase::DoGetViewFolders(LNNoteArray* views) const
{
    return Checked("LNDatabase::GetViewFolders", [&]() -> LNSTATUS {
        std::string file = OpenFile(m_handle);
        std::vector<NotesNote> notes;
        if (file.empty() || !views)
            return NOTES_ERR_BAD_HANDLE;
        if (!ReadNotesDatabase(file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        std::vector<LNNOTEID> ids;
        for (const NotesNote& note : notes) {
            if (NotesNoteClass(note) == LNNOTECLASS_VIEW)
                ids.push_back(note.id);
        }
        views->Assign(ids.data(), static_cast<DWORD>(ids.size()));
        return 0;
    });
}

BOOL LNDatabase::ViewFolderExists(const char* name) const
{
    if (NotesCheckCall("LNDatabase::ViewFolderExists") || !name)
        return FALSE;
    try {
        std::vector<NotesNote> notes;
        std::string file = OpenFile(m_handle);
        return !file.empty() && ReadNotesDatabase(file, &notes) && FindTitled(notes, name, LNNOTECLASS_VIEW);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

LNSTATUS LNDatabase::DoCreateFolder(const char* name, int, const LNViewFolder& design, LNViewFolder* folder)
{
    return Checked("LNDatabase::CreateFolder", [&]() -> LNSTATUS {
        std::string file = OpenFile(m_handle);
        if (file.empty() || !folder || !name)
            return NOTES_ERR_BAD_HANDLE;
        if (!*name)
            return NOTES_ERR_NOT_FOUND;
        if (ViewFolderExists(name))
            return NOTES_ERR_NAME_EXISTS;
        const NotesNote* pattern = static_cast<const NotesNote*>(static_cast<const LNNote&>(design).Data());
        if (!pattern || NotesNoteClass(*pattern) != LNNOTECLASS_VIEW || lstrcmpiA(design.GetFilePath(), file.c_str()))
            return NOTES_ERR_BAD_HANDLE;
        NotesNote* created = new NotesNote;
        for (const NotesItem& item : pattern->items) {
            if (!SameText(item.name, "$Title") && !SameText(item.name, "$Flags") && !SameText(item.name, "$FolderEntries")
                && !SameText(item.name, "$SelectForms") && !SameText(item.name, "$BackgroundColor"))
                created->items.push_back(item);
        }
        created->items.push_back(NotesItem{"$Title", {name}, false});
        created->items.push_back(NotesItem{"$Flags", {"F"}, false});
        LNNote& note = *folder;
        note.Bind(file.c_str(), 0);
        note.m_data = created;
        note.m_open = TRUE;
        return 0;
    });
}

LNSTATUS LNDatabase::DoGetModifiedNotes(const LNDatetime& since, WORD classMask, LNNoteArray* found,
                                        LNDatetime* until) const
{
    return Checked("LNDatabase::GetModifiedNotes", [&]() -> LNSTATUS {
        std::string file = OpenFile(m_handle);
        std::vector<NotesNote> notes;
        std::vector<NotesStub> stubs;
        if (file.empty() || !found)
            return NOTES_ERR_BAD_HANDLE;
        DWORD now[2];
        NotesNow(now);
        if (!ReadNotesDatabase(file, &notes) || !ReadNotesStubs(file, &stubs))
            return NOTES_ERR_FILE_NOT_FOUND;
        const NOTESTIMEDATE stamp = since.GetStamp();
        const DWORD from[2] = {stamp.innards[0], stamp.innards[1] == NOTES_NO_TIME ? 0 : stamp.innards[1]};
        std::vector<LNNOTEID> ids;
        for (const NotesNote& note : notes) {
            if ((NotesNoteClass(note) & classMask) && CompareStamps(note.modified, from) >= 0)
                ids.push_back(note.id);
        }
        for (const NotesStub& stub : stubs) {
            if ((stub.noteClass & classMask) && CompareStamps(stub.deleted, from) >= 0)
                ids.push_back(stub.id | LNNOTEID_DELETED);
        }
        std::sort(ids.begin(), ids.end(),
                  [](LNNOTEID a, LNNOTEID b) { return (a & ~LNNOTEID_DELETED) < (b & ~LNNOTEID_DELETED); });
        found->Assign(ids.data(), static_cast<DWORD>(ids.size()));
        if (until)
            *until = LNDatetime(NOTESTIMEDATE{{now[0], now[1]}});
        return 0;
    });
}

LNSTATUS LNDatabase::DoDeleteNote(LNNOTEID id)
{
    return Checked("LNDatabase::DeleteNote", [&]() -> LNSTATUS {
        std::string file = OpenFile(m_handle);
        if (file.empty())
            return NOTES_ERR_BAD_HANDLE;
        return DeleteNotesNote(file, id) ? 0 : NOTES_ERR_NOT_FOUND;
    });
}

//--- LNNotesSession: servers and new databases

LNSTATUS LNNotesSession::DoGetServerNames(LNText* names) const
{
    return Checked("GetServerNames", [&]() -> LNSTATUS {
        if (!names)
            return NOTES_ERR_BAD_HANDLE;
        std::vector<std::string> found;
        auto add = [&found](const std::string& server) {
            if (server.empty())
                return;
            for (const std::string& known : found) {
                if (SameText(known, server))
                    return;
            }
            found.push_back(server);
        };
        add(EnvironmentValue("MailServer"));
        LNDBHANDLE handle = 0;
        if (LNSTATUS status = NotesDatabaseOpen("", "names.nsf", &handle))
            return status;
        std::string file = OpenFile(handle);
        NotesDatabaseClose(handle);
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        for (const NotesNote& note : notes) {
            if (IsDocument(note) && SameText(note.Text("Form"), "Connection"))
                add(note.Text("Destination"));
        }
        names->DeleteAll();
        for (const std::string& server : found)
            names->Append(server.c_str());
        return 0;
    });
}

LNSTATUS LNNotesSession::DoCreateDatabaseFromTemplate(const char* templatePath, const char* templateServer,
                                                      const char* path, const char* server,
                                                      const LNCreateDatabaseOptions&) const
{
    return Checked("CreateDatabaseFromTemplate", [&]() -> LNSTATUS {
        LNDBHANDLE handle = 0;
        if (LNSTATUS status = NotesDatabaseOpen(templateServer, templatePath, &handle))
            return status;
        std::string templateFile = OpenFile(handle);
        NotesDatabaseClose(handle);
        std::vector<NotesNote> design;
        if (!ReadNotesDatabase(templateFile, &design))
            return NOTES_ERR_FILE_NOT_FOUND;
        if (LNSTATUS status = NotesDatabaseCreate(server, path))
            return status;
        if (LNSTATUS status = NotesDatabaseOpen(server, path, &handle))
            return status;
        std::string file = OpenFile(handle);
        NotesDatabaseClose(handle);
        std::vector<NotesNote> notes;
        DWORD now[2];
        NotesNow(now);
        for (const NotesNote& note : design) {
            if (NotesNoteClass(note) == LNNOTECLASS_DOCUMENT)
                continue;
            notes.push_back(note);
            std::copy(now, now + 2, notes.back().created);
            std::copy(now, now + 2, notes.back().modified);
        }
        return WriteNotesDatabase(file, notes) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
    });
}
