#pragma once
// The short method text of a ZIP member, as ZIP listing tools print it:
// "Stored", "Defl:N" (normal), "Defl:X" (maximum), "Defl:F" (fast),
// "Defl:S" (super fast) by the deflate option bits, otherwise a short name.
#include <cstdint>
#include <string>

class ZipMethod {
  public:
    // method: the compression method number of the central directory;
    // flags: the general purpose bit flag. At most 9 characters.
    static std::string Text(uint16_t method, uint16_t flags);
};
