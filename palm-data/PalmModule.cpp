#include "PalmModule.h"

#include <memory>

// Lark.dll and Linnet.dll are built from this one source; each finds its own
// resources by its own file name.
#ifndef PALM_MODULE_NAME
#error PALM_MODULE_NAME names the library file
#endif

namespace {

// Not made while the library loads: making it may tell the user that the
// current user has no data, and no window may wait under the loader's lock.
std::unique_ptr<PalmAccessManager> g_palmAccess;

} // namespace

PalmAccessManager& GetPalmAccessManager()
{
    if (!g_palmAccess)
        g_palmAccess.reset(new PalmAccessManager(PALM_MODULE_NAME));
    return *g_palmAccess;
}
