#pragma once
// Writes small PNG files for the edge cases no test image covers (a 5-entry
// palette, hostile dimensions, a damaged CRC). Deflate blocks are stored, not
// compressed, so no library is needed. Portable test helper.
#include <cstdint>
#include <string>
#include <vector>

namespace pngwriter {

struct Picture {
    uint32_t width = 0, height = 0;
    int bitDepth = 8, colourType = 2;
    std::vector<uint8_t> palette; // r, g, b per entry, for colour type 3
    std::vector<uint8_t> rows;    // height rows of packed samples, no filter bytes
};

uint32_t Crc32(const uint8_t* data, size_t size);

// A complete PNG: signature, IHDR, PLTE when given, one IDAT, IEND.
std::string Encode(const Picture& picture);

// 'png' with the CRC of its first chunk of type 'type' made wrong.
std::string BreakCrc(std::string png, const char* type);

} // namespace pngwriter
