// nnotes.dll: rich text written through compound text (kept in the files as
// one text per paragraph, links and attachments as paragraphs' text in
// brackets), forms' fields handed out as field records, and the formulas of
// their choices.
#include <cstring>
#include <string>

#include "Runtime.h"
#include "notesbytes.h"

namespace {

using NotesBytes::Append;
using NotesBytes::AppendWord;
using NotesBytes::ReadWord;

// The stand-in's compiled formula: a mark, the length of the text, the text.
const WORD kFormulaMark = 0x7F7F;

Compound* FindCompound(DHANDLE handle)
{
    auto compound = State().compounds.find(handle);
    return compound == State().compounds.end() ? nullptr : &compound->second;
}

// Text added to the paragraph under way, or to a new one when there is none.
void AddToParagraph(Compound* compound, const std::string& text)
{
    if (compound->paragraphs.empty())
        compound->paragraphs.push_back(std::string());
    compound->paragraphs.back() += text;
}

std::vector<BYTE> CompiledFormula(const std::string& text)
{
    std::vector<BYTE> formula;
    AppendWord(&formula, kFormulaMark);
    AppendWord(&formula, static_cast<WORD>(text.size()));
    Append(&formula, text.data(), text.size());
    return formula;
}

// The field record: its fixed part, then the field's name and its choices
// (a text list, or a compiled formula).
std::vector<BYTE> FieldRecord(const std::string& name, const std::vector<BYTE>& choices)
{
    std::vector<BYTE> record;
    AppendWord(&record, SIG_CD_FIELD);
    AppendWord(&record, 0);                          // length, set below
    AppendWord(&record, 0);                          // flags
    AppendWord(&record, TYPE_TEXT);                  // data type
    AppendWord(&record, 0);                          // list delimiters
    record.insert(record.end(), 8, 0);               // number and time formats
    DWORD font = 0;
    Append(&record, &font, sizeof font);
    for (WORD length : {WORD(0), WORD(0), WORD(0), WORD(0), static_cast<WORD>(name.size()), WORD(0),
                        static_cast<WORD>(choices.size())})
        AppendWord(&record, length);                 // DV, IT, tab order, IV, name, description, text value
    Append(&record, name.data(), name.size());
    Append(&record, choices.data(), choices.size());
    const WORD length = static_cast<WORD>(record.size());
    std::memcpy(record.data() + 2, &length, 2);
    if (record.size() % 2)
        record.push_back(0);
    return record;
}

// The constants of `"a" : "b"`; false for any other formula.
bool EvaluateFormula(const std::string& formula, std::vector<std::string>* values)
{
    const char* p = formula.c_str();
    while (true) {
        while (*p == ' ')
            ++p;
        if (*p != '"')
            return false;
        const char* end = std::strchr(p + 1, '"');
        if (!end)
            return false;
        values->push_back(std::string(p + 1, end));
        p = end + 1;
        while (*p == ' ')
            ++p;
        if (!*p)
            return true;
        if (*p++ != ':')
            return false;
    }
}

// "[link <file>/<view title>/<note id>]" for a link the stand-in can follow.
std::string LinkText(const TIMEDATE& replica, const UNID& view, const UNID& note)
{
    auto file = State().replicas.find(replica.Innards[1]);
    if (file == State().replicas.end())
        return "[link]";
    std::vector<NotesNote> notes;
    ReadNotesDatabase(file->second, &notes);
    const NotesNote* viewNote = FindNote(notes, view.Note.Innards[0]);
    return "[link " + FileNameOf(file->second) + "/" + (viewNote ? viewNote->Text("$Title") : std::string()) + "/"
           + std::to_string(note.Note.Innards[0]) + "]";
}

}  // namespace

