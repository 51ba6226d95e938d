// The library's effective proxy settings, process-wide: the system's
// Internet settings when they enable a proxy, else the library's own key.
// Read once, on first use; the dialog's OK makes the own settings final.
#pragma once
#include "QuiInet.h"

namespace shrike {

const QuiProxyInfo& EffectiveProxy();

// Takes the flags, bypass list and proxy text of info as the library's own
// settings: written to its key at once, then read back into force.
void AdoptOwnProxy(const QuiProxyInfo& info);

}
