// Tells the Palm Desktop stand-in to fail named calls: the environment
// variable PALM_STANDIN_FAIL lists them, separated by commas
// ("CBaseTable::Save,CUserMgr::SetDirectory"). Read at every call, so a test
// sets it for the calls it means and clears it after.
#pragma once

#define PALM_STANDIN_FAIL_VARIABLE "PALM_STANDIN_FAIL"

// True when the call's name is in the list.
bool PalmStandInFails(const char* call);
