#include "skin/SurfaceImage.h"

#include "selka/selka.h"

bool SurfaceImage::FromPackedDib(HDC screen, HGLOBAL dib)
{
    if (!dib) return false;
    const SIZE_T blockSize = GlobalSize(dib);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(static_cast<const void*>(dib));
    if (blockSize < sizeof(BITMAPINFOHEADER) || header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth <= 0 ||
        header->biHeight <= 0)
        return false;
    // The bits follow the header and the colour table: biClrUsed entries, or
    // a full table for 8 bits and fewer when that count is 0.
    uint64_t colours = header->biClrUsed;
    if (colours == 0 && header->biBitCount <= 8) colours = uint64_t{1} << header->biBitCount;
    const uint64_t bitsOffset = header->biSize + colours * sizeof(RGBQUAD);
    const uint64_t rowBytes = ((uint64_t{header->biBitCount} * header->biWidth + 31) / 32) * 4;
    if (bitsOffset + rowBytes * static_cast<uint64_t>(header->biHeight) > blockSize) return false;

    const auto* bytes = static_cast<const BYTE*>(static_cast<const void*>(dib));
    HBITMAP made = CreateDIBitmap(screen, header, CBM_INIT, bytes + bitsOffset,
                                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (!made) return false;
    bitmap.Reset(made);
    region.Reset(CreateDIBitmapRegion(dib));
    width = header->biWidth;
    height = header->biHeight;
    return true;
}

bool SurfaceImage::LoadFile(HDC screen, const std::string& path)
{
    HGLOBAL dib = LoadPNGFile(path.c_str());
    if (!dib) return false;
    const bool made = FromPackedDib(screen, dib);
    GlobalFree(dib);
    return made;
}
