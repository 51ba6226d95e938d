// The imports of a module mapped in this process, loaded or as an image
// resource, read where the loader finds them. The test is built for the same
// machine as the module, so the native structures fit.
#pragma once

#include <windows.h>

namespace QuiTesting {

// Calls each(ordinal, name, slot) for every import from `dll`: the ordinal
// and a null name for an import by ordinal, else the name; slot is the entry
// the loader fills with the function's address. False when the module
// imports nothing from `dll`.
template <class Each>
bool ForEachImport(HMODULE module, const char* dll, Each each)
{
    // A module loaded as an image resource has its handle's low bits set.
    BYTE* base = reinterpret_cast<BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~static_cast<ULONG_PTR>(3));
    if (!base)
        return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return false;
    bool found = false;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
            continue;
        found = true;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                each(static_cast<WORD>(IMAGE_ORDINAL(names->u1.Ordinal)), static_cast<const char*>(nullptr), slots);
            else
                each(WORD(0),
                     static_cast<const char*>(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name),
                     slots);
        }
    }
    return found;
}

// Calls each(dll) with the name of every module `module` imports from.
template <class Each>
void ForEachImportedModule(HMODULE module, Each each)
{
    BYTE* base = reinterpret_cast<BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~static_cast<ULONG_PTR>(3));
    if (!base)
        return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry)
        each(static_cast<const char*>(reinterpret_cast<const char*>(base + entry->Name)));
}

} // namespace QuiTesting
