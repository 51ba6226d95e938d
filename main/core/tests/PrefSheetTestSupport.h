// The preferences sheet as the program opens it: an application object that
// hands out the test's preferences, a main window that owns the hot keys,
// and helpers that press the sheet's buttons as a click does.
#pragma once
#include "OzuPropSheet.h"
#include "PrefsTestSupport.h"
#include "QuillmateApp.h"
#include "QuiResIds.h"
#include "TestSupport.h"

#include <commctrl.h>

#include <string>

class SheetTestApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    COzuPrefs* GetPrefs() override { return prefs ? prefs->get() : nullptr; }
    std::unique_ptr<COzuPrefs>* prefs = nullptr;
};

class SheetFixture : public PrefsFixtureOf<SheetTestApp> {
protected:
    void SetUp() override
    {
        PrefsFixtureOf<SheetTestApp>::SetUp();
        m_app.prefs = &m_prefs;
        m_prefs->Load();
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        m_app.m_pMainWnd = &m_main;
    }

    void TearDown() override
    {
        if (COzuPropSheet* pSheet = m_app.m_pPrefSheet)
            pSheet->DestroyWindow();
        EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        m_other.DestroyWindow();
        m_app.prefs = nullptr;
        PrefsFixtureOf<SheetTestApp>::TearDown();
    }

    struct StoredSetting {
        const char* subKey;
        const char* name;
        DWORD value;
    };
    struct StoredTextSetting {
        const char* subKey;
        const char* name;
        const char* text;
    };

    // The program ended (its settings written back), the values put into the
    // registry, and the settings and preferences read again as a new start would.
    void Restart(std::initializer_list<StoredSetting> settings, std::initializer_list<StoredTextSetting> texts = {})
    {
        m_prefs.reset();
        m_settings.reset();
        for (const StoredSetting& setting : settings)
            SetNumber(setting.subKey, setting.name, setting.value);
        for (const StoredTextSetting& setting : texts)
            ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, kClientKey + setting.subKey, setting.name, setting.text));
        m_settings = std::make_unique<ClientRegistry>();
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
        m_prefs->Load();
    }

    COzuPropSheet* Open(int page)
    {
        EXPECT_TRUE(ShowPreferences(page));
        return m_app.m_pPrefSheet;
    }

    // What a click on one of the sheet's own buttons sends.
    void Press(int id)
    {
        COzuPropSheet* pSheet = m_app.m_pPrefSheet;
        ASSERT_NE(nullptr, pSheet);
        ::SendMessage(pSheet->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(pSheet->m_hWnd, id)));
        PumpPending();
    }

    // A click on a page's button: the check or radio moves, then the page hears of it.
    static void Click(CWnd& page, int id)
    {
        ::SendMessage(::GetDlgItem(page.m_hWnd, id), BM_CLICK, 0, 0);
        PumpPending();
    }

    static std::string ItemText(CWnd& page, int id)
    {
        CString text;
        page.GetDlgItemText(id, text);
        return text.GetString();
    }

    static bool Enabled(CWnd& page, int id) { return ::IsWindowEnabled(::GetDlgItem(page.m_hWnd, id)) != 0; }
    static bool Checked(CWnd& page, int id) { return page.IsDlgButtonChecked(id) == BST_CHECKED; }

    bool ApplyEnabled() const
    {
        return ::IsWindowEnabled(::GetDlgItem(m_app.m_pPrefSheet->m_hWnd, ID_APPLY_NOW)) != 0;
    }

    DWORD StoredNumber(const char* subKey, const char* name)
    {
        DWORD value = 0xDEADBEEF, size = sizeof value;
        ::RegGetValueA(HKEY_CURRENT_USER, (kClientKey + subKey).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                       &size);
        return value;
    }

    std::string StoredText(const char* subKey, const char* name)
    {
        char text[300] = "<none>";
        DWORD size = sizeof text;
        ::RegGetValueA(HKEY_CURRENT_USER, (kClientKey + subKey).c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                       &size);
        return text;
    }

    // A window of another program that can hold global hot keys.
    CWnd& Other()
    {
        if (!m_other.GetSafeHwnd()) {
            EXPECT_TRUE(m_other.CreateEx(0, nullptr, "other", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        }
        return m_other;
    }

    // Whether another program could take the combination of a stored value now.
    bool IsFree(DWORD value)
    {
        if (!::RegisterHotKey(Other().m_hWnd, 77, HIWORD(value) & 7, LOWORD(value)))
            return false;
        ::UnregisterHotKey(m_other.m_hWnd, 77);
        return true;
    }

    CWnd m_main;
    CWnd m_other;
};
