// Which of a contact's five phone and e-mail entries the main program is
// given: the one shown in lists, or its e-mail address.
#pragma once
#include "ContactItem.h"

// The E-Mail label as the Palm data library's label list holds it.
extern const char kPalmEmailLabel[];

// The first entry shown in lists, or null.
const EMAILINFO* ShownInListEntry(const CONTACTITEM& contact);
// The entry shown in lists when its label is the E-Mail label exactly, else
// the first whose label is that label in any case; null when none is.
const EMAILINFO* EmailEntry(const CONTACTITEM& contact);
