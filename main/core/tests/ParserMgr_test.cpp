// The parser manager over the real packages: which packages load from the
// registry, sinks by item type and order, stale contexts, and the one-off
// date parse.
#include "ParserMgrFixture.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"
#include "DateValue.h"
#include "RegistryBranch.h"

#include <cmath>
#include <string>
#include <vector>

using namespace parse_test;

namespace {

std::string GetPackage(const char* name)
{
    char value[260] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kPackagesKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "<none>";
    return value;
}

// Records "name:event:tag" and throws when told to.
class RecordingSink : public QuiParseResultSink {
public:
    RecordingSink(const char* name, std::vector<std::string>* log, bool throws = false)
        : throws(throws), m_name(name), m_log(log)
    {
    }
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase) override
    {
        m_log->push_back(m_name + ":" + std::to_string(kind) + ":" + std::to_string(role->getTag()));
        last = keyphrase;
        if (throws)
            throw QUI_PARSE_RESULT_EXCEPTION();
    }
    QuiPrsKeyphrase* last = nullptr;
    bool throws;

private:
    std::string m_name;
    std::vector<std::string>* m_log;
};

} // namespace

TEST_F(ParserMgrTest, PackagesLoadFromTheRegistryInTheirOrder)
{
    std::string alias = PackagePath("QuiPrsAliasPackageD.dll");
    struct Row {
        const char* date;
        const char* contact;
        const char* actions;
        std::vector<std::string> loaded;
    } rows[] = {
        {nullptr, nullptr, nullptr, {"Alias"}},
        {"Curlew.dll", "alias", "alias", {"Date", "Contact", "Actions", "Alias"}},
        // A missing Date file leaves the others loading.
        {"NoSuchDatePackage.dll", "alias", "alias", {"Contact", "Actions", "Alias"}},
        {"Curlew.dll", "", "", {"Date", "Alias"}},
    };
    for (const Row& row : rows) {
        if (row.date)
            SetPackage("Date", std::string(row.date) == "Curlew.dll" ? PackagePath("Curlew.dll") : row.date);
        if (row.contact)
            SetPackage("Contact", *row.contact ? alias : "");
        if (row.actions)
            SetPackage("Actions", *row.actions ? alias : "");
        QuiParserMgr manager(kestrel.get());
        EXPECT_EQ(0, manager.Initialize());
        EXPECT_EQ(row.loaded, manager.GetLoadOrder()) << (row.date ? row.date : "defaults");
    }
    // The table writes its defaults back: they are in the registry after a run.
    EXPECT_EQ("QuiPrsAliasPackageD.dll", GetPackage("Alias"));
    EXPECT_EQ("", GetPackage("Contact"));
}

TEST_F(ParserMgrTest, WithoutAParserEverythingIsRefused)
{
    QuiParserMgr manager(nullptr);
    QuiPrsContext* context = nullptr;
    EXPECT_EQ(0, manager.Initialize());
    EXPECT_TRUE(manager.GetLoadOrder().empty());
    EXPECT_EQ(5002, manager.CreateContext(&context));
    EXPECT_EQ(5002, manager.Parse("tomorrow", context));
    EXPECT_EQ(5002, manager.DestroyContext(context));
    EXPECT_EQ(5002, manager.LoadPackage(PackagePath("Curlew.dll").c_str(), "Date", nullptr, nullptr, 0));
    DATE date = 7.0;
    EXPECT_FALSE(ParseDate("3 pm", &date, TRUE));   // no application
    TestApp app;
    EXPECT_FALSE(ParseTimeText("3 pm", &date));     // an application without a manager
    app.manager = &manager;
    EXPECT_FALSE(ParseTimeText("3 pm", &date));     // a manager without a parser
    EXPECT_EQ(7.0, date);
}

