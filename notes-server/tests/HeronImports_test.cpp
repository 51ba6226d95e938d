// Heron.dll as the loader sees it: every import from the Notes function
// library by ordinal, with the numbers that library gives its functions, and
// the stand-in's library exporting those numbers without names.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "ImportTable.h"
#include "QuiComTesting.h"

namespace {

// The functions Heron imports from nnotes.dll, by the ordinal the library
// gives each.
const struct {
    WORD ordinal;
    const char* role;
} kNotesImports[] = {
    {416, "environment value by name"},
    {630, "user name into its components"},
    {167, "local time zone and daylight flag"},
    {229, "local time to time stamp"},
    {165, "current time"},
    {938, "network path from port, server and file"},
    {2549, "unread table: get"},
    {2256, "unread table: update from the database"},
    {357, "unread table: copy"},
    {322, "unread table: remove a note id"},
    {2548, "unread table: store back"},
    {861, "unread table: destroy"},
    {2001, "close a database handle"},
    {182, "lock a value block or memory handle"},
    {183, "unlock a value block or memory handle"},
    {2008, "close a note"},
    // Named by their role alone; the numbers are the stand-in library's.
    {1201, "item information of a named item"},
    {1202, "append a text to an item"},
    {1203, "item value as text"},
    {1204, "find a design note"},
    {1205, "open a note by id"},
    {1206, "compute a note with a form"},
    {1401, "address books of a server"},
    {1402, "free library memory"},
};

// A module mapped as an image, not run: its import and export directories
// are read where the loader would find them.
class MappedImage {
public:
    explicit MappedImage(const std::string& path)
        : m_module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~MappedImage()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    MappedImage(const MappedImage&) = delete;
    MappedImage& operator=(const MappedImage&) = delete;

    bool Valid() const { return m_module != nullptr; }

    // The imports from `dll`: their ordinals, and the names of those
    // imported by name.
    bool Imports(const char* dll, std::vector<WORD>* ordinals, std::vector<std::string>* names) const
    {
        return QuiTesting::ForEachImport(m_module, dll, [&](WORD ordinal, const char* name, IMAGE_THUNK_DATA*) {
            if (name)
                names->push_back(name);
            else
                ordinals->push_back(ordinal);
        });
    }

    // The exported ordinals, and those of them that carry a name.
    void Exports(std::set<WORD>* ordinals, std::set<WORD>* named) const
    {
        DWORD rva = Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress;
        if (!rva)
            return;
        const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(rva);
        const DWORD* functions = At<DWORD>(exports->AddressOfFunctions);
        for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) {
            if (functions[i])
                ordinals->insert(static_cast<WORD>(exports->Base + i));
        }
        const WORD* nameOrdinals = At<WORD>(exports->AddressOfNameOrdinals);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i)
            named->insert(static_cast<WORD>(exports->Base + nameOrdinals[i]));
    }

private:
    // A module loaded as an image resource has its handle's low bits set.
    const BYTE* Base() const
    {
        return reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(m_module) & ~static_cast<ULONG_PTR>(3));
    }
    template <class T>
    const T* At(DWORD rva) const
    {
        return reinterpret_cast<const T*>(Base() + rva);
    }
    const IMAGE_DATA_DIRECTORY& Directory(int index) const
    {
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        return At<IMAGE_NT_HEADERS>(dos->e_lfanew)->OptionalHeader.DataDirectory[index];
    }

    HMODULE m_module;
};

TEST(HeronImports, NotesFunctionLibraryOnlyByItsOrdinals)
{
    MappedImage heron(QuiComTesting::ProgramFolder() + "Heron.dll");
    ASSERT_TRUE(heron.Valid());
    std::vector<WORD> ordinals;
    std::vector<std::string> names;
    ASSERT_TRUE(heron.Imports("nnotes.dll", &ordinals, &names));
    std::string byName;
    for (const std::string& name : names)
        byName += name + " ";
    EXPECT_EQ("", byName) << "imported by name";
    std::set<WORD> imported(ordinals.begin(), ordinals.end());
    EXPECT_EQ(ordinals.size(), imported.size()) << "an ordinal imported twice";
    for (const auto& row : kNotesImports)
        EXPECT_EQ(1u, imported.erase(row.ordinal)) << row.ordinal << " " << row.role;
    for (WORD other : imported)
        ADD_FAILURE() << "ordinal " << other << " is no function of the library's that Heron uses";
}

TEST(HeronImports, StandInLibrariesExportThemWithoutNames)
{
    for (const char* file : {"nnotes.dll", "notes-noprofile\\nnotes.dll", "notes-noupdate\\nnotes.dll"}) {
        SCOPED_TRACE(file);
        MappedImage library(QuiComTesting::ProgramFolder() + file);
        ASSERT_TRUE(library.Valid());
        std::set<WORD> exported, named;
        library.Exports(&exported, &named);
        for (const auto& row : kNotesImports) {
            EXPECT_EQ(1u, exported.count(row.ordinal)) << row.ordinal << " " << row.role;
            EXPECT_EQ(0u, named.count(row.ordinal)) << row.ordinal << " " << row.role << " has a name";
        }
    }
}

}  // namespace
