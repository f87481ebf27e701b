// LoadPNGFile and CreateDIBitmapRegion through the real selka.dll under Wine:
// every test image of libpng's source package against ImageMagick's decode,
// interlaced twins, damaged and hostile files, and window shapes compared
// pixel by pixel with the pixels that differ from the top-left one.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "harness/TestEnv.h"
#include "DibCheck.h"
#include "PngWriter.h"
#include "SelkaLibrary.h"

namespace {

std::string Contrib()
{
    return testenv::Join(testenv::DepsDir(), "src\\libpng1.6-1.6.39\\contrib");
}

std::string ReferenceDir(const char* variable)
{
    const char* dir = std::getenv(variable);
    return dir ? dir : "";
}

void ListPngs(const std::string& dir, const std::string& relative, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(testenv::Join(dir, "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string rel = relative.empty() ? name : relative + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListPngs(testenv::Join(dir, name), rel, out);
        else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            out.push_back(rel);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

// The block's bytes: header, palette and rows, as its header sizes them.
std::string DibBytes(HGLOBAL block)
{
    const auto* p = static_cast<const uint8_t*>(block);
    int32_t width, height;
    uint32_t used;
    std::memcpy(&width, p + 4, 4);
    std::memcpy(&height, p + 8, 4);
    std::memcpy(&used, p + 32, 4);
    const int bits = p[14];
    const size_t rowSize = (static_cast<size_t>(bits) * width + 31) / 32 * 4;
    const size_t size = 40 + used * 4 + rowSize * height;
    if (GlobalSize(block) < size) return std::string();
    return std::string(reinterpret_cast<const char*>(p), size);
}

class Dib {
  public:
    explicit Dib(HGLOBAL block) : m_block(block) {}
    ~Dib()
    {
        if (m_block) GlobalFree(m_block);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    HGLOBAL Get() const { return m_block; }

  private:
    HGLOBAL m_block;
};

class Region {
  public:
    explicit Region(HRGN region) : m_region(region) {}
    ~Region()
    {
        if (m_region) DeleteObject(m_region);
    }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    HRGN Get() const { return m_region; }

    // Every pixel the region covers, as y * stride + x; rectangles outside
    // [0, width) x [0, height) are reported through 'outside'.
    std::set<long> Pixels(long stride, RECT* box) const
    {
        std::set<long> pixels;
        const DWORD size = GetRegionData(m_region, 0, nullptr);
        std::vector<char> buffer(size);
        auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
        if (!size || GetRegionData(m_region, size, data) != size) return pixels;
        const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
        if (box) *box = data->rdh.rcBound;
        for (DWORD i = 0; i < data->rdh.nCount; ++i)
            for (long y = rects[i].top; y < rects[i].bottom; ++y)
                for (long x = rects[i].left; x < rects[i].right; ++x)
                    pixels.insert(y * stride + x);
        return pixels;
    }

  private:
    HRGN m_region;
};

class ImageServices : public ::testing::Test {
  protected:
    SelkaLibrary selka;
    void SetUp() override { ASSERT_TRUE(selka.Complete()) << "selka.dll or one of its exports is missing"; }
};

// A packed DIB made by hand, as the region builder reads it.
std::vector<uint8_t> MakeDib(int32_t width, int32_t height, int bits, uint32_t used)
{
    const size_t rowSize = (static_cast<size_t>(bits) * width + 31) / 32 * 4;
    std::vector<uint8_t> dib(40 + used * 4 + rowSize * (height < 0 ? -height : height));
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biClrUsed = used;
    std::memcpy(dib.data(), &h, 40);
    return dib;
}

// Sets pixel (x, y), y = 0 at the top, of a bottom-up DIB made by MakeDib.
void SetPixel(std::vector<uint8_t>& dib, int32_t x, int32_t y, uint32_t value)
{
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), 40);
    const size_t rowSize = (static_cast<size_t>(h.biBitCount) * h.biWidth + 31) / 32 * 4;
    uint8_t* row = dib.data() + 40 + h.biClrUsed * 4 + rowSize * (h.biHeight - 1 - y);
    switch (h.biBitCount) {
    case 4: {
        uint8_t& b = row[x / 2];
        b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | value) : static_cast<uint8_t>((b & 0x0F) | value << 4);
        break;
    }
    case 8:
        row[x] = static_cast<uint8_t>(value);
        break;
    case 24:
        row[x * 3] = static_cast<uint8_t>(value);
        row[x * 3 + 1] = static_cast<uint8_t>(value >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(value >> 16);
        break;
    }
}

// Runs CreateDIBitmapRegion on a helper thread, expecting the "Invalid DIB
// Format" box: checks its caption and text, closes it, and returns the result.
HRGN RegionExpectingBox(const SelkaLibrary& selka, const void* dib, bool& boxSeen)
{
    std::atomic<HRGN> result{reinterpret_cast<HRGN>(1)};
    std::atomic<DWORD> threadId{0};
    std::thread worker([&] {
        threadId = GetCurrentThreadId();
        result = selka.CreateDIBitmapRegion(dib);
    });
    boxSeen = false;
    for (int i = 0; i < 200 && !boxSeen; ++i) {
        Sleep(50);
        HWND box = nullptr;
        EnumThreadWindows(
            threadId,
            [](HWND hwnd, LPARAM out) {
                char cls[32] = {};
                GetClassNameA(hwnd, cls, sizeof cls);
                if (std::strcmp(cls, "#32770") != 0) return TRUE;
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&box));
        if (!box) continue;
        char caption[64] = {}, text[64] = {};
        GetWindowTextA(box, caption, sizeof caption);
        // The message text is the box's static control with id 0xFFFF.
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        EXPECT_STREQ(caption, "imgCreateBitmapRgn()");
        EXPECT_STREQ(text, "Invalid DIB Format");
        boxSeen = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    worker.join();
    return result;
}

} // namespace

TEST_F(ImageServices, EveryTestImageMatchesAnIndependentDecode)
{
    const std::string refs = ReferenceDir("SELKA_PNG_REFERENCE");
    ASSERT_FALSE(refs.empty()) << "SELKA_PNG_REFERENCE is not set";
    std::vector<std::string> files;
    ListPngs(testenv::Join(Contrib(), "pngsuite"), "pngsuite", files);
    ListPngs(testenv::Join(Contrib(), "testpngs"), "testpngs", files);
    ASSERT_GE(files.size(), 180u);
    int decoded = 0, refused = 0;
    for (const std::string& rel : files) {
        SCOPED_TRACE(rel);
        std::string name = rel;
        for (size_t at; (at = name.find('\\')) != std::string::npos;)
            name.replace(at, 1, "__");
        const std::string reference = testenv::ReadFile(testenv::Join(refs, name + ".rgba"));
        const std::string path = testenv::Join(Contrib(), rel);
        Dib dib(selka.LoadPNGFile(path.c_str()));
        if (reference.empty()) {
            // ImageMagick refused it: a damaged file, which must give NULL.
            EXPECT_EQ(dib.Get(), nullptr);
            ++refused;
            continue;
        }
        ASSERT_NE(dib.Get(), nullptr);
        // Fixed memory: the handle is the pointer.
        EXPECT_EQ(GlobalLock(dib.Get()), dib.Get());
        GlobalUnlock(dib.Get());
        dibcheck::PngHeader header;
        ASSERT_TRUE(dibcheck::ReadPngHeader(testenv::ReadFile(path), header));
        const std::string bytes = DibBytes(dib.Get());
        ASSERT_FALSE(bytes.empty()) << "block smaller than its header says";
        EXPECT_EQ(dibcheck::Compare(header, bytes, reference), "");
        ++decoded;
    }
    EXPECT_GE(decoded, 160);
    EXPECT_GE(refused, 20); // the crashers
}

TEST_F(ImageServices, InterlacedImagesEqualTheirTwins)
{
    const std::string suite = testenv::Join(Contrib(), "pngsuite");
    std::vector<std::string> files;
    ListPngs(suite, "", files);
    int pairs = 0, interlacedFiles = 0;
    for (const std::string& rel : files) {
        const size_t slash = rel.rfind('\\');
        const std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);
        if (name[0] != 'i') continue;
        SCOPED_TRACE(rel);
        const std::string twin = testenv::Join(suite, name.substr(1));
        ASSERT_NE(GetFileAttributesA(twin.c_str()), INVALID_FILE_ATTRIBUTES);
        Dib interlaced(selka.LoadPNGFile(testenv::Join(suite, rel).c_str()));
        Dib plain(selka.LoadPNGFile(twin.c_str()));
        ASSERT_NE(interlaced.Get(), nullptr);
        ASSERT_NE(plain.Get(), nullptr);
        dibcheck::PngHeader header;
        ASSERT_TRUE(dibcheck::ReadPngHeader(testenv::ReadFile(testenv::Join(suite, rel)), header));
        interlacedFiles += header.interlace;
        const std::string a = DibBytes(interlaced.Get()), b = DibBytes(plain.Get());
        ASSERT_FALSE(a.empty());
        ASSERT_FALSE(b.empty());
        // Same size and bit count; palettes may list their colours in another
        // order, so pixels are compared by colour.
        ASSERT_EQ(a.compare(0, 16, b, 0, 16), 0);
        for (uint32_t y = 0; y < header.height; ++y)
            for (uint32_t x = 0; x < header.width; ++x) {
                uint8_t p[4], q[4];
                dibcheck::PixelColour(a, static_cast<int32_t>(x), static_cast<int32_t>(y), p);
                dibcheck::PixelColour(b, static_cast<int32_t>(x), static_cast<int32_t>(y), q);
                ASSERT_EQ(std::memcmp(p, q, 4), 0) << "pixel " << x << "," << y;
            }
        ++pairs;
    }
    EXPECT_GE(pairs, 30);
    EXPECT_GE(interlacedFiles, 20);
}

TEST_F(ImageServices, SmallPaletteAndBadInputs)
{
    const std::string dir = testenv::FreshDir("png");
    // A 3x2 8-bit palette picture with a PLTE of five entries.
    pngwriter::Picture picture;
    picture.width = 3;
    picture.height = 2;
    picture.colourType = 3;
    picture.bitDepth = 8;
    picture.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};
    picture.rows = {0, 1, 2, 3, 4, 0};
    const std::string good = pngwriter::Encode(picture);
    // A Shift_JIS folder name whose second byte is 0x5C, as skin folders may have.
    const std::string japanese = testenv::Join(dir, "表示");
    ASSERT_TRUE(CreateDirectoryA(japanese.c_str(), nullptr));
    const std::string path = testenv::Join(japanese, "五色.png");
    ASSERT_TRUE(testenv::WriteFile(path, good));
    {
        Dib dib(selka.LoadPNGFile(path.c_str()));
        ASSERT_NE(dib.Get(), nullptr);
        const std::string bytes = DibBytes(dib.Get());
        const uint8_t expected[] = {
            40, 0,  0,  0, 3,  0,  0,  0, 2,  0,  0,  0, 1,   0,   8,   0, 0,   0,   0,   0,
            0,  0,  0,  0, 0,  0,  0,  0, 0,  0,  0,  0, 5,   0,   0,   0, 0,   0,   0,   0, // biClrUsed 5
            30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0, 120, 110, 100, 0, 150, 140, 130, 0, // blue, green, red, 0
            3,  4,  0,  0,                                                                   // bottom row first
            0,  1,  2,  0};
        ASSERT_EQ(bytes.size(), sizeof expected);
        for (size_t i = 0; i < sizeof expected; ++i) {
            if (i >= 68 && (i - 68) % 4 == 3) continue; // row padding carries no meaning
            EXPECT_EQ(static_cast<uint8_t>(bytes[i]), expected[i]) << "byte " << i;
        }
    }

    struct Case {
        const char* name;
        std::string bytes;
    };
    pngwriter::Picture huge = picture;
    huge.width = 1000000; // within libpng's limits, far beyond the data
    huge.height = 1000000;
    huge.rows.clear();
    pngwriter::Picture tooLarge = picture;
    tooLarge.width = 0x7FFFFFFF;
    tooLarge.height = 0x7FFFFFFF;
    tooLarge.rows.clear();
    pngwriter::Picture wide = picture; // 16000 x 16000 RGBA: 1 GB, over the block limit
    wide.colourType = 6;
    wide.palette.clear();
    wide.width = wide.height = 16000;
    wide.rows.clear();
    std::vector<Case> cases = {
        {"not a png", "plain text, not a picture\r\n"},
        {"empty", ""},
        {"signature only", good.substr(0, 8)},
        {"bad IDAT crc", pngwriter::BreakCrc(good, "IDAT")},
        {"bad IHDR crc", pngwriter::BreakCrc(good, "IHDR")},
        {"bad PLTE crc", pngwriter::BreakCrc(good, "PLTE")},
        {"huge dimensions", pngwriter::Encode(huge)},
        {"dimensions over the limit", pngwriter::Encode(tooLarge)},
        {"block over 512 MiB", pngwriter::Encode(wide)},
    };
    // Every truncation of the file before its IEND chunk.
    for (size_t cut = 9; cut + 12 <= good.size(); ++cut)
        cases.push_back({"truncated", good.substr(0, cut)});
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " (" + std::to_string(c.bytes.size()) + " bytes)");
        const std::string file = testenv::Join(dir, "bad" + std::to_string(n++) + ".png");
        ASSERT_TRUE(testenv::WriteFile(file, c.bytes));
        EXPECT_EQ(selka.LoadPNGFile(file.c_str()), nullptr);
    }
    EXPECT_EQ(selka.LoadPNGFile(testenv::Join(dir, "missing.png").c_str()), nullptr);
    EXPECT_EQ(selka.LoadPNGFile(dir.c_str()), nullptr); // a folder
    EXPECT_EQ(selka.LoadPNGFile(nullptr), nullptr);
}

