// The texts the automation server takes from outside: a client's BSTRs and
// the command line's server commands. No window or COM object is needed.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <quifw/String.h>

// The ANSI text of a BSTR (null is empty), sized by what it needs: a
// character may take two bytes in the ANSI code page.
CString QuiNarrowBstr(BSTR text);

// What the command line asks of the server: the token after a '-' or '/'
// that ends the line.
enum QuiServerCommand { QUI_SERVER_RUN, QUI_SERVER_REGISTER, QUI_SERVER_UNREGISTER };
QuiServerCommand QuiFindServerCommand(const char* lpszCmdLine);
