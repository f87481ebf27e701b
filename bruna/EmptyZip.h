#pragma once
// Recognises a ZIP archive without members: nothing but the end of central
// directory record (22 bytes and its comment). minizip cannot list it (it
// never looks for that record at offset 0), yet such an archive is valid and
// opens with an empty catalogue.
#include <cstddef>
#include <cstdint>

class EmptyZip {
  public:
    static constexpr size_t kMaxSize = 22 + 65535;
    static bool Is(const uint8_t* data, size_t size);
};
