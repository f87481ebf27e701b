#pragma once
// Checks a packed DIB from LoadPNGFile against the PNG it came from: the
// header and palette by the format table, the pixels against an independent
// decode (ImageMagick's raw 16-bit RGBA, most significant byte first).
// Portable, shared by the native and the Wine tests.
#include <cstdint>
#include <string>

namespace dibcheck {

struct PngHeader {
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
};

// Reads IHDR straight from the file bytes; false when they are not a PNG.
bool ReadPngHeader(const std::string& png, PngHeader& header);

// Empty when 'dib' (the block, at least 'dibSize' bytes) is what the PNG
// must become and its pixels match 'rgba16'; else the first difference.
std::string Compare(const PngHeader& png, const std::string& dib, const std::string& rgba16);

// The colour (r, g, b, a) of pixel (x, y), y = 0 at the top, as the DIB
// shows it (through its palette); alpha is 255 unless the DIB has 32 bits.
void PixelColour(const std::string& dib, int32_t x, int32_t y, uint8_t rgba[4]);

} // namespace dibcheck
