#pragma once
// The skin last chosen for each host program, kept in the program's settings
// file: section = the host's executable path in its short form, as the host
// reports it; key "SkinPath"; value = the skin's folder name.
#include <string>

// From the program's own settings file (its path with ".ini" for the extension).
std::string ReadSkinPath(const std::string& hostKey);
bool WriteSkinPath(const std::string& hostKey, const std::string& skinName);

// The same against a given settings file.
std::string ReadSkinPathFrom(const std::string& settingsFile, const std::string& hostKey);
bool WriteSkinPathTo(const std::string& settingsFile, const std::string& hostKey, const std::string& skinName);
