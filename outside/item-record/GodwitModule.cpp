// Godwit.ocx: the class table, the keys it registers and the module entry.
#include "GodwitCtrl.h"
#include "QuiComRegistry.h"

namespace {

const QuiClassRegistration kGodwitKeys = QuiClassRegistration("Godwit Item Record Control")
                                             .ProgId("Godwit.GodwitCtrl.1", "Godwit Item Record Control")
                                             .VersionIndependentProgId("Godwit.GodwitCtrl", "Godwit Item Record Control")
                                             .Programmable()
                                             .InprocServer("Apartment")
                                             .Control("132497", 0)
                                             .TypeLib()
                                             .Version("1.0");

const QuiClassEntry kClasses[] = {
    {&CLSID_GodwitCtrl, QuiCreate<CGodwitCtrl>, &kGodwitKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_GodwitLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
