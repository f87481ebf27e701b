#include "selka/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "selka/DibLayout.h"

namespace selka {

namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kMaxBlockBytes = size_t(512) << 20;

// Where libpng's read callback takes its bytes from.
struct Source {
    std::FILE* file = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;

    bool Read(uint8_t* out, size_t count)
    {
        if (file) return std::fread(out, 1, count, file) == count;
        if (count > size - position) return false;
        std::memcpy(out, data + position, count);
        position += count;
        return true;
    }
};

// No C++ object with a destructor may live in a frame that libpng's longjmp
// leaves, so these callbacks and the two stages below hold plain data only.
void ReadBytes(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (!source->Read(out, count)) png_error(png, "read past the end");
}

void SilentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// What the header chunks tell, after the transformations are set.
struct PictureInfo {
    uint32_t width;
    uint32_t height;
    DibFormat format;
    uint32_t paletteEntries;
    uint8_t palette[256 * 4]; // blue, green, red, 0
    size_t decodedRowBytes;
};

void FillPalette(PictureInfo& info, png_structp png, png_infop pngInfo, bool& ok)
{
    ok = true;
    switch (info.format.palette) {
    case PaletteKind::None:
        info.paletteEntries = 0;
        return;
    case PaletteKind::BlackWhite:
        info.paletteEntries = 2;
        std::memset(info.palette, 0, 8);
        std::memset(info.palette + 4, 255, 3);
        return;
    case PaletteKind::Grey16:
        info.paletteEntries = 16;
        for (uint32_t i = 0; i < 16; ++i) {
            const auto v = static_cast<uint8_t>(17 * i);
            uint8_t* e = info.palette + i * 4;
            e[0] = e[1] = e[2] = v;
            e[3] = 0;
        }
        return;
    case PaletteKind::Grey256:
        info.paletteEntries = 256;
        for (uint32_t i = 0; i < 256; ++i) {
            uint8_t* e = info.palette + i * 4;
            e[0] = e[1] = e[2] = static_cast<uint8_t>(i);
            e[3] = 0;
        }
        return;
    case PaletteKind::File: {
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, pngInfo, &entries, &count) != PNG_INFO_PLTE || count <= 0 || count > 256) {
            ok = false;
            return;
        }
        info.paletteEntries = static_cast<uint32_t>(count);
        for (int i = 0; i < count; ++i) {
            uint8_t* e = info.palette + i * 4;
            e[0] = entries[i].blue;
            e[1] = entries[i].green;
            e[2] = entries[i].red;
            e[3] = 0;
        }
        return;
    }
    }
}

// Stage one: header chunks, format, transformations. False on any failure.
bool ReadHeader(png_structp png, png_infop pngInfo, PictureInfo& info)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_sig_bytes(png, static_cast<int>(kSignatureSize));
    // No ancillary chunk changes the result, so none is read: libpng skips
    // them in small steps instead of allocating and zeroing a buffer of the
    // size a chunk claims (a hostile 1 GiB tEXt took seconds to fail).
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, pngInfo);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, pngInfo, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    if (!DibLayout::FormatFor(colourType, bitDepth, info.format)) return false;
    info.width = width;
    info.height = height;
    if (info.format.strip16) png_set_strip_16(png);
    if (info.format.pack) png_set_packing(png);
    png_set_bgr(png);
    if (info.format.stripAlpha) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, pngInfo);
    info.decodedRowBytes = png_get_rowbytes(png, pngInfo);
    bool ok = false;
    FillPalette(info, png, pngInfo, ok);
    return ok;
}

// Stage two: the pixels, straight into the rows of the block, then the end chunks.
bool ReadPixels(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

class ReadStructs {
  public:
    ReadStructs()
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
        if (m_png) m_info = png_create_info_struct(m_png);
    }
    ~ReadStructs()
    {
        if (m_png) png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }
    ReadStructs(const ReadStructs&) = delete;
    ReadStructs& operator=(const ReadStructs&) = delete;
    bool Ok() const { return m_png && m_info; }
    png_structp Png() const { return m_png; }
    png_infop Info() const { return m_info; }

  private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

class BlockGuard {
  public:
    explicit BlockGuard(BlockAllocator& allocator) : m_allocator(allocator) {}
    ~BlockGuard()
    {
        if (m_block) m_allocator.Release(m_block);
    }
    BlockGuard(const BlockGuard&) = delete;
    BlockGuard& operator=(const BlockGuard&) = delete;
    uint8_t* Allocate(size_t bytes) { return m_block = m_allocator.Allocate(bytes); }
    uint8_t* Release()
    {
        uint8_t* b = m_block;
        m_block = nullptr;
        return b;
    }

  private:
    BlockAllocator& m_allocator;
    uint8_t* m_block = nullptr;
};

uint8_t* Decode(Source& source, BlockAllocator& allocator)
{
    uint8_t signature[kSignatureSize];
    if (!source.Read(signature, kSignatureSize) || png_sig_cmp(signature, 0, kSignatureSize) != 0) return nullptr;

    ReadStructs structs;
    if (!structs.Ok()) return nullptr;
    png_set_read_fn(structs.Png(), &source, ReadBytes);

    PictureInfo info{};
    if (!ReadHeader(structs.Png(), structs.Info(), info)) return nullptr;

    size_t rowSize = 0, blockSize = 0;
    if (!DibLayout::RowSize(info.width, info.format.bitCount, rowSize) ||
        !DibLayout::BlockSize(info.width, info.height, info.format.bitCount, info.paletteEntries, blockSize))
        return nullptr;
    // A header can claim a picture far larger than its data; zeroing a block
    // of that size would stall the caller for minutes before libpng finds
    // the data missing. No surface comes near this bound.
    if (blockSize > kMaxBlockBytes) return nullptr;
    // libpng writes exactly the decoded row bytes; with the transformations
    // above they are the DIB's row without its padding.
    if (info.decodedRowBytes > rowSize) return nullptr;

    BlockGuard block(allocator);
    uint8_t* bytes = block.Allocate(blockSize);
    if (!bytes) return nullptr;
    DibLayout::WriteHeader(bytes, info.width, info.height, info.format.bitCount, info.paletteEntries);
    std::memcpy(bytes + DibLayout::kHeaderSize, info.palette, info.paletteEntries * 4);

    // File row r is DIB row height - 1 - r: rows are stored bottom-up.
    std::vector<png_bytep> rows(info.height);
    uint8_t* pixels = bytes + DibLayout::kHeaderSize + info.paletteEntries * 4;
    for (uint32_t r = 0; r < info.height; ++r)
        rows[r] = pixels + rowSize * (info.height - 1 - r);
    if (!ReadPixels(structs.Png(), rows.data())) return nullptr;
    return block.Release();
}

} // namespace

uint8_t* PngDecoder::DecodeFile(std::FILE* file, BlockAllocator& allocator)
{
    if (!file) return nullptr;
    Source source;
    source.file = file;
    try {
        return Decode(source, allocator);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

uint8_t* PngDecoder::DecodeMemory(const uint8_t* data, size_t size, BlockAllocator& allocator)
{
    if (!data && size) return nullptr;
    Source source;
    source.data = data;
    source.size = size;
    try {
        return Decode(source, allocator);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace selka
