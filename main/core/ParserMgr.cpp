#include "QuiParserMgr.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

const char kDateTypeID[] = "A794C523-EEA6-11d2-A0E8-00104B9522AA";

const char* const kActionTypes[] = {"60D56130-EC76-11d2-AC97-00A0247B3DBA", "A34E4770-F2AD-11d2-AC9C-00A0247B3DBA"};
const char* const kAliasTypes[] = {"55861570-ea6a-11d2-a0e6-00104b9522aa", "55861571-ea6a-11d2-a0e6-00104b9522aa",
                                   "55861572-ea6a-11d2-a0e6-00104b9522aa", "60D56130-EC76-11d2-AC97-00A0247B3DBA",
                                   "A34E4770-F2AD-11d2-AC9C-00A0247B3DBA"};
const char* const kNoTypes[] = {nullptr};

#define QUI_PACKAGE(name, file) {"Packages", name, REG_SZ, QUI_REG_FIELD, 0, file}
const QuiRegDefault kDefaults[QuiParserMgrRegistry::ValueCount] = {
    QUI_PACKAGE("Alias", "QuiPrsAliasPackageD.dll"),
    QUI_PACKAGE("Actions", ""),
    QUI_PACKAGE("Contact", ""),
    QUI_PACKAGE("Date", ""),
};
#undef QUI_PACKAGE

// Keyphrases are shown bold.
KEYPHRASE_DATA BoldTemplate()
{
    KEYPHRASE_DATA data = {};
    data.cbSize = sizeof data;
    data.dwMask = CFM_BOLD;
    data.dwEffects = CFE_BOLD;
    return data;
}

static_assert(sizeof(KEYPHRASE_DATA) == 84, "the note box reads an 84-byte text format");

} // namespace

//--- the registry table

QuiParserMgrRegistry::QuiParserMgrRegistry() : m_rootPath("Software\\Quillmate\\Client")
{
    if (m_rootPath.empty() || m_rootPath.back() != '\\')
        m_rootPath += '\\';
    FillTable(m_table, kDefaults, ValueCount);
    LoadAll();
}

QuiParserMgrRegistry::~QuiParserMgrRegistry()
{
    SaveChanged();
}

const char* QuiParserMgrRegistry::GetRootPath()
{
    return m_rootPath.c_str();
}

QuiRegValue* QuiParserMgrRegistry::GetValueTable()
{
    return m_table;
}

const char* QuiParserMgrRegistry::GetSubKey()
{
    return "Parser";
}

int QuiParserMgrRegistry::GetValueCount()
{
    return ValueCount;
}

//--- package and context records

PACKAGE_DATA::~PACKAGE_DATA()
{
    delete package;
}

CONTEXT_DATA::~CONTEXT_DATA()
{
    delete context;
}

//--- the manager

QuiParserMgr::QuiParserMgr(QuiKestrel* kestrel) : m_kestrel(kestrel), m_wide(1025)
{
    if (kestrel)
        m_parser = new QuiParser(kestrel);
}

QuiParserMgr::~QuiParserMgr()
{
    UnloadPackages();
    delete m_parser;
    for (CONTEXT_DATA* data : m_contexts)
        delete data;
}

int QuiParserMgr::Initialize()
{
    if (m_parser)
        m_parser->setCallback(&onKeyphrase, this);
    loadPackages();
    return QUI_PARSER_OK;
}

int QuiParserMgr::loadPackages()
{
    if (!m_parser)
        return QUI_PARSER_NO_PARSER;
    struct Order {
        int index;
        const char* name;
        const char* const* types;
        int count;
    } order[] = {
        {QuiParserMgrRegistry::Date, "Date", nullptr, 0},
        {QuiParserMgrRegistry::Contact, "Contact", kNoTypes, 0},
        {QuiParserMgrRegistry::Actions, "Actions", kActionTypes, 2},
        {QuiParserMgrRegistry::Alias, "Alias", kAliasTypes, 5},
    };
    KEYPHRASE_DATA bold = BoldTemplate();
    for (const Order& o : order) {
        const char* file = static_cast<const char*>(m_registry.GetValue(o.index, false));
        // A package that does not load is left out; the others still load.
        if (file && *file)
            LoadPackage(file, o.name, &bold, o.types, o.count);
    }
    return QUI_PARSER_OK;
}

