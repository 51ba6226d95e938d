// The application object's shared drawing objects and modal-box count, and
// how the main program's exceptions report themselves.
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "DatastoreTestSupport.h"
#include "GdiUtil.h"
#include "QuiResIds.h"

#include <gtest/gtest.h>

namespace {

class TestApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    CDatastore* GetDatastore() override { return datastore; }
    CDatastore* datastore = nullptr;
};

// Answers yes to every feature question.
class AllFeatures : public datastore_test::TestDatastore {
public:
    BOOL HasFeature(int) override { return TRUE; }
};

// The resource library as the resource source, as the program has it.
class ResourceLibrary {
public:
    ResourceLibrary() : m_previous(AfxGetResourceHandle()), m_library(LoadLibraryA("QuiRes1033.dll"))
    {
        if (m_library)
            AfxSetResourceHandle(m_library);
    }
    ~ResourceLibrary()
    {
        AfxSetResourceHandle(m_previous);
        if (m_library)
            FreeLibrary(m_library);
    }
    bool loaded() const { return m_library != nullptr; }

private:
    HINSTANCE m_previous;
    HMODULE m_library;
};

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

// A framework exception with a description, counting whether it was ended.
class CountedException : public CException {
public:
    explicit CountedException(int* deleted) : m_deleted(deleted) {}
    ~CountedException() override { ++*m_deleted; }
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT*) override
    {
        lstrcpynA(lpszError, "The server refused the record.", nMaxError);
        return TRUE;
    }

private:
    int* m_deleted;
};

TEST(QuillmateApp, DrawingObjectsAreMadeOnceAndDiffer)
{
    TestApp app;
    ASSERT_EQ(&app, QuiGetApp());
    CFont* small = app.GetSmallFont();
    HGDIOBJ smallHandle = small->GetSafeHandle();
    ASSERT_NE(nullptr, smallHandle);
    EXPECT_EQ(smallHandle, app.GetSmallFont()->GetSafeHandle());
    EXPECT_NE(smallHandle, app.GetBoldFont()->GetSafeHandle());
    EXPECT_NE(app.GetBoldFont()->GetSafeHandle(), app.GetNarrowFont()->GetSafeHandle());

    LOGFONTA small8 = {};
    small->GetLogFont(&small8);
    EXPECT_STREQ("Arial", small8.lfFaceName);

    HGDIOBJ palette = app.GetPalette()->GetSafeHandle();
    ASSERT_NE(nullptr, palette);
    EXPECT_EQ(palette, app.GetPalette()->GetSafeHandle());
    EXPECT_EQ(QUI_APP_PALETTE_SIZE, app.GetPalette()->GetEntryCount());
}

TEST(QuillmateApp, OwnedObjectsAreNullInTheBaseAndTheModalCountNeverFallsBelowZero)
{
    TestApp app;
    EXPECT_EQ(nullptr, app.GetPrefs());
    EXPECT_EQ(nullptr, app.GetDatastore());
    EXPECT_EQ(nullptr, app.GetParserMgr());
    app.EndModalBox();
    EXPECT_EQ(0, app.GetModalBoxCount());
    app.BeginModalBox();
    app.BeginModalBox();
    app.EndModalBox();
    EXPECT_EQ(1, app.GetModalBoxCount());
}

TEST(QuillmateApp, FeaturesAreTheDatastoresAnswersButFiveIsAlwaysOff)
{
    TestApp app;
    EXPECT_FALSE(app.IsFeature(9));
    AllFeatures datastore;
    app.datastore = &datastore;
    for (int n : {1, 2, 8, 9})
        EXPECT_TRUE(app.IsFeature(n)) << n;
    EXPECT_FALSE(app.IsFeature(5));
}

TEST(QuillmateApp, AnotherApplicationClassIsNotOurs)
{
    EXPECT_EQ(nullptr, QuiGetApp());
    CWinApp plain("Quillmate");
    EXPECT_EQ(nullptr, QuiGetApp());
}

TEST(QuillmateExcept, ReportShowsTheTextElseTheMessageElseTheGeneralMessage)
{
    ResourceLibrary library;
    ASSERT_TRUE(library.loaded());
    ASSERT_FALSE(Text(IDS_TIP_HEADING).IsEmpty());
    struct Row {
        UINT id;
        const char* text;
        CString shown;
    } rows[] = {
        {IDS_TIP_HEADING, "Given text", "Given text"},
        {IDS_TIP_HEADING, nullptr, Text(IDS_TIP_HEADING)},
        {0, nullptr, Text(CQuillmateExcept::DEFAULT_MESSAGE)},
    };
    for (const Row& row : rows) {
        CQuillmateExcept e(row.id, 0);
        if (row.text)
            e.SetText(row.text);
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        EXPECT_EQ(IDOK, e.ReportError());
        ASSERT_EQ(1u, prompts.Asked().size());
        EXPECT_STREQ(row.shown, prompts.Asked()[0].text) << row.id;
        EXPECT_EQ(static_cast<UINT>(MB_OK), prompts.Asked()[0].nType & MB_TYPEMASK);
    }
}

TEST(QuillmateExcept, FromAFrameworkExceptionTakesItsDescriptionAndEndsItOnlyWhenAsked)
{
    for (BOOL bDelete : {TRUE, FALSE}) {
        int deleted = 0;
        auto* source = new CountedException(&deleted);
        CQuillmateExcept e(source, 7, bDelete);
        EXPECT_STREQ("The server refused the record.", e.GetText());
        EXPECT_EQ(0u, e.GetMessageId());
        EXPECT_EQ(7u, e.GetCode());
        EXPECT_EQ(bDelete ? 1 : 0, deleted);
        if (!bDelete)
            source->Delete();
    }
    COzuExcept edition(new CException(), 3);
    EXPECT_TRUE(edition.GetText().IsEmpty());
    EXPECT_EQ(0u, edition.GetErrorCode());
}

TEST(QuillmateExcept, EditionExceptionHandsTheFocusBackOnlyToALiveWindow)
{
    ResourceLibrary library;
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    HWND field = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, owner, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, field);
    CWnd* wnd = CWnd::FromHandle(field);
    {
        COzuExcept e(6022, 0, wnd);
        EXPECT_EQ(6022u, e.GetErrorCode());
        SetFocus(owner);
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        e.ReportError();
        EXPECT_EQ(field, GetFocus());
    }
    COzuExcept gone(57707, 0, wnd);
    DestroyWindow(owner);
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    EXPECT_EQ(IDOK, gone.ReportError());
}

}  // namespace
