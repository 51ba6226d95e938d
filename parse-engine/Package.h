// Package libraries: loaded by path, one package object per library for the
// life of the process.
#pragma once
#include "Osprey.h"

namespace osprey {

struct PackageEntries {
    PrsPackageLoadFn load = nullptr;
    PrsPackageUnloadFn unload = nullptr;
    PrsPackageAttributesFn attributes = nullptr;
    PrsPackageVariantFn variant = nullptr;
};

// Opens the library at `path` and looks up its four entry points. False, with
// nothing held, when it cannot be opened or lacks one of them. Opening an
// open library again gives the same module and takes one more reference.
bool OpenPackageLibrary(const char* path, void** module, PackageEntries* entries);
void ReleasePackageLibrary(void* module);

// The package of a module, made on its first load and kept after.
PrsPackage* PackageFor(void* module, const PackageEntries& entries, bool* isNew);

} // namespace osprey

struct PrsPackage {
    PrsPackage(void* mod, const osprey::PackageEntries& e) : module(mod), entries(e) {}
    virtual ~PrsPackage() = default;
    virtual int GetKeyphraseAttributes(void* first, PrsKeyphrase* keyphrase, int capacity,
                                       PrsAttribute* attributes);
    virtual int Load(PrsParser* parser);
    virtual void Unload(void* parserSide);
    virtual int AttributeToVariant(const PrsAttribute* attribute, VARIANT* out);

    void* userData = nullptr;
    void* module;
    osprey::PackageEntries entries;
};
