// The fixture of the browser driver tests: COM on the thread, the language
// library as the resource source (the DDE topics and services are its
// strings), and the browser stand-ins installed in the prefix.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <afxquill.h>

#include <string>
#include <vector>

#include "BrowserStandInFixture.h"
#include "QuiComTesting.h"

class BrowserTest : public ::testing::Test {
protected:
    BrowserTest() : m_resources(LoadLibraryA("QuiRes1033.dll")), m_previous(AfxGetResourceHandle())
    {
        if (m_resources)
            AfxSetResourceHandle(m_resources);
    }
    ~BrowserTest() override
    {
        AfxSetResourceHandle(m_previous);
        if (m_resources)
            FreeLibrary(m_resources);
    }
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(m_apartment.Result()));
        ASSERT_NE(nullptr, m_resources) << "QuiRes1033.dll";
    }

    // The log lines of the stand-ins, each cut to its first `length` characters.
    std::vector<std::string> Starts(const std::string& prefix, size_t length) const
    {
        std::vector<std::string> lines;
        for (const std::string& line : m_standIns.Lines(prefix))
            lines.push_back(line.substr(0, length));
        return lines;
    }

    QuiComTesting::Apartment m_apartment;
    HMODULE m_resources;
    HINSTANCE m_previous;
    BrowserStandInTesting::Installation m_standIns;
};
