#include "WebActionsPane.h"

#include <cmath>
#include <vector>

#include "ActionNote.h"
#include "ClientRegistry.h"
#include "Datastore.h"
#include "DateValue.h"
#include "DestUtil.h"
#include "FileVersionInfo.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"
#include "WebActionItem.h"
#include "WebActionJug.h"
#include "WebActionsSettings.h"
#include "WebConnector.h"

const char WEB_ACTION_ITEM_TYPE[] = "60D56130-EC76-11d2-AC97-00A0247B3DBA";
const char WEB_DATE_ITEM_TYPE[] = "A794C523-EEA6-11d2-A0E8-00104B9522AA";

namespace {

const char kAliasPackage[] = "Alias";
const char kDatePackage[] = "Date";

QuiParserMgr* ParserMgr()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetParserMgr() : nullptr;
}

CDatastore* Datastore()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetDatastore() : nullptr;
}

QuiPrsKeyphrase* Keyphrase(INT_PTR nExtra)
{
    return reinterpret_cast<QuiPrsKeyphrase*>(nExtra);
}

void SetCheck(CWebActionsDestination& dest, bool bChecked)
{
    COleVariant value;
    value.vt = VT_BOOL;
    value.boolVal = bChecked ? VARIANT_TRUE : VARIANT_FALSE;
    dest.GetCheckProp()->SetValue(value);
}

CString ProgramVersion()
{
    char path[MAX_PATH] = "";
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return "unknown";
    CFileVersionInfo info(path);
    const char* version = info.GetFileVersion();
    return version && *version ? CString(version) : CString("unknown");
}

} // namespace

CWebActionsDestination::CWebActionsDestination(CWebActionsPane* pPane) : CDestination(pPane), m_pPane(pPane)
{
}

CWebActionsDestination::~CWebActionsDestination()
{
    UnregisterSinks();
}

void CWebActionsDestination::BindActionField(CMultiDrop* pField)
{
    m_pActionProp.reset(new CMultiDropProp(pField));
}

CActionNote* CWebActionsDestination::Note()
{
    return m_pPane ? m_pPane->GetActionNote() : nullptr;
}

int CWebActionsDestination::FieldOfTag(int nTag)
{
    switch (nTag) {
    case 1:
    case 6:
        return startDate;
    case 2:
        return endDate;
    case 3:
    case 7:
        return startTime;
    case 4:
        return endTime;
    default:
        return -1;
    }
}

//--- the sinks

BOOL CWebActionsDestination::RegisterSinks()
{
    CActionNote* note = Note();
    QuiParserMgr* manager = ParserMgr();
    CDatastore* datastore = Datastore();
    QuiPrsContext* context = note ? note->GetContext() : nullptr;
    if (!context || !manager || !datastore)
        return FALSE;
    // Attaching again in the same context must not double every event.
    if (m_bRegistered && context == m_pContext && manager->HasContext(context))
        return TRUE;
    UnregisterSinks();
    m_pContext = context;
    m_actionSink.SetDestination(this);
    bool action = manager->RegisterSink(kAliasPackage, context, datastore->GetItemType(WEB_ACTION_ITEM_TYPE),
                                        &m_actionSink);
    m_dateSink.SetDestination(this);
    bool date = manager->RegisterSink(kDatePackage, context, datastore->GetItemType(WEB_DATE_ITEM_TYPE), &m_dateSink);
    m_bRegistered = action || date;
    return m_bRegistered;
}

void CWebActionsDestination::UnregisterSinks()
{
    if (!m_bRegistered)
        return;
    m_bRegistered = false;
    QuiParserMgr* manager = ParserMgr();
    if (manager && m_pContext && manager->HasContext(m_pContext)) {
        manager->UnregisterSink(kAliasPackage, m_pContext, &m_actionSink);
        manager->UnregisterSink(kDatePackage, m_pContext, &m_dateSink);
    }
    // The keyphrases belonged to that context; their addresses mean nothing
    // in the next one.
    ForgetKeyphrases();
}

void CWebActionsDestination::ForgetKeyphrases()
{
    m_nActionKeyphrase = 0;
    for (INT_PTR& keyphrase : m_keyphrases)
        keyphrase = 0;
}

void CWebActionsDestination::ForgetActionKeyphrase()
{
    LetKeyphraseGo(Note(), this, m_nActionKeyphrase);
    m_nActionKeyphrase = 0;
}

void CWebActionsDestination::Retake()
{
    ReplaySink(m_actionSink, m_pContext, m_bRegistered);
    ReplaySink(m_dateSink, m_pContext, m_bRegistered);
}

std::vector<INT_PTR> CWebActionsDestination::HeldKeyphrases() const
{
    std::vector<INT_PTR> held;
    if (m_nActionKeyphrase != 0)
        held.push_back(m_nActionKeyphrase);
    for (INT_PTR id : m_keyphrases) {
        if (id != 0)
            held.push_back(id);
    }
    return held;
}

int CWebActionsDestination::AttachSinks()
{
    if (IsEnabled()) {
        if (m_pPane)
            m_pPane->FillActionList();
        RegisterSinks();
    }
    return 0;
}

