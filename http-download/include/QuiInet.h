// Shrike: HTTP GET downloads over Windows Sockets, with proxy settings and
// their dialog. Callers load the library by name and look the six QUIINET
// functions up (names or ordinals 1 to 6, alphabetical); all are __cdecl.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
typedef struct HWND__* HWND;
#endif

#ifdef __cplusplus
class QuiHttpSession;
extern "C" {
#else
typedef struct QuiHttpSession QuiHttpSession;
#endif

#ifdef _WIN64
#define QUI_URL_PARTS_SIZE 56 /* the x86-64 test build's layout */
#else
#define QUI_URL_PARTS_SIZE 32
#endif
#define QUI_PROXY_INFO_SIZE 796
#define QUI_PROXY_TEXT_SIZE 260
#define QUI_PROXY_USE 0x1

// Scheme numbers QUIINETCrackURL reports.
enum {
    QUI_SCHEME_UNKNOWN = 1,
    QUI_SCHEME_HTTP = 2,
    QUI_SCHEME_HTTPS = 3,
    QUI_SCHEME_FILE = 4,
    QUI_SCHEME_GOPHER = 5,
    QUI_SCHEME_FTP = 6
};

// The caller's buffers for QUIINETCrackURL; size is QUI_URL_PARTS_SIZE in the
// 32-bit product. A part whose buffer or capacity is 0 is not written.
typedef struct QuiUrlParts {
    unsigned int size;
    char* host;
    unsigned int hostCapacity;
    char* path;
    unsigned int pathCapacity;
    char* scheme;
    unsigned int schemeCapacity;
    unsigned int schemeNumber;
} QuiUrlParts;

// Proxy settings. QUIINETGetProxyInfo fills only a record whose size is
// QUI_PROXY_INFO_SIZE; a capacity of 0 leaves that text alone.
typedef struct QuiProxyInfo {
    unsigned int size;
    char proxy[QUI_PROXY_TEXT_SIZE]; /* host:port */
    unsigned int proxyCapacity;
    char bypass[QUI_PROXY_TEXT_SIZE];
    unsigned int bypassCapacity;
    unsigned int flags; /* QUI_PROXY_USE */
    char work[QUI_PROXY_TEXT_SIZE];
} QuiProxyInfo;

#if defined(_WIN32) && !defined(SHRIKE_BUILD)
#define QUIINET_API __declspec(dllimport)
#else
#define QUIINET_API
#endif
#ifdef _WIN32
#define QUIINET_CALL __cdecl
#else
#define QUIINET_CALL
#endif

// Frees a session and closes its connection.
QUIINET_API void QUIINET_CALL QUIINETClose(QuiHttpSession* session);
// Splits a URL into scheme, host and path. 1 when every part found fitted
// its buffer; 0 for a null URL or when a part had to be cut (it is still
// terminated).
QUIINET_API int QUIINET_CALL QUIINETCrackURL(const char* url, QuiUrlParts* parts);
// Fetches one path into *data (null or a malloc'ed block on entry; free()
// it). Returns the number of body bytes received; a failure shows as a short
// or zero count.
QUIINET_API int QUIINET_CALL QUIINETGetFile(QuiHttpSession* session, const char* path, char** data);
// 0 for a null record, else 1.
QUIINET_API int QUIINET_CALL QUIINETGetProxyInfo(QuiProxyInfo* info);
// A session for one server; an enabled proxy setting replaces proxyHost and
// port. Null when Windows Sockets cannot be started.
QUIINET_API QuiHttpSession* QUIINET_CALL QUIINETInit(const char* proxyHost, const char* serverHost, int port);
// The modal proxy dialog; 1 when the user chose OK.
QUIINET_API int QUIINET_CALL QUIINETShowProxyDlg(HWND owner);

typedef void(QUIINET_CALL* QUIINETCloseProc)(QuiHttpSession*);
typedef int(QUIINET_CALL* QUIINETCrackURLProc)(const char*, QuiUrlParts*);
typedef int(QUIINET_CALL* QUIINETGetFileProc)(QuiHttpSession*, const char*, char**);
typedef int(QUIINET_CALL* QUIINETGetProxyInfoProc)(QuiProxyInfo*);
typedef QuiHttpSession*(QUIINET_CALL* QUIINETInitProc)(const char*, const char*, int);
typedef int(QUIINET_CALL* QUIINETShowProxyDlgProc)(HWND);

#ifdef __cplusplus
}
#endif
