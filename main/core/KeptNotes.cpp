#include "KeptNotes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ActionNote.h"
#include "ClientRegistry.h"
#include "Datastore.h"
#include "DestPane.h"
#include "DestProp.h"
#include "DestWnd.h"
#include "Destination.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

namespace {

const char kHeader[] = "Quillmate kept notes 1\r\n";
const char kFileName[] = "keptnotes.dat";

// One line up to its CR LF, which it leaves behind; FALSE without one.
BOOL ReadLine(const std::string& bytes, size_t& at, std::string& line)
{
    const size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos)
        return FALSE;
    line = bytes.substr(at, end - at);
    at = end + 2;
    return TRUE;
}

// "510+,514-", or "-" for none.
std::string FormatPanes(const std::vector<std::pair<int, bool>>& panes)
{
    std::string text;
    for (const auto& pane : panes)
        text += (text.empty() ? "" : ",") + std::to_string(pane.first) + (pane.second ? "+" : "-");
    return text.empty() ? "-" : text;
}

BOOL ParsePanes(const std::string& text, std::vector<std::pair<int, bool>>& panes)
{
    if (text == "-")
        return TRUE;
    const char* at = text.c_str();
    while (*at) {
        char* end = nullptr;
        const long id = std::strtol(at, &end, 10);
        if (end == at || (*end != '+' && *end != '-'))
            return FALSE;
        panes.emplace_back(static_cast<int>(id), *end == '+');
        at = end + 1;
        if (*at == ',')
            ++at;
    }
    return TRUE;
}

// The panes whose tick the user set or cleared: what the parse of the text
// would not give back.
std::vector<std::pair<int, bool>> UserTicks(CActionNote* note)
{
    std::vector<std::pair<int, bool>> panes;
    CNoteWnd* wnd = note->GetNoteWnd();
    CDestWnd* dest = wnd && wnd->GetSafeHwnd() ? wnd->GetDestWnd() : nullptr;
    if (!dest || !dest->GetSafeHwnd())
        return panes;
    for (HWND child = ::GetWindow(dest->GetSafeHwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        auto* pane = dynamic_cast<CDestPane*>(CWnd::FromHandlePermanent(child));
        CDestination* destination = pane ? pane->GetDestination() : nullptr;
        if (!destination || !(destination->GetCheckProp()->GetFlags() & CDestProp::FLAG_USER_CHANGED))
            continue;
        VARIANT value;
        VariantInit(&value);
        destination->GetCheckProp()->GetValue(&value);
        panes.emplace_back(pane->GetDlgCtrlID(), V_VT(&value) == VT_BOOL && V_BOOL(&value) != VARIANT_FALSE);
        VariantClear(&value);
    }
    return panes;
}

void SetUserTicks(CActionNote* note, const std::vector<std::pair<int, bool>>& panes)
{
    for (const auto& pane : panes) {
        CDestination* destination = note->GetPaneDestination(pane.first);
        if (!destination)
            continue;
        VARIANT value;
        V_VT(&value) = VT_BOOL;
        V_BOOL(&value) = pane.second ? VARIANT_TRUE : VARIANT_FALSE;
        destination->GetCheckProp()->SetValue(value);
        destination->GetCheckProp()->SetFlags(CDestProp::FLAG_USER_CHANGED);
    }
}

int EditionType(CQuillmateApp& app)
{
    CDatastore* datastore = app.GetDatastore();
    return datastore ? datastore->GetType() : 0;
}

} // namespace

std::string QuiFormatKeptNotes(const std::vector<QuiKeptNote>& notes)
{
    std::string bytes = kHeader;
    for (const QuiKeptNote& note : notes) {
        bytes += std::string(note.queued ? "text " : "note ") + std::to_string(note.edition) + " " +
                 FormatPanes(note.panes) + " " + std::to_string(note.text.size()) + "\r\n";
        bytes += note.text + "\r\n";
    }
    return bytes;
}

