// Archives as byte vectors, for tests that compare stored bytes or hand-made
// ones to a loading archive.
#pragma once
#include <initializer_list>
#include <vector>

#include "quifw/Archive.h"

using Bytes = std::vector<BYTE>;

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// What a storing archive writes while fill(archive) runs.
template <typename Fill>
Bytes StoredBytes(Fill fill, int bufferSize = 4096)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store, bufferSize);
    fill(ar);
    ar.Close();
    return file.GetData();
}
