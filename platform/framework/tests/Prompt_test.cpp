// The prompt seam: what is asked, what the script answers, what the caller gets.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

TEST(Prompts, ScriptAnswersInTurnAndRecordsEveryQuestion)
{
    CWinApp app("Quillmate");
    CPromptScript prompts;
    prompts.AnswerNext(IDYES);
    prompts.AnswerNext(IDNO);
    EXPECT_EQ(IDYES, AfxMessageBox("Remove selected item?", MB_YESNO));
    EXPECT_EQ(IDNO, AfxPromptMessageBox(nullptr, "Save?", "Note", MB_YESNOCANCEL | MB_TASKMODAL));
    EXPECT_EQ(IDCANCEL, AfxMessageBox("Unplanned"));

    ASSERT_EQ(3u, prompts.Asked().size());
    const CPromptRequest& first = prompts.Asked()[0];
    EXPECT_EQ(PromptKind::Message, first.kind);
    EXPECT_STREQ("Remove selected item?", first.text);
    EXPECT_STREQ("Quillmate", first.caption) << "the application's title by default";
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), first.nType);
    EXPECT_STREQ("Note", prompts.Asked()[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_TASKMODAL), prompts.Asked()[1].nType);
    EXPECT_EQ(1, prompts.Unexpected());
    EXPECT_EQ(0, prompts.Unused());
}

TEST(Prompts, ScriptsNestAndRestoreTheOneBefore)
{
    CPromptScript outer;
    outer.AnswerNext(IDRETRY);
    {
        CPromptScript inner;
        inner.AnswerNext(IDABORT);
        EXPECT_EQ(IDABORT, AfxMessageBox("inner"));
    }
    EXPECT_EQ(IDRETRY, AfxMessageBox("outer"));
    EXPECT_EQ(1u, outer.Asked().size());
}

TEST(Prompts, MessageByNumberComesFromTheResourceLibrary)
{
    TestResources resources;
    ASSERT_TRUE(resources.Loaded());
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    AfxMessageBox(100, MB_OK | MB_ICONINFORMATION);
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_STREQ("Hello from the library", prompts.Asked()[0].text);
    EXPECT_EQ(100u, prompts.Asked()[0].nIDHelp);
}

TEST(Prompts, WindowMessageBoxIsOwnedByTheWindow)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    CPromptScript prompts;
    prompts.AnswerNext(IDCANCEL);
    EXPECT_EQ(IDCANCEL, wnd.MessageBox("Close the note?", nullptr, MB_YESNOCANCEL));
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(wnd.m_hWnd, prompts.Asked()[0].hWndOwner);
}

TEST(Prompts, FileDialogGoesThroughTheSeam)
{
    CPromptScript prompts;
    prompts.AnswerNextFile("C:\\notes\\plan.v2.txt");
    prompts.AnswerNext(IDCANCEL);
    CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                     "Text files|*.txt|All files|*.*||");
    open.m_ofn.lpstrTitle = "Attach a file";
    ASSERT_EQ(IDOK, open.DoModal());
    EXPECT_STREQ("C:\\notes\\plan.v2.txt", open.GetPathName());
    EXPECT_STREQ("plan.v2.txt", open.GetFileName());
    EXPECT_STREQ("txt", open.GetFileExt());
    EXPECT_STREQ("plan.v2", open.GetFileTitle());
    EXPECT_STREQ("C:\\notes\\plan.v2.txt", open.m_ofn.lpstrFile);

    const CPromptRequest& asked = prompts.Asked()[0];
    EXPECT_EQ(PromptKind::OpenFile, asked.kind);
    EXPECT_STREQ("Attach a file", asked.caption);
    EXPECT_STREQ("Text files|*.txt|All files|*.*||", asked.filter);
    EXPECT_EQ(static_cast<UINT>(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY), asked.nType);

    CFileDialog save(FALSE, "xml", "keywords.xml");
    EXPECT_EQ(IDCANCEL, save.DoModal());
    EXPECT_EQ(PromptKind::SaveFile, prompts.Asked()[1].kind);
    EXPECT_STREQ("keywords.xml", prompts.Asked()[1].fileName);
    EXPECT_STREQ("xml", prompts.Asked()[1].defExt);
    EXPECT_STREQ("", save.GetPathName());
}

TEST(Prompts, FrameworkExceptionReportsItsOwnTextElseTheGivenMessage)
{
    TestResources resources;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    prompts.AnswerNext(IDOK);
    CException plain(FALSE);
    plain.ReportError(MB_OK, 100);
    plain.ReportError();
    ASSERT_EQ(2u, prompts.Asked().size());
    EXPECT_STREQ("Hello from the library", prompts.Asked()[0].text);
    EXPECT_FALSE(prompts.Asked()[1].text.IsEmpty());
}

TEST(CString, LoadsTextsOfAnyLengthFromTheResourceHandle)
{
    TestResources resources;
    ASSERT_TRUE(resources.Loaded());
    CString text;
    EXPECT_TRUE(text.LoadString(100));
    EXPECT_STREQ("Hello from the library", text);
    EXPECT_TRUE(text.LoadString(102));
    EXPECT_EQ(283, text.GetLength());
    EXPECT_STREQ("end", text.Right(3));
    EXPECT_FALSE(text.LoadString(9999));
    EXPECT_TRUE(text.IsEmpty());
    text.Format(101u, 3, "seven");
    EXPECT_STREQ("Value 3 of seven", text);
    BSTR wide = CString("Gr\xFC\xDF" "e").AllocSysString();   // one byte per character in the ANSI code page
    EXPECT_EQ(5u, ::SysStringLen(wide));
    EXPECT_EQ(L'\xFC', wide[2]);
    ::SysFreeString(wide);
}

} // namespace
