#include "bruna/EmptyZip.h"

namespace {
uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p)
{
    return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16;
}
} // namespace

bool EmptyZip::Is(const uint8_t* data, size_t size)
{
    if (!data || size < 22 || size > kMaxSize) return false;
    return U32(data) == 0x06054b50 && U16(data + 4) == 0 && U16(data + 6) == 0 && U16(data + 8) == 0 &&
           U16(data + 10) == 0 && U32(data + 12) == 0 && U32(data + 16) == 0 && U16(data + 20) == size - 22;
}
