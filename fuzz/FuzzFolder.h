// A folder of the fuzz target's own for the files it reads back, in memory
// where the machine has a memory file system, removed when the target ends:
// targets running side by side must not read each other's files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline const std::string& FuzzFolder()
{
    static const std::string folder = [] {
        for (const char* place : {"/dev/shm", "/tmp"}) {
            std::string name = std::string(place) + "/quillmate-fuzz-XXXXXX";
            if (mkdtemp(&name[0])) {
                static std::string made;
                made = name;
                std::atexit([] {
                    std::error_code ignored;
                    std::filesystem::remove_all(made, ignored);
                });
                return name;
            }
        }
        std::fprintf(stderr, "no folder for the fuzz target's files\n");
        std::abort();
    }();
    return folder;
}
