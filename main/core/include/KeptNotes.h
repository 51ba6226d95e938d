// The notes kept across the end of the session: what the user typed, and the
// texts other programs handed over, written when Windows ends the session
// and opened again at the next start. Nothing of it depends on the question
// at logoff being answered: a forced end asks none.
#pragma once
#include <afxquill.h>

#include <string>
#include <vector>

struct QuiKeptNote {
    // A text another program handed over that was waiting for a note.
    bool queued = false;
    // The edition whose panes `panes` names.
    int edition = 0;
    // The panes whose tick the user set or cleared: id and whether ticked.
    std::vector<std::pair<int, bool>> panes;
    std::string text;
};

// The file's bytes, and back. Reading keeps what came before anything it
// cannot read, and answers FALSE then.
std::string QuiFormatKeptNotes(const std::vector<QuiKeptNote>& notes);
BOOL QuiParseKeptNotes(const std::string& bytes, std::vector<QuiKeptNote>& notes);

// "keptnotes.dat" in the keyword file's folder (the program's, without one).
CString QuiKeptNotesPath();
// Writes the whole file beside its place, flushed, and renames it there.
BOOL QuiWriteKeptNotes(const CString& path, const std::vector<QuiKeptNote>& notes);
BOOL QuiReadKeptNotes(const CString& path, std::vector<QuiKeptNote>& notes);
