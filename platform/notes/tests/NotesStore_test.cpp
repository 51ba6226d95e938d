#include <gtest/gtest.h>

#include "NotesStandInFixture.h"

namespace {

TEST(NotesStore, DatabaseWrittenIsReadBackAndDumped)
{
    NotesStandInTesting::Installation notes;
    std::vector<NotesNote> written(2);
    written[0].id = 12;
    written[0].items = {{"Form", {"Task"}}, {"Categories", {"Business", "Someday Maybe"}}, {"Empty", {""}}};
    written[1].id = 14;
    written[1].items = {{"Subject", {"a=b"}}};
    std::string path = notes.Folder() + "\\todo.nsf";
    ASSERT_TRUE(WriteNotesDatabase(path, written));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path + ".tmp").c_str()));
    std::vector<std::string> expected = {"12 Form=Task", "12 Categories=Business", "12 Categories=Someday Maybe",
                                         "12 Empty=", "14 Subject=a=b"};
    EXPECT_EQ(expected, notes.Dump("todo.nsf"));
}

TEST(NotesStore, TextsALineWouldNotKeepComeBackWhole)
{
    NotesStandInTesting::Installation notes;
    struct Row {
        const char* value;
        const char* dumped;
    } rows[] = {
        {"one\r\ntwo", "1 Body(text)=\"one\\r\\ntwo\""},
        {" padded ", "1 Body(text)=\" padded \""},
        {"C:\\new\\x\n", "1 Body(text)=\"C:\\\\new\\\\x\\n\""},
        {"C:\\new\\x", "1 Body=C:\\new\\x"},
        {"\"quoted\"", "1 Body=\"quoted\""},
    };
    for (const Row& row : rows) {
        std::vector<NotesNote> written(1);
        written[0].id = 1;
        written[0].items = {{"Body", {row.value}}};
        std::string path = notes.Folder() + "\\texts.nsf";
        ASSERT_TRUE(WriteNotesDatabase(path, written));
        std::vector<NotesNote> read;
        ASSERT_TRUE(ReadNotesDatabase(path, &read));
        ASSERT_EQ(1u, read.size());
        EXPECT_EQ(row.value, read[0].Text("Body"));
        EXPECT_EQ(std::vector<std::string>{row.dumped}, notes.Dump("texts.nsf"));
    }
}

TEST(NotesStore, UnwritableTargetKeepsNothingBehind)
{
    NotesStandInTesting::Installation notes;
    std::string folder = notes.Folder() + "\\locked.nsf";
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_FALSE(WriteNotesDatabase(folder, {}));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + ".tmp").c_str()));
}

TEST(NotesStore, IniValuesOfTheNotesSectionOnly)
{
    NotesStandInTesting::Installation notes;
    NotesStandInTesting::WriteFile(notes.IniPath(), "Stray=1\r\n[Other]\r\nLocation=no\r\n[notes]\r\n Location = Office \r\n");
    NotesIniValues values;
    ASSERT_TRUE(ReadNotesIni(notes.IniPath(), &values));
    std::string value;
    EXPECT_TRUE(FindIniValue(values, "LOCATION", &value));
    EXPECT_EQ("Office", value);
    EXPECT_FALSE(FindIniValue(values, "Stray", &value));
}

TEST(NotesStore, ServerFolders)
{
    EXPECT_EQ("servers\\Mail01_Acme", ServerFolder("Mail01/Acme"));
    EXPECT_EQ("servers\\CN_Mail01_O_Acme", ServerFolder("CN=Mail01/O=Acme"));
}

}  // namespace
