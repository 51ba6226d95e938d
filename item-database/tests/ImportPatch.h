// Points one module's import of a system function at a replacement for as
// long as the patch lives, so a test can make the system answer what this
// machine never would.
#pragma once
#include <windows.h>

#include <cstring>

#include "ImportTable.h"

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement)
    {
        QuiTesting::ForEachImport(module, dll, [&](WORD, const char* name, IMAGE_THUNK_DATA* slot) {
            if (!m_slot && name && std::strcmp(name, function) == 0)
                Swap(reinterpret_cast<void**>(&slot->u1.Function), replacement);
        });
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
