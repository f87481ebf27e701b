// The PNG decoder natively, under the sanitizers: every test image of
// libpng's source package against ImageMagick's decode, every truncation of
// real files, and the allocator's blocks all returned on failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "DibCheck.h"
#include "PngWriter.h"
#include "selka/PngDecoder.h"

namespace fs = std::filesystem;

namespace {

// Heap blocks, counted so a test sees every block released or handed out.
class CountingAllocator : public selka::BlockAllocator {
  public:
    uint8_t* Allocate(size_t bytes) override
    {
        auto* p = static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
        if (p) {
            m_live.insert(p);
            m_lastSize = bytes;
        }
        return p;
    }
    void Release(uint8_t* block) override
    {
        m_live.erase(block);
        std::free(block);
    }
    size_t Live() const { return m_live.size(); }
    size_t LastSize() const { return m_lastSize; }

  private:
    std::set<uint8_t*> m_live;
    size_t m_lastSize = 0;
};

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path Contrib()
{
    const char* deps = std::getenv("OSTRA_DEPS_DIR");
    return fs::path(deps ? deps : "") / "src/libpng1.6-1.6.39/contrib";
}

} // namespace

TEST(PngDecoder, EveryTestImageMatchesAnIndependentDecode)
{
    const char* refs = std::getenv("SELKA_PNG_REFERENCE");
    ASSERT_NE(refs, nullptr);
    int decoded = 0, refused = 0;
    for (const char* sub : {"pngsuite", "testpngs"}) {
        for (const auto& entry : fs::recursive_directory_iterator(Contrib() / sub)) {
            if (entry.path().extension() != ".png") continue;
            const std::string rel = fs::relative(entry.path(), Contrib()).generic_string();
            SCOPED_TRACE(rel);
            std::string name = rel;
            for (size_t at; (at = name.find('/')) != std::string::npos;)
                name.replace(at, 1, "__");
            const std::string reference = Read(fs::path(refs) / (name + ".rgba"));
            CountingAllocator allocator;
            std::FILE* file = std::fopen(entry.path().c_str(), "rb");
            ASSERT_NE(file, nullptr);
            uint8_t* block = selka::PngDecoder::DecodeFile(file, allocator);
            std::fclose(file);
            if (reference.empty()) {
                EXPECT_EQ(block, nullptr);
                EXPECT_EQ(allocator.Live(), 0u);
                ++refused;
                continue;
            }
            ASSERT_NE(block, nullptr);
            const std::string dib(reinterpret_cast<const char*>(block), allocator.LastSize());
            allocator.Release(block);
            dibcheck::PngHeader header;
            ASSERT_TRUE(dibcheck::ReadPngHeader(Read(entry.path()), header));
            EXPECT_EQ(dibcheck::Compare(header, dib, reference), "");
            ++decoded;
        }
    }
    EXPECT_GE(decoded, 160);
    EXPECT_GE(refused, 20);
}

TEST(PngDecoder, TruncationsAndDamageFailCleanly)
{
    const std::string files[] = {Read(Contrib() / "pngsuite/basn3p02.png"), Read(Contrib() / "pngsuite/ibasn2c16.png"),
                                 Read(Contrib() / "testpngs/gray-alpha-16-sRGB.png")};
    for (const std::string& png : files) {
        ASSERT_GT(png.size(), 100u);
        CountingAllocator allocator;
        uint8_t* whole =
            selka::PngDecoder::DecodeMemory(reinterpret_cast<const uint8_t*>(png.data()), png.size(), allocator);
        ASSERT_NE(whole, nullptr);
        allocator.Release(whole);
        // Every cut before the last chunk (IEND, 12 bytes) fails.
        for (size_t cut = 0; cut + 12 <= png.size(); ++cut) {
            const std::string part = png.substr(0, cut);
            EXPECT_EQ(
                selka::PngDecoder::DecodeMemory(reinterpret_cast<const uint8_t*>(part.data()), part.size(), allocator),
                nullptr)
                << cut;
        }
        EXPECT_EQ(allocator.Live(), 0u);
        const std::string broken = pngwriter::BreakCrc(png, "IDAT");
        EXPECT_EQ(
            selka::PngDecoder::DecodeMemory(reinterpret_cast<const uint8_t*>(broken.data()), broken.size(), allocator),
            nullptr);
    }
    CountingAllocator allocator;
    EXPECT_EQ(selka::PngDecoder::DecodeFile(nullptr, allocator), nullptr);
    EXPECT_EQ(selka::PngDecoder::DecodeMemory(nullptr, 0, allocator), nullptr);
}

// An allocator that has no memory: the decoder gives up without a block.
TEST(PngDecoder, NoMemory)
{
    struct Empty : selka::BlockAllocator {
        uint8_t* Allocate(size_t) override { return nullptr; }
        void Release(uint8_t*) override { ADD_FAILURE() << "nothing was allocated"; }
    } empty;
    const std::string png = Read(Contrib() / "pngsuite/basn2c08.png");
    EXPECT_EQ(selka::PngDecoder::DecodeMemory(reinterpret_cast<const uint8_t*>(png.data()), png.size(), empty),
              nullptr);
}
