#include "skin/OpacityAlpha.h"

namespace ostra {

unsigned char OpacityAlpha(unsigned char percent)
{
    unsigned capped = percent < 100 ? percent : 100;
    // Truncated, not rounded: 50% is 127.5 and gives 127.
    return static_cast<unsigned char>(capped * 0.01 * 255);
}

} // namespace ostra
