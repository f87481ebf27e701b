#include "selka/RunGatherer.h"

#include <cstring>

namespace selka {

namespace {

// Scans one row of 'width' pixels; Differs(x) tells whether pixel x is not the key.
template <typename Differs> void ScanRow(int32_t y, int32_t width, Differs differs, std::vector<Run>& runs)
{
    int32_t x = 0;
    while (x < width) {
        while (x < width && !differs(x))
            ++x;
        if (x == width) break;
        const int32_t start = x;
        while (x < width && differs(x))
            ++x;
        runs.push_back(Run{y, start, x});
    }
}

GatherResult Gather4(const uint8_t* block, const DibView& view, std::vector<Run>& runs)
{
    const uint8_t key = view.TopRow(block, 0)[0] >> 4;
    for (int32_t y = 0; y < view.height; ++y) {
        const uint8_t* row = view.TopRow(block, y);
        // Checked once a row: the outcome (no region once 4249 runs exist)
        // is the same as checking after every run.
        ScanRow(
            y, view.width,
            [row, key](int32_t x) {
                const uint8_t b = row[x >> 1];
                return ((x & 1) ? (b & 0x0F) : (b >> 4)) != key;
            },
            runs);
        if (runs.size() >= RunGatherer::kFourBitRunLimit) return GatherResult::TooManyRuns;
    }
    return GatherResult::Ok;
}

GatherResult Gather8(const uint8_t* block, const DibView& view, std::vector<Run>& runs)
{
    const uint8_t key = view.TopRow(block, 0)[0];
    for (int32_t y = 0; y < view.height; ++y) {
        const uint8_t* row = view.TopRow(block, y);
        ScanRow(
            y, view.width, [row, key](int32_t x) { return row[x] != key; }, runs);
    }
    return GatherResult::Ok;
}

GatherResult Gather24(const uint8_t* block, const DibView& view, std::vector<Run>& runs)
{
    const uint8_t* top = view.TopRow(block, 0);
    const uint8_t k0 = top[0], k1 = top[1], k2 = top[2];
    for (int32_t y = 0; y < view.height; ++y) {
        const uint8_t* row = view.TopRow(block, y);
        ScanRow(
            y, view.width,
            [row, k0, k1, k2](int32_t x) {
                const uint8_t* p = row + static_cast<size_t>(x) * 3;
                return p[0] != k0 || p[1] != k1 || p[2] != k2;
            },
            runs);
    }
    return GatherResult::Ok;
}

} // namespace

GatherResult RunGatherer::Gather(const uint8_t* block, const DibView& view, std::vector<Run>& runs)
{
    runs.clear();
    switch (view.bitCount) {
    case 4:
        return Gather4(block, view, runs);
    case 8:
        return Gather8(block, view, runs);
    case 24:
        return Gather24(block, view, runs);
    default:
        return GatherResult::Unsupported;
    }
}

} // namespace selka
