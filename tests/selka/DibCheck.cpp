#include "DibCheck.h"

#include <cstdio>

namespace dibcheck {

namespace {

uint32_t Be32(const std::string& s, size_t at)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 8 | static_cast<uint8_t>(s[at + 3]);
}

uint32_t Le32(const std::string& s, size_t at)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

uint8_t Byte(const std::string& s, size_t at)
{
    return static_cast<uint8_t>(s[at]);
}

// The format table: bit count and palette size for a PNG colour type and depth.
bool Expected(int colourType, int depth, int& bits, uint32_t& palette)
{
    switch (colourType) {
    case 0:
        if (depth == 1) {
            bits = 1;
            palette = 2;
            return true;
        }
        if (depth == 2) {
            bits = 8;
            palette = 256;
            return true;
        }
        if (depth == 4) {
            bits = 4;
            palette = 16;
            return true;
        }
        if (depth == 8 || depth == 16) {
            bits = 8;
            palette = 256;
            return true;
        }
        return false;
    case 4:
        bits = 8;
        palette = 256;
        return depth == 8 || depth == 16;
    case 3:
        bits = depth == 2 ? 8 : depth;
        palette = 0;
        return true; // palette: the file's count
    case 2:
        bits = 24;
        palette = 0;
        return depth == 8 || depth == 16;
    case 6:
        bits = 32;
        palette = 0;
        return depth == 8 || depth == 16;
    }
    return false;
}

std::string Fail(const char* format, long a = 0, long b = 0, long c = 0, long d = 0)
{
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

} // namespace

bool ReadPngHeader(const std::string& png, PngHeader& header)
{
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (png.size() < 33 || png.compare(0, 8, kSignature, 8) != 0 || png.compare(12, 4, "IHDR") != 0) return false;
    header.width = Be32(png, 16);
    header.height = Be32(png, 20);
    header.bitDepth = Byte(png, 24);
    header.colourType = Byte(png, 25);
    header.interlace = Byte(png, 28);
    return true;
}

void PixelColour(const std::string& dib, int32_t x, int32_t y, uint8_t rgba[4])
{
    const int32_t width = static_cast<int32_t>(Le32(dib, 4));
    const int32_t height = static_cast<int32_t>(Le32(dib, 8));
    const int bits = Byte(dib, 14);
    const uint32_t used = Le32(dib, 32);
    const size_t rowSize = (static_cast<size_t>(bits) * width + 31) / 32 * 4;
    const size_t row = 40 + used * 4 + rowSize * static_cast<size_t>(height - 1 - y);
    rgba[3] = 255;
    if (bits == 24 || bits == 32) {
        const size_t p = row + static_cast<size_t>(x) * (bits / 8);
        rgba[0] = Byte(dib, p + 2);
        rgba[1] = Byte(dib, p + 1);
        rgba[2] = Byte(dib, p);
        if (bits == 32) rgba[3] = Byte(dib, p + 3);
        return;
    }
    const size_t bitOffset = static_cast<size_t>(x) * bits;
    const uint8_t b = Byte(dib, row + bitOffset / 8);
    const int shift = 8 - bits - static_cast<int>(bitOffset % 8);
    const uint32_t index = (b >> shift) & ((1u << bits) - 1);
    const size_t entry = 40 + index * 4;
    rgba[0] = Byte(dib, entry + 2);
    rgba[1] = Byte(dib, entry + 1);
    rgba[2] = Byte(dib, entry);
}

std::string Compare(const PngHeader& png, const std::string& dib, const std::string& rgba16)
{
    int bits = 0;
    uint32_t palette = 0;
    if (!Expected(png.colourType, png.bitDepth, bits, palette)) return "no such PNG format";
    if (dib.size() < 40) return "block shorter than a header";
    if (Le32(dib, 0) != 40) return "biSize is not 40";
    if (Le32(dib, 4) != png.width || Le32(dib, 8) != png.height) return "size differs from IHDR";
    if ((Le32(dib, 12) & 0xFFFF) != 1) return "biPlanes is not 1";
    if (Byte(dib, 14) != bits || Byte(dib, 15) != 0) return Fail("biBitCount %ld, expected %ld", Byte(dib, 14), bits);
    for (size_t at = 16; at < 40; at += 4)
        if (at != 32 && Le32(dib, at) != 0) return Fail("header field at %ld is not 0", static_cast<long>(at));
    const uint32_t used = Le32(dib, 32);
    if (png.colourType == 3) {
        if (used == 0 || used > 256) return Fail("palette image with %ld entries", used);
    } else if (used != palette) {
        return Fail("biClrUsed %ld, expected %ld", used, palette);
    }
    const size_t rowSize = (static_cast<size_t>(bits) * png.width + 31) / 32 * 4;
    if (dib.size() < 40 + used * 4 + rowSize * png.height) return "block shorter than its rows";
    for (uint32_t i = 0; i < used; ++i) {
        if (Byte(dib, 40 + i * 4 + 3) != 0) return Fail("palette entry %ld has a nonzero fourth byte", i);
        if (png.colourType == 3) continue;
        const uint32_t grey = png.bitDepth == 1 ? i * 255 : png.bitDepth == 4 ? i * 17 : i;
        for (int k = 0; k < 3; ++k)
            if (Byte(dib, 40 + i * 4 + k) != grey) return Fail("grey palette entry %ld is not %ld", i, grey);
    }
    if (rgba16.size() != static_cast<size_t>(png.width) * png.height * 8)
        return Fail("reference holds %ld bytes for %ldx%ld", static_cast<long>(rgba16.size()), png.width, png.height);

    for (uint32_t y = 0; y < png.height; ++y) {
        for (uint32_t x = 0; x < png.width; ++x) {
            uint8_t got[4];
            PixelColour(dib, static_cast<int32_t>(x), static_cast<int32_t>(y), got);
            const size_t ref = (static_cast<size_t>(y) * png.width + x) * 8;
            uint8_t want[4];
            for (int k = 0; k < 4; ++k)
                want[k] = Byte(rgba16, ref + 2 * k); // the high byte of each sample
            if (png.colourType == 0 && png.bitDepth == 2) {
                // Grey 2 bits keeps the samples 0..3 unscaled: grey v is shown as (v, v, v).
                for (int k = 0; k < 3; ++k)
                    got[k] = static_cast<uint8_t>(got[k] * 85);
            }
            const int channels = bits == 32 ? 4 : 3;
            for (int k = 0; k < channels; ++k)
                if (got[k] != want[k])
                    return Fail("pixel (%ld,%ld) channel %ld differs: got %ld", x, y, k, got[k]) +
                           Fail(", expected %ld", want[k]);
        }
    }
    return std::string();
}

} // namespace dibcheck
