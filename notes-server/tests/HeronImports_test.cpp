// Heron.dll as the loader sees it, and the Notes functions it asks for: the
// server links to no Notes library (it finds the installed one at run time
// and asks it for functions by their documented names), and the stand-in's
// nnotes.dll exports exactly those names.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "ImportTable.h"
#include "QuiComTesting.h"
#include "notesapi.h"

namespace {

// The Notes C API functions the server calls, as the C API's reference names
// them. A function added to notesapi.h belongs here only once its name,
// parameters and convention have been checked against that reference.
const std::set<std::string> kDocumented = {
    "NotesInitExtended", "NotesTerm", "NotesInitThread", "NotesTermThread",
    "OSGetEnvironmentString", "OSLoadString", "OSTranslate", "OSGetDataDirectory", "SECKFMGetUserName", "DNParse",
    "OSPathNetConstruct", "OSPathNetParse", "NSGetServerList", "NAMEGetAddressBooks",
    "OSLockObject", "OSUnlockObject", "OSMemFree",
    "OSCurrentTIMEDATE", "OSCurrentTimeZone", "TimeLocalToGM", "TimeGMToLocal", "TimeConstant", "TimeDateCompare",
    "NSFDbOpen", "NSFDbClose", "NSFDbCreate", "NSFDbCopy", "NSFDbGetBuildVersion", "NSFDbGetModifiedNoteTable",
    "NSFDbGenerateOID", "NSFDbReplicaInfoGet", "NIFFindDesignNote",
    "NSFNoteCreate", "NSFNoteOpen", "NSFNoteClose", "NSFNoteUpdate", "NSFNoteDelete", "NSFNoteGetInfo",
    "NSFNoteSetInfo", "NSFNoteCopy", "NSFNoteComputeWithForm", "NSFNoteAttachFile",
    "NSFItemInfo", "NSFItemInfoNext", "NSFItemDelete", "NSFItemAppend", "NSFItemSetText",
    "NSFItemGetTextListEntries", "NSFItemGetTextListEntry", "NSFItemAppendTextList", "NSFItemConvertValueToText",
    "NSFItemGetTime", "NSFItemGetNumber",
    "IDCreateTable", "IDDestroyTable", "IDInsert", "IDDelete", "IDScan", "IDTableCopy",
    "NSFDbGetUnreadNoteTable", "NSFDbUpdateUnread", "NSFDbSetUnreadNoteTable", "MailOpenMessageFile",
    "MailCloseMessageFile",
    "NIFOpenCollection", "NIFReadEntries", "NIFCloseCollection",
    "NSFComputeStart", "NSFComputeEvaluate", "NSFComputeStop",
    "CompoundTextCreate", "CompoundTextInitStyle", "CompoundTextDefineStyle", "CompoundTextAddParagraphExt",
    "CompoundTextAddTextExt", "CompoundTextAddDocLink", "CompoundTextAddCDRecords", "CompoundTextClose",
    "CompoundTextDiscard",
    "FolderCreate", "FolderDocAdd",
    "NSFProfileOpen", "NSFProfileGetField", "NSFProfileUpdate",
};

// A module mapped as an image, not run.
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

    HMODULE Module() const { return m_module; }

    // The exported names; `unnamed` counts the exports that have none.
    std::set<std::string> ExportedNames(size_t* unnamed) const
    {
        std::set<std::string> names;
        const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(m_module) & ~ULONG_PTR(3));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
        *unnamed = 0;
        if (!rva)
            return names;
        const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + rva);
        const DWORD* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
        const DWORD* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i)
            names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
        for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) {
            if (functions[i])
                ++*unnamed;
        }
        *unnamed -= exports->NumberOfNames;
        return names;
    }

private:
    HMODULE m_module;
};

// Heron.dll loads whatever it was built against before it runs a line: any
// Notes library among those would keep it from loading on a machine without
// Notes, and one taken by ordinal or by a compiler's decorated name would be
// no library a Notes installation has.
TEST(HeronImports, OnlySystemLibrariesByName)
{
    MappedImage heron(QuiComTesting::ProgramFolder() + "Heron.dll");
    ASSERT_TRUE(heron.Module());
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    std::vector<std::string> modules;
    QuiTesting::ForEachImportedModule(heron.Module(), [&](const char* dll) { modules.push_back(dll); });
    EXPECT_FALSE(modules.empty());
    for (const std::string& dll : modules) {
        const std::string path = std::string(system) + "\\" + dll;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << dll << " is no system library";
        QuiTesting::ForEachImport(heron.Module(), dll.c_str(), [&](WORD ordinal, const char* name, IMAGE_THUNK_DATA*) {
            EXPECT_TRUE(name != nullptr) << dll << " ordinal " << ordinal;
        });
    }
}

// What the server resolves from the Notes library, by name.
TEST(HeronImports, NotesFunctionsAskedForAreDocumented)
{
    std::set<std::string> asked;
#define NOTES_API_NAME(ret, name, params, args) asked.insert(#name);
    NOTES_API_FUNCTIONS(NOTES_API_NAME)
#undef NOTES_API_NAME
    EXPECT_EQ(kDocumented, asked);
}

// The stand-in is the function library and nothing more: the documented
// names, each undecorated, nothing by number alone; its runtimes without
// profile functions lack just those.
TEST(HeronImports, StandInLibrariesExportTheDocumentedNames)
{
    const struct {
        const char* file;
        std::set<std::string> missing;
    } rows[] = {
        {"nnotes.dll", {}},
        {"notes-noprofile\\nnotes.dll", {"NSFProfileOpen", "NSFProfileGetField", "NSFProfileUpdate"}},
        {"notes-noupdate\\nnotes.dll", {"NSFProfileUpdate"}},
    };
    for (const auto& row : rows) {
        MappedImage library(QuiComTesting::ProgramFolder() + row.file);
        ASSERT_TRUE(library.Module()) << row.file;
        std::set<std::string> expected;
        for (const std::string& name : kDocumented) {
            if (!row.missing.count(name))
                expected.insert(name);
        }
        size_t unnamed = 0;
        EXPECT_EQ(expected, library.ExportedNames(&unnamed)) << row.file;
        EXPECT_EQ(0u, unnamed) << row.file;
    }
}

}  // namespace