//--- parse results

void CWebActionsDestination::OnParseResult1(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole)
        return;
    int tag = pRole->getTag();
    if (tag != 0) {
        int field = FieldOfTag(tag);
        auto* numeric = dynamic_cast<QuiNumericItem*>(pRole->getItem());
        if (field < 0 || !numeric)
            return;
        double date = TimeToVariantDate(static_cast<int32_t>(numeric->getValue()));
        double day = std::floor(date);
        m_fields[field] = (field == startDate || field == endDate) ? day : date - day;
        m_keyphrases[field] = nExtra;
        return;
    }
    // The user's own choice stands: a keyword then is not the action's, and
    // one that chose it before keeps its hold until it goes.
    if (!m_pActionProp || UserChanged(m_pActionProp.get()))
        return;
    QuiItem* item = pRole->getItem();
    if (!item || m_nActionKeyphrase != 0)
        return;
    m_pActionProp->CheckItem(item->getID().toString(), CDestProp::FLAG_PARSED, nullptr, FALSE);
    HoldKeyphrase(Note(), this, nExtra);
    m_nActionKeyphrase = nExtra;
    if (!UserChanged(GetCheckProp()))
        SetCheck(*this, true);
}

void CWebActionsDestination::OnParseResult2(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole)
        return;
    int tag = pRole->getTag();
    if (tag != 0) {
        int field = FieldOfTag(tag);
        if (field < 0)
            return;
        m_fields[field] = -1.0;
        m_keyphrases[field] = 0;
        return;
    }
    if (!m_pActionProp || nExtra == 0 || m_nActionKeyphrase != nExtra)
        return;
    // The phrase goes even from a field the user changed, which keeps the
    // user's choice.
    LetKeyphraseGo(Note(), this, nExtra);
    m_nActionKeyphrase = 0;
    if (UserChanged(m_pActionProp.get()))
        return;
    if (m_pPane)
        m_pPane->NotifyNote(FALSE);
    if (QuiItem* item = pRole->getItem())
        m_pActionProp->UncheckItem(item->getID().toString(), CDestProp::FLAG_PARSED, FALSE);
    if (!UserChanged(GetCheckProp()))
        SetCheck(*this, false);
}

void CWebActionsDestination::OnParseResult3(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || pRole->getTag() != 0 || nExtra == 0 || m_nActionKeyphrase != nExtra)
        return;
    if (CActionNote* note = Note())
        note->SetKeyphrasesChanged();
}

//--- filing

bool CWebActionsDestination::HasSelectedActions()
{
    CStringArray ids;
    if (m_pActionProp)
        m_pActionProp->GetItemIDs(ids);
    return !ids.IsEmpty();
}

int CWebActionsDestination::FileItem(CWebActionJug* pAction)
{
    CDatastore* datastore = Datastore();
    if (!pAction || !datastore || !m_pActionProp)
        return 0;
    CStringArray ids;
    m_pActionProp->GetItemIDs(ids);
    if (ids.IsEmpty())
        return 0;
    QuiItemList* items = datastore->GetItemList();
    auto* item = items ? dynamic_cast<CWebActionItem*>(items->get(QuiItemID(ids[0]))) : nullptr;
    CWebConnectorSubtype* subtype = item ? item->GetSubtype() : nullptr;
    if (!subtype)
        return 0;
    pAction->m_nConnectorIndex = subtype->m_nConnectorIndex;
    pAction->m_nSubtypeIndex = subtype->m_nSubtypeIndex;

    CONTACTITEM profile;
    ReadProfile(profile);
    CString edition;
    datastore->GetTypeName(edition);
    pAction->SetParameter("pim", edition);
    pAction->SetParameter("productver", ProgramVersion());
    pAction->m_contact = profile;
    CString query;
    GetQueryText(query);
    pAction->SetParameter("querystring", query);
    pAction->m_dtStartDate = m_fields[startDate];
    pAction->m_dtEndDate = m_fields[endDate];
    pAction->m_dtStartTime = m_fields[startTime];
    pAction->m_dtEndTime = m_fields[endTime];
    return 0;
}

void CWebActionsDestination::GetQueryText(CString& text)
{
    text.Empty();
    CActionNote* note = Note();
    if (!note)
        return;
    CString note_text;
    note->GetNoteText(note_text);
    const int length = note_text.GetLength();
    std::vector<bool> covered(static_cast<size_t>(length), false);
    for (INT_PTR keyphrase : {m_nActionKeyphrase, m_keyphrases[startDate], m_keyphrases[startTime]}) {
        if (keyphrase == 0)
            continue;
        int first = 0, last = -1;
        Keyphrase(keyphrase)->getOffsets(&first, &last);
        if (last < 0 || last >= length)
            last = length - 1;
        for (int i = first < 0 ? 0 : first; i <= last; i++)
            covered[static_cast<size_t>(i)] = true;
    }
    for (int i = 0; i < length; i++) {
        if (!covered[static_cast<size_t>(i)])
            text += note_text[i];
    }
    text.TrimLeft();
    text.TrimRight();
}
