// The date and time fields: reading and writing their dates, the calendar
// pop-up and its keys.
#include "DateDrop.h"

#include "DateValue.h"
#include "DropsTestSupport.h"
#include "FrameworkUtil.h"

#include <cmath>
#include <ctime>

using namespace drops_test;

namespace {

const DATE kChristmas = 46016.0;   // 2025-12-25
const DATE kHalfPastThreePm = 0.6458333333333334;

// Today's date, read once: the rows built from it cannot straddle midnight.
DATE Today()
{
    static const DATE today = [] {
        time_t now = time(nullptr);
        struct tm t = *localtime(&now);
        return static_cast<double>(DaysFromCivil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday)) + 25569.0;
    }();
    return today;
}

std::string Formatted(DATE d, bool time)
{
    CString text;
    if (time)
        FormatVariantTime(d, text);
    else
        FormatVariantDate(d, text);
    return text.GetString();
}

class DateDropTest : public DropFixture {
protected:
    void SetUp() override
    {
        DropFixture::SetUp();
        ASSERT_TRUE(field.Create(10, 10, 0, &host, 301));
        field.ShowWindow(SW_SHOW);
        prop.reset(new FlagsOnlyProp(&field));
    }
    // The calendar, dropped down.
    CQuillmateDateDrop* Open()
    {
        field.DropDown();
        CQuillmateDateDrop* popup = field.GetPopup();
        EXPECT_NE(nullptr, popup);
        return popup;
    }
    CDateDrop field;
    std::unique_ptr<FlagsOnlyProp> prop;
};

} // namespace

TEST_F(DateDropTest, GetDateReadsTheText)
{
    struct Row {
        const char* text;
        DATE entry;
        DATE expected;
    } rows[] = {
        {"", 0.0, -1.0},
        {"", -3.0, -1.0},
        {"xq zzv", 0.0, -2.0},
        {"3 pm", 0.0, Today()},
        {"3 pm", -3.0, -3.0},
        {"xq zzv", -3.0, -3.0},
    };
    for (const Row& row : rows) {
        field.SetText(row.text);
        DATE d = row.entry;
        field.GetDate(&d);
        EXPECT_EQ(row.expected, d) << "\"" << row.text << "\" from " << row.entry;
        EXPECT_EQ(row.text, std::string(field.GetText())) << "unreadable text stays";
    }
}

TEST_F(DateDropTest, SetDateFormatsOrEmpties)
{
    struct Row {
        DATE d;
        std::string text;
    } rows[] = {
        {kChristmas, Formatted(kChristmas, false)},
        {-1.0, ""},
        {-2.0, ""},
        {-3.0, ""},
    };
    for (const Row& row : rows) {
        field.SetText("something");
        field.SetDate(row.d);
        EXPECT_EQ(row.text, std::string(field.GetText())) << row.d;
    }
    ASSERT_NE("", Formatted(kChristmas, false));
}

// Every date of the year and every time of the day shows whole in the
// user's format: the fields widen beyond their 36 and 30 dialog units.
TEST_F(DateDropTest, EveryDateAndTimeShowsWhole)
{
    CTimeEdit time;
    ASSERT_TRUE(time.Create(10, 40, 0, &host, 302));
    CRect r;
    field.GetWindowRect(r);
    EXPECT_LE(DluToPixelsX(&host, 36), r.Width());
    for (int month = 1; month <= 12; month++) {
        for (int day : {1, 28}) {
            field.SetDate(COleDateTime(2027, month, day, 0, 0, 0).m_dt);
            EXPECT_TRUE(EditShowsWhole(field.GetEdit())) << field.GetText().GetString();
        }
    }
    for (int hour = 0; hour < 24; hour++) {
        time.SetTime(COleDateTime(1899, 12, 30, hour, 59, 0).m_dt);
        EXPECT_TRUE(EditShowsWhole(time.GetEdit())) << time.GetText().GetString();
    }
}

TEST_F(DateDropTest, TimesReadAndWrite)
{
    struct Row {
        const char* text;
        DATE expected;
    } rows[] = {
        {"", -1.0},
        {"3 pm", 0.625},
        {"whenever", -2.0},
    };
    CTimeEdit time;
    ASSERT_TRUE(time.Create(10, 40, 0, &host, 302));
    EXPECT_EQ(nullptr, time.GetDropButton().GetSafeHwnd());
    CRect r;
    time.GetWindowRect(r);
    EXPECT_LE(DluToPixelsX(&host, 30), r.Width());
    for (const Row& row : rows) {
        time.SetText(row.text);
        DATE t = -3.0;
        time.GetTime(&t);
        EXPECT_EQ(row.expected, t) << row.text;
    }
    time.SetTime(kHalfPastThreePm);
    EXPECT_EQ(Formatted(kHalfPastThreePm, true), std::string(time.GetText()));
    time.SetTime(-2.0);
    EXPECT_EQ("", std::string(time.GetText()));
}

