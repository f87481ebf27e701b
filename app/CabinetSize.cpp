#include "app/CabinetSize.h"

#include <windows.h>

#include <vector>

#include "bruna/CabHeader.h"

namespace {

// Cabinet tables lie at the start of the file; 65535 members with long
// names fit in this many bytes, so the read grows up to it.
constexpr DWORD kMaxTableBytes = 20u * 1024u * 1024u;

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

} // namespace

bool DeclaredCabinetBytes(const std::string& path, std::uint64_t& bytes)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    std::vector<std::uint8_t> data;
    CabHeader header;
    for (DWORD want = 64 * 1024;; want = want * 4 > kMaxTableBytes ? kMaxTableBytes : want * 4) {
        const std::size_t had = data.size();
        data.resize(want);
        DWORD got = 0;
        if (!ReadFile(file.Get(), data.data() + had, want - static_cast<DWORD>(had), &got, nullptr)) return false;
        data.resize(had + got);
        if (header.Parse(data.data(), data.size())) break;
        if (data.size() < want || want >= kMaxTableBytes) return false;
    }
    bytes = 0;
    for (const CabHeader::File& member : header.files) {
        if (member.StartsHere()) bytes += member.size;
    }
    return true;
}
