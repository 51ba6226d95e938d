// Outlook's category list as the user's Outlook settings in the registry
// hold it, for the Outlook version installed.
#pragma once
#include <windows.h>
#include <oaidl.h>

// Fills `categories` (a valid VARIANT) with an array of strings, one per
// category, or leaves it empty when no Outlook or no category key is found.
// `inStore` becomes true, with nothing read, for an Outlook that keeps the
// list in its store rather than in the registry. Answers 0, or the string id
// that tells why the list could not be read.
UINT ReadOutlookCategories(VARIANT* categories, bool* inStore);
