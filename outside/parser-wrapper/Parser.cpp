#include "QuiParser.h"

#include <algorithm>
#include <memory>

//--- numeric items

QuiNumericItem::QuiNumericItem(QuiItemType* type, double value) : QuiItem(QuiItemID(), type), m_value(value)
{
}

QuiNumericItem::QuiNumericItem(const QuiNumericItem& other) : QuiItem(other), m_value(other.m_value)
{
}

QuiItem* QuiNumericItem::clone(const QuiItemID& id)
{
    QuiNumericItem* item = new QuiNumericItem(*this);
    item->setID(id);
    return item;
}

//--- item roles

QuiPrsItemRole::QuiPrsItemRole(int tag, QuiItem* item, bool owned) : m_tag(tag), m_item(item), m_owned(owned)
{
}

QuiPrsItemRole::~QuiPrsItemRole()
{
    if (m_owned)
        delete m_item;
}

//--- keyphrases

QuiPrsKeyphrase::QuiPrsKeyphrase(PrsKeyphrase* engine, QuiPrsDllPackage* package) : m_engine(engine)
{
    if (!package)
        return;
    // Attributes follow from the keyphrase's slots, which stay as they are for
    // its whole life: the roles are made once.
    PrsAttribute attributes[8];
    int count = PrsKeyphraseGetAttributes(nullptr, engine, 8, attributes);
    m_offered = package->offers(attributes, count < 8 ? count : 8);
    if (!m_offered)
        return;
    std::vector<QuiPrsItemRole*> roles;
    for (int i = 0; i < count && i < 8; ++i)
        package->attributeToItemRoles(&attributes[i], &roles);
    for (QuiPrsItemRole* role : roles) {
        if (role->getItem() && package->admitsType(role->getItem()->getType()))
            m_roles.push_back(role);
        else
            delete role;
    }
}

QuiPrsKeyphrase::~QuiPrsKeyphrase()
{
    for (QuiPrsItemRole* role : m_roles)
        delete role;
}

void QuiPrsKeyphrase::fetchItemRolesBegin()
{
    m_cursor = 0;
}

QuiPrsItemRole* QuiPrsKeyphrase::fetchItemRolesNext()
{
    return m_cursor < m_roles.size() ? m_roles[m_cursor++] : nullptr;
}

void QuiPrsKeyphrase::fetchItemRolesEnd()
{
    m_cursor = m_roles.size();
}

void QuiPrsKeyphrase::getOffsets(int* first, int* last) const
{
    int f = 0, l = 0;
    PrsKeyphraseGetOffsets(m_engine, &f, &l);
    if (first)
        *first = f;
    if (last)
        *last = l;
}

//--- contexts

QuiPrsContext::QuiPrsContext(PrsContext* engine) : m_engine(engine)
{
    PrsContextSetUserData(engine, this);
}

QuiPrsContext::~QuiPrsContext()
{
    // The engine reports every keyphrase as removed while it destroys the
    // context, and one destroyed from inside its own parse lives until the
    // parse returns: neither may reach this object or the client that
    // destroys it.
    PrsContextSetUserData(m_engine, nullptr);
    PrsContextDestroy(m_engine);
    if (m_alive)
        *m_alive = false;
    for (QuiPrsKeyphrase* keyphrase : m_keyphrases)
        delete keyphrase;
}

std::vector<QuiPrsKeyphrase*> QuiPrsContext::getKeyphrases() const
{
    std::vector<QuiPrsKeyphrase*> offered;
    for (QuiPrsKeyphrase* keyphrase : m_keyphrases) {
        if (keyphrase->isOffered())
            offered.push_back(keyphrase);
    }
    std::stable_sort(offered.begin(), offered.end(), [](QuiPrsKeyphrase* a, QuiPrsKeyphrase* b) {
        int aFirst = 0, aLast = 0, bFirst = 0, bLast = 0;
        a->getOffsets(&aFirst, &aLast);
        b->getOffsets(&bFirst, &bLast);
        return aFirst != bFirst ? aFirst < bFirst : aLast < bLast;
    });
    return offered;
}

