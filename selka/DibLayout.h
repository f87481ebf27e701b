#pragma once
// The packed DIB that LoadPNGFile hands out and CreateDIBitmapRegion reads:
// a 40-byte BITMAPINFOHEADER, the palette (4 bytes per entry, blue, green,
// red, 0), then the rows bottom-up, each padded to a multiple of 4 bytes.
// Portable: offsets and sizes only, no Windows types.
#include <cstddef>
#include <cstdint>

namespace selka {

// Which palette a decoded picture carries.
enum class PaletteKind {
    None,       // 24 and 32 bits
    File,       // the PLTE entries of a palette image, in file order
    BlackWhite, // grey 1 bit: black, white
    Grey16,     // grey 4 bits: entry i is (17i, 17i, 17i)
    Grey256,    // grey 2 (unscaled samples), 8 and 16 bits: entry i is (i, i, i)
};

// What a PNG of one colour type and bit depth becomes.
struct DibFormat {
    int bitCount = 0; // biBitCount
    PaletteKind palette = PaletteKind::None;
    bool strip16 = false;    // keep the high 8 bits of 16-bit samples
    bool pack = false;       // 2-bit samples widened to one per byte
    bool stripAlpha = false; // grey with alpha loses its alpha
};

struct DibLayout {
    static constexpr size_t kHeaderSize = 40;
    // PNG colour types as the PNG format numbers them.
    static constexpr int kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgbAlpha = 6;

    // The format for a PNG colour type and bit depth; false for combinations
    // a valid PNG cannot have.
    static bool FormatFor(int colourType, int bitDepth, DibFormat& format);

    // Bytes of one padded row: ((bits * width + 31) / 32) * 4. False when the
    // figure does not fit in size_t.
    static bool RowSize(uint32_t width, int bitCount, size_t& rowSize);

    // Bytes of the whole block (header, palette, rows); false on overflow.
    static bool BlockSize(uint32_t width, uint32_t height, int bitCount, uint32_t paletteEntries, size_t& size);

    // Writes the 40-byte header in the little-endian byte order of
    // BITMAPINFOHEADER: biSize 40, width, height (positive: bottom-up),
    // planes 1, the bit count and biClrUsed; all else 0.
    static void WriteHeader(uint8_t* block, uint32_t width, uint32_t height, int bitCount, uint32_t paletteEntries);
};

// The view of a packed DIB that region building needs, read from its header.
struct DibView {
    int32_t width = 0;
    int32_t height = 0; // positive: rows bottom-up
    int bitCount = 0;
    size_t rowSize = 0;
    size_t pixelOffset = 0; // from the start of the header to the first (bottom) row
    size_t pixelBytes = 0;  // rowSize * height

    // Reads the header at 'block' (at least 40 bytes). The palette is
    // biClrUsed entries, or 2^biBitCount when biClrUsed is 0 and the bit count
    // is at most 8. False for layouts region building does not handle:
    // a non-positive width or height (top-down rows), compression, or sizes
    // that overflow.
    static bool Read(const uint8_t* header, DibView& view);

    // The first byte of the row 'y' counted from the top of the picture.
    const uint8_t* TopRow(const uint8_t* block, int32_t y) const
    {
        return block + pixelOffset + rowSize * static_cast<size_t>(height - 1 - y);
    }
};

} // namespace selka
