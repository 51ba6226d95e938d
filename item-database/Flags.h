// The application's flag bits on items and item types; the database only
// stores them.
#pragma once

namespace kestrel {
inline void ModifyFlags(int& flags, int bits, bool on)
{
    flags = on ? (flags | bits) : (flags & ~bits);
}
}
