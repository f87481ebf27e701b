#include "app/HandleText.h"

#include <cstdint>

std::string HandleDecimal(const void* handle)
{
    const auto bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
    return std::to_string(static_cast<int32_t>(bits));
}
