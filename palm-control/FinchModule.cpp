// Finch.ocx: the class table, the keys it registers and the module entry.
#include "FinchCtrl.h"
#include "FinchPropPage.h"
#include "QuiComRegistry.h"

namespace {

const QuiClassRegistration kFinchKeys = QuiClassRegistration("Quillmate Finch Module")
                                            .ProgId("Finch.FinchCtrl.1", "Quillmate Finch Module")
                                            .InprocServer("Apartment")
                                            .Control("131217", 1)
                                            .TypeLib()
                                            .Version("1.0");

const QuiClassRegistration kPageKeys = QuiClassRegistration("Quillmate Finch Property Page")
                                           .ProgId("FINCH.FinchPropPage.1", "Quillmate Finch Property Page")
                                           .InprocServer("Apartment");

const QuiClassEntry kClasses[] = {
    {&CLSID_FinchCtrl, QuiCreate<CFinchCtrl>, &kFinchKeys},
    {&CLSID_FinchPropPage, QuiCreate<CFinchPropPage>, &kPageKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_QuiFinchLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
