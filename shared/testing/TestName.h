// The running test's name, fit for a file, folder or registry key name.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace QuiTesting {

// "Suite<separator>Name"; a parameterised test's names carry slashes, which
// become underscores.
inline std::string CurrentTestName(const char* separator = ".")
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + separator + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

} // namespace QuiTesting
