#pragma once
// The content of the shared block "Ostra", through which scripts of the host
// find the skin windows. 65536 bytes: the block's size as 4 bytes unsigned
// little-endian, then three lines for each skin table entry, in table order,
// and zero bytes up to the end. A line is the entry's id, a key suffix
// (".hwnd", ".name", ".target"), one byte 0x01, the value, CR LF.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/SkinTable.h"

struct SharedBlockEntry {
    std::string id;         // MD5 digest text (32 lowercase hex digits) of 'skinWindow'
    std::string skinWindow; // the skin window handle, HandleDecimal
    std::string name;       // the skin window's text (at most 199 bytes)
    std::string hostWindow; // the host window handle, HandleDecimal
};

class SharedBlockImage {
  public:
    static constexpr size_t kSize = 65536;

    // Zero-fills 'block' (kSize bytes) and writes the size and the lines. A
    // line is written only when it fits whole with a zero byte still after it,
    // so the text always ends inside the block; a line that does not fit is
    // left out and the next one tried. Returns the offset of the first byte
    // after the last line written.
    static size_t Write(const std::vector<SharedBlockEntry>& entries, unsigned char* block);

    // The entries for the skin table's pairs, in table order. 'windowText'
    // gives a skin window's text, 'digest' the MD5 digest text of a handle's
    // decimal text (the DLL's GetMD5MessageDigest on the Windows side).
    static std::vector<SharedBlockEntry> Entries(const std::vector<SkinTable::Entry>& table,
                                                 const std::function<std::string(SkinTable::Handle)>& windowText,
                                                 const std::function<std::string(const std::string&)>& digest);
};
