// Points one module's import of a system function at a replacement for as
// long as the patch lives, so a test can make the system answer what this
// machine never would.
#pragma once
#include <windows.h>

#include <cstring>

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement)
    {
        BYTE* base = reinterpret_cast<BYTE*>(module);
        if (!base)
            return;
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!imports.VirtualAddress)
            return;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
                base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                    Swap(reinterpret_cast<void**>(&slots->u1.Function), replacement);
                    return;
                }
            }
        }
    }
    ~ImportPatch()
    {
        if (m_slot)
            Swap(m_slot, m_old);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return m_slot != nullptr; }

private:
    void Swap(void** slot, void* replacement)
    {
        DWORD protect = 0;
        if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protect))
            return;
        m_old = *slot;
        *slot = replacement;
        VirtualProtect(slot, sizeof(void*), protect, &protect);
        m_slot = slot;
    }

    void** m_slot = nullptr;
    void* m_old = nullptr;
};