std::vector<BYTE> FormBody(const NotesNote& form)
{
    std::vector<BYTE> body;
    AppendWord(&body, TYPE_COMPOSITE);
    const NotesItem* fields = form.Find("$Fields");
    for (size_t i = 0; fields && i < fields->values.size(); ++i) {
        const std::string& name = fields->values[i];
        std::vector<BYTE> choices;
        if (form.Text("$ChoicesOption." + name) == "1") {
            // Choices by formula: a list of no entries, the formula after it.
            AppendWord(&choices, 0);
            const std::vector<BYTE> formula = CompiledFormula(form.Text("$ChoicesFormula." + name));
            choices.insert(choices.end(), formula.begin(), formula.end());
        } else {
            const NotesItem* list = form.Find("$Choices." + name);
            const WORD count = static_cast<WORD>(list ? list->values.size() : 0);
            AppendWord(&choices, count);
            for (WORD c = 0; c < count; ++c)
                AppendWord(&choices, static_cast<WORD>(list->values[c].size()));
            for (WORD c = 0; c < count; ++c)
                Append(&choices, list->values[c].data(), list->values[c].size());
        }
        std::vector<BYTE> record = FieldRecord(name, choices);
        body.insert(body.end(), record.begin(), record.end());
    }
    return body;
}

NOTES_EXPORT STATUS LNPUBLIC CompoundTextCreate(NOTEHANDLE note, char* item, DHANDLE* handle)
{
    Locked locked;
    if (STATUS status = CheckLocked("CompoundTextCreate"))
        return status;
    if (!FindOpen(note) || !item || !handle)
        return NOTES_ERR_BAD_HANDLE;
    if (STATUS status = CheckItemWrite(item))
        return status;
    *handle = NewHandle();
    Compound& compound = State().compounds[*handle];
    compound.note = note;
    compound.item = item;
    return 0;
}

NOTES_EXPORT void LNPUBLIC CompoundTextInitStyle(COMPOUNDSTYLE* style)
{
    if (style)
        std::memset(style, 0, sizeof *style);
}

