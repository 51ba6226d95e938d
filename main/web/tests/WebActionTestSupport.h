// Helpers of the tests that run web actions: a temporary folder of the
// test's own (the page lives there, and other test processes delete pages
// in theirs), connectors read from a text, and actions to run.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "QuiTesting.h"
#include "WebActionHandler.h"
#include "WebTestSupport.h"

// Connector "Test": a GET URL, a GET spelt in small letters, an HTML page
// posted, and a template without METHOD, which is written as a page too.
const char kTestConnectors[] =
    "<CONNECTOR MENUSTRING=\"Test\">\n"
    "<SUBTYPE MENUSTRING=\"find\" METHOD=\"GET\" ACTION=\"http://find.test/?q=$:querystring&who=$:fname$:plus$:lname\" >\n"
    "</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"second word\" METHOD=\"get\" ACTION=\"http://find.test/$:querystringword2\" >\n"
    "</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"page\" METHOD=\"POST\" >\n"
    "<HTML><BODY><INPUT value=\"$:querystring\">$:fname on $:startmonth $:startdaynum</BODY></HTML>\n"
    "</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"no method\" ACTION=\"plain $:fname\" >\n"
    "</SUBTYPE>\n"
    "</CONNECTOR>\n"
    "<CONNECTOR MENUSTRING=\"Other\">\n"
    "<SUBTYPE MENUSTRING=\"look\" METHOD=\"GET\" ACTION=\"http://other.test/$:querystring\" >\n"
    "</SUBTYPE>\n"
    "</CONNECTOR>\n";

enum { subtypeFind, subtypeSecondWord, subtypePage, subtypeNoMethod };

// What heads every page written for the browser: the mark of the web naming
// the Internet zone, then the character set of the tests' ANSI code page.
const char kPageHead[] = "<!-- saved from url=(0014)about:internet -->\r\n"
                         "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n";

// GetTempPathA reads TMP first: the test's pages go to a folder of its own.
class OwnTempFolder {
public:
    OwnTempFolder()
    {
        char previous[MAX_PATH] = "";
        m_hadPrevious = GetEnvironmentVariableA("TMP", previous, MAX_PATH) != 0;
        m_previous = previous;
        char current[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, current);
        m_folder = std::string(current) + "\\" + TestFileName("-temp");
        CreateDirectoryA(m_folder.c_str(), nullptr);
        SetEnvironmentVariableA("TMP", m_folder.c_str());
    }
    ~OwnTempFolder()
    {
        SetEnvironmentVariableA("TMP", m_hadPrevious ? m_previous.c_str() : nullptr);
        QuiTesting::RemoveFolder(m_folder);
    }
    OwnTempFolder(const OwnTempFolder&) = delete;
    OwnTempFolder& operator=(const OwnTempFolder&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string Path(const std::string& name) const { return m_folder + "\\" + name; }
    // The names of the files in the folder, in the order found.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((m_folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::string m_folder;
    std::string m_previous;
    bool m_hadPrevious = false;
};

// A current folder of the test's own: the offline list keeps its cache file
// there, which other test processes must not read.
class OwnCurrentFolder {
public:
    OwnCurrentFolder()
    {
        GetCurrentDirectoryA(MAX_PATH, m_home);
        m_folder = std::string(m_home) + "\\" + TestFileName("-current");
        QuiTesting::RemoveFolder(m_folder);
        CreateDirectoryA(m_folder.c_str(), nullptr);
        SetCurrentDirectoryA(m_folder.c_str());
    }
    ~OwnCurrentFolder()
    {
        SetCurrentDirectoryA(m_home);
        QuiTesting::RemoveFolder(m_folder);
    }
    OwnCurrentFolder(const OwnCurrentFolder&) = delete;
    OwnCurrentFolder& operator=(const OwnCurrentFolder&) = delete;

    std::string Path(const std::string& name) const { return m_folder + "\\" + name; }

private:
    char m_home[MAX_PATH] = "";
    std::string m_folder;
};

inline void UseTestConnectors(CWebActionHandler& handler)
{
    handler.GetEnabledConnectors() = Parsed(kTestConnectors);
}

// An action of the test connectors with a profile and a query text.
inline CWebActionJug TestAction(int connector, int subtype, const char* query)
{
    CWebActionJug action;
    action.m_nConnectorIndex = connector;
    action.m_nSubtypeIndex = subtype;
    action.m_contact.SetText(CONTACTITEM::FirstName, "Ann");
    action.m_contact.SetText(CONTACTITEM::LastName, "O'Lee");
    action.SetParameter("querystring", query);
    // 2026-12-08.
    action.m_dtStartDate = 46364.0;
    return action;
}
