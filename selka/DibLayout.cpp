#include "selka/DibLayout.h"

#include <limits>

namespace selka {

namespace {

void PutLe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool MulAdd(size_t a, size_t b, size_t add, size_t& out)
{
    constexpr size_t kMax = std::numeric_limits<size_t>::max();
    if (b != 0 && a > (kMax - add) / b) return false;
    out = a * b + add;
    return true;
}

} // namespace

bool DibLayout::FormatFor(int colourType, int bitDepth, DibFormat& format)
{
    format = DibFormat{};
    switch (colourType) {
    case kGrey:
        switch (bitDepth) {
        case 1:
            format.bitCount = 1;
            format.palette = PaletteKind::BlackWhite;
            return true;
        case 2:
            format.bitCount = 8;
            format.palette = PaletteKind::Grey256;
            format.pack = true;
            return true;
        case 4:
            format.bitCount = 4;
            format.palette = PaletteKind::Grey16;
            return true;
        case 8:
            format.bitCount = 8;
            format.palette = PaletteKind::Grey256;
            return true;
        case 16:
            format.bitCount = 8;
            format.palette = PaletteKind::Grey256;
            format.strip16 = true;
            return true;
        }
        return false;
    case kGreyAlpha:
        if (bitDepth != 8 && bitDepth != 16) return false;
        format.bitCount = 8;
        format.palette = PaletteKind::Grey256;
        format.strip16 = bitDepth == 16;
        format.stripAlpha = true;
        return true;
    case kPalette:
        switch (bitDepth) {
        case 1:
        case 4:
        case 8:
            format.bitCount = bitDepth;
            format.palette = PaletteKind::File;
            return true;
        case 2:
            format.bitCount = 8;
            format.palette = PaletteKind::File;
            format.pack = true;
            return true;
        }
        return false;
    case kRgb:
    case kRgbAlpha:
        if (bitDepth != 8 && bitDepth != 16) return false;
        format.bitCount = colourType == kRgb ? 24 : 32;
        format.strip16 = bitDepth == 16;
        return true;
    }
    return false;
}

bool DibLayout::RowSize(uint32_t width, int bitCount, size_t& rowSize)
{
    // In 64 bits even the largest width times 32 bits cannot overflow.
    const uint64_t bits = static_cast<uint64_t>(bitCount) * width + 31;
    const uint64_t bytes = bits / 32 * 4;
    if (bytes > std::numeric_limits<size_t>::max()) return false;
    rowSize = static_cast<size_t>(bytes);
    return true;
}

bool DibLayout::BlockSize(uint32_t width, uint32_t height, int bitCount, uint32_t paletteEntries, size_t& size)
{
    size_t rowSize = 0, head = 0;
    return RowSize(width, bitCount, rowSize) && MulAdd(paletteEntries, 4, kHeaderSize, head) &&
           MulAdd(rowSize, height, head, size);
}

void DibLayout::WriteHeader(uint8_t* block, uint32_t width, uint32_t height, int bitCount, uint32_t paletteEntries)
{
    for (size_t i = 0; i < kHeaderSize; ++i)
        block[i] = 0;
    PutLe32(block + 0, static_cast<uint32_t>(kHeaderSize));
    PutLe32(block + 4, width);
    PutLe32(block + 8, height);
    block[12] = 1; // biPlanes
    block[14] = static_cast<uint8_t>(bitCount);
    PutLe32(block + 32, paletteEntries); // biClrUsed
}

bool DibView::Read(const uint8_t* header, DibView& view)
{
    view = DibView{};
    const int32_t width = static_cast<int32_t>(GetLe32(header + 4));
    const int32_t height = static_cast<int32_t>(GetLe32(header + 8));
    const int bitCount = header[14] | header[15] << 8;
    const uint32_t compression = GetLe32(header + 16);
    uint32_t paletteEntries = GetLe32(header + 32);
    const uint32_t headerSize = GetLe32(header);
    if (width <= 0 || height <= 0 || compression != 0 || headerSize < DibLayout::kHeaderSize) return false;
    if (paletteEntries == 0 && bitCount >= 1 && bitCount <= 8) paletteEntries = 1u << bitCount;
    size_t rowSize = 0, offset = 0, pixels = 0;
    if (!DibLayout::RowSize(static_cast<uint32_t>(width), bitCount, rowSize)) return false;
    if (!MulAdd(paletteEntries, 4, headerSize, offset)) return false;
    if (!MulAdd(rowSize, static_cast<size_t>(height), 0, pixels)) return false;
    if (offset > std::numeric_limits<size_t>::max() - pixels) return false;
    view.width = width;
    view.height = height;
    view.bitCount = bitCount;
    view.rowSize = rowSize;
    view.pixelOffset = offset;
    view.pixelBytes = pixels;
    return true;
}

} // namespace selka
