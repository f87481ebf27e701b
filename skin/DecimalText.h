#pragma once
// Decimal numbers inside the texts of a skin folder (file names, animation
// file fields), read the way the C library's atoi reads them.
#include <cstdint>
#include <string_view>

// Optional leading blanks (space, tab, line breaks, vertical tab, form feed),
// an optional sign, then digits; reading stops at the first other character
// and no digits give 0. Values beyond the 32-bit range are clamped to it, as
// strtol does, instead of overflowing.
int32_t ParseDecimal(std::string_view text);
