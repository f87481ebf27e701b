#include "app/SkinInstaller.h"

#include <cstring>
#include <set>
#include <vector>

#include "app/ArchiveBounds.h"
#include "app/CabinetSize.h"
#include "app/InstallKeys.h"
#include "app/InstallPath.h"
#include "app/OpenArchive.h"
#include "app/TemporaryFile.h"
#include "framework/ModulePath.h"

namespace {

constexpr char kDefinitionFile[] = "ostra.ini";
constexpr char kTemporaryPrefix[] = "osk";

// The system's full reading of a path ("" when it has none).
std::string FullPath(const std::string& path)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(length + 1);
    }
}

InstallKeyReader ProfileReader(const std::string& iniPath)
{
    return [iniPath](const char* key, const std::string& fallback, std::size_t maxBytes) {
        std::vector<char> buffer(maxBytes + 1);
        const DWORD length = GetPrivateProfileStringA("OSTRA", key, fallback.c_str(), buffer.data(),
                                                      static_cast<DWORD>(buffer.size()), iniPath.c_str());
        return std::string(buffer.data(), length);
    };
}

std::uint64_t FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Creates the folders missing from 'levels', in order, remembering those
// already made.
void CreateFolders(const std::vector<std::string>& levels, std::set<std::string>& made)
{
    for (const std::string& level : levels) {
        if (!made.insert(level).second) continue;
        CreateDirectoryA(level.c_str(), nullptr); // an existing one is fine
    }
}

// Whether the archive is small enough to unpack: counts its members (the
// list stops one past the limit) and their sizes; a cabinet's come from its
// own file table, since the library lists them as 0.
bool WithinBounds(const std::vector<ArcFindData>& members, const std::string& archivePath)
{
    ArchiveBounds bounds;
    bool cabinet = false;
    for (const ArcFindData& member : members) {
        bounds.AddMember(member.uncompressedSize);
        if (std::strcmp(member.method, "cab") == 0) cabinet = true;
    }
    if (cabinet) {
        std::uint64_t declared = 0;
        if (!DeclaredCabinetBytes(archivePath, declared)) return false;
        bounds.AddBytes(declared);
    }
    return !bounds.Exceeded();
}

// Steps 2 to 6 on an open archive: true when the skin was extracted.
bool Unpack(const OpenArchive& archive, const std::string& archivePath, SkinDefinition& definition,
            const std::string& skinFolder)
{
    const dbcs::LeadByteTest isLead = modulepath::IsSystemLeadByte;

    InstallKeys keys;
    {
        TemporaryFile ini(kTemporaryPrefix);
        if (ini.Path().empty() || !archive.ExtractToFile(kDefinitionFile, ini.Path())) return false;
        keys = ReadInstallKeys(ProfileReader(ini.Path()), archivePath, isLead);
    }
    definition.title = keys.title;
    definition.ghost = keys.ghost;
    definition.category = keys.category;

    {
        TemporaryFile base(kTemporaryPrefix);
        if (base.Path().empty() || !archive.ExtractToFile(keys.base, base.Path())) return false;
    }

    // The skin's own folder: a plain path below the "skin" folder, as the
    // system itself reads it.
    const std::optional<installpath::RelativePath> target = installpath::ReadRelativePath(keys.extractpath, isLead);
    if (!target || target->components.empty()) return false;
    const std::string skinRoot = FullPath(skinFolder);
    const std::string ownFolder = FullPath(installpath::Join(skinRoot, target->components));
    if (skinRoot.empty() || ownFolder.empty() || !installpath::PathLiesInside(skinRoot, ownFolder, isLead))
        return false;

    const std::vector<ArcFindData> members = archive.Members(ArchiveBounds::kMaxMembers + 1);
    if (!WithinBounds(members, archivePath)) return false;

    std::set<std::string> made;
    CreateFolders(installpath::FolderLevels(ownFolder, isLead), made);

    // Bytes really written: a member may inflate beyond its declared size.
    std::uint64_t written = 0;
    for (const ArcFindData& member : members) {
        const std::optional<installpath::RelativePath> relative =
            installpath::ReadRelativePath(member.fileName, isLead);
        if (!relative || relative->components.empty()) continue;
        const std::string path = FullPath(installpath::Join(ownFolder, relative->components));
        if (path.empty() || !installpath::PathLiesInside(ownFolder, path, isLead)) continue;
        std::vector<std::string> levels = installpath::FolderLevels(path, isLead);
        if (relative->folder) {
            CreateFolders(levels, made);
            continue;
        }
        levels.pop_back(); // the file itself
        CreateFolders(levels, made);
        if (!archive.ExtractToFile(member.fileName, path)) continue;
        written += FileSize(path);
        if (written > ArchiveBounds::kMaxTotalBytes) {
            DeleteFileA(path.c_str());
            break;
        }
    }
    return true;
}

} // namespace

bool InstallSkinArchive(const std::string& archivePath, SkinDefinition& definition, HWND mainWindow,
                        const std::string& skinFolder)
{
    definition.title.clear();
    definition.ghost.clear();
    definition.category.clear();
    OpenArchive archive(archivePath);
    if (!archive.IsOpen()) return false;
    bool installed = false;
    try {
        installed = Unpack(archive, archivePath, definition, skinFolder);
    } catch (...) { // out of memory: the installation failed
        installed = false;
    }
    archive.Close();
    if (mainWindow) PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(kReloadSkinsCommand, 0), 0);
    return installed;
}

bool InstallSkinArchive(const std::string& archivePath, SkinDefinition& definition, HWND mainWindow)
{
    return InstallSkinArchive(archivePath, definition, mainWindow, modulepath::ProgramFolder() + "skin");
}
