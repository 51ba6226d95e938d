#include "DDEClient.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "DDEArgs.h"

const char DDE_NETSCAPE_SERVICE[] = "NETSCAPE";

namespace {

// String numbers of the topic table; 0 marks the one topic given literally.
const UINT kTopicStrings[ddeTopicCount] = {600, 601, 602, 603, 604, 605, 0,   626, 606, 607,
                                           608, 609, 615, 610, 611, 612, 613, 614, 616, 617,
                                           618, 619, 620, 621, 622, 623, 624, 625};
const char kFrameParentTopic[] = "WWW_GetFrameParent";

struct DDEState {
    DWORD instance = 0;
    std::vector<CDDEConversation*> conversations;
    std::vector<CDDEObject*> objects;
    DWORD objectNumber = 0;
    HSZ service = nullptr;
    HSZ topics[ddeTopicCount] = {};
};

DDEState& State()
{
    static DDEState state;
    return state;
}

HSZ MakeHandle(LPCSTR text)
{
    return DdeCreateStringHandleA(State().instance, text, CP_WINANSI);
}

void FreeHandle(HSZ& hsz)
{
    if (hsz)
        DdeFreeStringHandle(State().instance, hsz);
    hsz = nullptr;
}

CString QueryText(HSZ hsz)
{
    char text[256] = "";
    if (hsz)
        DdeQueryStringA(State().instance, hsz, text, sizeof text, CP_WINANSI);
    return text;
}

CDDEConversation* FindConversation(HCONV hConv)
{
    for (CDDEConversation* conversation : State().conversations) {
        if (conversation->m_hConv == hConv)
            return conversation;
    }
    return nullptr;
}

// Takes the conversation out of its object's list and deletes it (which
// takes it out of the process's list).
void DestroyConversation(CDDEConversation* conversation)
{
    for (CDDEObject* object : State().objects) {
        auto& list = object->m_conversations;
        list.erase(std::remove(list.begin(), list.end(), conversation), list.end());
    }
    delete conversation;
}

// Ends a conversation the program holds, unless the partner's disconnect
// already did (the callback deletes it then).
void CloseConversation(HCONV hConv)
{
    CDDEConversation* conversation = FindConversation(hConv);
    if (!conversation)
        return;
    DdeDisconnect(hConv);
    DestroyConversation(conversation);
}

CDDEObject* FindObject(HSZ hszService)
{
    CString service = QueryText(hszService);
    for (CDDEObject* object : State().objects) {
        if (!service.IsEmpty() && object->GetName().CompareNoCase(service) == 0)
            return object;
    }
    return nullptr;
}

int FindTopic(HSZ hszTopic)
{
    for (int i = 0; i < ddeTopicCount; ++i) {
        if (State().topics[i] && DdeCmpStringHandles(State().topics[i], hszTopic) == 0)
            return i;
    }
    return -1;
}

//--- the answering side

DWORD Now()
{
    return static_cast<DWORD>(time(nullptr));
}

std::vector<DDEArg> Zero(const std::vector<DDEArg>&)
{
    return {DDEArg::Number(0)};
}

std::vector<DDEArg> CurrentTime(const std::vector<DDEArg>&)
{
    return {DDEArg::Number(Now())};
}

std::vector<DDEArg> False(const std::vector<DDEArg>&)
{
    return {DDEArg::Number(FALSE)};
}

// A file the browser may write the viewed document to.
std::vector<DDEArg> ViewerFile(const std::vector<DDEArg>&)
{
    char* name = _tempnam("c:\\temp", "nstest");
    DDEArg file = DDEArg::Text(name ? name : "\\delme.nst");
    free(name);
    return {file};
}

struct Answer {
    int topic;
    UINT type;
    LPCSTR argFormat;
    LPCSTR replyFormat;  // null: a poke, acknowledged
    std::vector<DDEArg> (*reply)(const std::vector<DDEArg>& args);
};

const Answer kAnswers[] = {
    {ddeAlert, XTYP_REQUEST, "QCS,DW,DW", "DW", Zero},
    {ddeBeginProgress, XTYP_REQUEST, "DW,QCS", "DW", CurrentTime},
    {ddeMakingProgress, XTYP_REQUEST, "DW,QCS,DW", "BL", False},
    {ddeOpenURL, XTYP_REQUEST, "QCS,QCS,DW,DW,QCS,QCS,CS", "DW", CurrentTime},
    {ddeQueryViewer, XTYP_REQUEST, "QCS,QCS", "QCS", ViewerFile},
    {ddeEndProgress, XTYP_POKE, "DW", nullptr, nullptr},
    {ddeSetProgressRange, XTYP_POKE, "DW,DW", nullptr, nullptr},
    {ddeURLEcho, XTYP_POKE, "QCS,QCS,DW,QCS", nullptr, nullptr},
    {ddeViewDocFile, XTYP_POKE, "QCS,QCS,QCS,DW", nullptr, nullptr},
    {ddeWindowChange, XTYP_POKE, "DW,DW,DW,DW,DW,DW", nullptr, nullptr},
};

const Answer* FindAnswer(int topic, UINT type)
{
    for (const Answer& answer : kAnswers) {
        if (answer.topic == topic && answer.type == type)
            return &answer;
    }
    return nullptr;
}

// A single number or boolean goes back binary, anything else as text.
HDDEDATA BuildReply(LPCSTR format, const std::vector<DDEArg>& values, HSZ hszItem, UINT uFmt)
{
    CString text = DDEPackArgs(format, values);
    if (text.IsEmpty())
        return nullptr;
    if (lstrcmpA(format, "BL") == 0) {
        WORD flag = text == "TRUE" ? 1 : 0;
        return DdeCreateDataHandle(State().instance, reinterpret_cast<BYTE*>(&flag), sizeof flag, 0, hszItem, uFmt,
                                   0);
    }
    if (lstrcmpA(format, "DW") == 0) {
        DWORD number = static_cast<DWORD>(strtoul(text, nullptr, 10));
        return DdeCreateDataHandle(State().instance, reinterpret_cast<BYTE*>(&number), sizeof number, 0, hszItem,
                                   uFmt, 0);
    }
    return DdeCreateDataHandle(State().instance,
                               reinterpret_cast<BYTE*>(const_cast<LPSTR>(static_cast<LPCSTR>(text))),
                               text.GetLength() + 1, 0, hszItem, uFmt, 0);
}

HDDEDATA AnswerCall(UINT uType, UINT uFmt, HCONV hConv, HSZ hszTopic, HSZ hszItem)
{
    if (!FindConversation(hConv))
        return uType == XTYP_POKE ? reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED) : nullptr;
    const Answer* answer = FindAnswer(FindTopic(hszTopic), uType);
    if (!answer)
        return uType == XTYP_POKE ? reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED) : nullptr;
    std::vector<DDEArg> args = DDEUnpackArgs(answer->argFormat, QueryText(hszItem));
    if (!answer->replyFormat)
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    return BuildReply(answer->replyFormat, answer->reply(args), hszItem, uFmt ? uFmt : CF_TEXT);
}

}  // namespace

