// roadpalm.exe <desktop folder> <user> <user folder> <to-do category>...:
// makes the Palm Desktop stand-in's data for a road test, as a user of the
// desktop would have it: the user with empty tables, and the to-do
// categories. Exit code 0 when all of it was written.
#include <cstdio>
#include <string>

#include "PdCommon.h"
#include "Table21.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: roadpalm <desktop folder> <user> <user folder> <to-do category>...\n", stderr);
        return 2;
    }
    std::string desktop = argv[1];
    if (desktop.empty() || desktop.back() != '\\')
        desktop += '\\';
    try {
        CUserMgr users;
        users.SetDirectory(desktop.c_str());
        if (!users.AddUser(argv[2], argv[3])) {
            std::fprintf(stderr, "roadpalm: cannot add the user %s\n", argv[2]);
            return 1;
        }
        users.Save();
        const std::string base = desktop + argv[3] + "\\";
        CToDoTable toDo;
        toDo.OpenFrom((base + "todo\\todo.dat").c_str(), 0);
        for (int i = 4; i < argc; ++i) {
            CCategory category(i - 3, 10 + i, argv[i]);
            toDo.GetCategoryManager()->Add(&category);
        }
        toDo.Save();
        CMemoTable memo;
        memo.OpenFrom((base + "memopad\\memopad.dat").c_str(), 0);
        memo.Save();
        CDateBkTable dateBook;
        dateBook.OpenFrom((base + "datebook\\datebook.dat").c_str(), 0);
        dateBook.Save();
        CAddressTable address;
        address.OpenFrom((base + "address\\address.dat").c_str(), 0);
        address.Save();
    } catch (CException* e) {
        char message[256] = "";
        e->GetErrorMessage(message, sizeof message);
        e->Delete();
        std::fprintf(stderr, "roadpalm: %s\n", message);
        return 1;
    }
    return 0;
}
