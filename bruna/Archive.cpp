#include "bruna/Archive.h"

#include "bruna/GlobalBlock.h"
#include "framework/KernelHandle.h"

#include <cstring>

bool Archive::Close()
{
    if (!m_open) return false;
    m_open = false;
    m_catalogue.clear();
    m_catalogue.shrink_to_fit();
    m_position = 0;
    m_path.clear();
    return true;
}

void Archive::SetOpened(const char* path, std::vector<ArcFindData> catalogue)
{
    m_catalogue = std::move(catalogue);
    m_position = 0;
    m_path = path;
    m_open = true;
}

bool Archive::FindFirst(ArcFindData* data)
{
    return FindNext(data);
}

bool Archive::FindNext(ArcFindData* data)
{
    if (!m_open || !data || m_position >= m_catalogue.size()) return false;
    std::memcpy(data, &m_catalogue[m_position], sizeof(ArcFindData));
    ++m_position;
    return true;
}

void Archive::GetArchiveName(char* out) const
{
    if (!out) return;
    const size_t n = m_path.size() < 259 ? m_path.size() : 259;
    std::memcpy(out, m_path.data(), n);
    out[n] = '\0';
}

bool Archive::Contains(const char* name) const
{
    if (!name || !m_open) return false;
    std::unique_ptr<Archive> other = NewOfSameKind();
    if (!other->Open(m_path.c_str())) return false;
    ArcFindData data;
    bool found = false;
    for (bool more = other->FindFirst(&data); more && !found; more = other->FindNext(&data))
        found = std::strcmp(data.fileName, name) == 0;
    other->Close();
    return found;
}

HGLOBAL Archive::ExtractFile(const char* archivePath, const char* name) const
{
    if (!archivePath) return nullptr;
    std::unique_ptr<Archive> other = NewOfSameKind();
    if (!other->Open(archivePath)) return nullptr;
    HGLOBAL block = other->ExtractToMemory(name);
    other->Close();
    return block;
}

bool Archive::ExtractToFile(const char* name, const char* outputPath)
{
    if (!outputPath) return false;
    GlobalBlock block(ExtractToMemory(name));
    if (!block) return false;
    FileHandle file(CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // A short or failed write (a full disk) is reported, and the partial
    // file removed, rather than passed off as an installed file.
    const SIZE_T size = GlobalSize(block.Get());
    const void* bytes = GlobalLock(block.Get());
    DWORD written = 0;
    bool ok = size == 0 ||
              (bytes && WriteFile(file.Get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
    GlobalUnlock(block.Get());
    ok = file.Close() && ok;
    if (!ok) DeleteFileA(outputPath);
    return ok;
}
