// Values of the Notes C API as bytes: what a value block or a composite
// record holds is read and written a word at a time, without alignment.
#pragma once
#include <windows.h>

#include <cstring>
#include <vector>

namespace NotesBytes {

inline void Append(std::vector<BYTE>* bytes, const void* data, size_t size)
{
    const BYTE* begin = static_cast<const BYTE*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

inline void AppendWord(std::vector<BYTE>* bytes, WORD value)
{
    Append(bytes, &value, sizeof value);
}

inline WORD ReadWord(const BYTE* data)
{
    WORD value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

}  // namespace NotesBytes
