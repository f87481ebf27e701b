#include "skin/SkinPath.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/ModulePath.h"

namespace {

constexpr DWORD kNameBuffer = MAX_PATH; // a folder name fits in a path

} // namespace

std::string ReadSkinPathFrom(const std::string& settingsFile, const std::string& hostKey)
{
    // An empty section name would make the reader list section names.
    if (hostKey.empty()) return std::string();
    std::vector<char> buffer(kNameBuffer, '\0');
    DWORD length =
        GetPrivateProfileStringA(hostKey.c_str(), "SkinPath", "", buffer.data(), kNameBuffer, settingsFile.c_str());
    return std::string(buffer.data(), std::min<std::size_t>(length, std::strlen(buffer.data())));
}

bool WriteSkinPathTo(const std::string& settingsFile, const std::string& hostKey, const std::string& skinName)
{
    if (hostKey.empty()) return false;
    return WritePrivateProfileStringA(hostKey.c_str(), "SkinPath", skinName.c_str(), settingsFile.c_str()) != FALSE;
}

std::string ReadSkinPath(const std::string& hostKey)
{
    return ReadSkinPathFrom(modulepath::SettingsFilePath(), hostKey);
}

bool WriteSkinPath(const std::string& hostKey, const std::string& skinName)
{
    return WriteSkinPathTo(modulepath::SettingsFilePath(), hostKey, skinName);
}