BOOL QuiParseKeptNotes(const std::string& bytes, std::vector<QuiKeptNote>& notes)
{
    size_t at = 0;
    std::string line;
    if (!ReadLine(bytes, at, line) || line + "\r\n" != kHeader)
        return FALSE;
    while (at < bytes.size()) {
        if (!ReadLine(bytes, at, line))
            return FALSE;
        char kind[8] = "", panes[256] = "";
        int edition = 0;
        unsigned long length = 0;
        if (std::sscanf(line.c_str(), "%7s %d %255s %lu", kind, &edition, panes, &length) != 4 ||
            (std::strcmp(kind, "note") != 0 && std::strcmp(kind, "text") != 0) || length > bytes.size() - at ||
            bytes.compare(at + length, 2, "\r\n") != 0)
            return FALSE;
        QuiKeptNote note;
        note.queued = std::strcmp(kind, "text") == 0;
        note.edition = edition;
        if (!ParsePanes(panes, note.panes))
            return FALSE;
        note.text = bytes.substr(at, length);
        at += length + 2;
        notes.push_back(std::move(note));
    }
    return TRUE;
}

CString QuiKeptNotesPath()
{
    ClientRegistry settings(ClientRegistry::WriteNothingAtEnd);
    const char* keywords = static_cast<const char*>(settings.GetValue(ClientRegistry::AliasDB, false));
    char full[MAX_PATH] = "";
    DWORD length = keywords && *keywords ? GetFullPathNameA(keywords, MAX_PATH, full, nullptr) : 0;
    if (length == 0 || length >= MAX_PATH)
        length = GetModuleFileNameA(nullptr, full, MAX_PATH);
    CString folder(full, length < MAX_PATH ? static_cast<int>(length) : 0);
    folder = folder.Left(folder.ReverseFind('\\') + 1);
    return folder + kFileName;
}

BOOL QuiWriteKeptNotes(const CString& path, const std::vector<QuiKeptNote>& notes)
{
    const std::string bytes = QuiFormatKeptNotes(notes);
    const CString temporary = path + ".tmp";
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    const BOOL whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!whole || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary);
        return FALSE;
    }
    return TRUE;
}

BOOL QuiReadKeptNotes(const CString& path, std::vector<QuiKeptNote>& notes)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return QuiParseKeptNotes(bytes, notes);
}

BOOL CQuillmateApp::KeepNotesForNextStart()
{
    if (!m_pNoteManager)
        return TRUE;
    std::vector<QuiKeptNote> kept;
    const int edition = EditionType(*this);
    for (CActionNote* note : m_pNoteManager->GetNotes()) {
        // Answered "No" at the logoff question: the user let it go.
        if (std::find(m_declinedAtEnd.begin(), m_declinedAtEnd.end(), note) != m_declinedAtEnd.end())
            continue;
        CString text;
        note->GetNoteText(text);
        if (text.IsEmpty())
            continue;
        QuiKeptNote entry;
        entry.edition = edition;
        entry.panes = UserTicks(note);
        entry.text = text.GetString();
        kept.push_back(std::move(entry));
    }
    for (const std::string& text : m_pNoteManager->GetQueuedTexts()) {
        QuiKeptNote entry;
        entry.queued = true;
        entry.text = text;
        kept.push_back(std::move(entry));
    }
    if (kept.empty())
        return TRUE;
    return QuiWriteKeptNotes(QuiKeptNotesPath(), kept);
}

int CQuillmateApp::RestoreKeptNotes()
{
    const CString path = QuiKeptNotesPath();
    std::vector<QuiKeptNote> kept;
    QuiReadKeptNotes(path, kept);
    if (kept.empty()) {
        DeleteFileA(path);
        return 0;
    }
    const int edition = EditionType(*this);
    int opened = 0;
    for (const QuiKeptNote& entry : kept) {
        // Texts wait as another program's would; notes past the open limit too.
        CActionNote* note = !entry.queued && m_pNoteManager && GetNoteCount() < CNoteManager::MAX_OPEN_NOTES
                                ? NewNote()
                                : nullptr;
        if (note) {
            note->SetNoteText(entry.text.c_str());
            if (entry.edition == edition)
                SetUserTicks(note, entry.panes);
        } else if (!m_pNoteManager || !m_pNoteManager->QueueText(entry.text.c_str())) {
            continue;
        }
        ++opened;
    }
    // Opened or waiting for a note: the next end keeps them again.
    DeleteFileA(path);
    if (opened > 0) {
        CString format, told;
        format.LoadString(IDS_NOTES_BROUGHT_BACK);
        told.Format(format, opened);
        AfxMessageBox(told, MB_OK | MB_ICONINFORMATION);
    }
    return opened;
}
