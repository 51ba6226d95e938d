#include "HeronObject.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "FindNotesIni.h"
#include "GodwitDispIds.h"
#include "HeronOptions.h"
#include "HeronRes.h"
#include "KeynoteReader.h"
#include "NotesRecords.h"

namespace {

// Message 178 names where notes.ini was looked for.
std::string MissingIniText()
{
    FindNotesIni ini;
    std::string format = HeronString(IDS_INI_NOT_FOUND, 512);
    std::string first = ini.registryPath[0] ? ini.registryPath : HeronString(IDS_INI_NOTES_FOLDER);
    std::vector<char> text(format.size() + first.size() + std::strlen(ini.dataPath) + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), first.c_str(), ini.dataPath);
    return text.data();
}

}  // namespace

const QuiInterfaceEntry CHeron::kInterfaces[] = {
    {&IID_IHeron, QuiCastTo<CHeron, IHeron>},
    {&IID_IDispatch, QuiCastTo<CHeron, IHeron>},
    {&IID_ISupportErrorInfo, QuiCastTo<CHeron, ISupportErrorInfo>},
    {},
};

CHeron::CHeron() : m_cache(kHeronRecordNames, kHeronRecordNameCount)
{
    HeronOptions::LoadOnce();
}

// The options are written back as each object goes, so that every value
// exists in the registry after the first run.
CHeron::~CHeron()
{
    HeronOptions::Save();
}

HRESULT CHeron::Answer(HRESULT hr)
{
    m_answer = hr;
    return hr;
}

STDMETHODIMP CHeron::Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excepInfo, UINT* argErr)
{
    m_answer = S_OK;
    HRESULT hr = QuiDispatchImpl::Invoke(member, riid, lcid, flags, params, result, excepInfo, argErr);
    return hr == S_OK ? m_answer : hr;
}

HRESULT CHeron::ReturnError(int result, DWORD helpContext)
{
    if (HERON* worker = m_connection.Worker()) {
        if (result == 0)
            return Answer(S_OK);
        const HeronLastError& last = worker->LastError();
        if (last.Kind() == HERON_ERROR_NONE)
            return Answer(E_FAIL);
        return Answer(QuiSetErrorInfo(E_FAIL, CLSID_Heron, IID_IHeron, last.Message().c_str(),
                                      static_cast<DWORD>(last.Code())));
    }
    std::string text = result == IDS_INI_NOT_FOUND ? MissingIniText() : HeronString(result, 1024);
    return Answer(QuiSetErrorInfo(E_FAIL, CLSID_Heron, IID_IHeron, text.c_str(), helpContext));
}

// The worker's last error may be an earlier operation's: what this one
// threw is recorded under its own context first.
HRESULT CHeron::ReturnThrown(HERON* worker, UINT contextId)
{
    int code = NTS5_ERROR_UNKNOWN.code;
    try {
        try {
            throw;
        } catch (LNSTATUS status) {
            worker->SetStatusError(status, "", contextId);
            code = status;
        } catch (const _NTS5ERROR& error) {
            worker->SetError(error, "", contextId);
            code = error.code;
        } catch (const std::bad_alloc&) {
            worker->SetError(NTS5_ERROR_OUT_OF_MEMORY, "", contextId);
            code = NTS5_ERROR_OUT_OF_MEMORY.code;
        } catch (...) {
            worker->SetError(NTS5_ERROR_UNKNOWN, "", contextId);
        }
        return ReturnError(code);
    } catch (...) {
        // No memory even for the error text.
        return Answer(E_OUTOFMEMORY);
    }
}

HRESULT CHeron::NullKeynote(const char* member)
{
    std::string text = std::string("Null keynote parameter passed to ") + member + "()";
    return Answer(QuiSetErrorInfo(static_cast<HRESULT>(ERROR_INVALID_PARAMETER), CLSID_Heron, IID_IHeron,
                                  text.c_str()));
}

HRESULT CHeron::Served(UINT contextId, const std::function<int(HERON*)>& work)
{
    HERON* worker = m_connection.Worker();
    if (!worker)
        return ReturnError(IDS_NOT_CONNECTED);
    try {
        return ReturnError(work(worker));
    } catch (...) {
        return ReturnThrown(worker, contextId);
    }
}

HRESULT CHeron::Served(VARIANT* out, UINT contextId, const std::function<int(HERON*, VARIANT*)>& work)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    return Served(contextId, [&](HERON* worker) { return work(worker, out); });
}

