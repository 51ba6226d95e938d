// CPimDatastore: what the Lotus Notes, Palm Desktop and Outlook datastores
// share: the owned server wrapper, the feature answers, the item types they
// register, the lists they load and the turning of server failures into the
// edition's exception.
#pragma once
#include "Datastore.h"
#include "PIMControlWrapper.h"
#include "QuiRegistry.h"
#include "QuillmateExcept.h"

// Type identifiers and their type categories, the same in every PIM edition.
extern const char PIM_TODO_CATEGORY_TYPE[];
extern const char PIM_JOURNAL_TYPE[];
extern const char PIM_CONTACT_TYPE[];
extern const char PIM_TODO_CATEGORY_CATEGORY[];
extern const char PIM_JOURNAL_CATEGORY[];
extern const char PIM_CONTACT_CATEGORY[];

class CPimDatastore : public CDatastore {
public:
    ~CPimDatastore() override;

    // The server's wrapper; null until the edition made it.
    CPIMControlWrapper* GetWrapper() const { return m_pWrapper; }

    // TRUE for features 6 to 10; contacts (1), e-mail (3) and journals (11)
    // stay off.
    BOOL HasFeature(int n) override;
    const char* const* GetItemTypeIds() override;

    // The COzuExcept that a server's failure becomes: the server's text, or
    // nMessageId when it gave none. Deletes e.
    static COzuExcept* ToEditionError(CException* e, UINT nMessageId);

    // Runs a server call; the framework's exceptions of a failing server
    // come out as the edition's, with nMessageId when the server gave no text.
    template <class F>
    static auto ServerCall(UINT nMessageId, F call) -> decltype(call())
    {
        try {
            return call();
        } catch (COleDispatchException* e) {
            throw ToEditionError(e, nMessageId);
        } catch (COleException* e) {
            throw ToEditionError(e, nMessageId);
        }
    }

protected:
    CPimDatastore() = default;

    // One item type of an edition: its prototype, its display name and its
    // example (strings of the resource library), its type category. A row
    // without a prototype enters only its type category.
    struct TypeRow {
        const char* typeId;
        QuiItem* (*makePrototype)();
        UINT nameId;
        UINT exampleId;
        const char* categoryId;
        UINT categoryNameId;
    };
    // Enters the type categories and types of the rows (a reload keeps those
    // already held), then the base types.
    void RegisterEditionTypes(const TypeRow* rows, int count);
    // Takes ownership of a server's answer and makes items of the type.
    void AddAnswer(VARIANT answer, const char* typeId, int idColumn);

    // Registers file under progId (forced or not); a registration that
    // fails throws COzuExcept nMessageId.
    static void RegisterServer(const char* file, const char* progId, BOOL bForce, UINT nMessageId);

    // The wait cursor and a disabled main window while the lists load, put
    // back on every way out.
    class CLoadScope {
    public:
        CLoadScope();
        ~CLoadScope();
        CLoadScope(const CLoadScope&) = delete;
        CLoadScope& operator=(const CLoadScope&) = delete;
        // Lets waiting window messages through between two lists.
        void Breathe();

    private:
        HCURSOR m_hOldCursor;
        HWND m_hMainWnd;
    };

    // The five type category identifiers the item viewer shows.
    static const char* const s_typeIdsV5[];
    static const char* const s_typeIdsV4[];

    CPIMControlWrapper* m_pWrapper = nullptr;
};

// The one-record settings table of an edition: REG_DWORD `valueName` in the
// edition's section below the client key.
class CPimRegistry : public QuiRegistry {
public:
    CPimRegistry(const char* section, const char* valueName, DWORD dwDefault);
    ~CPimRegistry() override;
    QuiRegValue* GetValueTable() override { return &m_record; }
    const char* GetSubKey() override { return "Client"; }
    int GetValueCount() override { return 1; }

private:
    QuiRegValue m_record;
};

class OzuRegistry : public CPimRegistry {
public:
    OzuRegistry() : CPimRegistry("Quillmate for Lotus Notes", "PlaceHolder", 1) {}
};

class IbeRegistry : public CPimRegistry {
public:
    IbeRegistry() : CPimRegistry("Quillmate for Palm Desktop", "Placeholder", 0) {}
};

class RukRegistry : public CPimRegistry {
public:
    RukRegistry() : CPimRegistry("Quillmate For Microsoft Outlook", "Placeholder", 0) {}
};
