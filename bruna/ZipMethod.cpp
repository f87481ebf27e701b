#include "bruna/ZipMethod.h"

#include <cstdio>

std::string ZipMethod::Text(uint16_t method, uint16_t flags)
{
    switch (method) {
    case 0:
        return "Stored";
    case 1:
        return "Shrunk";
    case 2:
        return "Reduce1";
    case 3:
        return "Reduce2";
    case 4:
        return "Reduce3";
    case 5:
        return "Reduce4";
    case 6:
        return "Implode";
    case 7:
        return "Token";
    case 8: {
        // Bits 1 and 2 of the flag word carry the compressor's speed option.
        static const char kLevel[] = "NXFS";
        return std::string("Defl:") + kLevel[(flags >> 1) & 3];
    }
    case 9:
        return "Def64";
    case 10:
        return "ImplDCL";
    case 12:
        return "BZip2";
    case 14:
        return "LZMA";
    case 18:
        return "Terse";
    case 19:
        return "IBMLZ77";
    case 93:
        return "Zstd";
    case 95:
        return "XZ";
    case 97:
        return "WavPack";
    case 98:
        return "PPMd";
    case 99:
        return "AES";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "Unk:%03u", static_cast<unsigned>(method) % 1000u);
        return text;
    }
    }
}
