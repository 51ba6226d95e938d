// The text lines the library hands back to the Palm control, one per
// category, contact or appointment, and the VARIANT lists that carry them.
// Every field stands in double quotes, with each double quote inside it
// written twice, so that the control's line splitter reads it back whole.
#pragma once
#include <afxquill.h>

#include <oaidl.h>

#include "ContactItem.h"
#include "PalmItems.h"

// How the control reads the lines: the number of fields, then one code per
// field.
extern const BYTE kContactFieldOrder[12];
extern const BYTE kCategoryFieldOrder[3];

// "name","0##id"
CString CategoryLine(const CategoryInfo& category);
// First, last, company, record id, the entry shown in lists, the e-mail,
// then each of the five entries when it is an e-mail entry. `emailLabel` is
// the label that marks an e-mail entry; empty: no entry is one.
CString ContactLine(const CONTACTITEM& contact, const CString& emailLabel);
// Start, end and alarm moment (-1 without alarm) as automation dates, 1, and
// the description.
CString DayLine(const DateBookItem& appointment);
// The moment the appointment's alarm names: its start moved by the advance in
// its unit; the start itself for a unit it does not know.
DATE AlarmMoment(const DateBookItem& appointment);

// Makes `list` (whatever it held is not freed: an out argument) an array of
// strings, one element per line in order. False when the array could not be
// made; `list` is then empty.
bool FillLineList(VARIANT* list, const CStringArray& lines);
