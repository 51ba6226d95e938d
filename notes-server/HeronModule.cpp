// Heron.dll: the class table, the keys it registers and the module entry.
#include "HeronDispIds.h"
#include "HeronErrors.h"
#include "HeronObject.h"
#include "QuiComRegistry.h"

namespace {

const QuiClassRegistration kHeronKeys = QuiClassRegistration("Quillmate Heron Class")
                                            .ProgId(HERON_PROGID, "Quillmate Heron R5 Object")
                                            .VersionIndependentProgId(HERON_VERSION_INDEPENDENT_PROGID,
                                                                      "Quillmate Heron Object")
                                            .Programmable()
                                            .InprocServer("Apartment");

const QuiClassEntry kClasses[] = {
    {&CLSID_Heron, QuiCreate<CHeron>, &kHeronKeys},
    {},
};

// The type library stays registered when the server is unregistered.
const QuiServerInfo kServer = {kClasses, &LIBID_HERONLib, false};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetHeronResourceModule(instance);
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