STDMETHODIMP CHeron::get_Contacts(VARIANT* pVal)
{
    return Served(pVal, IDS_CTX_CONTACTS, [](HERON* worker, VARIANT* out) { return worker->GetContactList(out); });
}

STDMETHODIMP CHeron::get_TodoCategories(VARIANT* pVal)
{
    return WithWorker(pVal, [this](HERON* worker, VARIANT* out) { return ReturnError(worker->GetCategories(out)); });
}

STDMETHODIMP CHeron::Connect(LONG)
{
    HERON* worker = m_connection.Worker();
    if (m_connection.Connected() && worker && worker->Session().IsInitialised())
        return Answer(S_OK);
    if (!FindNotesIni().found) {
        // An earlier worker would answer with its own last error instead.
        return ReturnError(IDS_INI_NOT_FOUND, static_cast<DWORD>(NTS5_ERROR_CANT_FIND_INIFILE.code));
    }
    m_connection.ConnectToNotes();
    worker = m_connection.Worker();
    if (!m_connection.Connected() || !worker || !worker->Session().IsInitialised()) {
        if (worker)
            return ReturnError(worker->LastError().Code());
        return ReturnError(IDS_RUNTIME_UNAVAILABLE, static_cast<DWORD>(NTS5_ERROR_INVALID_CONNECTION.code));
    }
    char location[MAX_PATH] = "";
    if (LNNotes().OSGetEnvironmentString && LNNotes().OSGetEnvironmentString("Location", location, sizeof location))
        return Answer(S_OK);
    worker->SetError(NTS5_ERROR_NOTES_NOT_CONFIGURED, "", 0);
    return ReturnError(IDS_NOT_CONFIGURED, static_cast<DWORD>(NTS5_ERROR_NOTES_NOT_CONFIGURED.code));
}

// Each kind the record's "Type" names is filed in a fixed order, the next
// only while the ones before succeeded.
STDMETHODIMP CHeron::FileKeynote(IDispatch* keynote)
{
    if (!keynote)
        return NullKeynote("FileKeynote");
    keynote->AddRef();
    HRESULT hr = FileKinds(keynote);
    keynote->Release();
    return hr;
}

HRESULT CHeron::FileKinds(IDispatch* keynote)
{
    HERON* worker = m_connection.Worker();
    if (!worker)
        return ReturnError(IDS_NOT_CONNECTED);
    try {
        m_cache.Fill(keynote);
        VARIANT type;
        VariantInit(&type);
        m_cache.Read(keynote, L"Type", &type);
        VARIANT bits;
        VariantInit(&bits);
        LONG kinds = SUCCEEDED(VariantChangeType(&bits, &type, 0, VT_I4)) ? V_I4(&bits) : 0;
        VariantClear(&type);
        KeynoteReader reader(keynote, m_cache);
        int result = 0;
        if (kinds & GODWIT_TYPE_TODO) {
            NotesTodoRecord record;
            reader.ReadTodo(&record);
            result = worker->FileTodoItem(&record);
        }
        if (result == 0 && (kinds & GODWIT_TYPE_CALENDAR)) {
            NotesCalendarRecord record;
            reader.ReadCalendar(&record);
            result = worker->FileDatebookItem(&record);
        }
        if (result == 0 && (kinds & GODWIT_TYPE_JOURNAL)) {
            NotesJournalRecord record;
            reader.ReadJournal(&record);
            result = worker->FileJournalItem(&record);
        }
        if (result == 0 && (kinds & GODWIT_TYPE_MEMO)) {
            NotesMailRecord record;
            reader.ReadMail(&record);
            result = worker->FileMemoItem(&record);
        }
        return ReturnError(result);
    } catch (...) {
        return ReturnThrown(worker, IDS_CTX_FILING);
    }
}

STDMETHODIMP CHeron::OpenNotes()
{
    HERON* worker = m_connection.Worker();
    if (!worker)
        return ReturnError(IDS_NOT_CONNECTED);
    return ReturnError(worker->OpenNotes());
}

STDMETHODIMP CHeron::get_JournalCategories(VARIANT* pVal)
{
    return Served(pVal, IDS_CTX_DATABASE_FOLDERS,
                  [](HERON* worker, VARIANT* out) { return worker->GetJournalFolders(out); });
}

STDMETHODIMP CHeron::CreateJournalFolder(BSTR folderName)
{
    return Served(IDS_CTX_CREATE_FOLDER, [folderName](HERON* worker) {
        const char* journal = reinterpret_cast<const char*>(HeronOptions::Get(HERON_OPT_JOURNAL_NAME));
        return worker->CreateDatabaseFolder(journal ? journal : "journal.nsf", AnsiText(folderName));
    });
}

