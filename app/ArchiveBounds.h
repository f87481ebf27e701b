#pragma once
// The largest archive the installer unpacks: more members or more bytes in
// all than a skin ever has means a damaged archive or one made to fill the
// disk, and is refused before anything is written.
#include <cstdint>

class ArchiveBounds {
  public:
    static constexpr std::uint64_t kMaxMembers = 10000;
    static constexpr std::uint64_t kMaxTotalBytes = std::uint64_t(1) << 30; // 1 GiB

    // Counts one member of 'bytes' bytes (its uncompressed size).
    void AddMember(std::uint64_t bytes);
    // Counts bytes without a member (sizes learnt apart from the listing).
    void AddBytes(std::uint64_t bytes);

    // More than kMaxMembers members or more than kMaxTotalBytes bytes so far.
    bool Exceeded() const { return m_members > kMaxMembers || m_bytes > kMaxTotalBytes; }
    std::uint64_t Members() const { return m_members; }
    std::uint64_t Bytes() const { return m_bytes; }

  private:
    std::uint64_t m_members = 0;
    std::uint64_t m_bytes = 0; // saturates instead of wrapping
};
