#include "PimDatastore.h"

#include <memory>

#include "QuiResIds.h"
#include "QuiRegUtil.h"
#include "QuillmateExcept.h"
#include "WindowUtil.h"

const char PIM_TODO_CATEGORY_TYPE[] = "55861570-ea6a-11d2-a0e6-00104b9522aa";
const char PIM_JOURNAL_TYPE[] = "55861571-ea6a-11d2-a0e6-00104b9522aa";
const char PIM_CONTACT_TYPE[] = "55861572-ea6a-11d2-a0e6-00104b9522aa";
const char PIM_TODO_CATEGORY_CATEGORY[] = "5072EA20-F9BA-11d2-A0F8-00104B9522AA";
const char PIM_JOURNAL_CATEGORY[] = "5072EA21-F9BA-11d2-A0F8-00104B9522AA";
const char PIM_CONTACT_CATEGORY[] = "5072EA22-F9BA-11d2-A0F8-00104B9522AA";

const char* const CPimDatastore::s_typeIdsV5[] = {
    PIM_TODO_CATEGORY_CATEGORY,
    "9D3F8900-F9BD-11d2-A0F8-00104B9522AA",
    "A794C600-EEA6-11d2-A0E8-00104B9522AA",
    "A794C601-EEA6-11d2-A0E8-00104B9522AA",
    "A794C602-EEA6-11d2-A0E8-00104B9522AA",
    "",
};
const char* const CPimDatastore::s_typeIdsV4[] = {
    "9D3F8900-F9BD-11d2-A0F8-00104B9522AA",
    "A794C600-EEA6-11d2-A0E8-00104B9522AA",
    "A794C601-EEA6-11d2-A0E8-00104B9522AA",
    "A794C602-EEA6-11d2-A0E8-00104B9522AA",
    "",
};

CPimDatastore::~CPimDatastore()
{
    delete m_pWrapper;
}

BOOL CPimDatastore::HasFeature(int n)
{
    return n >= 6 && n <= 10;
}

const char* const* CPimDatastore::GetItemTypeIds()
{
    return s_typeIdsV5;
}

COzuExcept* CPimDatastore::ToEditionError(CException* e, UINT nMessageId)
{
    COzuExcept* error = new COzuExcept(e, 0);
    if (error->GetText().IsEmpty())
        error->SetTextFromMessage(nMessageId);
    return error;
}

void CPimDatastore::RegisterEditionTypes(const TypeRow* rows, int count)
{
    QuiKestrel& kestrel = *GetKestrel();
    for (int i = 0; i < count; ++i) {
        CString name;
        name.LoadString(rows[i].categoryNameId);
        std::unique_ptr<QuiTypeCategory> category(new QuiTypeCategory(QuiItemID(rows[i].categoryId), name));
        if (kestrel.getTypeCategoryList()->add(category.get()))
            category.release();
    }
    for (int i = 0; i < count; ++i) {
        if (!rows[i].makePrototype)
            continue;
        CString name, example;
        name.LoadString(rows[i].nameId);
        example.LoadString(rows[i].exampleId);
        std::unique_ptr<QuiItemType> type(new QuiItemType(QuiItemID(rows[i].typeId), name, rows[i].makePrototype()));
        type->setExample(example);
        if (kestrel.registerType(type.get(), QuiItemID(rows[i].categoryId)))
            type.release();
    }
    CDatastore::RegisterTypes();
}

void CPimDatastore::AddAnswer(VARIANT answer, const char* typeId, int idColumn)
{
    try {
        AddItems(answer, GetItemType(typeId), idColumn);
    } catch (...) {
        VariantClear(&answer);
        throw;
    }
    VariantClear(&answer);
}

void CPimDatastore::RegisterServer(const char* file, const char* progId, BOOL bForce, UINT nMessageId)
{
    QuiRegUtil registration(file, progId, TRUE, bForce);
    // A server that cannot be registered would otherwise be created from a
    // stale registration, or fail later without saying why.
    if (!registration.Succeeded())
        throw new COzuExcept(nMessageId);
}

//--- CLoadScope

CPimDatastore::CLoadScope::CLoadScope()
    : m_hOldCursor(SetCursor(LoadCursor(nullptr, IDC_WAIT))), m_hMainWnd(nullptr)
{
    CWnd* main = AfxGetMainWnd();
    m_hMainWnd = main ? main->GetSafeHwnd() : nullptr;
    if (m_hMainWnd)
        EnableWindow(m_hMainWnd, FALSE);
}

CPimDatastore::CLoadScope::~CLoadScope()
{
    if (m_hMainWnd && IsWindow(m_hMainWnd))
        EnableWindow(m_hMainWnd, TRUE);
    SetCursor(m_hOldCursor);
}

void CPimDatastore::CLoadScope::Breathe()
{
    PumpWaitingMessages(nullptr);
}

//--- CPimRegistry

CPimRegistry::CPimRegistry(const char* section, const char* valueName, DWORD dwDefault)
{
    const QuiRegDefault record = {section, valueName, REG_DWORD, sizeof(DWORD), dwDefault, nullptr};
    FillTable(&m_record, &record, 1);
    LoadAll();
}

CPimRegistry::~CPimRegistry()
{
    SaveAll();
}