NOTES_EXPORT STATUS LNPUBLIC CompoundTextDefineStyle(DHANDLE handle, char*, COMPOUNDSTYLE* style, DWORD* id)
{
    Locked locked;
    if (!FindCompound(handle) || !style || !id)
        return NOTES_ERR_BAD_HANDLE;
    *id = 1;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC CompoundTextAddParagraphExt(DHANDLE handle, DWORD, FONTID, char* text, DWORD length,
                                                         NLS_PINFO)
{
    Locked locked;
    if (STATUS status = CheckLocked("CompoundTextAddParagraphExt"))
        return status;
    Compound* compound = FindCompound(handle);
    if (!compound)
        return NOTES_ERR_BAD_HANDLE;
    compound->paragraphs.push_back(text ? std::string(text, length) : std::string());
    return 0;
}

// Text added to the paragraph under way; with COMP_PARA_LINE each line
// delimiter starts a new paragraph.
NOTES_EXPORT STATUS LNPUBLIC CompoundTextAddTextExt(DHANDLE handle, DWORD, FONTID, char* text, DWORD length,
                                                    char* delimiter, DWORD flags, NLS_PINFO)
{
    Locked locked;
    if (STATUS status = CheckLocked("CompoundTextAddTextExt"))
        return status;
    Compound* compound = FindCompound(handle);
    if (!compound || (!text && length))
        return NOTES_ERR_BAD_HANDLE;
    const std::string all = text ? std::string(text, length) : std::string();
    const std::string split = delimiter && *delimiter && (flags & COMP_PARA_LINE) ? delimiter : "";
    if (split.empty()) {
        AddToParagraph(compound, all);
        return 0;
    }
    size_t start = 0;
    for (size_t end; (end = all.find(split, start)) != std::string::npos; start = end + split.size()) {
        AddToParagraph(compound, all.substr(start, end - start));
        compound->paragraphs.push_back(std::string());
    }
    AddToParagraph(compound, all.substr(start));
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC CompoundTextAddDocLink(DHANDLE handle, TIMEDATE replica, UNID view, UNID note, char*,
                                                    DWORD)
{
    Locked locked;
    if (STATUS status = CheckLocked("CompoundTextAddDocLink"))
        return status;
    Compound* compound = FindCompound(handle);
    if (!compound)
        return NOTES_ERR_BAD_HANDLE;
    AddToParagraph(compound, LinkText(replica, view, note));
    return 0;
}

// The stand-in reads a file hotspot: its attachment's name in brackets.
NOTES_EXPORT STATUS LNPUBLIC CompoundTextAddCDRecords(DHANDLE handle, void* records, DWORD length)
{
    Locked locked;
    if (STATUS status = CheckLocked("CompoundTextAddCDRecords"))
        return status;
    Compound* compound = FindCompound(handle);
    const BYTE* data = static_cast<const BYTE*>(records);
    if (!compound || !data)
        return NOTES_ERR_BAD_HANDLE;
    for (DWORD at = 0; at + 2 <= length;) {
        WORD signature = ReadWord(data + at);
        DWORD size = (signature & 0xFF00) == WORDRECORDLENGTH ? ReadWord(data + at + 2) : signature >> 8;
        if (size < 2 || at + size > length)
            return NOTES_ERR_BAD_HANDLE;
        if (signature == SIG_CD_HOTSPOTBEGIN && size >= 12 && ReadWord(data + at + 4) == HOTSPOTREC_TYPE_FILE) {
            const char* names = reinterpret_cast<const char*>(data + at + 12);
            AddToParagraph(compound, "[attachment " + std::string(names, strnlen(names, size - 12)) + "]");
        }
        at += size + size % 2;
    }
    return 0;
}

// The paragraphs go into the note as its item of that name, after those it
// has.
NOTES_EXPORT STATUS LNPUBLIC CompoundTextClose(DHANDLE handle, DHANDLE* buffer, DWORD* size, char* file, WORD)
{
    Locked locked;
    if (STATUS status = CheckLocked("CompoundTextClose"))
        return status;
    Compound* compound = FindCompound(handle);
    if (!compound)
        return NOTES_ERR_BAD_HANDLE;
    if (buffer)
        *buffer = 0;
    if (size)
        *size = 0;
    if (file)
        *file = 0;
    OpenNote* open = FindOpen(compound->note);
    if (!open) {
        State().compounds.erase(handle);
        return NOTES_ERR_BAD_HANDLE;
    }
    NotesItem* item = open->note.Find(compound->item);
    if (!item) {
        open->note.items.push_back(NotesItem{compound->item, {}, false});
        item = &open->note.items.back();
    }
    item->values.insert(item->values.end(), compound->paragraphs.begin(), compound->paragraphs.end());
    State().compounds.erase(handle);
    return 0;
}

NOTES_EXPORT void LNPUBLIC CompoundTextDiscard(DHANDLE handle)
{
    Locked locked;
    State().compounds.erase(handle);
}

NOTES_EXPORT STATUS LNPUBLIC NSFComputeStart(WORD, void* formula, HCOMPUTE* compute)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFComputeStart"))
        return status;
    const BYTE* data = static_cast<const BYTE*>(formula);
    if (!data || !compute)
        return NOTES_ERR_BAD_HANDLE;
    if (ReadWord(data) != kFormulaMark)
        return NOTES_ERR_FORMULA;
    *compute = new std::string(reinterpret_cast<const char*>(data + 4), ReadWord(data + 2));
    return 0;
}

// The result is the value the formula gives: its type, then its data.
NOTES_EXPORT STATUS LNPUBLIC NSFComputeEvaluate(HCOMPUTE compute, NOTEHANDLE, DHANDLE* result, WORD* length,
                                                BOOL* matches, BOOL* deleted, BOOL* modified)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFComputeEvaluate"))
        return status;
    if (!compute || !result)
        return NOTES_ERR_BAD_HANDLE;
    NotesItem value;
    if (!EvaluateFormula(*static_cast<std::string*>(compute), &value.values))
        return NOTES_ERR_FORMULA;
    std::vector<BYTE> bytes;
    AppendWord(&bytes, TYPE_TEXT_LIST);
    AppendWord(&bytes, static_cast<WORD>(value.values.size()));
    for (const std::string& text : value.values)
        AppendWord(&bytes, static_cast<WORD>(text.size()));
    for (const std::string& text : value.values)
        Append(&bytes, text.data(), text.size());
    *result = KeepMemory(bytes);
    if (length)
        *length = static_cast<WORD>(bytes.size());
    if (matches)
        *matches = TRUE;
    if (deleted)
        *deleted = FALSE;
    if (modified)
        *modified = FALSE;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFComputeStop(HCOMPUTE compute)
{
    delete static_cast<std::string*>(compute);
    return 0;
}
