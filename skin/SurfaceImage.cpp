#include "skin/SurfaceImage.h"

#include "selka/DibLayout.h"
#include "selka/selka.h"

bool SurfaceImage::FromPackedDib(HDC screen, HGLOBAL dib)
{
    if (!dib) return false;
    const SIZE_T blockSize = GlobalSize(dib);
    const auto* bytes = static_cast<const uint8_t*>(static_cast<const void*>(dib));
    if (blockSize < selka::DibLayout::kHeaderSize) return false;
    // The same reading of the header as the region builder's, overflow
    // checked: the bits follow the header and the palette.
    selka::DibView view;
    if (!selka::DibView::Read(bytes, view)) return false;
    if (view.pixelOffset > blockSize || view.pixelBytes > blockSize - view.pixelOffset) return false;

    const auto* header = static_cast<const BITMAPINFOHEADER*>(static_cast<const void*>(dib));
    HBITMAP made = CreateDIBitmap(screen, header, CBM_INIT, bytes + view.pixelOffset,
                                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (!made) return false;
    bitmap.Reset(made);
    region.Reset(CreateDIBitmapRegion(dib));
    width = view.width;
    height = view.height;
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
