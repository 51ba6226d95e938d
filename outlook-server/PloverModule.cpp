// Plover.dll: the class table, the keys it registers and the module entry.
#include "PloverCtrl.h"
#include "PloverRes.h"
#include "QuiComRegistry.h"

namespace {

const QuiClassRegistration kPloverKeys = QuiClassRegistration("Plover Class")
                                             .ProgId("Quillmate.Plover.1", "Plover Class")
                                             .VersionIndependentProgId("Quillmate.Plover", "Plover Class")
                                             .Programmable()
                                             .InprocServer("Apartment")
                                             .Control("131473", IDB_PLOVER)
                                             .TypeLib()
                                             .Version("1.0");

const QuiClassEntry kClasses[] = {
    {&CLSID_Plover, QuiCreate<CPlover>, &kPloverKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_PLOVERLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