int QuiParserMgr::LoadPackage(const char* file, const char* name, const KEYPHRASE_DATA* keyphraseData,
                              const char* const* typeIDs, int typeCount)
{
    if (!m_parser || !file || !name)
        return QUI_PARSER_NO_PARSER;
    std::unique_ptr<PACKAGE_DATA> data(new PACKAGE_DATA);
    lstrcpynA(data->name, name, sizeof data->name);
    HMODULE probe = LoadLibraryA(file);
    if (!probe)
        return QUI_PARSER_NO_PARSER;
    data->package = new QuiPrsDllPackage(m_parser, file);
    FreeLibrary(probe);
    if (!data->package->getEngine())
        return QUI_PARSER_NO_PARSER;
    if (keyphraseData)
        data->keyphraseData = *keyphraseData;
    data->package->registerTypes();
    data->package->createItems();
    if (typeIDs) {
        QuiItemTypeList* types = new QuiItemTypeList;
        for (int i = 0; i < typeCount; ++i) {
            if (QuiItemType* type = m_kestrel->getTypeList()->get(QuiItemID(typeIDs[i])))
                types->add(type);
        }
        data->package->restrictItemTypes(types);
    }
    data->package->setUserData(data.get());
    // A second package under one name replaces the first.
    auto old = m_packages.find(name);
    if (old != m_packages.end()) {
        delete old->second;
        m_packages.erase(old);
        m_loadOrder.erase(std::remove(m_loadOrder.begin(), m_loadOrder.end(), std::string(name)),
                          m_loadOrder.end());
    }
    m_packages[name] = data.release();
    m_loadOrder.push_back(name);
    return QUI_PARSER_OK;
}

int QuiParserMgr::LoadItems()
{
    for (auto& entry : m_packages) {
        entry.second->package->createItems();
        entry.second->package->loadItems();
    }
    return QUI_PARSER_OK;
}

void QuiParserMgr::UnloadPackages()
{
    for (auto& entry : m_packages)
        delete entry.second;
    m_packages.clear();
    m_loadOrder.clear();
}

void QuiParserMgr::UnloadItem(QuiItem* item)
{
    for (auto& entry : m_packages) {
        if (entry.second->package)
            entry.second->package->unloadItem(item);
    }
}

void QuiParserMgr::ReloadItem(QuiItem* item)
{
    // A package's loadItem enters only the items of its own types.
    for (auto& entry : m_packages) {
        if (entry.second->package)
            entry.second->package->loadItem(item);
    }
}

CONTEXT_DATA* QuiParserMgr::findContext(QuiPrsContext* context) const
{
    if (!context)
        return nullptr;
    for (CONTEXT_DATA* data : m_contexts) {
        if (data->context == context)
            return data;
    }
    return nullptr;
}

int QuiParserMgr::CreateContext(QuiPrsContext** context)
{
    if (!m_parser)
        return QUI_PARSER_NO_PARSER;
    QuiPrsContext* made = m_parser->createContext();
    if (!made)
        return QUI_PARSER_NO_CONTEXT;
    CONTEXT_DATA* data = new CONTEXT_DATA(made, &m_packages);
    m_contexts.push_back(data);
    made->setUserData(data);
    if (context)
        *context = made;
    return QUI_PARSER_OK;
}

int QuiParserMgr::DestroyContext(QuiPrsContext* context)
{
    if (!m_parser)
        return QUI_PARSER_NO_PARSER;
    // A context already destroyed is never touched: only the list is asked.
    CONTEXT_DATA* data = findContext(context);
    if (!data)
        return QUI_PARSER_OK;
    m_contexts.remove(data);
    delete data;
    return QUI_PARSER_OK;
}

int QuiParserMgr::Parse(const char* text, QuiPrsContext* context)
{
    if (!m_parser)
        return QUI_PARSER_NO_PARSER;
    if (!findContext(context))
        return QUI_PARSER_NO_CONTEXT;
    const char* narrow = text ? text : "";
    int needed = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
    if (needed <= 0)
        needed = 1;
    if (static_cast<size_t>(needed) > m_wide.size())
        m_wide.resize(needed);
    if (MultiByteToWideChar(CP_ACP, 0, narrow, -1, m_wide.data(), static_cast<int>(m_wide.size())) <= 0)
        m_wide[0] = 0;
    return m_parser->parse(context, m_wide.data()) ? QUI_PARSER_OK : QUI_PARSER_FAILED;
}

bool QuiParserMgr::RegisterSink(const char*, QuiPrsContext* context, QuiItemType* type, QuiParseResultSink* sink)
{
    CONTEXT_DATA* data = findContext(context);
    if (!data)
        return false;
    data->sinks.insert(std::make_pair(type, sink));
    return true;
}

bool QuiParserMgr::UnregisterSink(const char*, QuiPrsContext* context, QuiParseResultSink* sink)
{
    CONTEXT_DATA* data = findContext(context);
    if (!data)
        return false;
    for (auto it = data->sinks.begin(); it != data->sinks.end();) {
        if (it->second == sink)
            it = data->sinks.erase(it);
        else
            ++it;
    }
    if (data->sinks.empty())
        DestroyContext(context);
    return true;
}