TEST_F(DateDropTest, PickingADayFillsTheFieldAndTellsTheAdaptor)
{
    CQuillmateDateDrop* popup = Open();
    ASSERT_NE(nullptr, popup);
    EXPECT_TRUE(popup->IsWindowVisible());
    EXPECT_FALSE(field.GetDropButton().IsWindowEnabled()) << "no second drop-down while it shows";
    EXPECT_EQ(Today(), std::floor(static_cast<DATE>(popup->GetDate()))) << "an empty field opens on today";

    NMSELCHANGE pick = {};
    pick.nmhdr.hwndFrom = popup->GetCalendar().GetSafeHwnd();
    pick.nmhdr.idFrom = CQuillmateDateDrop::IDC_CALENDAR;
    pick.nmhdr.code = MCN_SELECT;
    COleDateTime(kChristmas + 0.5).GetAsSystemTime(pick.stSelStart);
    pick.stSelEnd = pick.stSelStart;
    popup->SendMessage(WM_NOTIFY, CQuillmateDateDrop::IDC_CALENDAR, reinterpret_cast<LPARAM>(&pick));

    EXPECT_EQ(Formatted(kChristmas, false), std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED, prop->GetFlags());
    EXPECT_FALSE(popup->IsWindowVisible());
    EXPECT_TRUE(field.GetDropButton().IsWindowEnabled());
}

TEST_F(DateDropTest, EscapeChangesNothing)
{
    field.SetDate(kChristmas);
    CQuillmateDateDrop* popup = Open();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(kChristmas, static_cast<DATE>(popup->GetDate())) << "the calendar opens on the field's date";
    Press(popup->GetCalendar().GetSafeHwnd(), VK_ESCAPE);
    EXPECT_FALSE(popup->IsWindowVisible());
    EXPECT_EQ(Formatted(kChristmas, false), std::string(field.GetText()));
    EXPECT_EQ(0, prop->GetFlags());
    EXPECT_TRUE(IsFocusWithin(&field));
}

TEST_F(DateDropTest, ReturnTakesTheCalendarsDayAtMidnight)
{
    CQuillmateDateDrop* popup = Open();
    ASSERT_NE(nullptr, popup);
    Press(popup->GetCalendar().GetSafeHwnd(), VK_RETURN);
    EXPECT_FALSE(popup->IsWindowVisible());
    EXPECT_EQ(Formatted(Today(), false), std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED, prop->GetFlags());
}

TEST_F(DateDropTest, AltDownOpensTheCalendar)
{
    field.GetEdit().SetFocus();
    Press(field.GetEdit().GetSafeHwnd(), VK_DOWN);
    EXPECT_EQ(nullptr, field.GetPopup()) << "a plain Down moves nothing in a typed field";
    Press(field.GetEdit().GetSafeHwnd(), VK_DOWN, true);
    ASSERT_NE(nullptr, field.GetPopup());
    EXPECT_TRUE(field.GetPopup()->IsWindowVisible());
}

TEST_F(DateDropTest, PickOnlyFieldOpensAndEmptiesByKey)
{
    field.SetDate(kChristmas);
    field.GetEdit().EnableWindow(FALSE);
    field.SetFocus();
    EXPECT_TRUE(field.GetEdit().GetExStyle() & WS_EX_STATICEDGE) << "the focus shows on a pick-only field";
    Press(field.GetSafeHwnd(), VK_DELETE);
    EXPECT_EQ("", std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED | CDestProp::FLAG_USER_EMPTIED, prop->GetFlags());
    Press(field.GetSafeHwnd(), VK_SPACE);
    ASSERT_NE(nullptr, field.GetPopup());
    EXPECT_TRUE(field.GetPopup()->IsWindowVisible());
    EXPECT_FALSE(field.IsWindowEnabled()) << "a pick-only field rests while its calendar shows";
    Press(field.GetPopup()->GetCalendar().GetSafeHwnd(), VK_ESCAPE);
    EXPECT_TRUE(field.IsWindowEnabled());
}
