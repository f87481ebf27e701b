// LoadPNGFile and CreateDIBitmapRegion: the Win32 side of the image services.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "selka/CallerMemory.h"
#include "selka/DibLayout.h"
#include "selka/PngDecoder.h"
#include "selka/RunGatherer.h"
#include "selka/selka.h"

namespace {

// The packed DIB travels as fixed global memory, so the pointer is the handle.
class GlobalBlockAllocator : public selka::BlockAllocator {
  public:
    uint8_t* Allocate(size_t bytes) override
    {
        return static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes));
    }
    void Release(uint8_t* block) override { GlobalFree(block); }
};

class StdioFile {
  public:
    explicit StdioFile(const char* path) : m_file(std::fopen(path, "rb")) {}
    ~StdioFile()
    {
        if (m_file) std::fclose(m_file);
    }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;
    std::FILE* Get() const { return m_file; }

  private:
    std::FILE* m_file;
};

// The 1-by-1 rectangle just below the picture: a valid region that shows
// nothing of it, for a picture that has no pixel other than the key.
HRGN EmptyShape(int32_t height)
{
    return CreateRectRgn(0, height, 1, height + 1);
}

HRGN RegionFromRuns(const std::vector<selka::Run>& runs)
{
    // Four points and one count per run, sized to the runs actually found.
    std::vector<POINT> points(runs.size() * 4);
    std::vector<INT> counts(runs.size(), 4);
    POINT* p = points.data();
    for (const selka::Run& run : runs) {
        p[0] = POINT{run.x0, run.y};
        p[1] = POINT{run.x1, run.y};
        p[2] = POINT{run.x1, run.y + 1};
        p[3] = POINT{run.x0, run.y + 1};
        p += 4;
    }
    return CreatePolyPolygonRgn(points.data(), counts.data(), static_cast<int>(counts.size()), ALTERNATE);
}

HRGN BuildRegion(const uint8_t* dib)
{
    // A header that cannot be read: no region.
    uint8_t header[selka::DibLayout::kHeaderSize];
    if (!dib || !selka::UseCallerMemory([&] { std::memcpy(header, dib, sizeof header); })) return nullptr;
    const int bitCount = header[14] | header[15] << 8;
    if (bitCount != 4 && bitCount != 8 && bitCount != 24) {
        MessageBoxA(nullptr, "Invalid DIB Format", "imgCreateBitmapRgn()", MB_ICONHAND);
        return nullptr;
    }
    selka::DibView view;
    if (!selka::DibView::Read(header, view)) return nullptr;

    // A palette or pixel area that cannot be read gathers no runs.
    std::vector<selka::Run> runs;
    selka::GatherResult result = selka::GatherResult::Ok;
    bool noMemory = false;
    const bool read = selka::UseCallerMemory([&] {
        try {
            result = selka::RunGatherer::Gather(dib, view, runs);
        } catch (const std::bad_alloc&) {
            noMemory = true;
        }
    });
    if (noMemory) return nullptr;
    if (!read) return EmptyShape(view.height);
    if (result != selka::GatherResult::Ok) return nullptr;
    if (runs.empty()) return EmptyShape(view.height);
    return RegionFromRuns(runs);
}

} // namespace

extern "C" HGLOBAL __cdecl LoadPNGFile(const char* path)
{
    if (!path) return nullptr;
    // The path is read under the guard; the decoding itself only meets
    // memory of its own.
    std::string name;
    if (!selka::UseCallerMemory([&] { name = path; })) return nullptr;
    try {
        StdioFile file(name.c_str());
        GlobalBlockAllocator allocator;
        return selka::PngDecoder::DecodeFile(file.Get(), allocator);
    } catch (...) {
        return nullptr;
    }
}

extern "C" HRGN __cdecl CreateDIBitmapRegion(const void* dib)
{
    try {
        return BuildRegion(static_cast<const uint8_t*>(dib));
    } catch (...) {
        return nullptr;
    }
}
