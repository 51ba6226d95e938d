#include "Package.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace osprey {

namespace {

// Never destroyed: rules and keyphrases may name a package until the process ends.
std::vector<PrsPackage*>& Packages()
{
    static std::vector<PrsPackage*>* packages = new std::vector<PrsPackage*>;
    return *packages;
}

#ifndef _WIN32
struct StaticPackage {
    std::string fileName;
    PackageEntries entries;
};

std::vector<StaticPackage*>& StaticPackages()
{
    static std::vector<StaticPackage*>* list = new std::vector<StaticPackage*>;
    return *list;
}

const char* FileNameOf(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    return name;
}
#endif

} // namespace

#ifdef _WIN32
bool OpenPackageLibrary(const char* path, void** module, PackageEntries* entries)
{
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return false;
    PackageEntries e;
    e.load = reinterpret_cast<PrsPackageLoadFn>(GetProcAddress(library, "Load"));
    e.unload = reinterpret_cast<PrsPackageUnloadFn>(GetProcAddress(library, "Unload"));
    e.attributes = reinterpret_cast<PrsPackageAttributesFn>(GetProcAddress(library, "GetKeyphraseAttributes"));
    e.variant = reinterpret_cast<PrsPackageVariantFn>(GetProcAddress(library, "AttributeToVariant"));
    if (!e.load || !e.unload || !e.attributes || !e.variant) {
        FreeLibrary(library);
        return false;
    }
    *module = library;
    *entries = e;
    return true;
}

void ReleasePackageLibrary(void* module)
{
    FreeLibrary(static_cast<HMODULE>(module));
}
#else
bool OpenPackageLibrary(const char* path, void** module, PackageEntries* entries)
{
    const char* name = FileNameOf(path);
    for (StaticPackage* p : StaticPackages()) {
        if (p->fileName == name) {
            const PackageEntries& e = p->entries;
            if (!e.load || !e.unload || !e.attributes || !e.variant)
                return false;
            *module = p;
            *entries = e;
            return true;
        }
    }
    return false;
}

void ReleasePackageLibrary(void*)
{
}
#endif

PrsPackage* PackageFor(void* module, const PackageEntries& entries, bool* isNew)
{
    for (PrsPackage* p : Packages()) {
        if (p->module == module) {
            *isNew = false;
            return p;
        }
    }
    Packages().reserve(Packages().size() + 1);
    PrsPackage* package = new PrsPackage(module, entries);
    Packages().push_back(package);
    *isNew = true;
    return package;
}

} // namespace osprey

int PrsPackage::GetKeyphraseAttributes(void* first, PrsKeyphrase* keyphrase, int capacity,
                                       PrsAttribute* attributes)
{
    return entries.attributes ? entries.attributes(first, keyphrase, capacity, attributes) : 0;
}

int PrsPackage::Load(PrsParser* parser)
{
    return entries.load ? entries.load(parser, this) : 0;
}

void PrsPackage::Unload(void* parserSide)
{
    if (entries.unload)
        entries.unload(parserSide, this);
}

int PrsPackage::AttributeToVariant(const PrsAttribute* attribute, VARIANT* out)
{
    return entries.variant ? entries.variant(attribute, out) : 0;
}

#ifndef _WIN32
int PrsRegisterStaticPackage(const char* fileName, const PrsPackageEntries* entries)
{
    if (!fileName || !entries)
        return 0;
    for (osprey::StaticPackage* p : osprey::StaticPackages()) {
        if (p->fileName == fileName)
            return 1;
    }
    osprey::StaticPackage* p = new osprey::StaticPackage;
    p->fileName = fileName;
    p->entries.load = entries->load;
    p->entries.unload = entries->unload;
    p->entries.attributes = entries->attributes;
    p->entries.variant = entries->variant;
    osprey::StaticPackages().push_back(p);
    return 1;
}
#endif
