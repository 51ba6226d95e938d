// What the web edition tests share: the editions as the program registers
// them, the shipped web calendar connectors, the real parser manager with
// the date package, an application that opens the edition's notes, and the
// browser stand-ins that record what the web actions open.
#pragma once
#include <afxquill.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BrowserStandInFixture.h"
#include "DatastoreTestSupport.h"
#include "NoteManager.h"
#include "OzuApp.h"
#include "ParseFixture.h"
#include "QuiComTesting.h"
#include "QuiParserMgr.h"
#include "QuiTesting.h"
#include "QuillmateApp.h"
#include "TestSupport.h"
#include "URLHandler.h"
#include "WebActionTestSupport.h"
#include "WebEditions.h"
#include "DateUtil.h"
#include "FrameworkUtil.h"

namespace webedition_test {

const DWORD kExplorerDriver = 3;
const DWORD kNetscapeDriver = 4;

class EditionApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL bCascade) override
    {
        const QuiEdition* edition = QuiFindEdition(datastore->GetType());
        return edition ? OpenNote(edition->pfnCreateNote(), bCascade) : nullptr;
    }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }

    CDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
};

class CMainWnd : public CWnd {
public:
    BOOL Create() { return CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
};

// One parameter of a URL's query ("<none>" when missing), decoded as far
// as the tests need.
inline std::string UrlParameter(const std::string& url, const std::string& name)
{
    size_t query = url.find('?');
    if (query == std::string::npos)
        return "<none>";
    std::string rest = "&" + url.substr(query + 1);
    size_t at = rest.find("&" + name + "=");
    if (at == std::string::npos)
        return "<none>";
    size_t start = at + name.size() + 2;
    size_t end = rest.find('&', start);
    std::string value = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string decoded;
    for (size_t i = 0; i < value.size(); i++) {
        if (value[i] == '%' && i + 2 < value.size()) {
            decoded += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += value[i] == '+' ? ' ' : value[i];
        }
    }
    return decoded;
}

inline std::string MonthName(const COleDateTime& day)
{
    char month[100] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + day.GetMonth() - 1, month, sizeof month);
    return month;
}

// The edition's datastore as the program makes it for "ActivePIM", the
// shipped connectors in the connectors folder (the current one), the real
// parser manager over it with the date package.
class EditionFixture : public datastore_test::Datastore {
protected:
    explicit EditionFixture(DWORD activePim) : m_activePim(activePim) {}

    void SetUp() override
    {
        Datastore::SetUp();
        ASSERT_TRUE(SUCCEEDED(m_apartment.Result()));
        m_standIns.reset(new BrowserStandInTesting::Installation);
        m_temp.reset(new OwnTempFolder);
        BrowserStandInTesting::SetBrowserSetting(m_browser);
        EXPECT_TRUE(
            QuiTesting::SetRegNumber(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", "ActivePIM", m_activePim));
        SetSetting("Username", "ann");
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Parser\\Packages", "Date",
                                           parse_test::PackagePath("Curlew.dll")));
        if (m_withConnectors) {
            for (const std::string& name : m_connectors)
                WriteBytes(name, ReadBytes(m_home + std::string("\\") + Fixture(("connectors/" + name).c_str())));
        }
        QuiRegisterWebEditions();
        const int pim = static_cast<int>(m_activePim);
        const QuiEdition* edition = QuiFindEdition(pim);
        ASSERT_NE(nullptr, edition);
        store.reset(MakeDatastore(edition, pim));
        ASSERT_NE(nullptr, store);
        // The browser the datastore's handler shares lives as long as a handler does.
        ASSERT_NE(nullptr, QuiURLHandler::GetDefaultBrowser());
        const BOOL made = QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
        if (m_browser == kExplorerDriver) {
            ASSERT_TRUE(made);
        }
        app.datastore = store.get();
        ASSERT_TRUE(mainWnd.Create());
        app.m_pMainWnd = &mainWnd;
        ASSERT_TRUE(store->LoadItems());
        manager.reset(new QuiParserMgr(store->GetKestrel()));
        manager->Initialize();
        store->LoadItemDatabase();
        manager->LoadItems();
        app.manager = manager.get();
        app.CreateNoteManager();
    }

