#include "ParseFixture.h"

#include "Osprey.h"
#include "OspreyTesting.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "Curlew.h"
#include "QuiPrsAliasPackage.h"
#endif

namespace parse_test {

const char kTodoCategoryType[] = "55861570-ea6a-11d2-a0e6-00104b9522aa";
const char kContactType[] = "55861572-ea6a-11d2-a0e6-00104b9522aa";

std::string PackagePath(const char* file)
{
#ifndef _WIN32
    static const PrsPackageEntries curlew = {&Load, &Unload, &GetKeyphraseAttributes, &AttributeToVariant};
    static const PrsPackageEntries alias = {&AliasLoad, &AliasUnload, &AliasGetKeyphraseAttributes,
                                            &AliasAttributeToVariant};
    PrsRegisterStaticPackage("Curlew.dll", &curlew);
    PrsRegisterStaticPackage("QuiPrsAliasPackageD.dll", &alias);
#endif
    return TestPackagePath(file);
}

namespace {

void AddItem(QuiKestrel* kestrel, const char* type, const char* id, const char* name, int flags,
             std::initializer_list<const char*> keywords)
{
    QuiItem* item = kestrel->getTypeList()->get(QuiItemID(type))->newItem(QuiItemID(id));
    item->setDisplayName(name);
    item->modifyFlags(flags, true);
    for (const char* keyword : keywords)
        item->keywordsAdd(keyword);
    kestrel->getItemList()->add(item);
}

} // namespace

std::unique_ptr<QuiKestrel> SmallDatabase()
{
    std::unique_ptr<QuiKestrel> kestrel(new QuiKestrel);
    kestrel->registerType(new QuiItemType(QuiItemID(kTodoCategoryType), "Todo Category", nullptr), QuiItemID());
    kestrel->registerType(new QuiItemType(QuiItemID(kContactType), "Contact", nullptr), QuiItemID());
    AddItem(kestrel.get(), kTodoCategoryType, "c1", "Business", 3, {"meeting"});
    AddItem(kestrel.get(), kTodoCategoryType, "c2", "Personal", 1, {"family", "home"});
    AddItem(kestrel.get(), kContactType, "p1", "Robin Hale", 2, {"robin"});
    return kestrel;
}

QuiItem* FindItem(QuiKestrel* kestrel, const char* name)
{
    QuiItemList* items = kestrel->getItemList();
    int cursor = items->fetchBegin(nullptr);
    QuiItem* found = nullptr;
    while (QuiItem* item = items->fetchNext(cursor)) {
        if (std::string(item->getDisplayName()) == name)
            found = item;
    }
    items->fetchEnd(cursor);
    return found;
}

// Today's local date is read once, so that what a test builds from it
// cannot straddle midnight.
time_t LocalToday(int days, int seconds)
{
    static const struct tm today = [] {
        time_t now = time(nullptr);
        return *localtime(&now);
    }();
    struct tm t = today;
    t.tm_mday += days;
    t.tm_hour = 0;
    t.tm_min = 0;
    t.tm_sec = seconds;
    t.tm_isdst = -1;
    return mktime(&t);
}

} // namespace parse_test
