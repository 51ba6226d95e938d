// A small item database and the package files for parse tests.
#pragma once
#include "Kestrel.h"

#include <ctime>
#include <memory>
#include <string>

namespace parse_test {

extern const char kTodoCategoryType[];
extern const char kContactType[];

// The path by which a package library is loaded: beside the test program in
// the Windows tree; in the host tree, any folder, once the packages are
// registered under their file names.
std::string PackagePath(const char* file);

// Two to-do categories: "Business" parsed by its name and its keyword
// "meeting", "Personal" only by its keywords "family" and "home"; one contact
// "Robin Hale" parsed by name.
std::unique_ptr<QuiKestrel> SmallDatabase();
QuiItem* FindItem(QuiKestrel* kestrel, const char* name);

// Seconds since 1970 of today's local midnight plus `days` and `seconds`.
time_t LocalToday(int days, int seconds);

} // namespace parse_test
