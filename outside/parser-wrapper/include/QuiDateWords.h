// The words of the date grammar's client symbols: day and month names and
// abbreviations and the am/pm markers of the user's locale, English for the
// rest, each with the slots its symbol carries.
#pragma once
#include "Osprey.h"

void AddDateWords(PrsParser* parser);