BOOL DDEStartInstance()
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, DDECallback, 0, 0) != DMLERR_NO_ERROR)
        return FALSE;
    State().instance = instance;
    return TRUE;
}

void DDEEndInstance()
{
    if (State().instance)
        DdeUninitialize(State().instance);
    State().instance = 0;
}

DWORD DDEGetInstance()
{
    return State().instance;
}

HDDEDATA CALLBACK DDECallback(UINT uType, UINT uFmt, HCONV hConv, HSZ hsz1, HSZ hsz2, HDDEDATA, ULONG_PTR,
                              ULONG_PTR)
{
    // Nothing may leave the system's callback: a call that fails for want
    // of memory is refused.
    try {
        switch (uType) {
        case XTYP_CONNECT:
            return reinterpret_cast<HDDEDATA>(FindObject(hsz2) ? TRUE : FALSE);
        case XTYP_CONNECT_CONFIRM:
            if (CDDEObject* object = FindObject(hsz2)) {
                std::unique_ptr<CDDEConversation> conversation(new CDDEConversation(hConv));
                object->m_conversations.push_back(conversation.get());
                conversation.release();
            }
            return nullptr;
        case XTYP_REQUEST:
        case XTYP_POKE:
            return AnswerCall(uType, uFmt, hConv, hsz1, hsz2);
        case XTYP_DISCONNECT:
            if (CDDEConversation* conversation = FindConversation(hConv))
                DestroyConversation(conversation);
            return nullptr;
        default:
            return nullptr;
        }
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return nullptr;
}

//--- conversations

IMPLEMENT_DYNAMIC(CDDEConversation, CObject)

CDDEConversation::CDDEConversation(HCONV hConv) : m_hConv(hConv)
{
    State().conversations.push_back(this);
}

CDDEConversation::~CDDEConversation()
{
    auto& list = State().conversations;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

//--- objects

IMPLEMENT_DYNAMIC(CDDEObject, CObject)

CDDEObject::CDDEObject()
{
    Construct(defaultServiceId, defaultNameId, nullptr);
}

CDDEObject::CDDEObject(UINT nServiceId, UINT nNameId)
{
    Construct(nServiceId, nNameId, nullptr);
}

CDDEObject::CDDEObject(int)
{
    Construct(0, 0, DDE_NETSCAPE_SERVICE);
}

void CDDEObject::Construct(UINT nServiceId, UINT nNameId, LPCSTR lpszService)
{
    DDEState& state = State();
    m_nServiceId = nServiceId;
    m_nNameId = nNameId;
    // An object without a name string still needs a name the browser can call back.
    m_strName.LoadString(nNameId ? nNameId : static_cast<UINT>(defaultNameId));
    CString number;
    number.Format("%lu", static_cast<unsigned long>(++state.objectNumber));
    m_strName += number;
    state.objects.push_back(this);
    if (state.objects.size() == 1) {
        for (int i = 0; i < ddeTopicCount; ++i) {
            CString topic;
            if (kTopicStrings[i])
                topic.LoadString(kTopicStrings[i]);
            else
                topic = kFrameParentTopic;
            state.topics[i] = MakeHandle(topic);
        }
        CString service(lpszService);
        if (!lpszService)
            service.LoadString(nServiceId);
        state.service = MakeHandle(service);
    }
    // Registered so that the browser's calls on the answering topics reach the callback.
    m_hszName = MakeHandle(m_strName);
    if (m_hszName && !DdeNameService(state.instance, m_hszName, nullptr, DNS_REGISTER))
        FreeHandle(m_hszName);
}

CDDEObject::~CDDEObject()
{
    DDEState& state = State();
    while (!m_conversations.empty()) {
        CDDEConversation* conversation = m_conversations.back();
        DdeDisconnect(conversation->m_hConv);
        DestroyConversation(conversation);
    }
    state.objects.erase(std::remove(state.objects.begin(), state.objects.end(), this), state.objects.end());
    if (m_hszName) {
        DdeNameService(state.instance, m_hszName, nullptr, DNS_UNREGISTER);
        FreeHandle(m_hszName);
    }
    if (state.objects.empty()) {
        for (HSZ& topic : state.topics)
            FreeHandle(topic);
        FreeHandle(state.service);
    }
}

BOOL CDDEObject::Transact(DDETopic topic, const CString& item, UINT uType, HDDEDATA* pReply)
{
    DDEState& state = State();
    if (pReply)
        *pReply = nullptr;
    HCONV hConv = DdeConnect(state.instance, state.service, state.topics[topic], nullptr);
    if (!hConv)
        return FALSE;
    m_conversations.push_back(new CDDEConversation(hConv));
    HSZ hszItem = item.IsEmpty() ? nullptr : MakeHandle(item);
    HDDEDATA result = DdeClientTransaction(nullptr, 0, hConv, hszItem, CF_TEXT, uType, m_dwTimeout, nullptr);
    FreeHandle(hszItem);
    // A request's reply is data the caller owns; a poke's result is only a flag.
    if (uType == XTYP_REQUEST && result) {
        if (pReply)
            *pReply = result;
        else
            DdeFreeDataHandle(result);
    }
    CloseConversation(hConv);
    return result != nullptr;
}

int CDDEObject::Activate(DWORD dwWindowId, DWORD dwFlags)
{
    Transact(ddeActivate, DDEPackArgs("DW,DW", {DDEArg::Number(dwWindowId), DDEArg::Number(dwFlags)}),
             XTYP_REQUEST, nullptr);
    return 0;
}

int CDDEObject::ListWindows(DWORD** ppWindows)
{
    *ppWindows = new DWORD[DDE_MAX_WINDOWS]();
    HDDEDATA reply = nullptr;
    if (!Transact(ddeListWindows, DDEPackArgs("CS", {DDEArg::Text("WWW_ListWindows")}), XTYP_REQUEST, &reply))
        return 0;
    DWORD ids[DDE_MAX_WINDOWS] = {};
    DWORD bytes = DdeGetData(reply, reinterpret_cast<BYTE*>(ids), sizeof ids, 0);
    DdeFreeDataHandle(reply);
    int count = 0;
    while (count < static_cast<int>(bytes / sizeof(DWORD)) && ids[count] != 0) {
        (*ppWindows)[count] = ids[count];
        ++count;
    }
    return count;
}

int CDDEObject::GetVersion()
{
    Transact(ddeVersion, DDEPackArgs("CS", {DDEArg::Text("WWW_Version")}), XTYP_REQUEST, nullptr);
    return 0;
}

int CDDEObject::OpenURL(LPCSTR lpszURL, LPCSTR lpszFileName, DWORD dwWindowId, DWORD dwFlags, LPCSTR lpszFormData,
                        LPCSTR lpszMimeType, LPCSTR lpszProgressServer)
{
    CString item = DDEPackArgs("QCS,QCS,DW,DW,QCS,QCS,CS",
                               {DDEArg::OptionalText(lpszURL), DDEArg::OptionalText(lpszFileName),
                                DDEArg::Number(dwWindowId), DDEArg::Number(dwFlags),
                                DDEArg::OptionalText(lpszFormData), DDEArg::OptionalText(lpszMimeType),
                                DDEArg::OptionalText(lpszProgressServer)});
    return Transact(ddeOpenURL, item, XTYP_REQUEST, nullptr) ? 1 : 0;
}

int CDDEObject::SetWindowPosition(DWORD dwWindowId, DWORD dwFlags, DWORD dwX, DWORD dwY, DWORD dwWidth,
                                  DWORD dwHeight)
{
    // The place and size count only when bit 0 of the flags asks for them.
    bool placed = (dwFlags & 1) != 0;
    auto field = [placed](DWORD value) { return placed ? DDEArg::Number(value) : DDEArg::Absent(); };
    CString item = DDEPackArgs("DW,DW,DW,DW,DW,DW", {DDEArg::Number(dwWindowId), DDEArg::Number(dwFlags),
                                                     field(dwX), field(dwY), field(dwWidth), field(dwHeight)});
    Transact(ddeWindowChange, item, XTYP_POKE, nullptr);
    return 0;
}
