#include "skin/SurfaceLoader.h"

#include <set>
#include <vector>

#include "framework/KernelHandle.h"
#include "framework/PrivateProfile.h"
#include "skin/SkinDefinition.h"
#include "skin/SurfaceFileScan.h"

namespace {

std::string IniText(const std::string& iniPath, const char* key, const char* fallback)
{
    return privateprofile::ReadText(iniPath, "OSTRA", key, fallback, SkinDefinition::kLongTextLimit);
}

std::vector<std::string> ListSurfaceFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((folder + "\\surface*.png").c_str(), &found));
    if (!find) return names;
    do {
        names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.Get(), &found));
    return names;
}

} // namespace

bool LoadSurfaces(HDC screen, const std::string& folder, SurfaceMap& surfaces, PlayerMap& players)
{
    try {
        players.clear();
        surfaces.clear();
        const std::string iniPath = folder + "\\ostra.ini";
        std::string base = IniText(iniPath, "base", "surface0.png");
        // An empty "base" means the default picture, as it does for the
        // catalogue that listed this skin because "surface0.png" exists.
        if (base.empty()) base = "surface0.png";
        const std::string animation = IniText(iniPath, "animation", "surface0a.txt");

        if (base != "surface0.png" || animation != "surface0a.txt") {
            SurfaceImage image;
            if (!image.LoadFile(screen, folder + "\\" + base)) return false;
            image.number = 0;
            surfaces.emplace(0, std::move(image));
            auto player = std::make_unique<SurfacePlayer>();
            if (!player->Load(screen, folder, base, animation)) return false;
            players.emplace(0, std::move(player));
        }

        std::set<int32_t> taken;
        for (const auto& entry : surfaces)
            taken.insert(entry.first);
        SurfaceFileScan::Scan(ListSurfaceFiles(folder), taken, [&](int32_t number, const std::string& name) {
            SurfaceImage image;
            if (!image.LoadFile(screen, folder + "\\" + name)) return false;
            image.number = number;
            surfaces.emplace(number, std::move(image));
            auto player = std::make_unique<SurfacePlayer>();
            if (player->Load(screen, folder, name, SurfaceFileScan::AnimationFileFor(number)))
                players.emplace(number, std::move(player));
            return true;
        });
        return !players.empty();
    } catch (...) {
        players.clear();
        surfaces.clear();
        return false;
    }
}
