// Base types of the framework. On Windows they are the system's own; the host
// build (strings and run-time classes only) gets the few it needs.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <wtypes.h>
#else
#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef long LONG;
typedef char TCHAR;
typedef char* LPSTR;
typedef char* LPTSTR;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#endif
