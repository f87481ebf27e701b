// Fuzzes PNG decoding and, for what decodes to 4, 8 or 24 bits, run
// gathering over the result: any bytes give a block or nothing, with every
// block released and nothing read outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "selka/DibLayout.h"
#include "selka/PngDecoder.h"
#include "selka/RunGatherer.h"

namespace {
struct HeapAllocator : selka::BlockAllocator {
    size_t size = 0;
    uint8_t* Allocate(size_t bytes) override
    {
        // Fuzzed headers may ask for up to the decoder's bound; keep runs quick.
        if (bytes > (size_t(64) << 20)) return nullptr;
        size = bytes;
        return static_cast<uint8_t*>(std::calloc(bytes, 1));
    }
    void Release(uint8_t* block) override { std::free(block); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HeapAllocator allocator;
    uint8_t* block = selka::PngDecoder::DecodeMemory(data, size, allocator);
    if (!block) return 0;
    selka::DibView view;
    if (!selka::DibView::Read(block, view) || view.pixelOffset + view.pixelBytes > allocator.size) std::abort();
    std::vector<selka::Run> runs;
    const selka::GatherResult result = selka::RunGatherer::Gather(block, view, runs);
    for (const selka::Run& r : runs)
        if (r.x0 < 0 || r.x0 >= r.x1 || r.x1 > view.width || r.y < 0 || r.y >= view.height) std::abort();
    (void)result;
    allocator.Release(block);
    return 0;
}
