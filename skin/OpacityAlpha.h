#pragma once
// The constant alpha of a skin window for an opacity in percent: the
// percentage (one unsigned byte, so a stored 300 arrives as 44) is capped at
// 100 and scaled to 0..255 in double precision, truncated towards zero:
// 100 gives 255, 50 gives 127, 10 gives 25, 0 gives 0.

namespace ostra {

unsigned char OpacityAlpha(unsigned char percent);

} // namespace ostra
