#include "framework/ModulePath.h"

#include "framework/DbcsPath.h"

#include <vector>

namespace modulepath {

std::string ModuleFileName(HMODULE module)
{
    // Paths beyond MAX_PATH exist; grow until the name fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder()
{
    return dbcs::CutAfterLastBackslash(ModuleFileName(nullptr), IsSystemLeadByte);
}

std::string SettingsFilePath()
{
    return dbcs::ReplaceExtension(ModuleFileName(nullptr), ".ini", IsSystemLeadByte);
}

} // namespace modulepath
