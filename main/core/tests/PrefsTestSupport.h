// A preferences object over its own test's registry, with an application
// object and the language resource library as the program has them.
#pragma once
#include "OzuPrefs.h"
#include "QuiTesting.h"
#include "ClientRegistry.h"
#include "RegistryBranch.h"

#include <memory>
#include <string>

// The application object the program would have; App is default-constructible.
template <class App>
class PrefsFixtureOf : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        m_library = ::LoadLibraryA("QuiRes1033.dll");
        ASSERT_NE(nullptr, m_library);
        AfxSetResourceHandle(m_library);
        m_settings = std::make_unique<ClientRegistry>();
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
    }

    void TearDown() override
    {
        m_prefs.reset();
        m_settings.reset();
        AfxSetResourceHandle(AfxGetInstanceHandle());
        if (m_library)
            ::FreeLibrary(m_library);
        RegistryBranch::TearDown();
    }

    // A number below "Software\Quillmate\Client" ("" for the key itself).
    void SetNumber(const char* subKey, const char* name, DWORD value)
    {
        ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, kClientKey + subKey, name, value));
    }

    // Settings made again, so that they read what the registry now holds,
    // and the preferences loaded from them.
    void ReloadSettings()
    {
        m_prefs.reset();
        m_settings = std::make_unique<ClientRegistry>();
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
        m_prefs->Load();
    }

    const std::string kClientKey = "Software\\Quillmate\\Client\\";
    App m_app;
    HMODULE m_library = nullptr;
    std::unique_ptr<ClientRegistry> m_settings;
    std::unique_ptr<COzuPrefs> m_prefs;
};

class NamedTestApp : public CWinApp {
public:
    NamedTestApp() : CWinApp("Quillmate test") {}
};

using PrefsFixture = PrefsFixtureOf<NamedTestApp>;
