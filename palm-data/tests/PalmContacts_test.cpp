#include <gtest/gtest.h>

#include "PalmDataFixture.h"

using namespace PalmTesting;

namespace {

const char* const kLabels[] = {"Work:", "Home:", "Fax:", "Other:", "E-Mail:", "Main:", "Pager:", "Mobile:"};

std::string Describe(const CONTACTITEM& c)
{
    std::string text = std::string(c.GetText(CONTACTITEM::FirstName)) + "|" + c.GetText(CONTACTITEM::LastName) + "|" +
                       c.GetText(CONTACTITEM::Company) + "|" + c.GetText(CONTACTITEM::Title) + "|" +
                       c.GetText(CONTACTITEM::City) + "|";
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i)
        text += std::string(c.Email(i).GetLabel()) + c.Email(i).GetValue() + (c.Email(i).shown ? "*" : "") + ",";
    return text;
}

} // namespace

class PalmContactsTest : public PalmDataTest {
protected:
    PalmContactsTest() : lark("Lark.dll") {}
    LoadedModule lark;
};

TEST_F(PalmContactsTest, PhoneLabelsComeFromEitherModule)
{
    ASSERT_TRUE(lark.Loaded());
    LoadedModule linnet("Linnet.dll");
    ASSERT_TRUE(linnet.Loaded());
    struct Row {
        const char* module;
        size_t count;
    } rows[] = {{"Lark.dll", 8}, {"Linnet.dll", 8}, {"Missing.dll", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.module);
        auto manager = Manager(row.module);
        const CStringArray& labels = manager->Tables().Address().GetPhoneLabels();
        ASSERT_EQ(row.count, static_cast<size_t>(labels.GetSize()));
        for (size_t i = 0; i < row.count; ++i)
            EXPECT_EQ(kLabels[i], std::string(labels[static_cast<int>(i)]));
        EXPECT_EQ(row.count ? 4 : -1, manager->Tables().Address().FindPhoneLabel("E-Mail:"));
        EXPECT_EQ(-1, manager->Tables().Address().FindPhoneLabel("e-mail:"));
    }
}

TEST_F(PalmContactsTest, AddingAContactMapsLabelsAndTheShownEntry)
{
    auto manager = Manager();
    struct Row {
        const char* name;
        int shown;          // -1: none
        const char* label3;
        std::string labels; // label ids as stored
        int display;
    } rows[] = {
        {"third shown", 2, "E-Mail:", "0,1,4,3,4", 3},
        {"none shown", -1, "Mobile:", "0,1,7,3,4", 1},
        {"label unknown", 0, "Car:", "0,1,2,3,4", 1},
        {"label case differs", 4, "e-mail:", "0,1,2,3,4", 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileA(desktop.File(ZoeFile(ADDRESS_FILE)).c_str());
        desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) {
            CCategory quick(1, 9, "QuickList");
            t.GetCategoryManager()->Add(&quick);
        });
        CONTACTITEM contact;
        contact.SetText(CONTACTITEM::FirstName, "Ann");
        contact.SetText(CONTACTITEM::LastName, "Lee");
        contact.SetText(CONTACTITEM::Company, "Acme \"Tools\"");
        contact.SetText(CONTACTITEM::Custom3, "c3");
        contact.SetCategory("QuickList");
        contact.isPrivate = 1;
        const char* labels[] = {"Work:", "Home:", row.label3, "Other:", "E-Mail:"};
        for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
            contact.Email(i).SetLabel(labels[i]);
            contact.Email(i).SetValue(("v" + Number(i + 1)).c_str());
            contact.Email(i).shown = i == row.shown ? 1 : 0;
        }
        EXPECT_EQ(1, manager->AddContact(contact));
        std::string expected = "record id=1 category=1 private=1 deleted=0 archived=0 name=\"Lee\" first=\"Ann\" "
                               "title=\"\" company=\"Acme \\\"Tools\\\"\" address=\"\" city=\"\" state=\"\" zip=\"\" "
                               "country=\"\" note=\"\"";
        for (int i = 0; i < 5; ++i)
            expected += " phone" + Number(i + 1) + "=\"v" + Number(i + 1) + "\" label" + Number(i + 1) + "=" +
                        row.labels.substr(static_cast<size_t>(i) * 2, 1);
        expected += " custom1=\"\" custom2=\"\" custom3=\"c3\" custom4=\"\" display=" + Number(row.display) + "\r\n";
        const std::string dump = DumpZoe(ADDRESS_FILE);
        EXPECT_EQ(expected, dump.substr(dump.find("record ")));
    }
}

