#include "DibHeader.h"

#include <cstring>

namespace {

// Bytes of colour table and masks between the header and the bits.
unsigned long long TableBytes(const BITMAPINFOHEADER& h)
{
    const unsigned long long colours = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
    unsigned long long bytes = colours * sizeof(RGBQUAD);
    if (h.biSize == sizeof(BITMAPINFOHEADER) && h.biCompression == BI_BITFIELDS)
        bytes += 3 * sizeof(DWORD);
    return bytes;
}

bool BitsFit(const BITMAPINFOHEADER& h, size_t available)
{
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1)
        return false;
    const WORD bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return h.biSizeImage <= available;
    // Below 2^34 and 2^31: the product cannot wrap.
    const unsigned long long stride = (static_cast<unsigned long long>(h.biWidth) * bits + 31) / 32 * 4;
    const long long rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    return stride * static_cast<unsigned long long>(rows) <= available;
}

} // namespace

int DibNumColours(const BITMAPINFOHEADER* header)
{
    if (header->biClrUsed)
        return static_cast<int>(header->biClrUsed);
    return header->biBitCount <= 8 ? 1 << header->biBitCount : 0;
}

size_t PackedDibBitsOffset(const void* dib, size_t size)
{
    if (!dib || size < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size)
        return 0;
    // In 64 bits: a colour count near 2^30 must not wrap a 32-bit size round.
    const unsigned long long offset = header.biSize + TableBytes(header);
    if (offset > size || !BitsFit(header, size - static_cast<size_t>(offset)))
        return 0;
    return static_cast<size_t>(offset);
}
