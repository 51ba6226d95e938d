// The stand-in of the web browser automation object (IWebBrowser2).
#pragma once
#include <windows.h>
#include <exdisp.h>

#include "QuiComObject.h"

extern const CLSID CLSID_WebBrowserStandIn;

HRESULT CreateWebBrowserStandIn(REFIID riid, void** ppv);
