// QuiSpeech.ocx: the class table, the keys it registers and the module entry.
#include "QuiComRegistry.h"
#include "SpeechControl.h"

namespace {

const QuiClassRegistration kPhrasesKeys = QuiClassRegistration("Speech phrase control (stand-in)")
                                              .InprocServer("Apartment")
                                              .Control("131473", 0)
                                              .TypeLib()
                                              .Version("1.0");

const QuiClassRegistration kRichEditKeys = QuiClassRegistration("Speech rich edit control (stand-in)")
                                               .InprocServer("Apartment")
                                               .Control("131473", 0)
                                               .TypeLib()
                                               .Version("1.0");

const QuiClassEntry kClasses[] = {
    {&CLSID_QuiSpeechPhrases, QuiCreate<CSpeechPhrasesCtrl>, &kPhrasesKeys},
    {&CLSID_QuiSpeechRichEdit, QuiCreate<CSpeechRichEditCtrl>, &kRichEditKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_QuiSpeechLib, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
