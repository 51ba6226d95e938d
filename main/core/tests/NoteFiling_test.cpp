// Filing a note through the test edition: the note ends on success, and a
// reported failure brings the same note back with its text.
#include "NoteTestSupport.h"


using namespace notes_test;

namespace {

class NoteFilingTest : public NoteFixture {
protected:
    void File(CTestNote* note)
    {
        note->GetNoteWnd()->SendMessage(WM_COMMAND, ID_DEST_FILE);
        PumpPending();
    }
};

TEST_F(NoteFilingTest, SuccessConfirmsAndEndsTheNote)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch tomorrow");
    HWND wnd = note->GetNoteWnd()->GetSafeHwnd();
    File(note);
    EXPECT_EQ(1, app.filing.filings);
    ASSERT_EQ(1u, app.filing.busySeen.size());
    EXPECT_TRUE(app.filing.busySeen[0]) << "busy while filing";
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(0, app.GetNoteCount());
    EXPECT_EQ(1, app.deletedNotes);
    ASSERT_EQ(1u, mainWnd.savedMessages.size());
    EXPECT_EQ("Your note 'lunch tomorrow' was filed in Lotus Notes To-do.", mainWnd.savedMessages[0]);
}

TEST_F(NoteFilingTest, FileThenNewOpensAFreshNoteFirst)
{
    prefs->m_dwSaveThenNew = 1;
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "call Ann");
    File(note);
    EXPECT_EQ(1, app.deletedNotes);
    ASSERT_EQ(1, app.GetNoteCount());
    CActionNote* fresh = app.GetCurrentNote();
    EXPECT_EQ("", Text(fresh));
    EXPECT_TRUE(fresh->GetNoteWnd()->IsWindowVisible());
}

TEST_F(NoteFilingTest, AReportedFailureShowsTheSameNoteAgain)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch tomorrow");
    app.filing.failWith = IDS_NO_RECORD_CONTROL;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    File(note);

    ASSERT_EQ(1u, prompts.Asked().size());
    CString expected;
    expected.LoadString(IDS_NO_RECORD_CONTROL);
    EXPECT_STREQ(expected, prompts.Asked()[0].text) << "the exception reported itself";
    EXPECT_EQ(1, app.GetNoteCount());
    EXPECT_EQ(note, app.GetCurrentNote());
    EXPECT_FALSE(note->IsBusy());
    EXPECT_TRUE(note->GetNoteWnd()->IsWindowVisible());
    EXPECT_EQ("lunch tomorrow", Text(note));
    EXPECT_TRUE(mainWnd.savedMessages.empty()) << "no confirmation";
    EXPECT_TRUE(app.filing.confirmedLines.empty());
}

TEST_F(NoteFilingTest, ARetryAfterAFailureConfirmsOnlyItsOwnLines)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch");
    app.filing.failWith = IDS_NO_RECORD_CONTROL;
    app.filing.addLineBeforeFailing = true;
    {
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        File(note);
    }
    app.filing.failWith = 0;
    app.filing.addLineBeforeFailing = false;
    File(note);
    ASSERT_EQ(1u, app.filing.confirmedLines.size());
    EXPECT_EQ(1, app.filing.confirmedLines[0]);
    ASSERT_EQ(1u, mainWnd.savedMessages.size());
    EXPECT_EQ("Your note 'lunch' was filed in Lotus Notes To-do.", mainWnd.savedMessages[0]);
}

TEST_F(NoteFilingTest, AnUnexpectedFailureIsToldWhileTheNoteFilesAndLeavesItNotBusy)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    app.filing.failOther = true;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    note->FileNote(note);
    ASSERT_EQ(1u, prompts.Asked().size());
    CString told;
    told.LoadString(IDS_UNEXPECTED_ERROR);
    EXPECT_EQ(told, prompts.Asked()[0].text);
    EXPECT_FALSE(note->IsBusy()) << "the exit command would wait for ever";
    EXPECT_FALSE(app.IsWaiting());
    EXPECT_EQ(1, app.GetNoteCount());
}

TEST_F(NoteFilingTest, WithFileThenNewTheFilingTextShowsInsteadOfHiding)
{
    prefs->m_dwSaveThenNew = 1;
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    app.filing.failWith = IDS_NO_RECORD_CONTROL;
    bool visibleWhileFiling = false;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    HWND wnd = note->GetNoteWnd()->GetSafeHwnd();
    // The report comes while filing: the window's state then is the filing display.
    note->GetNoteWnd()->SendMessage(WM_COMMAND, ID_DEST_FILE_AND_SEND);
    visibleWhileFiling = ::IsWindowVisible(wnd) != FALSE;
    PumpPending();
    EXPECT_TRUE(visibleWhileFiling);
    EXPECT_EQ(1, app.filing.filings);
}

} // namespace
