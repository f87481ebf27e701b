#include "skin/SkinFolderOrder.h"

#include <algorithm>

bool SkinPathLess(const std::string& a, const std::string& b)
{
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void SortSkinFolders(std::vector<SkinFolder>& folders)
{
    std::stable_sort(folders.begin(), folders.end(),
                     [](const SkinFolder& a, const SkinFolder& b) { return SkinPathLess(a.path, b.path); });
}
