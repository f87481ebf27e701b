#pragma once
// The ZIP reader: lists the central directory through minizip once at Open
// and extracts one member, chosen by its exact stored name, into memory.
#include "bruna/Archive.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class ZipArchive : public Archive {
  public:
    ZipArchive();
    ~ZipArchive() override;

    // Fails for anything minizip cannot list completely: no end of central
    // directory, a damaged directory entry, a member it cannot describe (a
    // name of 260 bytes or more, sizes beyond 4 GiB).
    bool Open(const char* path) override;
    bool Close() override;
    // The member whose stored name equals name byte for byte: no wildcard
    // matching, letter case significant. NULL for an encrypted member, a
    // member over kMaxMemberSize, a method minizip cannot decode, or data
    // that does not match its recorded length and CRC.
    HGLOBAL ExtractToMemory(const char* name) override;

  protected:
    std::unique_ptr<Archive> NewOfSameKind() const override;

  private:
    struct Position {
        uint64_t directoryOffset;
        uint64_t fileNumber;
    };
    void* m_unz = nullptr;                     // minizip's unzFile, open while the archive is
    std::map<std::string, Position> m_members; // first member of each name
};
