#pragma once
// Paths derived from a module's own file name, in the system code page.
#include <windows.h>

#include <string>

#include "text/SystemLeadByte.h"

namespace modulepath {

// The system code page's lead-byte test, which the path helpers take.
using ansi::IsSystemLeadByte;

// The full path of a module's file (the program's own for nullptr); "" on failure.
std::string ModuleFileName(HMODULE module);

// The program's folder with its trailing backslash.
std::string ProgramFolder();

// The program's settings file: its path with the extension replaced by ".ini".
std::string SettingsFilePath();

} // namespace modulepath
