#pragma once
// Path texts in the system's ANSI code page. A backslash is searched for
// character by character, so the trail byte of a double-byte character (in
// Shift_JIS it may be 0x5C) is never taken for a path separator.
#include <cstddef>
#include <string>

#include "text/AnsiText.h"

namespace dbcs {

// The code page rules themselves live in text/AnsiText.h; the path helpers
// name them here too.
using ansi::FindLastBackslash;
using ansi::IsCp932LeadByte;
using ansi::LeadByteTest;
using ansi::Truncate;

// The text up to and including the last backslash ("" when there is none).
std::string CutAfterLastBackslash(const std::string& text, LeadByteTest isLead);

// The text after the last backslash (the whole text when there is none).
std::string LastComponent(const std::string& text, LeadByteTest isLead);

// Replaces the extension of the last path component by 'extension' (which
// starts with its dot); a component without a dot gets it appended.
std::string ReplaceExtension(const std::string& path, const std::string& extension, LeadByteTest isLead);

} // namespace dbcs
