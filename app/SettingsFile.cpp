#include "app/SettingsFile.h"

#include <windows.h>

#include <cstdio>

#include "framework/ModulePath.h"
#include "framework/PrivateProfile.h"

Settings LoadSettingsFrom(const std::string& file)
{
    const Settings defaults;
    settingsfile::Entries entries = settingsfile::ToEntries(defaults);
    std::array<int, 4> values{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        values[i] = privateprofile::ReadInteger(file, settingsfile::kSection, entries[i].key, entries[i].value);
    }
    return settingsfile::FromValues(values);
}

void SaveSettingsTo(const std::string& file, const Settings& settings)
{
    for (const settingsfile::Entry& entry : settingsfile::ToEntries(settings)) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", entry.value);
        WritePrivateProfileStringA(settingsfile::kSection, entry.key, number, file.c_str());
    }
}

Settings LoadSettings()
{
    return LoadSettingsFrom(modulepath::SettingsFilePath());
}

void SaveSettings(const Settings& settings)
{
    SaveSettingsTo(modulepath::SettingsFilePath(), settings);
}
