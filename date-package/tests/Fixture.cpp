#include "Fixture.h"

#include "DateSource.h"
#include "Package.h"

namespace curlew_test {

namespace {

int Weekday(int32_t time)
{
    return LocalWeekday(time);
}

PrsPackage* Package()
{
    osprey::PackageEntries entries;
    entries.load = &Load;
    entries.unload = &Unload;
    entries.attributes = &GetKeyphraseAttributes;
    entries.variant = &AttributeToVariant;
    static PrsPackage package(nullptr, entries);
    return &package;
}

} // namespace

LoadedParser::LoadedParser(const curlew::LocaleFormats& formats, bool vocabulary)
    : parser(PrsInit()), package(Package())
{
    osprey::SetDateSource({&ConvertSlotsToDate, &Weekday});
    curlew::FixedLocale locale(formats);
    curlew::SetLocaleSource(&locale);
    loaded = package->Load(parser);
    curlew::SetLocaleSource(nullptr);
    if (vocabulary)
        AddVocabulary(parser);
}

LoadedParser::~LoadedParser()
{
    PrsDeInit(parser);
    osprey::SetDateSource({});
}

} // namespace curlew_test