void QuiParserMgr::Replay(QuiPrsContext* context, QuiParseResultSink* sink)
{
    CONTEXT_DATA* data = findContext(context);
    if (!data || !sink)
        return;
    std::vector<QuiItemType*> types;
    for (const auto& entry : data->sinks) {
        if (entry.second == sink)
            types.push_back(entry.first);
    }
    for (QuiPrsKeyphrase* keyphrase : context->getKeyphrases()) {
        keyphrase->fetchItemRolesBegin();
        std::vector<QuiPrsItemRole*> roles;
        while (QuiPrsItemRole* role = keyphrase->fetchItemRolesNext())
            roles.push_back(role);
        keyphrase->fetchItemRolesEnd();
        for (QuiPrsItemRole* role : roles) {
            QuiItemType* type = role->getItem() ? role->getItem()->getType() : nullptr;
            if (std::find(types.begin(), types.end(), type) == types.end())
                continue;
            try {
                sink->Callback(PRS_EVENT_ADDED, role, keyphrase);
            } catch (QUI_PARSE_RESULT_EXCEPTION&) {
            }
            // The sink may have ended the context with its last registration.
            if (!HasContext(context))
                return;
        }
    }
}

//--- the parser's callback

void onKeyphrase(QuiParser*, QuiPrsContext* context, QuiPrsPackage* package, int event,
                 QuiPrsKeyphrase* keyphrase, int, int, void* userData)
{
    QuiParserMgr* manager = static_cast<QuiParserMgr*>(userData);
    if (!manager || !context || !package || !keyphrase)
        return;
    CONTEXT_DATA* data = static_cast<CONTEXT_DATA*>(context->getUserData());
    PACKAGE_DATA* packageData = static_cast<PACKAGE_DATA*>(package->getUserData());
    if (!data || !packageData)
        return;
    // A sink that could not take its role fails the parse, after the other
    // sinks had theirs: the next parse offers the keyphrase again.
    bool failed = false;
    try {
        if (!keyphrase->getUserData()) {
            data->keyphrases.push_back(packageData->keyphraseData);
            keyphrase->setUserData(&data->keyphrases.back());
        }
        keyphrase->fetchItemRolesBegin();
        while (QuiPrsItemRole* role = keyphrase->fetchItemRolesNext()) {
            QuiItemType* type = role->getItem() ? role->getItem()->getType() : nullptr;
            // A sink may unregister itself while it is called: walk a copy.
            std::vector<QuiParseResultSink*> sinks;
            auto range = data->sinks.equal_range(type);
            for (auto it = range.first; it != range.second; ++it)
                sinks.push_back(it->second);
            for (QuiParseResultSink* sink : sinks) {
                try {
                    sink->Callback(event, role, keyphrase);
                } catch (QUI_PARSE_RESULT_EXCEPTION&) {
                    failed = true;
                }
                // A sink that unregistered the last sink took the context,
                // its keyphrases and their roles with it.
                if (!manager->HasContext(context))
                    return;
            }
        }
    } catch (...) {
        QuiDeleteCurrentException();
        failed = true;
    }
    if (!manager->HasContext(context))
        return;
    keyphrase->fetchItemRolesEnd();
    if (failed)
        context->failParse();
}

//--- one-off date parse

BOOL ParseDate(const char* text, DATE* date, BOOL timeOfDay)
{
    CQuillmateApp* app = QuiGetApp();
    QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr;
    if (!manager || !manager->GetKestrel())
        return FALSE;
    QuiItemType* type = manager->GetKestrel()->getTypeList()->get(QuiItemID(kDateTypeID));
    DtParseSink sink;
    QuiPrsContext* context = nullptr;
    if (manager->CreateContext(&context) != QUI_PARSER_OK || !context)
        return FALSE;
    if (!manager->RegisterSink("Date", context, type, &sink)) {
        manager->DestroyContext(context);
        return FALSE;
    }
    manager->Parse(text, context);
    manager->UnregisterSink("Date", context, &sink);
    manager->DestroyContext(context);
    DATE found = sink.GetDate();
    if (found == -1.0)
        return FALSE;
    if (date)
        *date = timeOfDay ? found - std::floor(found) : std::floor(found);
    return TRUE;
}

BOOL ParseTimeText(const CString& text, DATE* pTime)
{
    return ParseDate(text, pTime, TRUE);
}

BOOL ParseDateText(const CString& text, DATE* pDate)
{
    return ParseDate(text, pDate, FALSE);
}
