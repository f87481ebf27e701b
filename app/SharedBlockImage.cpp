#include "app/SharedBlockImage.h"

#include <cstdint>
#include <cstring>

#include "app/HandleText.h"

namespace {

class LineWriter {
  public:
    explicit LineWriter(unsigned char* block) : m_block(block) {}

    void Line(const std::string& id, const char* key, const std::string& value)
    {
        const size_t keyLength = std::strlen(key);
        const size_t length = id.size() + keyLength + 1 + value.size() + 2;
        // One byte stays free for the terminating zero.
        if (length >= SharedBlockImage::kSize - m_end) return;
        unsigned char* p = m_block + m_end;
        p = Put(p, id.data(), id.size());
        p = Put(p, key, keyLength);
        *p++ = 0x01;
        p = Put(p, value.data(), value.size());
        *p++ = '\r';
        *p++ = '\n';
        m_end += length;
    }

    size_t End() const { return m_end; }

  private:
    static unsigned char* Put(unsigned char* p, const char* bytes, size_t size)
    {
        if (size) std::memcpy(p, bytes, size);
        return p + size;
    }

    unsigned char* m_block;
    size_t m_end = 4;
};

} // namespace

size_t SharedBlockImage::Write(const std::vector<SharedBlockEntry>& entries, unsigned char* block)
{
    std::memset(block, 0, kSize);
    const auto size = static_cast<uint32_t>(kSize);
    for (int i = 0; i < 4; ++i)
        block[i] = static_cast<unsigned char>(size >> (8 * i));
    LineWriter writer(block);
    for (const SharedBlockEntry& entry : entries) {
        writer.Line(entry.id, ".hwnd", entry.skinWindow);
        writer.Line(entry.id, ".name", entry.name);
        writer.Line(entry.id, ".target", entry.hostWindow);
    }
    return writer.End();
}

std::vector<SharedBlockEntry> SharedBlockImage::Entries(const std::vector<SkinTable::Entry>& table,
                                                        const std::function<std::string(SkinTable::Handle)>& windowText,
                                                        const std::function<std::string(const std::string&)>& digest)
{
    std::vector<SharedBlockEntry> entries;
    entries.reserve(table.size());
    for (const SkinTable::Entry& pair : table) {
        std::string skin = HandleDecimal(pair.skin);
        std::string id = digest(skin);
        entries.push_back({std::move(id), std::move(skin), windowText(pair.skin), HandleDecimal(pair.host)});
    }
    return entries;
}
