// The DDE side of the browser drivers: one DDEML instance per process,
// CDDEObject (a named DDE party of the program with its conversations) and
// CDDEConversation (one DDEML conversation). The client requests open a
// conversation on the browser's service for one verb ("WWW_" topic), send
// one transaction and close it again; the callback answers the browser's own
// calls on the same topics.
#pragma once

#include <afxquill.h>

#include <ddeml.h>

#include <vector>

// Indexes of the topic table; the texts are strings of the language library.
enum DDETopic {
    ddeActivate = 0,
    ddeAlert = 1,
    ddeBeginProgress = 2,
    ddeCancelProgress = 3,
    ddeEndProgress = 4,
    ddeExit = 5,
    ddeGetFrameParent = 6,
    ddeGetWindowInfo = 7,
    ddeListWindows = 8,
    ddeMakingProgress = 9,
    ddeOpenURL = 10,
    ddeParseAnchor = 11,
    ddeQueryURLFile = 12,
    ddeQueryViewer = 13,
    ddeRegisterProtocol = 14,
    ddeRegisterURLEcho = 15,
    ddeRegisterViewer = 16,
    ddeRegisterWindowChange = 17,
    ddeSetProgressRange = 18,
    ddeShowFile = 19,
    ddeUnRegisterProtocol = 20,
    ddeUnRegisterURLEcho = 21,
    ddeUnRegisterViewer = 22,
    ddeUnRegisterWindowChange = 23,
    ddeURLEcho = 24,
    ddeVersion = 25,
    ddeViewDocFile = 26,
    ddeWindowChange = 27,
    ddeTopicCount = 28
};

enum {
    DDE_MAX_WINDOWS = 20,              // entries of a window list
    DDE_NO_WINDOW = 0xFFFFFFFF,        // "any window" for the browser
    DDE_TRANSACTION_TIMEOUT = 60000    // milliseconds
};

// The process's DDEML instance with DDECallback; FALSE when DdeInitialize failed.
BOOL DDEStartInstance();
// Ends the instance (the drivers' destruction); nothing when none is running.
void DDEEndInstance();
DWORD DDEGetInstance();

HDDEDATA CALLBACK DDECallback(UINT uType, UINT uFmt, HCONV hConv, HSZ hsz1, HSZ hsz2, HDDEDATA hData,
                              ULONG_PTR dwData1, ULONG_PTR dwData2);

class CDDEConversation : public CObject {
    DECLARE_DYNAMIC(CDDEConversation)
public:
    explicit CDDEConversation(HCONV hConv = nullptr);
    ~CDDEConversation() override;
    CDDEConversation(const CDDEConversation&) = delete;
    CDDEConversation& operator=(const CDDEConversation&) = delete;

    HCONV m_hConv;
};

class CDDEObject : public CObject {
    DECLARE_DYNAMIC(CDDEObject)
public:
    enum { defaultServiceId = 108, defaultNameId = 107 };

    CDDEObject();
    CDDEObject(UINT nServiceId, UINT nNameId);
    // Takes no resource strings: the service is the Netscape browser's own name.
    explicit CDDEObject(int nIgnored);
    ~CDDEObject() override;
    CDDEObject(const CDDEObject&) = delete;
    CDDEObject& operator=(const CDDEObject&) = delete;

    // Each request holds its own conversation for the one transaction; 0
    // (no window, no reply) when the browser cannot be reached.
    int Activate(DWORD dwWindowId, DWORD dwFlags);
    // *ppWindows gets a new zero-filled array of DDE_MAX_WINDOWS entries
    // (the caller delete[]s it); the result is the number of identifiers in it.
    int ListWindows(DWORD** ppWindows);
    int GetVersion();
    // 1 when the browser answered the request.
    int OpenURL(LPCSTR lpszURL, LPCSTR lpszFileName, DWORD dwWindowId, DWORD dwFlags, LPCSTR lpszFormData,
                LPCSTR lpszMimeType, LPCSTR lpszProgressServer);
    int SetWindowPosition(DWORD dwWindowId, DWORD dwFlags, DWORD dwX, DWORD dwY, DWORD dwWidth, DWORD dwHeight);

    const CString& GetName() const { return m_strName; }
    // How long one transaction may take before it counts as failed.
    void SetTimeout(DWORD dwMilliseconds) { m_dwTimeout = dwMilliseconds; }

    // The object's conversations (the callback's and the requests').
    std::vector<CDDEConversation*> m_conversations;

private:
    void Construct(UINT nServiceId, UINT nNameId, LPCSTR lpszService);
    // Connects, sends, and disconnects; the reply data (the caller frees it)
    // when pReply is given.
    BOOL Transact(DDETopic topic, const CString& item, UINT uType, HDDEDATA* pReply);

    CString m_strName;
    HSZ m_hszName = nullptr;
    UINT m_nServiceId = 0;
    UINT m_nNameId = 0;
    DWORD m_dwTimeout = DDE_TRANSACTION_TIMEOUT;
};

// Netscape offers its DDE interface under this service name.
extern const char DDE_NETSCAPE_SERVICE[];
