// Rich text of the class layer, written through the library's compound
// text: a value replaces the item at once; what is added at its end goes
// into the note, as further parts of the item, when the note is saved.
#include <cstring>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "notesbytes.h"

namespace {

using NotesBytes::Append;
using NotesBytes::AppendWord;

const FONTID kFont = MAKE_FONTID(FONT_FACE_SWISS, 0, 0, 10);

// A file's icon in rich text: a file hotspot naming the attachment and the
// file it came from, then the hotspot's end.
std::vector<BYTE> FileHotspot(const std::string& attachment, const std::string& file)
{
    std::vector<BYTE> records;
    const WORD dataLength = static_cast<WORD>(attachment.size() + 1 + file.size() + 1);
    AppendWord(&records, SIG_CD_HOTSPOTBEGIN);
    AppendWord(&records, static_cast<WORD>(12 + dataLength));
    AppendWord(&records, HOTSPOTREC_TYPE_FILE);
    DWORD flags = HOTSPOTREC_RUNFLAG_BEGIN | HOTSPOTREC_RUNFLAG_NOBORDER;
    Append(&records, &flags, sizeof flags);
    AppendWord(&records, dataLength);
    Append(&records, attachment.c_str(), attachment.size() + 1);
    Append(&records, file.c_str(), file.size() + 1);
    if (records.size() % 2)
        records.push_back(0);
    // The end is a byte record: its signature, then its length.
    records.push_back(static_cast<BYTE>(SIG_CD_HOTSPOTEND & 0xFF));
    records.push_back(2);
    return records;
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

LNRichText::~LNRichText()
{
    if (m_note) {
        Flush();
        m_note->Detach(this);
    }
}

void LNRichText::Bind(LNNote* note, const char* item)
{
    if (m_note) {
        Flush();
        m_note->Detach(this);
    }
    m_note = note;
    m_item = item ? item : "";
    note->Attach(this);
}

LNSTATUS LNRichText::Context(DHANDLE* context)
{
    const LNNotesFunctions& api = LNNotes();
    if (!m_note || !m_note->IsOpen())
        return LNERR_NOT_OPEN;
    if (!api.CompoundTextCreate || !api.CompoundTextInitStyle || !api.CompoundTextDefineStyle
        || !api.CompoundTextAddParagraphExt || !api.CompoundTextAddTextExt || !api.CompoundTextClose
        || !api.CompoundTextDiscard)
        return LNERR_NO_FUNCTION;
    if (!m_context) {
        if (LNSTATUS status = api.CompoundTextCreate(m_note->GetNoteHandle(), &m_item[0], &m_context))
            return status;
        COMPOUNDSTYLE style;
        api.CompoundTextInitStyle(&style);
        char name[] = "Normal";
        if (LNSTATUS status = api.CompoundTextDefineStyle(m_context, name, &style, &m_style)) {
            Discard();
            return status;
        }
    }
    *context = m_context;
    return 0;
}

LNSTATUS LNRichText::Flush()
{
    if (!m_context)
        return 0;
    DHANDLE context = m_context;
    m_context = NULLHANDLE;
    return LNNotes().CompoundTextClose(context, nullptr, nullptr, nullptr, 0);
}

void LNRichText::Discard()
{
    if (m_context && LNNotes().CompoundTextDiscard)
        LNNotes().CompoundTextDiscard(m_context);
    m_context = NULLHANDLE;
}

LNSTATUS LNRichText::SetValue(const char* text, BOOL lines)
{
    if (!m_note || !m_note->IsOpen())
        return LNRaise(LNERR_NOT_OPEN);
    if (LNSTATUS status = Flush())
        return LNRaise(status);
    if (!LNNotes().NSFItemDelete)
        return LNRaise(LNERR_NO_FUNCTION);
    LNNotes().NSFItemDelete(m_note->GetNoteHandle(), m_item.c_str(), static_cast<WORD>(m_item.size()));
    DHANDLE context;
    if (LNSTATUS status = Context(&context))
        return LNRaise(status);
    std::string value = LNToLmbcs(text ? text : "");
    char delimiter[] = "\n";
    LNSTATUS status = LNNotes().CompoundTextAddTextExt(context, m_style, kFont, &value[0],
                                                       static_cast<DWORD>(value.size()), lines ? delimiter : nullptr,
                                                       lines ? COMP_PARA_LINE : 0, nullptr);
    if (status) {
        Discard();
        return LNRaise(status);
    }
    return LNRaise(Flush());
}

LNSTATUS LNRichText::StartNewParagraph(LNRTCursor*)
{
    DHANDLE context;
    if (LNSTATUS status = Context(&context))
        return LNRaise(status);
    char none[] = "";
    return LNRaise(LNNotes().CompoundTextAddParagraphExt(context, m_style, kFont, none, 0, nullptr));
}

LNSTATUS LNRichText::Insert(const char* text, LNRTCursor*)
{
    DHANDLE context;
    if (LNSTATUS status = Context(&context))
        return LNRaise(status);
    std::string value = LNToLmbcs(text ? text : "");
    return LNRaise(LNNotes().CompoundTextAddTextExt(context, m_style, kFont, &value[0],
                                                    static_cast<DWORD>(value.size()), nullptr, 0, nullptr));
}

// The link names the document's database by its replica id and the view
// and the document by their universal ids; the document is read for its
// id when it is not open.
LNSTATUS LNRichText::CreateDocumentLink(const LNViewFolder& view, const LNDocument& document, LNRTCursor*)
{
    const LNNotesFunctions& api = LNNotes();
    if (!api.NSFDbReplicaInfoGet || !api.CompoundTextAddDocLink || !api.NSFNoteOpen || !api.NSFNoteGetInfo
        || !api.NSFNoteClose)
        return LNRaise(LNERR_NO_FUNCTION);
    DBREPLICAINFO replica = {};
    if (LNSTATUS status = api.NSFDbReplicaInfoGet(document.GetDatabaseHandle(), &replica))
        return LNRaise(status);
    LNUNID viewId;
    view.GetUniversalID(&viewId);
    ORIGINATORID noteId = {};
    if (document.IsOpen()) {
        api.NSFNoteGetInfo(document.GetNoteHandle(), _NOTE_OID, &noteId);
    } else {
        NOTEHANDLE note = NULLHANDLE;
        if (LNSTATUS status = api.NSFNoteOpen(document.GetDatabaseHandle(), document.GetNoteID(), 0, &note))
            return LNRaise(status);
        api.NSFNoteGetInfo(note, _NOTE_OID, &noteId);
        api.NSFNoteClose(note);
    }
    UNID target;
    target.File = noteId.File;
    target.Note = noteId.Note;
    LNString title;
    view.GetName(&title);
    std::string comment = LNToLmbcs(title.GetPlatformTextPtr());
    DHANDLE context;
    if (LNSTATUS status = Context(&context))
        return LNRaise(status);
    return LNRaise(api.CompoundTextAddDocLink(context, replica.ID, viewId.unid, target, &comment[0], 0));
}

LNSTATUS LNRichText::CreateAttachment(const char* path, LNRTCursor*, const char* name, BOOL compress)
{
    const LNNotesFunctions& api = LNNotes();
    if (!m_note || !m_note->IsOpen())
        return LNRaise(LNERR_NOT_OPEN);
    if (!api.NSFNoteAttachFile || !api.CompoundTextAddCDRecords)
        return LNRaise(LNERR_NO_FUNCTION);
    const std::string shown = name && *name ? name : FileNameOf(path ? path : "");
    DHANDLE context;
    if (LNSTATUS status = Context(&context))
        return LNRaise(status);
    if (LNSTATUS status = api.NSFNoteAttachFile(m_note->GetNoteHandle(), "$FILE", 5, path, shown.c_str(),
                                                static_cast<WORD>(HOST_LOCAL | (compress ? COMPRESS_HUFF
                                                                                         : COMPRESS_NONE))))
        return LNRaise(status);
    std::vector<BYTE> hotspot = FileHotspot(shown, shown);
    return LNRaise(api.CompoundTextAddCDRecords(context, hotspot.data(), static_cast<DWORD>(hotspot.size())));
}

LNSTATUS LNCalendarNote::GetDetailedDescription(LNRichText* description)
{
    if (!IsOpen())
        return LNRaise(LNERR_NOT_OPEN);
    description->Bind(this, "Body");
    return 0;
}
