#include "PngWriter.h"

#include <cstring>

namespace pngwriter {

namespace {

void PutBe32(std::string& out, uint32_t v)
{
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void Chunk(std::string& out, const char* type, const std::string& data)
{
    PutBe32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBe32(out, Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

uint32_t Adler32(const std::string& data)
{
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// A zlib stream of stored blocks (at most 65535 bytes each).
std::string Stored(const std::string& raw)
{
    std::string out("\x78\x01", 2);
    size_t at = 0;
    do {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + n == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(n & 0xFF);
        out += static_cast<char>(n >> 8);
        out += static_cast<char>(~n & 0xFF);
        out += static_cast<char>((~n >> 8) & 0xFF);
        out.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    PutBe32(out, Adler32(raw));
    return out;
}

} // namespace

uint32_t Crc32(const uint8_t* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string Encode(const Picture& picture)
{
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    PutBe32(ihdr, picture.width);
    PutBe32(ihdr, picture.height);
    ihdr += static_cast<char>(picture.bitDepth);
    ihdr += static_cast<char>(picture.colourType);
    ihdr += std::string(3, '\0'); // deflate, adaptive filtering, no interlace
    Chunk(png, "IHDR", ihdr);
    if (!picture.palette.empty()) Chunk(png, "PLTE", std::string(picture.palette.begin(), picture.palette.end()));
    std::string raw;
    const size_t rowBytes = picture.height ? picture.rows.size() / picture.height : 0;
    // No rows: an IDAT without image data, for headers that claim too much.
    for (uint32_t y = 0; !picture.rows.empty() && y < picture.height; ++y) {
        raw += '\0'; // filter type None
        raw.append(reinterpret_cast<const char*>(picture.rows.data()) + y * rowBytes, rowBytes);
    }
    Chunk(png, "IDAT", Stored(raw));
    Chunk(png, "IEND", std::string());
    return png;
}

std::string BreakCrc(std::string png, const char* type)
{
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = static_cast<uint32_t>(static_cast<uint8_t>(png[at])) << 24 |
                                static_cast<uint32_t>(static_cast<uint8_t>(png[at + 1])) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(png[at + 2])) << 8 |
                                static_cast<uint8_t>(png[at + 3]);
        if (png.compare(at + 4, 4, type) == 0) {
            png[at + 8 + length] = static_cast<char>(png[at + 8 + length] ^ 0x5A);
            return png;
        }
        at += 12 + length;
    }
    return png;
}

} // namespace pngwriter
