// The item record properties Heron reads, resolved in this order.
#pragma once
#include <cstddef>

extern const wchar_t* const kHeronRecordNames[];
extern const size_t kHeronRecordNameCount;
