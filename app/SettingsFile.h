#pragma once
// Reading and writing the settings record in the program's settings file
// (the program's path with the extension ".ini"), through the system's
// private-profile functions only. A missing or unreadable file gives the
// defaults; write failures are ignored.
#include <string>

#include "app/Settings.h"

// Called once at start-up.
Settings LoadSettings();
// Called after the user confirmed the options sheet.
void SaveSettings(const Settings& settings);

// The same against a given file (full path).
Settings LoadSettingsFrom(const std::string& file);
void SaveSettingsTo(const std::string& file, const Settings& settings);
