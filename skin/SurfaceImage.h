#pragma once
// One loaded surface picture of a skin: a device-dependent bitmap for drawing
// and the window region of its shape, both owned here.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "skin/ScopedGdiObject.h"

struct SurfaceImage {
    int32_t number = 0;
    ScopedBitmap bitmap;
    // Null when the picture has no region (a 32-bit picture, for which the
    // region builder makes none).
    ScopedRegion region;
    int32_t width = 0;
    int32_t height = 0;

    // Makes bitmap, region and size from a packed DIB as LoadPNGFile returns
    // it, the bitmap compatible with 'screen'. The DIB stays the caller's.
    // False when the DIB is not sound or the bitmap cannot be made.
    bool FromPackedDib(HDC screen, HGLOBAL dib);

    // LoadPNGFile of 'path', then FromPackedDib; the DIB is freed here.
    bool LoadFile(HDC screen, const std::string& path);
};

// The skin window's surfaces by number.
using SurfaceMap = std::map<int32_t, SurfaceImage>;
