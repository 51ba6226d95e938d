// What the user typed and what other programs handed over outlive the end
// of the session, however it ends: written when the end reaches the
// program, opened again at the next start.
#include "AppTestSupport.h"

#include "DatastoreTestSupport.h"
#include "KeptNotes.h"
#include "NoteManager.h"

using namespace app_test;

namespace {

TEST(KeptNotesFile, WhatIsWrittenReadsBackAndABrokenTailKeepsTheRest)
{
    QuiKeptNote note;
    note.edition = 4;
    note.panes = {{510, true}, {511, false}};
    note.text = "call Bob\r\ntomorrow 3pm caf\xe9";
    QuiKeptNote text;
    text.queued = true;
    text.text = "lunch with Ann";
    const std::string bytes = QuiFormatKeptNotes({note, text});

    std::vector<QuiKeptNote> read;
    ASSERT_TRUE(QuiParseKeptNotes(bytes, read));
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(note.text, read[0].text);
    EXPECT_FALSE(read[0].queued);
    EXPECT_EQ(4, read[0].edition);
    EXPECT_EQ(note.panes, read[0].panes);
    EXPECT_TRUE(read[1].queued);
    EXPECT_EQ(text.text, read[1].text);

    struct Row {
        const char* what;
        std::string bytes;
        size_t kept;
    } rows[] = {
        {"cut inside the second text", bytes.substr(0, bytes.size() - 5), 1},
        {"a length past the end", QuiFormatKeptNotes({note}) + "text 0 - 99\r\nshort\r\n", 1},
        {"another file", "keywords\r\n", 0},
        {"nothing", "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<QuiKeptNote> some;
        EXPECT_FALSE(QuiParseKeptNotes(row.bytes, some));
        EXPECT_EQ(row.kept, some.size());
    }
}

class KeptAtTheEnd : public AppFixture {
protected:
    // A typed note, and a text handed over while five notes were open.
    void TypeAndQueue()
    {
        CActionNote* note = app->NewNote();
        ASSERT_NE(nullptr, note);
        note->SetNoteText("call Bob tomorrow");
        ASSERT_TRUE(app->GetNoteManager()->QueueText("lunch with Ann"));
        Pump();
    }

    static std::vector<std::string> KeptTexts()
    {
        std::vector<QuiKeptNote> kept;
        QuiReadKeptNotes(QuiKeptNotesPath(), kept);
        std::vector<std::string> texts;
        for (const QuiKeptNote& entry : kept)
            texts.push_back(std::string(entry.queued ? "text " : "note ") + entry.text);
        return texts;
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return app->m_pMainWnd->SendMessage(message, wParam, lParam);
    }
};

// Answers a box only after the session has ended under it, as when the user
// never answers and Windows ends the program anyway.
class EndsUnanswered : public CPromptHandler {
public:
    explicit EndsUnanswered(CWnd* main) : m_main(main), m_previous(AfxSetPromptHandler(this)) {}
    ~EndsUnanswered() override { AfxSetPromptHandler(m_previous); }
    CPromptAnswer Respond(const CPromptRequest&) override
    {
        // Null: the main window of the application as it is then.
        CWnd* main = m_main ? m_main : AfxGetMainWnd();
        if (main)
            main->SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        CPromptAnswer answer;
        answer.nResult = IDYES;
        return answer;
    }

private:
    CWnd* m_main;
    CPromptHandler* m_previous;
};

TEST_F(KeptAtTheEnd, TheNotesAndTextsOpenAgainAfterTheSessionEndedHoweverItEnded)
{
    enum End { forced, restartManager, unanswered, noThenEnded, noThenCalledOff };
    struct Row {
        End end;
        const char* what;
        std::vector<std::string> kept;
    } rows[] = {
        {forced, "a forced end asks nothing", {"note call Bob tomorrow", "text lunch with Ann"}},
        {restartManager, "the Restart Manager's close", {"note call Bob tomorrow", "text lunch with Ann"}},
        {unanswered, "the question never answered", {"note call Bob tomorrow", "text lunch with Ann"}},
        {noThenEnded, "No, then the end", {"text lunch with Ann"}},
        {noThenCalledOff, "No, then the end called off", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(QuiKeptNotesPath());
        ASSERT_TRUE(Start());
        TypeAndQueue();
        {
            CPromptScript prompts;
            switch (row.end) {
            case forced:
                Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                break;
            case restartManager:
                EXPECT_NE(0, Send(WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
                Send(WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
                break;
            case unanswered: {
                EndsUnanswered never(app->m_pMainWnd);
                EXPECT_EQ(0, Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
                break;
            }
            case noThenEnded:
            case noThenCalledOff:
                prompts.AnswerNext(IDNO);
                EXPECT_NE(0, Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
                EXPECT_EQ(1, app->GetNoteCount()) << "nothing goes before the end is certain";
                Send(WM_ENDSESSION, row.end == noThenEnded, ENDSESSION_LOGOFF);
                break;
            }
            EXPECT_EQ(0, prompts.Unexpected());
        }
        EXPECT_EQ(row.kept, KeptTexts());
        if (row.end == noThenCalledOff) {
            EXPECT_EQ(1, app->GetNoteCount());
            EXPECT_EQ(1, app->GetNoteManager()->GetQueuedCount());
            CloseAllNotes(app.get());
            Stop();
            continue;
        }
        TakeQuit();
        Stop();

        // The next start opens them and says so once.
        CPromptScript told;
        told.AnswerNext(IDOK);
        ASSERT_TRUE(Start());
        Pump();
        CString format, expected;
        format.LoadString(IDS_NOTES_BROUGHT_BACK);
        expected.Format(format, static_cast<int>(row.kept.size()));
        ASSERT_EQ(1u, told.Asked().size());
        EXPECT_EQ(expected, told.Asked()[0].text);
        // The text opens as a client's would, at the next idle pass.
        app->OnIdle(0);
        std::vector<std::string> opened, expectedTexts;
        for (CActionNote* note : app->GetNoteManager()->GetNotes()) {
            CString text;
            note->GetNoteText(text);
            opened.push_back(text.GetString());
        }
        for (const std::string& kept : row.kept)
            expectedTexts.push_back(kept.substr(5));
        EXPECT_EQ(expectedTexts, opened);
        EXPECT_FALSE(datastore_test::Exists(std::string(QuiKeptNotesPath())));
        CloseAllNotes(app.get());
        Stop();
    }
}

// The start's word that the notes are back is a box: a session that ends
// while it is open keeps the notes once more.
TEST_F(KeptAtTheEnd, ASessionEndingWhileTheStartTellsOfTheNotesKeepsThemAgain)
{
    ASSERT_TRUE(Start());
    TypeAndQueue();
    Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    TakeQuit();
    Stop();
    const std::vector<std::string> kept = KeptTexts();
    ASSERT_EQ(2u, kept.size());
    {
        EndsUnanswered endsInTheBox(nullptr);
        ASSERT_TRUE(Start());
    }
    EXPECT_EQ(kept, KeptTexts()) << "opened, then lost with the session";
    TakeQuit();
    CloseAllNotes(app.get());
    Stop();
}

} // namespace
