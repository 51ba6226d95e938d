// What a test tells the stand-in, under HKEY_CURRENT_USER
// "Software\QuillmateStandIns\Outlook":
//   "Store"          REG_SZ     path of the message store file
//   "LogonFailures"  REG_DWORD  how many logons still fail (0xFFFFFFFF: all)
//   "KnownNames"     REG_MULTI_SZ  the address book: names that resolve
//   "FailCalls"      REG_MULTI_SZ  calls that fail, as "_TaskItem.Save"
//   "Categories"     REG_MULTI_SZ  the store's master category list
//   "Version"        REG_SZ     the Outlook version served, as "8.0"; none: the latest
//   "Session"        REG_DWORD  how often Outlook was closed; objects of an earlier session are gone
//   "ClosedAnswer"   REG_DWORD  what objects of a closed session answer (default RPC_E_DISCONNECTED)
//   "GuardAnswers"   REG_SZ     the object model guard is on: the user's answers to its prompts, in
//                               order, 'y' or 'n'; once they are used up every prompt is allowed
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#define STANDIN_SETTINGS_KEY "Software\\QuillmateStandIns\\Outlook"
#define STANDIN_LOGON_ALWAYS_FAILS 0xFFFFFFFFu
// Set by outlook.exe when it has started, for whoever waits for it.
#define STANDIN_STARTED_EVENT "QuillmateOutlookStandInStarted"

namespace StandInSettings {

std::wstring StorePath();
// True when this logon is to fail; counts the failure down.
bool TakeLogonFailure();
// A name resolves when the address book knows it (any case) or it holds "@".
bool Resolves(const std::wstring& name);
// Whether the call named "<interface>.<member>" is to fail.
bool CallFails(const char* call);
std::vector<std::wstring> MasterCategories();

// The version told, as major * 100 + minor (8.0 is 800); the latest when none.
int Version();

// The session objects are made in; closing Outlook as a user does starts the next.
DWORD Session();
bool CloseSession();
HRESULT ClosedAnswer();

enum class GuardAnswer { Off, Allowed, Refused };
// The user's answer to the guard's prompt for a protected call; takes it from the list.
GuardAnswer TakeGuardAnswer();

}  // namespace StandInSettings
