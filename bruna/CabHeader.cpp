#include "bruna/CabHeader.h"

namespace {

// Reads little-endian fields from a byte range and remembers overruns.
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Seek(size_t pos)
    {
        if (pos > m_size) return m_ok = false;
        m_pos = pos;
        return true;
    }
    void Skip(size_t n)
    {
        if (n > m_size - m_pos)
            m_ok = false;
        else
            m_pos += n;
    }
    uint8_t U8()
    {
        if (!m_ok || m_pos + 1 > m_size) return Fail();
        return m_data[m_pos++];
    }
    uint16_t U16()
    {
        const uint16_t lo = U8();
        return static_cast<uint16_t>(lo | U8() << 8);
    }
    uint32_t U32()
    {
        const uint32_t lo = U16();
        return lo | static_cast<uint32_t>(U16()) << 16;
    }
    // A zero-terminated string of at most maxLength bytes before the zero.
    std::string Text(size_t maxLength)
    {
        std::string s;
        while (m_ok) {
            const uint8_t c = U8();
            if (!m_ok || c == 0) break;
            if (s.size() == maxLength) {
                m_ok = false;
                break;
            }
            s.push_back(static_cast<char>(c));
        }
        return s;
    }
    bool Ok() const { return m_ok; }
    size_t Pos() const { return m_pos; }

  private:
    uint8_t Fail()
    {
        m_ok = false;
        return 0;
    }
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

constexpr size_t kMaxName = 255; // the format's limit, without the zero

} // namespace

bool CabHeader::Parse(const uint8_t* data, size_t size)
{
    *this = CabHeader();
    Reader r(data, size);
    if (r.U8() != 'M' || r.U8() != 'S' || r.U8() != 'C' || r.U8() != 'F') return false;
    r.U32();
    cabinetSize = r.U32();
    r.U32();
    const uint32_t filesOffset = r.U32();
    r.U32();
    const uint8_t minor = r.U8();
    const uint8_t major = r.U8();
    const uint16_t folderCount = r.U16();
    const uint16_t fileCount = r.U16();
    flags = r.U16();
    setId = r.U16();
    index = r.U16();
    if (!r.Ok() || major != 1 || minor != 3) return false;
    if (folderCount == 0 || fileCount == 0) return false;
    // The tables must lie inside the cabinet as declared and as present.
    const size_t limit = cabinetSize < size ? cabinetSize : size;

    uint8_t folderReserve = 0;
    if (flags & kReservePresent) {
        const uint16_t headerReserve = r.U16();
        folderReserve = r.U8();
        r.U8();
        r.Skip(headerReserve);
    }
    if (flags & kPrevCabinet) {
        prevCabinet = r.Text(kMaxName);
        r.Text(kMaxName);
    }
    if (flags & kNextCabinet) {
        nextCabinet = r.Text(kMaxName);
        r.Text(kMaxName);
    }
    for (uint16_t i = 0; i < folderCount && r.Ok(); ++i) {
        Folder f;
        f.dataOffset = r.U32();
        f.dataBlocks = r.U16();
        f.compression = r.U16();
        r.Skip(folderReserve);
        if (f.dataOffset > limit) return false;
        folders.push_back(f);
    }
    if (!r.Ok() || r.Pos() > limit || filesOffset < r.Pos() || !r.Seek(filesOffset)) return false;
    for (uint16_t i = 0; i < fileCount && r.Ok(); ++i) {
        File f;
        f.size = r.U32();
        f.folderOffset = r.U32();
        f.folder = r.U16();
        f.date = r.U16();
        f.time = r.U16();
        f.attributes = r.U16();
        f.name = r.Text(kMaxName);
        if (!r.Ok()) return false;
        if (f.folder < kContinuedFromPrev && f.folder >= folderCount) return false;
        if (f.folder == kContinuedFromPrev || f.folder == kContinuedPrevAndNext) {
            if (!(flags & kPrevCabinet)) return false;
        }
        if (f.folder == kContinuedToNext || f.folder == kContinuedPrevAndNext) {
            if (!(flags & kNextCabinet)) return false;
        }
        files.push_back(std::move(f));
    }
    return r.Ok() && r.Pos() <= limit;
}
