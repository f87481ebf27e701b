#pragma once
// Where a Windows test finds the build's folders; ctest passes them in the
// environment as Windows paths (Wine maps the Unix tree under Z:).
#include <string>

namespace testenv {

std::string BinDir();    // build/<target>/bin: ostra.exe, the DLLs, skin/
std::string ToolsDir();  // build/<target>/tools: ssp.exe
std::string SourceDir(); // the checkout
std::string DepsDir();   // build/deps: third-party sources and libraries
std::string TempDir();   // a scratch folder of this test program, emptied at start

// Joins with a backslash.
std::string Join(const std::string& a, const std::string& b);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
// A fresh, empty folder under TempDir().
std::string FreshDir(const std::string& name);

} // namespace testenv
