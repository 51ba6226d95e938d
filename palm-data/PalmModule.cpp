#include "PalmModule.h"

// Lark.dll and Linnet.dll are built from this one source; each finds its own
// resources by its own file name.
#ifndef PALM_MODULE_NAME
#error PALM_MODULE_NAME names the library file
#endif

static PalmAccessManager g_palmAccess(PALM_MODULE_NAME);

PalmAccessManager& GetPalmAccessManager()
{
    return g_palmAccess;
}