TEST_F(ParserMgrTest, SinksGetTheirTypesInRegistrationOrder)
{
    Ready();
    std::vector<std::string> log;
    RecordingSink first("first", &log, true), second("second", &log), category("category", &log),
        contact("contact", &log);
    QuiPrsContext* context = nullptr;
    ASSERT_EQ(0, manager->CreateContext(&context));
    ASSERT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), &first));
    ASSERT_TRUE(manager->RegisterSink("Alias", context, Type(kTodoCategoryType), &category));
    ASSERT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), &second));
    ASSERT_TRUE(manager->RegisterSink("Alias", context, Type(kContactType), &contact));

    struct Row {
        const char* text;
        bool firstThrows;
        int result;
        std::vector<std::string> log;
    } rows[] = {
        // A throwing first sink does not keep the second from the role, but
        // fails the parse: the next one offers the keyphrase to both again.
        {"call the bank tomorrow", true, QUI_PARSER_FAILED, {"first:1:6", "second:1:6", "first:1:5", "second:1:5"}},
        {"please call the bank tomorrow", false, QUI_PARSER_OK,
         {"first:2:6", "second:2:6", "first:2:5", "second:2:5", "first:1:6", "second:1:6", "first:1:5", "second:1:5"}},
        {"please call the bank tomorrow!", false, QUI_PARSER_OK, {}},
        {"Business lunch", false, QUI_PARSER_OK, {"first:2:6", "second:2:6", "first:2:5", "second:2:5", "category:1:0"}},
        {"Business lunch with Robin Hale", false, QUI_PARSER_OK, {"contact:1:0"}},
    };
    for (const Row& row : rows) {
        log.clear();
        first.throws = row.firstThrows;
        EXPECT_EQ(row.result, manager->Parse(row.text, context)) << row.text;
        EXPECT_EQ(row.log, log) << row.text;
    }
    // Every keyphrase is marked with the package's bold template.
    ASSERT_NE(nullptr, contact.last);
    auto* mark = static_cast<KEYPHRASE_DATA*>(contact.last->getUserData());
    ASSERT_NE(nullptr, mark);
    EXPECT_EQ(84u, mark->cbSize);
    EXPECT_EQ(static_cast<DWORD>(CFM_BOLD), mark->dwMask);
    EXPECT_EQ(static_cast<DWORD>(CFE_BOLD), mark->dwEffects);
    EXPECT_EQ(0, manager->DestroyContext(context));
}

TEST_F(ParserMgrTest, KeyphraseObjectsAndOffsetsAcrossEdits)
{
    Ready();
    std::vector<std::string> log;
    RecordingSink sink("date", &log);
    QuiPrsContext* context = DateContext(&sink);
    manager->Parse("call the bank tomorrow", context);
    QuiPrsKeyphrase* tomorrow = sink.last;
    int first = 0, last = 0;
    tomorrow->getOffsets(&first, &last);
    EXPECT_EQ(14, first);
    EXPECT_EQ(21, last);
    manager->Parse("so call the bank tomorrow", context);
    EXPECT_EQ(tomorrow, sink.last);
    tomorrow->getOffsets(&first, &last);
    EXPECT_EQ(17, first);
    manager->Parse("so call the bank", context);
    EXPECT_EQ(tomorrow, sink.last);
    EXPECT_EQ("date:2:5", log.back());
    manager->UnregisterSink("Date", context, &sink);
}

TEST_F(ParserMgrTest, StaleContextsAreRefused)
{
    Ready();
    std::vector<std::string> log;
    RecordingSink a("a", &log), b("b", &log);
    QuiPrsContext* context = DateContext(&a);
    manager->RegisterSink("Date", context, Type(kDateType), &b);
    EXPECT_TRUE(manager->UnregisterSink("Date", context, &a));
    EXPECT_EQ(0, manager->Parse("tomorrow", context));
    EXPECT_EQ((std::vector<std::string>{"b:1:6", "b:1:5"}), log);

    // The last sink takes the context with it; the note still holds it.
    EXPECT_TRUE(manager->UnregisterSink("Date", context, &b));
    log.clear();
    EXPECT_EQ(5004, manager->Parse("today", context));
    EXPECT_FALSE(manager->RegisterSink("Date", context, Type(kDateType), &a));
    EXPECT_FALSE(manager->UnregisterSink("Date", context, &a));
    EXPECT_EQ(0, manager->DestroyContext(context));
    EXPECT_TRUE(log.empty());
}