// Real pictures of 4, 8 and 24 bits: the region is exactly the set of pixels
// whose colour differs from the top-left pixel's, by ImageMagick's decode
// (the palettes hold distinct colours, so colours compare as indices do).
TEST_F(ImageServices, RegionsOfRealPictures)
{
    const std::string shapes = ReferenceDir("SELKA_SHAPES");
    const std::string refs = ReferenceDir("SELKA_PNG_REFERENCE");
    ASSERT_FALSE(shapes.empty());
    struct Picture {
        std::string path, reference;
        int bits;
    };
    const std::vector<Picture> pictures = {
        {testenv::Join(shapes, "shape24.png"), testenv::Join(shapes, "shape24.png.rgba"), 24},
        {testenv::Join(shapes, "shape8.png"), testenv::Join(shapes, "shape8.png.rgba"), 8},
        {testenv::Join(shapes, "shape4.png"), testenv::Join(shapes, "shape4.png.rgba"), 4},
        {testenv::Join(shapes, "shape4grey.png"), testenv::Join(shapes, "shape4grey.png.rgba"), 4},
        {testenv::Join(Contrib(), "pngsuite\\basn0g04.png"), testenv::Join(refs, "pngsuite__basn0g04.png.rgba"), 4},
        {testenv::Join(Contrib(), "pngsuite\\basn3p08.png"), testenv::Join(refs, "pngsuite__basn3p08.png.rgba"), 8},
        {testenv::Join(Contrib(), "pngsuite\\basn2c16.png"), testenv::Join(refs, "pngsuite__basn2c16.png.rgba"), 24},
        {testenv::Join(Contrib(), "testpngs\\palette-8-tRNS.png"),
         testenv::Join(refs, "testpngs__palette-8-tRNS.png.rgba"), 8},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.path);
        Dib dib(selka.LoadPNGFile(p.path.c_str()));
        ASSERT_NE(dib.Get(), nullptr);
        const std::string bytes = DibBytes(dib.Get());
        ASSERT_EQ(bytes[14], p.bits);
        uint32_t used;
        std::memcpy(&used, bytes.data() + 32, 4);
        std::set<uint32_t> colours;
        for (uint32_t i = 0; i < used; ++i) {
            uint32_t c;
            std::memcpy(&c, bytes.data() + 40 + i * 4, 4);
            colours.insert(c);
        }
        ASSERT_EQ(colours.size(), used) << "a palette with repeated colours cannot be checked by colour";

        const std::string reference = testenv::ReadFile(p.reference);
        int32_t width, height;
        std::memcpy(&width, bytes.data() + 4, 4);
        std::memcpy(&height, bytes.data() + 8, 4);
        ASSERT_EQ(reference.size(), static_cast<size_t>(width) * height * 8);
        std::set<long> expected;
        for (long y = 0; y < height; ++y)
            for (long x = 0; x < width; ++x)
                if (reference.compare((y * width + x) * 8, 6, reference, 0, 6) != 0) expected.insert(y * width + x);
        ASSERT_FALSE(expected.empty());

        Region region(selka.CreateDIBitmapRegion(dib.Get()));
        ASSERT_NE(region.Get(), nullptr);
        RECT box{};
        const std::set<long> got = region.Pixels(width, &box);
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        EXPECT_LE(box.right, width);
        EXPECT_LE(box.bottom, height);
        EXPECT_TRUE(got == expected) << got.size() << " pixels in the region, " << expected.size() << " expected";
    }
}

