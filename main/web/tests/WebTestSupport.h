// Helpers of the web tests: definition texts parsed in memory, files of the
// test's own, and the fixtures the build copies beside the tests.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <Kestrel.h>

#include "TestName.h"
#include "WebConnector.h"

// The shipped connectors and the test data, copied by the build.
inline std::string Fixture(const std::string& name)
{
    return "fixtures/web/" + name;
}

inline std::string TestFileName(const char* suffix)
{
    return "web-" + QuiTesting::CurrentTestName("-") + suffix;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.flush()) << path;
}

// A writable, terminated copy of text.
inline std::vector<char> TextBuffer(const std::string& text)
{
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer;
}

// The connectors of a definition text, read as from the file "test.xml".
inline CWebConnectorDefinitionFile Parsed(const std::string& text)
{
    std::vector<char> buffer = TextBuffer(text);
    CWebConnectorDefinitionFile file;
    file.ParseConnectors(buffer.data(), "test.xml");
    return file;
}

// The one subtype of a connector around the given SUBTYPE element.
inline CWebConnectorSubtype OnlySubtype(const std::string& subtype)
{
    CWebConnectorDefinitionFile file = Parsed("<CONNECTOR MENUSTRING=\"c\">\n" + subtype + "\n</CONNECTOR>");
    if (file.GetConnectors().size() != 1 || file.GetConnectors()[0].m_subtypes.size() != 1) {
        ADD_FAILURE() << "no single subtype in: " << subtype;
        return CWebConnectorSubtype();
    }
    return file.GetConnectors()[0].m_subtypes[0];
}

// The item's keywords joined by "|".
inline std::string Keywords(QuiItem* item)
{
    std::string text;
    item->keywordsFetchBegin();
    while (const char* keyword = item->keywordsFetchNext())
        text += (text.empty() ? "" : "|") + std::string(keyword);
    item->keywordsFetchEnd();
    return text;
}
