// What a test tells the stand-in, under HKEY_CURRENT_USER
// "Software\QuillmateStandIns\Outlook":
//   "Store"          REG_SZ     path of the message store file
//   "LogonFailures"  REG_DWORD  how many logons still fail (0xFFFFFFFF: all)
//   "KnownNames"     REG_MULTI_SZ  the address book: names that resolve
//   "FailCalls"      REG_MULTI_SZ  calls that fail, as "_TaskItem.Save"
//   "Categories"     REG_MULTI_SZ  the store's master category list
#pragma once
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

}  // namespace StandInSettings
