#include "ContactEmail.h"

#include <windows.h>

#include <cstring>

const char kPalmEmailLabel[] = "E-Mail:";

const EMAILINFO* ShownInListEntry(const CONTACTITEM& contact)
{
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        if (contact.Email(i).shown)
            return &contact.Email(i);
    }
    return nullptr;
}

const EMAILINFO* EmailEntry(const CONTACTITEM& contact)
{
    const EMAILINFO* shown = ShownInListEntry(contact);
    if (shown && strcmp(shown->GetLabel(), kPalmEmailLabel) == 0)
        return shown;
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        if (lstrcmpiA(contact.Email(i).GetLabel(), kPalmEmailLabel) == 0)
            return &contact.Email(i);
    }
    return nullptr;
}
