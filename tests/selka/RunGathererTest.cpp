// Run gathering on packed DIBs built by hand: the runs of each row, the key
// taken from the top-left pixel, bottom-up rows, and the 4-bit run limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "selka/DibLayout.h"
#include "selka/RunGatherer.h"

using selka::DibLayout;
using selka::DibView;
using selka::GatherResult;

using selka::RunGatherer;

namespace {

// A DIB from picture rows written top row first, one character per pixel:
// '.' is value 0, digits 1-9 are their value (for 24 bits the value goes
// into the blue byte).
std::vector<uint8_t> Build(const std::vector<std::string>& rows, int bits)
{
    const uint32_t width = static_cast<uint32_t>(rows[0].size()), height = static_cast<uint32_t>(rows.size());
    const uint32_t palette = bits == 24 ? 0 : 1u << bits;
    size_t size = 0, rowSize = 0;
    EXPECT_TRUE(DibLayout::BlockSize(width, height, bits, palette, size));
    EXPECT_TRUE(DibLayout::RowSize(width, bits, rowSize));
    std::vector<uint8_t> dib(size, 0xEE); // padding filled with noise
    DibLayout::WriteHeader(dib.data(), width, height, bits, palette);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + 40 + palette * 4 + rowSize * (height - 1 - y);
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t v = rows[y][x] == '.' ? 0 : static_cast<uint8_t>(rows[y][x] - '0');
            if (bits == 4) {
                uint8_t& b = row[x / 2];
                b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | v) : static_cast<uint8_t>((b & 0x0F) | v << 4);
            } else if (bits == 8) {
                row[x] = v;
            } else {
                row[x * 3] = v;
                row[x * 3 + 1] = 0x40;
                row[x * 3 + 2] = 0x80;
            }
        }
    }
    return dib;
}

std::string Describe(const std::vector<selka::Run>& runs)
{
    std::string s;
    for (const selka::Run& r : runs)
        s += std::to_string(r.y) + ":" + std::to_string(r.x0) + "-" + std::to_string(r.x1) + " ";
    return s;
}

} // namespace

TEST(RunGatherer, RunsOfEachRow)
{
    struct Case {
        std::vector<std::string> rows;
        const char* runs;
    };
    const Case cases[] = {
        // A solid block: one run per row of the block.
        {{".....", ".333.", ".333.", "....."}, "1:1-4 2:1-4 "},
        // Runs end at the right edge; a key pixel between two runs splits them.
        {{"....1", "12.21", "....."}, "0:4-5 1:0-2 1:3-5 "},
        // The key is the top-left pixel, whatever its value.
        {{"77.7", "7777"}, "0:2-3 "},
        // Different non-key values next to each other form one run.
        {{".123.", "....."}, "0:1-4 "},
        // Nothing differs from the key: no runs.
        {{"222", "222"}, ""},
        // One pixel.
        {{"5"}, ""},
    };
    for (int bits : {4, 8, 24}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(bits) + " bits, first row " + c.rows[0]);
            const std::vector<uint8_t> dib = Build(c.rows, bits);
            DibView view;
            ASSERT_TRUE(DibView::Read(dib.data(), view));
            std::vector<selka::Run> runs{{9, 9, 9}};
            EXPECT_EQ(RunGatherer::Gather(dib.data(), view, runs), GatherResult::Ok);
            EXPECT_EQ(Describe(runs), c.runs);
        }
    }
}

TEST(RunGatherer, TwentyFourBitsCompareAllThreeBytes)
{
    std::vector<uint8_t> dib = Build({"....", "...."}, 24);
    DibView view;
    ASSERT_TRUE(DibView::Read(dib.data(), view));
    // Row y = 1 is the first row in memory; change only its green byte, then only red.
    dib[40 + 1 * 3 + 1] ^= 1;
    dib[40 + 3 * 3 + 2] ^= 1;
    std::vector<selka::Run> runs;
    ASSERT_EQ(RunGatherer::Gather(dib.data(), view, runs), GatherResult::Ok);
    EXPECT_EQ(Describe(runs), "1:1-2 1:3-4 ");
}

