#include "app/ArchiveBounds.h"

void ArchiveBounds::AddMember(std::uint64_t bytes)
{
    ++m_members;
    AddBytes(bytes);
}

void ArchiveBounds::AddBytes(std::uint64_t bytes)
{
    m_bytes = bytes > UINT64_MAX - m_bytes ? UINT64_MAX : m_bytes + bytes;
}
