#include "skin/SkinCatalogue.h"

#include <windows.h>

#include "framework/KernelHandle.h"
#include "framework/ModulePath.h"
#include "skin/SkinFolderOrder.h"

namespace {

bool IsExistingFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingDirectory(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<SkinFolder> ListSkinFolders(const std::string& skinFolder)
{
    std::vector<SkinFolder> folders;
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA((skinFolder + "\\*.*").c_str(), &data));
    if (!find) return folders;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        folders.push_back({skinFolder + "\\" + name, name});
    } while (FindNextFileA(find.Get(), &data));
    return folders;
}

} // namespace

std::string SkinCatalogue::ProgramSkinFolder()
{
    return modulepath::ProgramFolder() + "skin";
}

bool SkinCatalogue::ScanSkins()
{
    return ScanFolder(ProgramSkinFolder());
}

bool SkinCatalogue::ScanFolder(const std::string& skinFolder)
{
    m_entries.clear();
    m_folder = skinFolder;
    std::vector<SkinFolder> folders = ListSkinFolders(skinFolder);
    SortSkinFolders(folders);
    for (const SkinFolder& folder : folders) {
        SkinDefinition definition = MakeSkinDefinition(folder.path, folder.name);
        if (IsExistingFile(definition.path + "\\" + definition.base)) m_entries.push_back(std::move(definition));
    }
    return !m_entries.empty();
}

std::size_t SkinCatalogue::IndexForRememberedSkin(const std::string& name) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name == name && IsExistingDirectory(m_entries[i].path)) return i;
    }
    return 0;
}
