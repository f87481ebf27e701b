#pragma once
// Finds the runs of a packed DIB that make up its window shape: maximal
// stretches of one row whose pixels differ from the top-left pixel (the key).
// Portable; the region itself is made from the runs by the Win32 side.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "selka/DibLayout.h"

namespace selka {

// One run: the pixels x0 .. x1 - 1 of row y, in picture coordinates (y = 0 is
// the top row, x grows to the right).
struct Run {
    int32_t y;
    int32_t x0;
    int32_t x1;
};

enum class GatherResult {
    Ok,
    Unsupported, // a bit count other than 4, 8 and 24
    TooManyRuns, // the run limit was reached
};

class RunGatherer {
  public:
    // 4-bit pictures keep the historical limit of their fixed run tables:
    // storing the 4249th run ends the scan without a region.
    static constexpr size_t kFourBitRunLimit = 4249;

    // Scans the picture at 'block' (header, palette and rows as 'view' reads
    // them) from the top row down and each row left to right, appending runs
    // to 'runs' (cleared first). Palette indices are compared, not colours.
    // The storage grows with the runs found, never with the picture's size.
    static GatherResult Gather(const uint8_t* block, const DibView& view, std::vector<Run>& runs);
};

} // namespace selka
