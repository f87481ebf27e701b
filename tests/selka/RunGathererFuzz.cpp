// Fuzzes the DIB header reading and run gathering on arbitrary blocks: the
// first 40 bytes are the header, the rest palette and rows. A block whose
// header claims more than the input holds is skipped, as the DLL's
// readability probe would refuse it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "selka/DibLayout.h"
#include "selka/RunGatherer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < selka::DibLayout::kHeaderSize) return 0;
    selka::DibView view;
    if (!selka::DibView::Read(data, view)) return 0;
    if (view.pixelOffset > size || view.pixelBytes > size - view.pixelOffset) return 0;
    std::vector<selka::Run> runs;
    selka::RunGatherer::Gather(data, view, runs);
    int32_t lastY = -1, lastX1 = 0;
    for (const selka::Run& r : runs) {
        // Runs come top row first, left to right, never touching.
        if (r.x0 < 0 || r.x0 >= r.x1 || r.x1 > view.width || r.y < lastY || r.y >= view.height) std::abort();
        if (r.y == lastY && r.x0 <= lastX1) std::abort();
        lastY = r.y;
        lastX1 = r.x1;
    }
    return 0;
}
