// The three PIM editions in the program's edition table: Lotus Notes
// ("ActivePIM" 1), Palm Desktop (2) and Microsoft Outlook (3).
#pragma once
#include "ActionNote.h"

void QuiRegisterPimEditions();

// The note the PIM editions open until they have notes of their own: the
// typed text, filed as one to-do through the edition's datastore.
class CPimPlainNote : public CActionNote {
public:
    int AttachSinks() override { return 0; }
    void FileNote(CActionNote* note) override;

protected:
    void FileEntries() override;
};
