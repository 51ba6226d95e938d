// Loading the language resource library: the user's language, then 1033,
// then the program's one built-in message.
#include "ResMan.h"
#include "QuiResIds.h"

#include <gtest/gtest.h>

namespace {

TEST(ResMan, LibraryNameHasTheLanguageInAtLeastFourDigits)
{
    struct Row {
        LANGID language;
        const char* name;
    } rows[] = {
        {1033, "QuiRes1033.dll"},
        {1031, "QuiRes1031.dll"},
        {9, "QuiRes0009.dll"},
        {0, "QuiRes0000.dll"},
        {0xC0C, "QuiRes3084.dll"},
        {0xFFFF, "QuiRes65535.dll"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.name, CResMan::LibraryName("QuiRes", row.language)) << row.language;
}

TEST(ResMan, AMissingLanguageFallsBackTo1033AndBecomesTheResourceSource)
{
    CPromptScript prompts;
    for (LANGID language : {1031, 1033}) {
        {
            CResMan resources("QuiRes", language);
            HINSTANCE library = ::GetModuleHandleA("QuiRes1033.dll");
            ASSERT_NE(nullptr, library) << language;
            EXPECT_EQ(library, resources.GetResourceHandle());
            EXPECT_EQ(library, AfxGetResourceHandle());
            CString heading;
            EXPECT_TRUE(heading.LoadString(IDS_TIP_HEADING));
        }
        // Freed with the manager, and no longer the source of resources.
        EXPECT_EQ(nullptr, ::GetModuleHandleA("QuiRes1033.dll"));
        EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());
    }
    EXPECT_TRUE(prompts.Asked().empty());
}

TEST(ResMan, TheUsersOwnLanguageLoads)
{
    CResMan resources;
    EXPECT_NE(nullptr, resources.GetResourceHandle()) << "language " << ::GetUserDefaultLangID();
}

TEST(ResMan, WithNeitherLibraryTheBuiltInMessageIsShown)
{
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    CResMan resources("QuiNoSuchRes", 1031);
    EXPECT_EQ(nullptr, resources.GetResourceHandle());
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());
    ASSERT_EQ(1u, prompts.Asked().size());
    const CPromptRequest& asked = prompts.Asked()[0];
    EXPECT_STREQ("Error: Quillmate is unable to load the Resource DLL.", asked.text);
    EXPECT_STREQ("Quillmate", asked.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), asked.nType);
    EXPECT_EQ(0, prompts.Unexpected());
}

} // namespace

namespace {

// What the program must carry itself, since it is needed before (or without)
// the resource library.
TEST(ProgramResources, TitleIconAndMessageAreTheProgramsOwn)
{
    HINSTANCE program = ::GetModuleHandleA(nullptr);
    char text[MAX_PATH] = "";
    EXPECT_GT(::LoadStringA(program, AFX_IDS_APP_TITLE, text, sizeof(text)), 0);
    EXPECT_STREQ("Quillmate", text);
    EXPECT_GT(::LoadStringA(program, 1, text, sizeof(text)), 0);
    EXPECT_STREQ("Error: Quillmate is unable to load the Resource DLL.", text);
    EXPECT_NE(nullptr, ::LoadIconA(program, MAKEINTRESOURCEA(128)));
}

} // namespace