TEST_F(ImageServices, RegionEdgeCases)
{
    // Every pixel equal to the top-left one: the 1-by-1 rectangle below the picture.
    for (int bits : {4, 8, 24}) {
        SCOPED_TRACE(bits);
        std::vector<uint8_t> dib = MakeDib(7, 5, bits, bits == 24 ? 0 : 16);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                SetPixel(dib, x, y, bits == 24 ? 0x123456 : 9);
        Region region(selka.CreateDIBitmapRegion(dib.data()));
        ASSERT_NE(region.Get(), nullptr);
        RECT box{};
        EXPECT_EQ(GetRgnBox(region.Get(), &box), SIMPLEREGION);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 5);
        EXPECT_EQ(box.right, 1);
        EXPECT_EQ(box.bottom, 6);
    }
    // A solid block on a key background, plus runs that end at the right edge.
    for (int bits : {4, 8, 24}) {
        SCOPED_TRACE(bits);
        const int32_t w = 9, h = 6;
        std::vector<uint8_t> dib = MakeDib(w, h, bits, bits == 24 ? 0 : 16);
        std::set<long> expected;
        for (int y = 1; y < 4; ++y)
            for (int x = 2; x < 6; ++x) {
                SetPixel(dib, x, y, 3);
                expected.insert(y * w + x);
            }
        SetPixel(dib, w - 1, 4, 1);
        SetPixel(dib, w - 2, 5, 1);
        SetPixel(dib, w - 1, 5, 2);
        expected.insert({4 * w + w - 1, 5 * w + w - 2, 5 * w + w - 1});
        Region region(selka.CreateDIBitmapRegion(dib.data()));
        ASSERT_NE(region.Get(), nullptr);
        EXPECT_TRUE(region.Pixels(w, nullptr) == expected);
    }
    // Palette indices are compared, not colours: index 1 with the key's colour is shape.
    {
        std::vector<uint8_t> dib = MakeDib(4, 1, 8, 2);
        std::memset(dib.data() + 40, 0x77, 8); // both entries the same colour
        SetPixel(dib, 2, 0, 1);
        Region region(selka.CreateDIBitmapRegion(dib.data()));
        ASSERT_NE(region.Get(), nullptr);
        EXPECT_TRUE(region.Pixels(4, nullptr) == std::set<long>{2});
    }
    EXPECT_EQ(selka.CreateDIBitmapRegion(nullptr), nullptr);
    std::vector<uint8_t> topDown = MakeDib(4, -3, 8, 0);
    EXPECT_EQ(selka.CreateDIBitmapRegion(topDown.data()), nullptr);
}

