// Packed bitmaps as a resource library a user replaced may hold them. A
// bitmap taken must hold its header, colour table and bits within its
// bytes, counted here in 128 bits so that no size can wrap round; and its
// colour table must be readable to its last entry.
#include "DibHeader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "bitmap header check broke its promise: %s\n", what);
        std::abort();
    }
}

unsigned __int128 NeededBytes(const BITMAPINFOHEADER& h)
{
    const unsigned __int128 colours = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
    unsigned __int128 bytes = h.biSize + colours * 4;
    if (h.biSize == 40 && h.biCompression == BI_BITFIELDS)
        bytes += 12;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return bytes + h.biSizeImage;
    const unsigned __int128 stride = (static_cast<unsigned __int128>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    const unsigned __int128 rows = h.biHeight < 0 ? -static_cast<__int128>(h.biHeight) : h.biHeight;
    return bytes + stride * rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly the input's bytes, so that reading past them is caught.
    std::vector<uint8_t> dib(data, data + size);
    const size_t offset = PackedDibBitsOffset(dib.data(), dib.size());
    if (!offset)
        return 0;
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    Require(h.biWidth > 0 && h.biHeight != 0 && h.biPlanes == 1, "a bitmap without a size");
    Require(NeededBytes(h) <= size, "a bitmap taken whose parts do not fit its bytes");
    Require(offset >= h.biSize && offset <= size, "the bits outside the bytes");
    const int colours = DibNumColours(&h);
    Require(colours >= 0, "a negative colour count");
    unsigned sum = 0;
    for (int i = 0; i < colours; ++i) {
        RGBQUAD q;
        std::memcpy(&q, dib.data() + h.biSize + static_cast<size_t>(i) * sizeof q, sizeof q);
        sum += q.rgbRed;
    }
    return static_cast<int>(sum & 0);
}
