#pragma once
// The fixed part of a Microsoft cabinet file: its header, folder table and
// file table. The library reads it before handing a cabinet to the platform's
// decompressor, so that a cabinet whose tables cannot be right (no folders,
// no files, a file in a folder that does not exist, tables past the end) is
// refused before the decompressor sees it, and so that it knows which
// members begin in this cabinet of a spanned set.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CabHeader {
  public:
    // Header flags.
    static constexpr uint16_t kPrevCabinet = 0x0001;
    static constexpr uint16_t kNextCabinet = 0x0002;
    static constexpr uint16_t kReservePresent = 0x0004;

    // Folder indexes of members that do not lie wholly in one folder here.
    static constexpr uint16_t kContinuedFromPrev = 0xFFFD;
    static constexpr uint16_t kContinuedToNext = 0xFFFE;
    static constexpr uint16_t kContinuedPrevAndNext = 0xFFFF;

    struct Folder {
        uint32_t dataOffset = 0;
        uint16_t dataBlocks = 0;
        uint16_t compression = 0; // low 4 bits: 0 none, 1 MSZIP, 2 Quantum, 3 LZX
    };

    struct File {
        uint32_t size = 0;
        uint32_t folderOffset = 0;
        uint16_t folder = 0;
        uint16_t date = 0;
        uint16_t time = 0;
        uint16_t attributes = 0;
        std::string name;

        // Whether the member's data begins in this cabinet.
        bool StartsHere() const { return folder != kContinuedFromPrev && folder != kContinuedPrevAndNext; }
    };

    // Parses the bytes from the start of the file (they may stop anywhere).
    // False when they are not a version 1.3 cabinet with consistent tables.
    bool Parse(const uint8_t* data, size_t size);

    uint32_t cabinetSize = 0; // the declared size of the whole cabinet, bytes
    uint16_t flags = 0;
    uint16_t setId = 0;
    uint16_t index = 0;
    std::string prevCabinet;
    std::string nextCabinet;
    std::vector<Folder> folders;
    std::vector<File> files;
};
