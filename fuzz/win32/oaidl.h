// The automation types, as the system's oaidl.h gives them with oleauto.h.
#pragma once
#include "oleauto.h"
