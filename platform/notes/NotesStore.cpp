#include "NotesStore.h"

#include <cstdio>
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
    for (const std::string& line : lines) {
        unsigned long id = 0;
        if (std::sscanf(line.c_str(), "[note %lu]", &id) == 1) {
            notes->emplace_back();
            notes->back().id = id;
            continue;
        }
        size_t equals = line.find('=');
        if (notes->empty() || equals == std::string::npos || equals == 0)
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
    std::ostringstream text;
    for (const NotesNote& note : notes) {
        text << "[note " << note.id << "]\r\n";
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

std::vector<std::string> DumpNotesLines(const std::vector<NotesNote>& notes)
{
    std::vector<std::string> lines;
    for (const NotesNote& note : notes) {
        for (const NotesItem& item : note.items) {
            for (const std::string& value : item.values)
                lines.push_back(std::to_string(note.id) + " " + ValueLine(item, value));
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
