// Archive paths from anywhere: whatever ReadRelativePath accepts must stay
// inside the folder it is put under, by PathLiesInside's own reading, and
// be made of plain names only. The input's first line is the folder-less
// text; the rest is tried as a full path against a fixed folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/InstallPath.h"

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

bool HasOwnCharacter(const std::string& name, char wanted)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == wanted) return true;
        if (dbcs::IsCp932LeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) ++i;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string relative = input.substr(0, newline);
    const std::string full = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    const std::string folder = "C:\\p\\skin";
    const auto isLead = dbcs::IsCp932LeadByte;

    if (auto path = installpath::ReadRelativePath(relative, isLead)) {
        for (const std::string& name : path->components) {
            Check(!name.empty() && name != "." && name != "..");
            Check(!HasOwnCharacter(name, '\\') && !HasOwnCharacter(name, '/') && !HasOwnCharacter(name, ':'));
            Check(!installpath::IsDeviceName(name, isLead));
            Check(name.back() != '.' && name.back() != ' ');
        }
        const std::string joined = installpath::Join(folder, path->components);
        Check(installpath::PathLiesInside(folder, joined, isLead) == !path->components.empty());
        const auto levels = installpath::FolderLevels(joined, isLead);
        Check(!levels.empty() && levels.back() == joined);
        for (const std::string& level : levels)
            Check(joined.compare(0, level.size(), level) == 0);
    }

    if (installpath::PathLiesInside(folder, full, isLead)) {
        Check(installpath::PathLiesInside(folder, full + "\\x", isLead));
        Check(!installpath::PathLiesInside(folder + "2", full, isLead)); // "skin2" is not "skin"
    }
    return 0;
}