//--- parser

QuiParser::QuiParser(QuiKestrel* kestrel) : m_kestrel(kestrel), m_engine(PrsInit())
{
    PrsSetCallback(m_engine, &QuiParser::engineEvent, this);
}

QuiParser::~QuiParser()
{
    PrsDeInit(m_engine);
    for (QuiPrsKeyphrase* keyphrase : m_removed)
        delete keyphrase;
}

void QuiParser::setCallback(Callback callback, void* userData)
{
    m_callback = callback;
    m_userData = userData;
}

QuiPrsContext* QuiParser::createContext()
{
    PrsContext* engine = PrsCreateContext(m_engine);
    return engine ? new QuiPrsContext(engine) : nullptr;
}

bool QuiParser::parse(QuiPrsContext* context, const PRSWCHAR* text)
{
    if (!context)
        return false;
    // The client may destroy the context from a callback.
    bool alive = true;
    bool* outerAlive = context->m_alive;
    context->m_alive = &alive;
    // A client may parse another text from inside a callback.
    ++m_parseDepth;
    bool done = true;
    if (context->m_failed) {
        // The client missed events of the failed parse: everything goes, and
        // comes back as added.
        static const PRSWCHAR empty[1] = {0};
        context->m_failed = false;
        done = PrsParse(m_engine, context->m_engine, empty) != 0 && (!alive || !context->m_failed);
    }
    if (done && alive) {
        done = PrsParse(m_engine, context->m_engine, text) != 0 && (!alive || !context->m_failed);
    }
    if (alive) {
        context->m_failed = !done;
        context->m_alive = outerAlive;
    }
    if (--m_parseDepth > 0)
        return done;
    std::vector<QuiPrsKeyphrase*> removed;
    removed.swap(m_removed);
    for (QuiPrsKeyphrase* keyphrase : removed)
        delete keyphrase;
    return done;
}

void PRSAPI QuiParser::engineEvent(int event, PrsContext* engineContext, PrsKeyphrase* engineKeyphrase,
                                   int oldFirst, int oldLast, void* userData)
{
    QuiParser* self = static_cast<QuiParser*>(userData);
    QuiPrsContext* context = static_cast<QuiPrsContext*>(PrsContextGetUserData(engineContext));
    if (!self || !context)
        return;
    // Nothing may travel back into the engine's module.
    try {
        // Looked up at every event: a package may be gone while its keyphrases live on.
        auto found = self->m_packages.find(PrsKeyphraseGetPackage(engineKeyphrase));
        QuiPrsDllPackage* package = found == self->m_packages.end() ? nullptr : found->second;
        QuiPrsKeyphrase* keyphrase = static_cast<QuiPrsKeyphrase*>(PrsKeyphraseGetUserData(engineKeyphrase));
        if (!keyphrase) {
            keyphrase = new QuiPrsKeyphrase(engineKeyphrase, package);
            PrsKeyphraseSetUserData(engineKeyphrase, keyphrase);
            context->m_keyphrases.insert(keyphrase);
        }
        // A removed keyphrase leaves its context before the client hears of
        // it: the client may destroy the context meanwhile.
        std::unique_ptr<QuiPrsKeyphrase> removed;
        if (event == PRS_EVENT_REMOVED) {
            PrsKeyphraseSetUserData(engineKeyphrase, nullptr);
            context->m_keyphrases.erase(keyphrase);
            removed.reset(keyphrase);
        }
        if (self->m_callback && keyphrase->isOffered()) {
            try {
                self->m_callback(self, context, package, event, keyphrase, oldFirst, oldLast, self->m_userData);
            } catch (...) {
                failParse(engineContext);
            }
        }
        if (removed && self->m_parseDepth > 0) {
            self->m_removed.push_back(removed.get());
            removed.release();
        }
    } catch (...) {
        failParse(engineContext);
    }
}

void QuiParser::failParse(PrsContext* engineContext)
{
    // Read again: the client may have destroyed the context meanwhile.
    if (auto* context = static_cast<QuiPrsContext*>(PrsContextGetUserData(engineContext)))
        context->failParse();
}
