// Reading tips: comments and empty lines passed over, the end of the file
// wrapping to its start, and where each showing carries on.
#include "TipDlg.h"
#include "TipFile.h"
#include "ResMan.h"
#include "QuiResIds.h"
#include "RegistryBranch.h"
#include "TipTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Tips(CTipFile& file, int count)
{
    std::vector<std::string> tips;
    for (int i = 0; i < count; ++i) {
        CString tip;
        if (file.NextTip(tip) != CTipFile::TipFound)
            tips.push_back("<none>");
        else
            tips.push_back(std::string(tip));
    }
    return tips;
}

TEST(TipFile, SkipsCommentsAndEmptyLinesAndWrapsRound)
{
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::string> tips;
    } rows[] = {
        {"two tips", "first\nsecond\n", {"first", "second", "first"}},
        {"comments", "; about\n\tindented\n  blank\n\n\r\nTip one\r\n;x\nTip two", {"Tip one", "Tip two", "Tip one"}},
        {"one tip", "only\n", {"only", "only"}},
        {"no line end", "a\nb", {"a", "b", "a"}},
        {"all comments", ";one\n;two\n", {"<none>", "<none>"}},
        {"empty", "", {"<none>"}},
        {"blank lines", "\n\n \n", {"<none>"}},
        // A zero byte ends the tip's text, not its line.
        {"zero byte in a long line", "ab" + std::string(1, '\0') + std::string(1500, 'z') + "\nnext\n", {"ab", "next", "ab"}},
        {"zero byte at a line's start", std::string(1, '\0') + "hidden\nshown\n", {"shown", "shown"}},
    };
    for (const Row& row : rows) {
        TempTipFile temp(row.bytes);
        CTipFile file;
        ASSERT_TRUE(file.Open(temp.Path()));
        EXPECT_EQ(row.tips, Tips(file, static_cast<int>(row.tips.size()))) << row.name;
    }
}

TEST(TipFile, ALineOverTheLimitGivesItsStartAndItsRestIsSkipped)
{
    std::string longLine(1200, 'x');
    std::string exact(CTipFile::kMaxLine, 'y');
    TempTipFile temp(longLine + "\n" + exact + "\nshort\n");
    CTipFile file;
    ASSERT_TRUE(file.Open(temp.Path()));
    std::vector<std::string> expected = {std::string(CTipFile::kMaxLine, 'x'), exact, "short"};
    EXPECT_EQ(expected, Tips(file, 3));
}

TEST(TipFile, PositionIsRightAfterTheTipAndSeekingPastTheStartFails)
{
    TempTipFile temp(";c\nfirst\r\nsecond\n");
    CTipFile file;
    EXPECT_FALSE(file.Seek(0));
    ASSERT_TRUE(file.Open(temp.Path()));
    CString tip;
    ASSERT_EQ(CTipFile::TipFound, file.NextTip(tip));
    EXPECT_EQ(10, file.GetPosition());
    EXPECT_TRUE(file.Seek(10));
    ASSERT_EQ(CTipFile::TipFound, file.NextTip(tip));
    EXPECT_STREQ("second", tip);
    EXPECT_FALSE(file.Seek(-4));
}

// The tip dialog's reading, without its window: the settings decide where
// each showing starts.
class TipStart : public RegistryBranch {
protected:
    CString Text(UINT id)
    {
        CString text;
        text.LoadString(id);
        return text;
    }

    CResMan m_resources{"QuiRes", 1033};
};

TEST_F(TipStart, EachShowingCarriesOnWhereTheLastStopped)
{
    TempTipFile temp("first\nsecond\nthird\n");
    ClientRegistry settings;
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        CTipDlg dialog(settings, temp.Path());
        shown.push_back(std::string(dialog.GetTipText()));
    }
    EXPECT_EQ((std::vector<std::string>{"first", "second", "third", "first"}), shown);
    EXPECT_EQ(6u, TipSetting(settings, ClientRegistry::TipFilePos));
}

TEST_F(TipStart, AnEditedFileStartsFromTheTop)
{
    TempTipFile temp("first\nsecond\nthird\n");
    ClientRegistry settings;
    { CTipDlg dialog(settings, temp.Path()); }
    DWORD stamp = TipSetting(settings, ClientRegistry::TipTimestamp);
    EXPECT_NE(0u, stamp);
    { CTipDlg dialog(settings, temp.Path()); EXPECT_STREQ("second", dialog.GetTipText()); }

    temp.Touch(60);
    CTipDlg dialog(settings, temp.Path());
    EXPECT_STREQ("first", dialog.GetTipText());
    EXPECT_EQ(stamp + 60, TipSetting(settings, ClientRegistry::TipTimestamp));
}

TEST_F(TipStart, MissingOrTiplessFilesShowTheNoTipsText)
{
    ASSERT_FALSE(Text(IDS_TIP_MISSING).IsEmpty());
    ClientRegistry settings;
    SetTipSetting(settings, ClientRegistry::TipFilePos, 7);
    {
        CTipDlg dialog(settings, "C:\\no such folder\\tips.txt");
        EXPECT_STREQ(Text(IDS_TIP_MISSING), dialog.GetTipText());
    }
    // Nothing was read, so the position stays.
    EXPECT_EQ(7u, TipSetting(settings, ClientRegistry::TipFilePos));

    TempTipFile temp(";only\n;comments\n");
    CTipDlg dialog(settings, temp.Path());
    EXPECT_STREQ(Text(IDS_TIP_MISSING), dialog.GetTipText());
}

TEST_F(TipStart, AFailedSeekIsReportedAndReadingStartsAtTheTop)
{
    TempTipFile temp("first\nsecond\n");
    ClientRegistry settings;
    { CTipDlg dialog(settings, temp.Path()); }
    SetTipSetting(settings, ClientRegistry::TipFilePos, 0xFFFFFFF0);
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    CTipDlg dialog(settings, temp.Path());
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_STREQ(Text(IDS_TIP_FILE_ERROR), prompts.Asked()[0].text);
    EXPECT_STREQ("first", dialog.GetTipText());
}

TEST_F(TipStart, TheStartupFlagComesFromTheSettings)
{
    TempTipFile temp("first\n");
    ClientRegistry settings;
    for (DWORD value : {0u, 1u}) {
        SetTipSetting(settings, ClientRegistry::TipStartup, value);
        CTipDlg dialog(settings, temp.Path());
        EXPECT_EQ(value != 0, dialog.GetStartup() != FALSE) << value;
    }
}

} // namespace
