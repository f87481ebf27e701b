#pragma once
// What one skin window has loaded for the skin it shows: the surface
// pictures and a player for each. One owner, held by the skin window, so
// that the order of release is kept in one place: every player is stopped
// and freed before the pictures its animation thread reads.
#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/SurfaceImage.h"
#include "skin/SurfacePlayer.h"

class LoadedSkin {
  public:
    LoadedSkin() = default;
    ~LoadedSkin() { Unload(); }
    LoadedSkin(const LoadedSkin&) = delete;
    LoadedSkin& operator=(const LoadedSkin&) = delete;

    // The surfaces of the skin in 'folder' (full path, no trailing
    // backslash), after unloading what was loaded; see LoadSurfaces.
    bool Load(HDC screen, const std::string& folder);
    // Stops and frees every player, then frees the pictures.
    void Unload();

    bool Empty() const { return m_players.empty(); }
    SurfacePlayer* Player(int32_t number) const;
    const SurfaceImage* Surface(int32_t number) const;
    const SurfaceMap& Surfaces() const { return m_surfaces; }
    const PlayerMap& Players() const { return m_players; }

  private:
    SurfaceMap m_surfaces;
    PlayerMap m_players;
};
