#include "PimEditions.h"

#include "DestWnd.h"
#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "IbeDatastore.h"
#include "NoteWnd.h"
#include "OzuApp.h"
#include "OzuDatastore.h"
#include "QuiResIds.h"
#include "QuillmateExcept.h"
#include "RukDatastore.h"

namespace {

class CPimPlainNoteWnd : public CNoteWnd {
public:
    explicit CPimPlainNoteWnd(CActionNote* note) : CNoteWnd(note) {}
    CDestWnd* CreateDestWnd() override
    {
        auto* dest = new CDestWnd;
        if (!dest->Create(this)) {
            delete dest;
            return nullptr;
        }
        return dest;
    }
};

template <class Datastore>
CDatastore* CreateDatastore(int)
{
    return new Datastore;
}

CActionNote* CreatePlainNote()
{
    auto* note = new CPimPlainNote;
    new CPimPlainNoteWnd(note);
    return note;
}

const QuiEdition kNotesEdition = {&CreateDatastore<COzuDatastore>, &CreatePlainNote};
const QuiEdition kPalmEdition = {&CreateDatastore<CIbeDatastore>, &CreatePlainNote};
const QuiEdition kOutlookEdition = {&CreateDatastore<CRukDatastore>, &CreatePlainNote};

} // namespace

void QuiRegisterPimEditions()
{
    QuiRegisterEdition(CDatastore::typeNotes, &kNotesEdition);
    QuiRegisterEdition(CDatastore::typePalm, &kPalmEdition);
    QuiRegisterEdition(CDatastore::typeOutlook, &kOutlookEdition);
}

void CPimPlainNote::FileNote(CActionNote*)
{
    RunFiling(0);
}

void CPimPlainNote::FileEntries()
{
    CString text;
    GetNoteText(text);
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    if (text.IsEmpty() || !datastore)
        return;
    try {
        CGodwitWrapper record;
        record.AddTypeBit(GODWIT_TYPE_TODO);
        record.SetBody(text);
        datastore->Connect();
        datastore->FileRecord(record.m_lpDispatch);
    } catch (COleException* e) {
        e->Delete();
        throw new COzuExcept(IDS_NO_RECORD_CONTROL);
    } catch (COleDispatchException* e) {
        throw new COzuExcept(e, 0);
    }
}
