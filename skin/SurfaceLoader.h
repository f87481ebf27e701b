#pragma once
// Finding and loading all surfaces of a skin folder.
#include <windows.h>

#include <string>

#include "skin/SurfaceImage.h"
#include "skin/SurfacePlayer.h"

// Loads the surfaces of the skin in 'folder' (its full path, without a
// trailing backslash) into the skin window's two maps, which are emptied
// first: a picture and a player for the base image named by the folder's
// "ostra.ini" (keys "base" and "animation") when those are not the default
// "surface0.png" and "surface0a.txt", then for every "surface*.png" of the
// folder in listing order, the first file listed for a number winning. An
// unreadable numbered picture is skipped. False when a non-default base image
// or its player cannot be loaded, or when no player at all was made; the
// skin is then unusable. The caller sets the window title on success.
// 'screen' is the program's screen device context. User-interface thread,
// with no player of the maps running.
bool LoadSurfaces(HDC screen, const std::string& folder, SurfaceMap& surfaces, PlayerMap& players);
