// What the calendar destinations of every edition, desktop and web, do alike
// with the date and time phrases of a note.
#pragma once
#include <afxquill.h>

class CActionNote;
class CDateDropProp;

// A start time with its day ("monday 12:30") is one phrase: its day becomes
// the entry's date as well, unless the date holds a phrase of its own or the
// user's value (a phrase refused there would lose the mark the start gave
// it). The date takes the phrase, marked once in the note; true when taken.
bool TakeDayOfStart(CDateDropProp& date, const VARIANT& start, INT_PTR nExtra, CActionNote* note);
