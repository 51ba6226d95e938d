// The three PIM editions in the program's edition table: Lotus Notes
// ("ActivePIM" 1), Palm Desktop (2) and Microsoft Outlook (3), each with its
// datastore and its note (PimNotes.h).
#pragma once

void QuiRegisterPimEditions();