STDMETHODIMP CHeron::GetModifiedContacts(VARIANT* contacts)
{
    return Served(contacts, IDS_CTX_MODIFIED_CONTACTS,
                  [](HERON* worker, VARIANT* out) { return worker->GetModifiedContacts(out); });
}

STDMETHODIMP CHeron::GetModifiedJournalCategories(VARIANT* categories)
{
    return Served(categories, IDS_CTX_MODIFIED_FOLDERS,
                  [](HERON* worker, VARIANT* out) { return worker->GetModifiedJournalFolders(out); });
}

STDMETHODIMP CHeron::GetModifiedDatabaseFolders(BSTR database, VARIANT* folders)
{
    return Served(folders, IDS_CTX_MODIFIED_FOLDERS, [database](HERON* worker, VARIANT* out) {
        return worker->GetModifiedDatabaseFolders(AnsiText(database, 1023), out, 256);
    });
}

// To-do categories never change behind the main program's back: this
// answer always fails, and the caller keeps the list it has.
STDMETHODIMP CHeron::GetModifiedTodoCategories(VARIANT*)
{
    return ReturnError(IDS_CTX_DATABASE_FOLDERS);
}

STDMETHODIMP CHeron::get_CalendarPrefs(VARIANT* pVal)
{
    return Served(pVal, IDS_CTX_CALENDAR_PROFILE,
                  [](HERON* worker, VARIANT* out) { return worker->CalendarPrefs(out); });
}

STDMETHODIMP CHeron::get_UserInfo(VARIANT* pVal)
{
    return Served(pVal, IDS_CTX_PROFILE, [](HERON* worker, VARIANT* out) { return worker->UserInfo(out); });
}

STDMETHODIMP CHeron::CreateContact(VARIANT* line)
{
    if (!line || V_VT(line) != VT_BSTR)
        return Answer(static_cast<HRESULT>(ERROR_INVALID_PARAMETER));
    return Served(IDS_CTX_CREATE_CONTACT, [line](HERON* worker) { return worker->CreateContactDocument(*line); });
}

// A status the library answers gives version -1; anything it throws fails
// the member, as the main program asks at every start.
STDMETHODIMP CHeron::get_NotesVersion(LONG* pVal)
{
    if (!pVal)
        return E_POINTER;
    *pVal = 0;
    return Served(IDS_CTX_PROFILE, [pVal](HERON* worker) {
        *pVal = worker->NotesVersion();
        return 0;
    });
}

// A category that was not added fails with the worker's text, so that the
// caller does not take it for one the user has.
STDMETHODIMP CHeron::AddTaskCategory(BSTR category)
{
    return Served(IDS_CTX_ADD_CATEGORY,
                  [category](HERON* worker) { return worker->AddTaskCategory(AnsiText(category, 259).c_str()); });
}

STDMETHODIMP CHeron::QuickConflictCheck(IDispatch* keynote)
{
    if (!keynote)
        return NullKeynote("QuickConflictCheck");
    m_cache.Fill(keynote);
    DISPID error = m_cache.Lookup(L"Error");
    if (error == DISPID_UNKNOWN)
        return Answer(S_OK);
    HERON* worker = m_connection.Worker();
    if (!worker)
        return ReturnError(IDS_NOT_CONNECTED);
    try {
        NotesCalendarRecord record;
        KeynoteReader(keynote, m_cache).ReadCalendar(&record);
        VARIANT taken;
        V_VT(&taken) = VT_I4;
        V_I4(&taken) = static_cast<SHORT>(worker->QuickConflictCheck(&record));
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {&taken, &named, 1, 1};
        keynote->Invoke(error, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                        nullptr);
    } catch (...) {
        return ReturnThrown(worker, IDS_CTX_CONFLICTS);
    }
    return Answer(S_OK);
}

STDMETHODIMP CHeron::get_Servers(VARIANT* pVal)
{
    return Served(pVal, IDS_NO_SERVER_LIST, [](HERON* worker, VARIANT* out) { return worker->GetServers(out); });
}

// A day whose calendar could not be read fails rather than look free.
STDMETHODIMP CHeron::GetCalendarDay(VARIANT day, VARIANT* entries)
{
    return Served(entries, IDS_CTX_CALENDAR_PROFILE,
                  [&day](HERON* worker, VARIANT* out) { return worker->GetCalendarDay(day, out); });
}
