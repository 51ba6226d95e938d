#include "PimEditions.h"

#include "IbeDatastore.h"
#include "OzuApp.h"
#include "OzuDatastore.h"
#include "PimNotes.h"
#include "RukDatastore.h"

namespace {

template <class Datastore>
CDatastore* CreateDatastore(int)
{
    return new Datastore;
}

// The note and its window, which links itself into the note.
template <class Note, class NoteWnd>
CActionNote* CreateNote()
{
    auto* note = new Note;
    new NoteWnd(note);
    return note;
}

const QuiEdition kNotesEdition = {&CreateDatastore<COzuDatastore>, &CreateNote<COzuActionNote, COzuNoteWnd>};
const QuiEdition kPalmEdition = {&CreateDatastore<CIbeDatastore>, &CreateNote<CIbeActionNote, CIbeNoteWnd>};
const QuiEdition kOutlookEdition = {&CreateDatastore<CRukDatastore>, &CreateNote<CRukActionNote, CRukNoteWnd>};

} // namespace

void QuiRegisterPimEditions()
{
    QuiRegisterEdition(CDatastore::typeNotes, &kNotesEdition);
    QuiRegisterEdition(CDatastore::typePalm, &kPalmEdition);
    QuiRegisterEdition(CDatastore::typeOutlook, &kOutlookEdition);
}
