// Feeds arbitrary bytes to the cabinet table reader and the name helpers.
#include "bruna/CabHeader.h"
#include "bruna/EmptyZip.h"
#include "bruna/MemberName.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CabHeader header;
    if (header.Parse(data, size)) {
        for (const CabHeader::File& f : header.files) {
            std::string folder, file;
            MemberName::SplitPath(f.name, folder, file);
            MemberName::EqualsIgnoreCase(f.name.c_str(), file.c_str());
            MemberName::IsPlausible(f.name.c_str());
        }
    }
    EmptyZip::Is(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string folder, file;
    MemberName::SplitPath(text, folder, file);
    if (folder.size() + file.size() != text.size()) __builtin_trap();
    MemberName::EqualsIgnoreCase(text.c_str(), file.c_str());
    return 0;
}
