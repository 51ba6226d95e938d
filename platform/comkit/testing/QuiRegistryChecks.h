// Checks of what a server's registration left under HKEY_CLASSES_ROOT, one
// failure per wrong key, naming it.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuiComTesting.h"

namespace QuiComTesting {

// The platform key a type library registers under: the library's own kind.
#ifdef _WIN64
constexpr const char* kTypeLibPlatform = "win64";
#else
constexpr const char* kTypeLibPlatform = "win32";
#endif

struct RegEntry {
    std::string key;
    const char* value;  // "" names the default value
    std::string text;   // "<key>": the key exists, whatever its values
};

inline void ExpectEntries(const std::vector<RegEntry>& rows)
{
    for (const RegEntry& row : rows) {
        SCOPED_TRACE(row.key + " " + row.value);
        if (row.text == "<key>")
            EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, row.key));
        else
            EXPECT_EQ(row.text, RegText(HKEY_CLASSES_ROOT, row.key, row.value));
    }
}

inline void ExpectGone(const std::vector<std::string>& keys)
{
    for (const std::string& key : keys) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key));
    }
}

}  // namespace QuiComTesting
