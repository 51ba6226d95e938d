#include "NotesStore.h"

#include "NotesStandIn.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool ReadLines(const std::string& path, std::vector<std::string>* lines)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line))
        lines->push_back(Trim(line));
    return true;
}

// A text that a line of the file would not keep as it is (line breaks,
// blanks at either end) is written quoted, with "\\", "\n" and "\r" for
// backslashes and line breaks, under the item name tagged "(text)".
const char kTextTag[] = "(text)";

bool NeedsQuoting(const std::string& value)
{
    return !value.empty()
           && (value.find_first_of("\r\n") != std::string::npos || value != Trim(value));
}

std::string Quoted(const std::string& value)
{
    std::string text = "\"";
    for (char c : value)
        text += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return text + "\"";
}

std::string Unquoted(const std::string& text)
{
    std::string value;
    size_t end = text.size() >= 2 && text.front() == '"' && text.back() == '"' ? text.size() - 1 : text.size();
    for (size_t i = end == text.size() ? 0 : 1; i < end; ++i) {
        if (text[i] == '\\' && i + 1 < end) {
            char next = text[++i];
            value += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            value += text[i];
        }
    }
    return value;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// "name=value" as the file and the dump show one value.
std::string ValueLine(const NotesItem& item, const std::string& value)
{
    if (NeedsQuoting(value))
        return item.name + kTextTag + "=" + Quoted(value);
    return item.name + (item.number ? "(number)" : "") + "=" + value;
}

// "20261208-093000" in a header line.
std::string StampField(const DWORD stamp[2])
{
    char text[32];
    std::snprintf(text, sizeof text, "%08lu-%06lu", static_cast<unsigned long>(stamp[0]),
                  static_cast<unsigned long>(stamp[1]));
    return text;
}

bool ReadStampField(const std::string& line, const char* name, DWORD stamp[2])
{
    size_t at = line.find(std::string(" ") + name + "=");
    unsigned long date = 0, time = 0;
    if (at == std::string::npos
        || std::sscanf(line.c_str() + at + std::strlen(name) + 2, "%lu-%lu", &date, &time) != 2)
        return false;
    stamp[0] = date;
    stamp[1] = time;
    return true;
}

void ReadHeaderTimes(const std::string& line, NotesNote* note)
{
    ReadStampField(line, "created", note->created);
    ReadStampField(line, "modified", note->modified);
}

// "2026-12-08 09:30:00" as the dump shows a time.
std::string StampDump(const DWORD stamp[2])
{
    char text[32];
    std::snprintf(text, sizeof text, "%04lu-%02lu-%02lu %02lu:%02lu:%02lu", stamp[0] / 10000ul, stamp[0] / 100 % 100,
                  stamp[0] % 100, stamp[1] / 10000ul, stamp[1] / 100 % 100, stamp[1] % 100);
    return text;
}

bool WriteDatabaseFile(const std::string& path, const std::vector<NotesNote>& notes,
                       const std::vector<NotesStub>& stubs)
{
    std::ostringstream text;
    for (const NotesStub& stub : stubs)
        text << "[deleted " << stub.id << " class=" << stub.noteClass << " at=" << StampField(stub.deleted) << "]\r\n";
    for (const NotesNote& note : notes) {
        text << "[note " << note.id;
        if (note.created[0])
            text << " created=" << StampField(note.created);
        if (note.modified[0])
            text << " modified=" << StampField(note.modified);
        text << "]\r\n";
        for (const NotesItem& item : note.items) {
            for (const std::string& value : item.values)
                text << ValueLine(item, value) << "\r\n";
        }
    }
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const std::string data = text.str();
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

const NotesItem* NotesNote::Find(const std::string& name) const
{
    for (const NotesItem& item : items) {
        if (SameText(item.name, name))
            return &item;
    }
    return nullptr;
}

NotesItem* NotesNote::Find(const std::string& name)
{
    return const_cast<NotesItem*>(static_cast<const NotesNote*>(this)->Find(name));
}

NotesNote* FindNote(std::vector<NotesNote>& notes, DWORD id)
{
    for (NotesNote& note : notes) {
        if (note.id == id)
            return &note;
    }
    return nullptr;
}

std::string NotesNote::Text(const std::string& name) const
{
    const NotesItem* item = Find(name);
    return item && !item->values.empty() ? item->values.front() : std::string();
}

bool ReadNotesIni(const std::string& path, NotesIniValues* values)
{
    std::vector<std::string> lines;
    if (!ReadLines(path, &lines))
        return false;
    bool inNotes = false;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            inNotes = SameText(line, "[Notes]");
            continue;
        }
        size_t equals = line.find('=');
        if (inNotes && equals != std::string::npos && equals > 0)
            values->emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
    return true;
}

bool FindIniValue(const NotesIniValues& values, const std::string& name, std::string* value)
{
    for (const auto& entry : values) {
        if (SameText(entry.first, name)) {
            *value = entry.second;
            return true;
        }
    }
    return false;
}

bool ReadNotesDatabase(const std::string& path, std::vector<NotesNote>* notes)
{
    std::vector<std::string> lines;
    if (!ReadLines(path, &lines))
        return false;
    bool inStub = false;
    for (const std::string& line : lines) {
        unsigned long id = 0;
        if (std::sscanf(line.c_str(), "[note %lu", &id) == 1) {
            notes->emplace_back();
            notes->back().id = id;
            ReadHeaderTimes(line, &notes->back());
            inStub = false;
            continue;
        }
        if (line.compare(0, 9, "[deleted ") == 0) {
            inStub = true;
            continue;
        }
        size_t equals = line.find('=');
        if (notes->empty() || inStub || equals == std::string::npos || equals == 0)
            continue;
        std::string name = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        const std::string tag = "(number)";
        bool number = EndsWith(name, tag);
        if (number)
            name.resize(name.size() - tag.size());
        if (EndsWith(name, kTextTag)) {
            name.resize(name.size() - std::strlen(kTextTag));
            value = Unquoted(value);
        }
        NotesNote& note = notes->back();
        NotesItem* item = note.Find(name);
        if (!item) {
            note.items.push_back(NotesItem{name, {}, number});
            item = &note.items.back();
        }
        item->values.push_back(value);
    }
    return true;
}

bool WriteNotesDatabase(const std::string& path, const std::vector<NotesNote>& notes)
{
    std::vector<NotesStub> stubs, kept;
    ReadNotesStubs(path, &stubs);
    for (const NotesStub& stub : stubs) {
        bool writtenAgain = false;
        for (const NotesNote& note : notes)
            writtenAgain = writtenAgain || note.id == stub.id;
        if (!writtenAgain)
            kept.push_back(stub);
    }
    return WriteDatabaseFile(path, notes, kept);
}

std::vector<std::string> DumpNotesLines(const std::vector<NotesNote>& notes)
{
    std::vector<std::string> lines;
    for (const NotesNote& note : notes) {
        for (const NotesItem& item : note.items) {
            for (const std::string& value : item.values)
                lines.push_back(std::to_string(note.id) + " " + NotesNativeOfLmbcs(ValueLine(item, value)));
        }
    }
    return lines;
}

std::string ServerFolder(const std::string& server)
{
    std::string folder = "servers\\";
    for (char c : server)
        folder += std::strchr("\\/:*?\"<>|=", c) ? '_' : c;
    return folder;
}

int NotesNoteClass(const NotesNote& note)
{
    const NotesItem* item = note.Find("$NoteClass");
    return item && !item->values.empty() ? std::atoi(item->values.front().c_str()) : 1;
}

void NotesNow(DWORD stamp[2])
{
    // A test may stop the stand-in's clock at a time of its choosing.
    char clock[32] = "";
    DWORD size = sizeof clock - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        LONG rc = RegQueryValueExA(key, "Clock", nullptr, &type, reinterpret_cast<BYTE*>(clock), &size);
        RegCloseKey(key);
        unsigned long date = 0, time = 0;
        if (rc == ERROR_SUCCESS && type == REG_SZ && std::sscanf(clock, "%lu-%lu", &date, &time) == 2) {
            stamp[0] = date;
            stamp[1] = time;
            return;
        }
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    stamp[0] = static_cast<DWORD>(now.wYear * 10000 + now.wMonth * 100 + now.wDay);
    stamp[1] = static_cast<DWORD>(now.wHour * 10000 + now.wMinute * 100 + now.wSecond);
}

int CompareStamps(const DWORD a[2], const DWORD b[2])
{
    for (int i = 0; i < 2; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

bool ReadNotesStubs(const std::string& path, std::vector<NotesStub>* stubs)
{
    std::vector<std::string> lines;
    if (!ReadLines(path, &lines))
        return false;
    for (const std::string& line : lines) {
        unsigned long id = 0;
        int noteClass = 1;
        if (std::sscanf(line.c_str(), "[deleted %lu class=%d", &id, &noteClass) < 1)
            continue;
        NotesStub stub;
        stub.id = id;
        stub.noteClass = noteClass;
        ReadStampField(line, "at", stub.deleted);
        stubs->push_back(stub);
    }
    return true;
}

bool DeleteNotesNote(const std::string& path, DWORD id)
{
    std::vector<NotesNote> notes;
    std::vector<NotesStub> stubs;
    if (!ReadNotesDatabase(path, &notes) || !ReadNotesStubs(path, &stubs))
        return false;
    for (size_t i = 0; i < notes.size(); ++i) {
        if (notes[i].id != id)
            continue;
        NotesStub stub;
        stub.id = id;
        stub.noteClass = NotesNoteClass(notes[i]);
        NotesNow(stub.deleted);
        stubs.push_back(stub);
        notes.erase(notes.begin() + static_cast<std::ptrdiff_t>(i));
        return WriteDatabaseFile(path, notes, stubs);
    }
    return false;
}

std::vector<std::string> DumpNotesTimes(const std::vector<NotesNote>& notes, const std::vector<NotesStub>& stubs)
{
    std::vector<std::string> lines;
    for (const NotesNote& note : notes) {
        if (note.created[0])
            lines.push_back(std::to_string(note.id) + " $Created=" + StampDump(note.created));
        if (note.modified[0])
            lines.push_back(std::to_string(note.id) + " $Modified=" + StampDump(note.modified));
    }
    for (const NotesStub& stub : stubs)
        lines.push_back(std::to_string(stub.id) + " $Deleted=" + StampDump(stub.deleted));
    return lines;
}