// 4-bit pictures keep the limit of their fixed run tables: 4248 runs make a
// region, 4249 make none (without a message); 8 bits have no such limit.
TEST_F(ImageServices, FourBitRunLimit)
{
    for (int runs : {4248, 4249}) {
        SCOPED_TRACE(runs);
        const int32_t w = 100, h = runs / 50 + 1; // 50 runs per alternating row
        for (int bits : {4, 8}) {
            std::vector<uint8_t> dib = MakeDib(w, h, bits, 16);
            int placed = 0;
            for (int y = 0; y < h && placed < runs; ++y)
                for (int x = 1; x < w && placed < runs; x += 2, ++placed)
                    SetPixel(dib, x, y, 5);
            ASSERT_EQ(placed, runs);
            Region region(selka.CreateDIBitmapRegion(dib.data()));
            if (bits == 4 && runs == 4249) {
                EXPECT_EQ(region.Get(), nullptr);
            } else {
                ASSERT_NE(region.Get(), nullptr) << bits << " bits";
                EXPECT_EQ(region.Pixels(w, nullptr).size(), static_cast<size_t>(runs));
            }
        }
    }
}

TEST_F(ImageServices, UnsupportedBitCountsShowTheBox)
{
    const std::string suite = testenv::Join(Contrib(), "pngsuite");
    // Grey 1 bit loads as 1 bit, RGB with alpha as 32 bits: neither has a shape.
    for (const char* name : {"basn0g01.png", "basn6a08.png"}) {
        SCOPED_TRACE(name);
        Dib dib(selka.LoadPNGFile(testenv::Join(suite, name).c_str()));
        ASSERT_NE(dib.Get(), nullptr);
        bool boxSeen = false;
        EXPECT_EQ(RegionExpectingBox(selka, dib.Get(), boxSeen), nullptr);
        EXPECT_TRUE(boxSeen);
    }
    std::vector<uint8_t> sixteen = MakeDib(2, 2, 16, 0);
    bool boxSeen = false;
    EXPECT_EQ(RegionExpectingBox(selka, sixteen.data(), boxSeen), nullptr);
    EXPECT_TRUE(boxSeen);
}

// The 8- and 24-bit paths, and here the 4-bit one too, keep no shared state:
// several threads loading and shaping at once get the single-thread regions.
TEST_F(ImageServices, ConcurrentCallsAgree)
{
    const std::string shapes = ReferenceDir("SELKA_SHAPES");
    const char* const names[] = {"shape4.png", "shape8.png", "shape24.png"};
    std::vector<std::set<long>> expected;
    for (const char* name : names) {
        Dib dib(selka.LoadPNGFile(testenv::Join(shapes, name).c_str()));
        ASSERT_NE(dib.Get(), nullptr);
        Region region(selka.CreateDIBitmapRegion(dib.Get()));
        ASSERT_NE(region.Get(), nullptr);
        expected.push_back(region.Pixels(200, nullptr));
    }
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 15; ++i) {
                const size_t k = static_cast<size_t>(t + i) % 3;
                Dib dib(selka.LoadPNGFile(testenv::Join(shapes, names[k]).c_str()));
                Region region(dib.Get() ? selka.CreateDIBitmapRegion(dib.Get()) : nullptr);
                if (!region.Get() || region.Pixels(200, nullptr) != expected[k]) ++mismatches;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches, 0);
}