TEST(RunGatherer, FourBitLimitAndOtherBitCounts)
{
    // 84 rows of 50 runs and one row of 'last' runs.
    for (int last : {48, 49}) {
        std::vector<std::string> rows(85, std::string(100, '.'));
        for (int y = 0; y < 85; ++y)
            for (int x = 1; x < 100 && (y < 84 || x / 2 < last); x += 2)
                rows[y][x] = '1';
        for (int bits : {4, 8}) {
            const std::vector<uint8_t> dib = Build(rows, bits);
            DibView view;
            ASSERT_TRUE(DibView::Read(dib.data(), view));
            std::vector<selka::Run> runs;
            const GatherResult result = RunGatherer::Gather(dib.data(), view, runs);
            if (bits == 4 && last == 49) {
                EXPECT_EQ(result, GatherResult::TooManyRuns);
            } else {
                EXPECT_EQ(result, GatherResult::Ok);
                EXPECT_EQ(runs.size(), 84u * 50 + last);
            }
        }
    }
    for (int bits : {1, 16, 32}) {
        std::vector<uint8_t> dib(64, 0);
        DibLayout::WriteHeader(dib.data(), 1, 1, bits, 0);
        DibView view;
        ASSERT_TRUE(DibView::Read(dib.data(), view));
        std::vector<selka::Run> runs;
        EXPECT_EQ(RunGatherer::Gather(dib.data(), view, runs), GatherResult::Unsupported) << bits;
    }
}

TEST(DibView, Layouts)
{
    std::vector<uint8_t> header(40);
    DibView view;
    // 8 bits, biClrUsed 0: 256 palette entries are assumed.
    DibLayout::WriteHeader(header.data(), 5, 3, 8, 0);
    ASSERT_TRUE(DibView::Read(header.data(), view));
    EXPECT_EQ(view.rowSize, 8u);
    EXPECT_EQ(view.pixelOffset, 40u + 1024);
    EXPECT_EQ(view.pixelBytes, 24u);
    // 24 bits, 5 wide: 15 bytes padded to 16; no palette.
    DibLayout::WriteHeader(header.data(), 5, 3, 24, 0);
    ASSERT_TRUE(DibView::Read(header.data(), view));
    EXPECT_EQ(view.rowSize, 16u);
    EXPECT_EQ(view.pixelOffset, 40u);
    // 4 bits with 5 entries used.
    DibLayout::WriteHeader(header.data(), 9, 2, 4, 5);
    ASSERT_TRUE(DibView::Read(header.data(), view));
    EXPECT_EQ(view.rowSize, 8u);
    EXPECT_EQ(view.pixelOffset, 60u);
    // Top-down (negative height), zero width and compressed bitmaps are refused.
    DibLayout::WriteHeader(header.data(), 9, static_cast<uint32_t>(-2), 8, 0);
    EXPECT_FALSE(DibView::Read(header.data(), view));
    DibLayout::WriteHeader(header.data(), 0, 2, 8, 0);
    EXPECT_FALSE(DibView::Read(header.data(), view));
    DibLayout::WriteHeader(header.data(), 4, 2, 8, 0);
    header[16] = 1; // BI_RLE8
    EXPECT_FALSE(DibView::Read(header.data(), view));
}

TEST(DibLayout, FormatTable)
{
    struct Case {
        int type, depth, bits;
        selka::PaletteKind palette;
        bool strip16, pack, stripAlpha;
    };
    using P = selka::PaletteKind;
    const Case cases[] = {
        {0, 1, 1, P::BlackWhite, false, false, false}, {0, 2, 8, P::Grey256, false, true, false},
        {0, 4, 4, P::Grey16, false, false, false},     {0, 8, 8, P::Grey256, false, false, false},
        {0, 16, 8, P::Grey256, true, false, false},    {4, 8, 8, P::Grey256, false, false, true},
        {4, 16, 8, P::Grey256, true, false, true},     {3, 1, 1, P::File, false, false, false},
        {3, 2, 8, P::File, false, true, false},        {3, 4, 4, P::File, false, false, false},
        {3, 8, 8, P::File, false, false, false},       {2, 8, 24, P::None, false, false, false},
        {2, 16, 24, P::None, true, false, false},      {6, 8, 32, P::None, false, false, false},
        {6, 16, 32, P::None, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.depth));
        selka::DibFormat f;
        ASSERT_TRUE(DibLayout::FormatFor(c.type, c.depth, f));
        EXPECT_EQ(f.bitCount, c.bits);
        EXPECT_EQ(f.palette, c.palette);
        EXPECT_EQ(f.strip16, c.strip16);
        EXPECT_EQ(f.pack, c.pack);
        EXPECT_EQ(f.stripAlpha, c.stripAlpha);
    }
    selka::DibFormat f;
    for (auto bad : {std::make_pair(0, 3), {3, 16}, {2, 4}, {6, 1}, {4, 4}, {1, 8}, {5, 8}, {7, 8}})
        EXPECT_FALSE(DibLayout::FormatFor(bad.first, bad.second, f)) << bad.first << "/" << bad.second;
    size_t size = 0;
    EXPECT_TRUE(DibLayout::BlockSize(3, 2, 8, 5, size));
    EXPECT_EQ(size, 40u + 20 + 8);
}
