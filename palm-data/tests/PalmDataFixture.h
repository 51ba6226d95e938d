// A Palm Desktop in the test prefix with users whose data exist, and the
// access manager the data library would make over it.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "PalmAccessManager.h"
#include "DateValue.h"
#include "PalmDesktopFixture.h"

#include <ctime>

class PalmDataTest : public ::testing::Test {
protected:
    // Zoe (the current user) and Bob have data; Adam has none.
    PalmDataTest()
    {
        zoeId = desktop.AddUser("Zoe", "ZoeD");
        desktop.AddUser("Adam", "AdamD", false);
        bobId = desktop.AddUser("Bob", "BobD");
        desktop.SetLastUser("Zoe");
    }

    std::unique_ptr<PalmAccessManager> Manager(const char* module = "Lark.dll")
    {
        return std::unique_ptr<PalmAccessManager>(new PalmAccessManager(module));
    }

    std::string ZoeFile(const char* table) const { return std::string("ZoeD\\") + table; }
    std::string DumpZoe(const char* table) const { return desktop.Dump(ZoeFile(table)); }
    std::string BytesOfZoe(const char* table) const { return PalmTesting::ReadFileBytes(desktop.File(ZoeFile(table))); }

    PalmTesting::TestDesktop desktop;
    unsigned long zoeId = 0;
    unsigned long bobId = 0;
};

// The table files below a user's folder.
#define TODO_FILE "todo\\todo.dat"
#define MEMO_FILE "memopad\\memopad.dat"
#define DATEBOOK_FILE "datebook\\datebook.dat"
#define ADDRESS_FILE "address\\address.dat"

// An automation date of a local moment, and the table's seconds for it.
inline double OleDate(int year, int month, int day, int hour = 0, int minute = 0)
{
    return static_cast<double>(DaysFromCivil(year, month, day) + 25569) + (hour * 60 + minute) / 1440.0;
}

inline long LocalSeconds(int year, int month, int day, int hour = 0, int minute = 0)
{
    struct tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return static_cast<long>(mktime(&local));
}

inline std::string Number(long value)
{
    return std::to_string(value);
}
