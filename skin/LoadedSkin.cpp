#include "skin/LoadedSkin.h"

#include "skin/SurfaceLoader.h"

bool LoadedSkin::Load(HDC screen, const std::string& folder)
{
    Unload();
    return LoadSurfaces(screen, folder, m_surfaces, m_players);
}

void LoadedSkin::Unload()
{
    // A player's thread reads the pictures: each is stopped while they exist.
    for (auto& entry : m_players)
        entry.second->Unload();
    m_players.clear();
    m_surfaces.clear();
}

SurfacePlayer* LoadedSkin::Player(int32_t number) const
{
    auto it = m_players.find(number);
    return it == m_players.end() ? nullptr : it->second.get();
}

const SurfaceImage* LoadedSkin::Surface(int32_t number) const
{
    auto it = m_surfaces.find(number);
    return it == m_surfaces.end() ? nullptr : &it->second;
}
