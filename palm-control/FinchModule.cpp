// Finch.ocx: the class table, the keys it registers and the module entry.
#include "FinchCtrl.h"
#include "QuiComRegistry.h"

namespace {

const QuiClassRegistration kFinchKeys = QuiClassRegistration("Quillmate Finch Module")
                                            .ProgId("Finch.FinchCtrl.1", "Quillmate Finch Module")
                                            .InprocServer("Apartment")
                                            .Control("131217", 1)
                                            .TypeLib()
                                            .Version("1.0");

const QuiClassEntry kClasses[] = {
    {&CLSID_FinchCtrl, QuiCreate<CFinchCtrl>, &kFinchKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_QuiFinchLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
