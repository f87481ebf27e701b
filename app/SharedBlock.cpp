#include "app/SharedBlock.h"

#include <string>
#include <vector>

#include "app/SharedBlockImage.h"
#include "selka/selka.h"

bool SharedBlock::Create()
{
    m_mapping.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(SharedBlockImage::kSize), kName));
    return static_cast<bool>(m_mapping);
}

void SharedBlock::Close()
{
    m_mapping.Reset();
}

void SharedBlock::Publish(const SkinTable& table)
{
    if (!m_mapping) return;
    const auto windowText = [](SkinTable::Handle skin) {
        // A window's text is at most 199 characters here, as the block's
        // readers expect.
        char text[200] = {};
        GetWindowTextA(static_cast<HWND>(skin), text, sizeof text);
        return std::string(text);
    };
    const auto digest = [](const std::string& decimal) {
        char text[33] = {};
        if (!GetMD5MessageDigest(decimal.data(), static_cast<int>(decimal.size()), text)) return std::string();
        return std::string(text);
    };
    // The texts are read before the view is mapped: reading a window's text
    // may dispatch messages, and the view should be written in one go.
    const std::vector<SharedBlockEntry> entries = SharedBlockImage::Entries(table.Entries(), windowText, digest);
    void* view = MapViewOfFile(m_mapping.Get(), FILE_MAP_WRITE, 0, 0, SharedBlockImage::kSize);
    if (!view) return;
    SharedBlockImage::Write(entries, static_cast<unsigned char*>(view));
    UnmapViewOfFile(view);
}
