#include "WebActionsSettings.h"

#include <memory>

#include "ClientRegistry.h"
#include "ContactItem.h"
#include "QuillmateApp.h"

namespace {

// The application's table, or one read from the registry for the caller.
ClientRegistry* Settings(std::unique_ptr<ClientRegistry>& own)
{
    CQuillmateApp* app = QuiGetApp();
    if (ClientRegistry* settings = app ? app->GetSettings() : nullptr)
        return settings;
    own.reset(new ClientRegistry);
    return own.get();
}

const char* Text(ClientRegistry* settings, ClientRegistry::Value value)
{
    const char* text = static_cast<const char*>(settings->GetValue(value, false));
    return text ? text : "";
}

} // namespace

void ReadProfile(CONTACTITEM& profile)
{
    std::unique_ptr<ClientRegistry> own;
    ClientRegistry* settings = Settings(own);
    profile.SetText(CONTACTITEM::FirstName, Text(settings, ClientRegistry::Firstname));
    profile.SetText(CONTACTITEM::LastName, Text(settings, ClientRegistry::Lastname));
    EMAILINFO& email = profile.Email(0);
    email.SetValue(Text(settings, ClientRegistry::Email));
    email.SetLabel("email");
    email.shown = 1;
    static const struct {
        CONTACTITEM::Text text;
        ClientRegistry::Value value;
    } kAddress[] = {
        {CONTACTITEM::Address, ClientRegistry::Address}, {CONTACTITEM::City, ClientRegistry::City},
        {CONTACTITEM::State, ClientRegistry::State},     {CONTACTITEM::Country, ClientRegistry::Country},
        {CONTACTITEM::ZipCode, ClientRegistry::PostalCode},
    };
    for (const auto& line : kAddress)
        profile.SetText(line.text, Text(settings, line.value));
}

DWORD ReadActivePim()
{
    std::unique_ptr<ClientRegistry> own;
    const DWORD* value = static_cast<const DWORD*>(Settings(own)->GetValue(ClientRegistry::ActivePIM, false));
    return value ? *value : 0;
}

void ReadWebLogin(char* user, char* password, int size)
{
    std::unique_ptr<ClientRegistry> own;
    ClientRegistry* settings = Settings(own);
    lstrcpynA(user, Text(settings, ClientRegistry::Username), size);
    lstrcpynA(password, Text(settings, ClientRegistry::Password), size);
}