TEST_F(PalmContactsTest, ContactListSkipsRemovedAndNamelessRecords)
{
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) {
        AddPeople(t, {
                         {"Ann", "Lee", "", 0, 0, 2, "ann@example.com", 4},
                         {"", "", "Acme", 0, 0, 0, "", 1},
                         {"Old", "Friend", "", 1, 0, 1, "", 1},
                         {"Gone", "Away", "", 0, 1, 1, "", 1},
                         {"", "", "", 0, 0, 1, "555-9", 1},
                         {"Bo", "", "", 0, 0, 9, "", 12},
                     });
    });
    auto manager = Manager();
    std::vector<CONTACTITEM> contacts(1);
    EXPECT_EQ(3, manager->Tables().Address().GetContacts(contacts));
    ASSERT_EQ(3u, contacts.size());
    const std::string rows[] = {
        "Ann|Lee||Boss|Springfield|Work:555-0001,E-Mail:ann@example.com*,Fax:,Other:,E-Mail:,",
        "||Acme|Boss|Springfield|Work:555-0001,Home:,Fax:,Other:,E-Mail:,",
        "Bo|||Boss|Springfield|Work:555-0001,,Fax:,Other:,E-Mail:,",
    };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i], Describe(contacts[i]));
        EXPECT_EQ(0, contacts[i].isPrivate);
    }
    EXPECT_EQ(1, contacts[0].recordId);
    EXPECT_EQ(2, contacts[1].recordId);
    EXPECT_EQ(6, contacts[2].recordId);
}

TEST_F(PalmContactsTest, LookupByNamesOrByACompanysOwnEntry)
{
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) {
        AddPeople(t, {
                         {"Old", "Acme", "Acme", 1, 0, 1, "deleted", 1},
                         {"Ann", "", "Acme", 0, 0, 1, "ann", 1},
                         {"", "", "Acme", 0, 0, 2, "acme", 4},
                         {"Ann", "Lee", "Other Co", 0, 0, 1, "lee", 1},
                     });
    });
    auto manager = Manager();
    struct Row {
        const char* first;
        const char* last;
        const char* company;
        std::string found;   // "" when the query stays as it was
    } rows[] = {
        {"", "", "Acme", "||Acme|Boss|Springfield|Work:555-0001,E-Mail:acme*,Fax:,Other:,E-Mail:,"},
        {"Zed", "Zed", "Acme", "||Acme|Boss|Springfield|Work:555-0001,E-Mail:acme*,Fax:,Other:,E-Mail:,"},
        {"Ann", "", "Nowhere", "Ann||Acme|Boss|Springfield|Work:555-0001*,Home:ann,Fax:,Other:,E-Mail:,"},
        {"Ann", "Lee", "", "Ann|Lee|Other Co|Boss|Springfield|Work:555-0001*,Home:lee,Fax:,Other:,E-Mail:,"},
        {"ann", "lee", "", ""},
        {"Old", "Acme", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.first) + " " + row.last + " " + row.company);
        CONTACTITEM query;
        query.SetText(CONTACTITEM::FirstName, row.first);
        query.SetText(CONTACTITEM::LastName, row.last);
        query.SetText(CONTACTITEM::Company, row.company);
        query.Email(4).shown = 1;
        const std::string before = Describe(query);
        EXPECT_EQ(1, manager->Tables().Address().LookupContact(query));
        EXPECT_EQ(row.found.empty() ? before : row.found, Describe(query));
        EXPECT_EQ(row.found.empty() ? 0 : 1, query.isPrivate);
    }
    WriteFileBytes(desktop.File(ZoeFile(ADDRESS_FILE)), "junk");
    CONTACTITEM query;
    EXPECT_EQ(0, manager->Tables().Address().LookupContact(query));
}

TEST_F(PalmContactsTest, CustomLabelsOfTheAddressBook)
{
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) { t.SetCustomLabel(3, "Birthday"); });
    auto manager = Manager();
    CStringArray labels;
    labels.Add("old");
    EXPECT_EQ(1, manager->Tables().Address().GetCustomLabels(labels));
    ASSERT_EQ(4, labels.GetSize());
    EXPECT_EQ("Custom 1", std::string(labels[0]));
    EXPECT_EQ("Birthday", std::string(labels[2]));
    WriteFileBytes(desktop.File(ZoeFile(ADDRESS_FILE)), "junk");
    EXPECT_EQ(0, manager->Tables().Address().GetCustomLabels(labels));
    EXPECT_EQ(0, labels.GetSize());
}
