// The note manager: the current note, activation, removal with the queue of
// waiting texts, and the limit of five notes on request.
#include "NoteTestSupport.h"


using namespace notes_test;

namespace {

class NoteManagerTest : public NoteFixture {
protected:
    CNoteManager* Manager() { return app.GetNoteManager(); }
};

TEST_F(NoteManagerTest, CurrentNoteIsTheLastOpenedOrActivated)
{
    EXPECT_EQ(nullptr, Manager()->GetCurrentNote());
    CTestNote* first = Open();
    CTestNote* second = Open();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(2, Manager()->GetCount());
    EXPECT_EQ(second, app.GetCurrentNote());

    first->GetNoteWnd()->SetActiveWindow();
    PumpPending();
    EXPECT_EQ(first, app.GetCurrentNote()) << "activating the window made its note current";

    second->GetNoteWnd()->GetDestWnd()->SetActiveWindow();
    PumpPending();
    EXPECT_EQ(first, app.GetCurrentNote()) << "only the note window's own activation counts";
    second->GetNoteWnd()->SetActiveWindow();
    PumpPending();
    EXPECT_EQ(second, app.GetCurrentNote());
}

TEST_F(NoteManagerTest, PointersNotListedLeaveTheListAlone)
{
    CTestNote* only = Open();
    ASSERT_NE(nullptr, only);
    Manager()->MakeNoteCurrent(only);
    EXPECT_EQ(only, Manager()->GetCurrentNote());
    EXPECT_EQ(1, Manager()->GetCount());

    CTestNote stray(nullptr, nullptr, &app.filing, &app.deletedNotes);
    Manager()->MakeNoteCurrent(&stray);
    Manager()->RemoveNote(&stray);
    EXPECT_EQ(1, Manager()->GetCount());
    EXPECT_EQ(only, Manager()->GetCurrentNote());
    EXPECT_EQ(0, app.deletedNotes) << "an unlisted note is not deleted";
}

TEST_F(NoteManagerTest, ClosingANoteOpensOneQueuedTextInArrivalOrder)
{
    for (int i = 0; i < CNoteManager::MAX_OPEN_NOTES; ++i)
        ASSERT_NE(nullptr, Open());
    Manager()->QueueText("first");
    Manager()->QueueText("second");
    Manager()->QueueText("third");

    app.GetCurrentNote()->DestroyNoteWnd();
    PumpPending();
    EXPECT_EQ(CNoteManager::MAX_OPEN_NOTES, Manager()->GetCount());
    EXPECT_EQ(2, Manager()->GetQueuedCount());
    EXPECT_EQ("first", Text(app.GetCurrentNote()));

    app.GetCurrentNote()->DestroyNoteWnd();
    PumpPending();
    EXPECT_EQ("second", Text(app.GetCurrentNote()));
    EXPECT_EQ(1, Manager()->GetQueuedCount());
}

TEST_F(NoteManagerTest, AQueuedTextWaitsWhenNoNoteCanBeOpened)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    Manager()->QueueText("later");
    app.refuseNotes = true;
    note->DestroyNoteWnd();
    PumpPending();
    EXPECT_EQ(0, Manager()->GetCount());
    EXPECT_EQ(1, Manager()->GetQueuedCount()) << "the text stays at the front";

    app.refuseNotes = false;
    ASSERT_NE(nullptr, Open());
    int calls = app.createCalls;
    app.GetCurrentNote()->DestroyNoteWnd();
    PumpPending();
    EXPECT_EQ(calls + 1, app.createCalls);
    EXPECT_EQ("later", Text(app.GetCurrentNote()));
    EXPECT_EQ(0, Manager()->GetQueuedCount());
}

TEST_F(NoteManagerTest, RemovingWithAnEmptyQueueOpensNothing)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    int calls = app.createCalls;
    note->DestroyNoteWnd();
    PumpPending();
    EXPECT_EQ(calls, app.createCalls);
    EXPECT_EQ(0, Manager()->GetCount());
    EXPECT_EQ(1, app.deletedNotes);
    std::string text = "untouched";
    EXPECT_FALSE(Manager()->PopText(text));
    EXPECT_EQ("untouched", text);
}

TEST_F(NoteManagerTest, TheSixthNoteIsRefusedWithItsMessage)
{
    datastore.features.insert(6);
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(nullptr, Open());
    CPromptScript prompts;
    EXPECT_FALSE(Manager()->RefuseNewNote(MB_ICONEXCLAMATION)) << "a fifth note may open";
    ASSERT_NE(nullptr, Open());

    prompts.AnswerNext(IDOK);
    EXPECT_TRUE(Manager()->RefuseNewNote(MB_ICONEXCLAMATION | MB_SYSTEMMODAL));
    ASSERT_EQ(1u, prompts.Asked().size());
    CString expected;
    expected.LoadString(IDS_TOO_MANY_NOTES);
    EXPECT_STREQ(expected, prompts.Asked()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION | MB_SYSTEMMODAL), prompts.Asked()[0].nType & 0xFFFF);
    EXPECT_EQ(0, app.GetModalBoxCount()) << "the box's count was given back";
    EXPECT_TRUE(IsFocusWithin(app.GetCurrentNote()->GetNoteWnd())) << "the current note has the focus";

    // While a box of the application is open there is only a beep.
    app.BeginModalBox();
    EXPECT_TRUE(Manager()->RefuseNewNote(MB_ICONEXCLAMATION));
    app.EndModalBox();
    EXPECT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(0, prompts.Unexpected());
}

TEST_F(NoteManagerTest, WithoutTheLimitFeatureNothingIsRefused)
{
    for (int i = 0; i < 6; ++i)
        ASSERT_NE(nullptr, Open());
    CPromptScript prompts;
    EXPECT_FALSE(Manager()->RefuseNewNote(MB_ICONEXCLAMATION));
    EXPECT_TRUE(prompts.Asked().empty());
}

} // namespace