    // The row of the table and the edition number as the start-up gives them.
    virtual CDatastore* MakeDatastore(const QuiEdition* edition, int pim)
    {
        const bool named = pim >= CDatastore::typeNotes && pim <= CDatastore::typeWebCalendar;
        return edition->pfnCreateDatastore(named ? pim : CDatastore::typeWebOnlyDefault);
    }

    void TearDown() override
    {
        for (CActionNote* note : m_opened) {
            if (IsOpen(note))
                note->DestroyNoteWnd();
        }
        PumpPending();
        app.DeleteNoteManager();
        app.m_pMainWnd = nullptr;
        if (mainWnd.GetSafeHwnd())
            mainWnd.DestroyWindow();
        app.manager = nullptr;
        manager.reset();
        app.datastore = nullptr;
        store.reset();
        m_temp.reset();
        m_standIns.reset();
        QuiRegisterEdition(CDatastore::typeWebOnly, nullptr);
        QuiRegisterEdition(CDatastore::typeWebCalendar, nullptr);
        Datastore::TearDown();
    }

    CWebActionNote* Open()
    {
        auto* note = dynamic_cast<CWebActionNote*>(app.CreateNote(FALSE));
        PumpPending();
        if (note)
            m_opened.push_back(note);
        return note;
    }

    bool IsOpen(CActionNote* note)
    {
        return app.GetNoteManager() && app.GetNoteManager()->IsListed(note);
    }

    static void Type(CActionNote* note, const char* text)
    {
        note->SetNoteText(text);
        PumpPending();
    }

    static CWebDestWnd* DestWnd(CActionNote* note)
    {
        return dynamic_cast<CWebDestWnd*>(note->GetNoteWnd()->GetDestWnd());
    }

    // Ticks or unticks a pane as the user's click does.
    static void Click(CDestPane* pane)
    {
        pane->GetCheckButton()->SetChanged(TRUE);
        pane->GetCheckButton()->SetCheck(!pane->GetCheckButton()->GetCheck());
        PumpPending();
    }

    static std::string Text(CEditDrop& field) { return field.GetText().GetString(); }

    static std::string TimeText(int hour, int minute)
    {
        CString text;
        FormatVariantTime(COleDateTime(1899, 12, 30, hour, minute, 0).m_dt, text);
        return text.GetString();
    }

    static std::string DateText(const COleDateTime& day)
    {
        CString text;
        FormatVariantDate(COleDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), 0, 0, 0).m_dt, text);
        return text.GetString();
    }

    // Files the note as its file button does.
    static void File(CActionNote* note)
    {
        note->GetNoteWnd()->SendMessage(WM_COMMAND, note->GetNoteWnd()->GetDestWnd()->GetFileButton()->GetDlgCtrlID());
        PumpPending();
    }

    // Files the note answering the one message it must show, string nID;
    // a failure when it shows another or more than one.
    static void FileAnsweringOneMessage(CActionNote* note, UINT nID)
    {
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        File(note);
        ASSERT_EQ(1u, prompts.Asked().size());
        CString expected;
        expected.LoadString(nID);
        EXPECT_EQ(expected, prompts.Asked()[0].text);
    }

    // The URLs the stand-in navigated to, in order.
    std::vector<std::string> Navigated()
    {
        std::vector<std::string> urls;
        const std::string prefix = "InternetExplorer.Navigate ";
        for (const std::string& line : m_standIns->Log()) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                urls.push_back(line.substr(prefix.size(), line.find(" flags=") - prefix.size()));
        }
        return urls;
    }

    QuiComTesting::Apartment m_apartment;
    std::unique_ptr<BrowserStandInTesting::Installation> m_standIns;
    std::unique_ptr<OwnTempFolder> m_temp;
    std::unique_ptr<CDatastore> store;
    std::unique_ptr<QuiParserMgr> manager;
    CMainWnd mainWnd;
    EditionApp app;
    DWORD m_activePim;
    DWORD m_browser = kExplorerDriver;
    bool m_withConnectors = true;
    std::vector<std::string> m_connectors = {"webcalendar.xml", "mytime.xml"};
    std::vector<CActionNote*> m_opened;
};

} // namespace webedition_test
