// Gives each test its own HKEY_CURRENT_USER: a fresh key below the real one,
// so that tests running side by side never share settings.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>
#include <string>

class RegistryBranch : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::string("Software\\QuillmateTests\\") + info->test_suite_name() + "." + info->name();
        SHDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &m_branch, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, m_branch));
    }

    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_branch)
            RegCloseKey(m_branch);
        SHDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
    }

    HKEY m_branch = nullptr;
    std::string m_path;
};
