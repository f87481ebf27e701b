#pragma once
// Member names and archive paths are byte strings of the ANSI code page,
// Shift_JIS (code page 932) on the machines served: a byte of 0x81-0x9F or
// 0xE0-0xFC leads a two-byte character whose second byte may look like an
// ASCII letter or a backslash.
#include <string>

class MemberName {
  public:
    // Case-insensitive comparison of two names: ASCII letters fold, the
    // second byte of a double-byte character never does.
    static bool EqualsIgnoreCase(const char* a, const char* b);

    // Splits a path at its last backslash that is not a trail byte. The
    // folder keeps its backslash; without one the folder is empty.
    static void SplitPath(const std::string& path, std::string& folder, std::string& file);

    // A name this library can report and look up: 1..259 bytes (it must fit
    // ArcFindData::fileName with its terminator) and no control characters.
    static bool IsPlausible(const char* name);
};
