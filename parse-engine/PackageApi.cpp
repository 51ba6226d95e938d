// The exported package functions.
#include "Context.h"
#include "Guard.h"
#include "Package.h"
#include "Parser.h"

using namespace osprey;

extern "C" {

PrsPackage* PRSAPI PrsLoadPackageDll(PrsParser* parser, const char* path)
{
    if (!parser || !path)
        return nullptr;
    void* module = nullptr;
    PackageEntries entries;
    if (!OpenPackageLibrary(path, &module, &entries))
        return nullptr;
    bool isNew = false;
    PrsPackage* package = Guarded<PrsPackage*>(nullptr, [&] { return PackageFor(module, entries, &isNew); });
    if (!package) {
        ReleasePackageLibrary(module);
        return nullptr;
    }
    if (!isNew) {
        // A reload: the library is already held once and its package is reused.
        ReleasePackageLibrary(module);
        package->userData = nullptr;
    }
    return package->Load(parser) ? package : nullptr;
}

void PRSAPI PrsUnloadPackage(PrsPackage*)
{
    // Packages stay loaded until the process ends.
}

int PRSAPI PrsPackageAttributeToVariant(PrsPackage* package, const PrsAttribute* attribute, VARIANT* out)
{
    if (!package || !attribute || !out)
        return 0;
    return package->AttributeToVariant(attribute, out);
}

void* PRSAPI PrsPackageGetUserData(const PrsPackage* package)
{
    return package ? package->userData : nullptr;
}

void* PRSAPI PrsPackageSetUserData(PrsPackage* package, void* userData)
{
    if (package)
        package->userData = userData;
    return userData;
}

PrsPackage* PRSAPI PrsKeyphraseGetPackage(const PrsKeyphrase* keyphrase)
{
    return keyphrase && keyphrase->rule ? keyphrase->rule->package : nullptr;
}

int PRSAPI PrsKeyphraseGetAttributes(void* first, PrsKeyphrase* keyphrase, int capacity,
                                     PrsAttribute* attributes)
{
    PrsPackage* package = PrsKeyphraseGetPackage(keyphrase);
    if (!package)
        return 0;
    if (!attributes || capacity < 0)
        capacity = 0;
    return package->GetKeyphraseAttributes(first, keyphrase, capacity, attributes);
}

} // extern "C"
