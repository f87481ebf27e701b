#pragma once
// The member record the find operations fill. It crosses the library
// boundary, so its layout is fixed: 292 bytes, little-endian, no padding.
// Kept free of Windows headers so the portable code and its tests share it;
// lastWriteTime has the layout of a FILETIME (UTC, 100 ns ticks since 1601).
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct ArcFileTime {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};

struct ArcFindData {
    ArcFileTime lastWriteTime; // UTC
    uint32_t compressedSize;   // bytes; 0 for cabinet members
    uint32_t uncompressedSize; // bytes; 0 for cabinet members
    uint32_t attributes;       // Win32 file attribute bits; 0 for ZIP members
    uint16_t reserved;         // always 0
    char fileName[260];        // zero-terminated, ANSI code page, as stored
    char method[10];           // zero-terminated: "Defl:N", "Stored", "cab", ...
};
#pragma pack(pop)

static_assert(sizeof(ArcFileTime) == 8, "FILETIME layout");
static_assert(offsetof(ArcFindData, lastWriteTime) == 0, "ArcFindData layout");
static_assert(offsetof(ArcFindData, compressedSize) == 8, "ArcFindData layout");
static_assert(offsetof(ArcFindData, uncompressedSize) == 12, "ArcFindData layout");
static_assert(offsetof(ArcFindData, attributes) == 16, "ArcFindData layout");
static_assert(offsetof(ArcFindData, reserved) == 20, "ArcFindData layout");
static_assert(offsetof(ArcFindData, fileName) == 22, "ArcFindData layout");
static_assert(offsetof(ArcFindData, method) == 282, "ArcFindData layout");
static_assert(sizeof(ArcFindData) == 292, "ArcFindData layout");

// The largest member this library extracts into memory. Skins are a few
// megabytes; anything claiming more is a damaged archive or a "zip bomb".
constexpr uint32_t kMaxMemberSize = 256u * 1024u * 1024u;
