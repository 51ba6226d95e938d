// The library's one access manager, made when the library is loaded and
// destroyed when it is unloaded.
#pragma once
#include "PalmAccessManager.h"

PalmAccessManager& GetPalmAccessManager();
