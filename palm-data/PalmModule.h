// The library's one access manager, made when an operation first needs it
// and destroyed when the library is unloaded.
#pragma once
#include "PalmAccessManager.h"

// Throws when the manager cannot be made; the next call tries again.
PalmAccessManager& GetPalmAccessManager();