// Unregisters itself, the context's last sink, on its first role of one kind.
class LeavingSink : public QuiParseResultSink {
public:
    LeavingSink(QuiParserMgr* manager, QuiPrsContext** context, int kind)
        : m_manager(manager), m_context(context), m_kind(kind)
    {
    }
    void Callback(int kind, QuiPrsItemRole*, QuiPrsKeyphrase*) override
    {
        if (kind != m_kind)
            return;
        ++calls;
        m_manager->UnregisterSink("Date", *m_context, this);
    }
    int calls = 0;

private:
    QuiParserMgr* m_manager;
    QuiPrsContext** m_context;
    int m_kind;
};

TEST_F(ParserMgrTest, ASinkMayLeaveDuringTheParse)
{
    Ready();
    // Two date keyphrases, each with two roles: only the first role of the
    // kind is heard.
    struct Row {
        int kind;
        const char* before;
        const char* after;
    } rows[] = {
        {1, "", "today or tomorrow at noon"},
        {2, "today or tomorrow at noon", "or"},
        {2, "today or tomorrow at noon", ""},
        {3, "today or tomorrow at noon", "well, today or tomorrow at noon"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.kind << " " << row.before << " / " << row.after);
        QuiPrsContext* context = nullptr;
        LeavingSink sink(manager.get(), &context, row.kind);
        context = DateContext(&sink);
        EXPECT_EQ(0, manager->Parse(row.before, context));
        EXPECT_EQ(0, manager->Parse(row.after, context));
        EXPECT_EQ(1, sink.calls);
        EXPECT_FALSE(manager->HasContext(context));
        EXPECT_EQ(5004, manager->Parse("today", context));
    }
}

TEST_F(ParserMgrTest, ALongTextParses)
{
    Ready();
    std::vector<std::string> log;
    RecordingSink sink("date", &log);
    QuiPrsContext* context = DateContext(&sink);
    std::string text(4992, 'x');
    for (size_t i = 7; i < text.size(); i += 8)
        text[i] = ' ';
    text += "tomorrow";
    ASSERT_EQ(5000u, text.size());
    EXPECT_EQ(0, manager->Parse(text.c_str(), context));
    ASSERT_NE(nullptr, sink.last);
    int first = 0, last = 0;
    sink.last->getOffsets(&first, &last);
    EXPECT_EQ(4992, first);
    EXPECT_EQ(4999, last);
    manager->DestroyContext(context);
}

TEST_F(ParserMgrTest, ParseDateGivesTimeOfDayOrMidnight)
{
    Ready();
    time_t now = time(nullptr);
    struct tm t = *localtime(&now);
    // Automation day number of today's local date.
    double day = static_cast<double>(DaysFromCivil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday)) + 25569.0;
    struct Row {
        const char* text;
        BOOL timeOfDay;
        BOOL found;
        double date;
    } rows[] = {
        {"3 pm", TRUE, TRUE, 0.625},
        {"call at noon", TRUE, TRUE, 0.5},
        {"nothing to see", TRUE, FALSE, 99.0},
        {"", FALSE, FALSE, 99.0},
    };
    TestApp app;
    app.manager = manager.get();
    for (const Row& row : rows) {
        DATE date = 99.0;
        EXPECT_EQ(row.found, (row.timeOfDay ? ParseTimeText : ParseDateText)(row.text, &date)) << row.text;
        EXPECT_DOUBLE_EQ(row.date, date) << row.text;
    }
    DATE midnight = 0.0;
    ASSERT_TRUE(ParseDateText("3 pm", &midnight));
    EXPECT_EQ(day, midnight);
}

TEST_F(ParserMgrTest, AParseTheEngineRefusesFails)
{
    Ready();
    // The engine refuses to parse a context from inside its own parse.
    struct Reentrant : QuiParseResultSink {
        void Callback(int, QuiPrsItemRole*, QuiPrsKeyphrase*) override
        {
            if (nested == -1)
                nested = manager->Parse("today", context);
        }
        QuiParserMgr* manager = nullptr;
        QuiPrsContext* context = nullptr;
        int nested = -1;
    } sink;
    sink.manager = manager.get();
    sink.context = DateContext(&sink);
    manager->Parse("tomorrow", sink.context);
    EXPECT_EQ(QUI_PARSER_FAILED, sink.nested);
}
