#pragma once
// Path texts in the system's ANSI code page. A backslash is searched for
// character by character, so the trail byte of a double-byte character (in
// Shift_JIS it may be 0x5C) is never taken for a path separator.
#include <cstddef>
#include <string>

namespace dbcs {

// Tells whether a byte starts a double-byte character.
using LeadByteTest = bool (*)(unsigned char);

// The lead bytes of code page 932 (Shift_JIS as Windows extends it).
bool IsCp932LeadByte(unsigned char byte);

// Position of the last backslash that is a character of its own, or
// std::string::npos when there is none.
std::size_t FindLastBackslash(const std::string& text, LeadByteTest isLead);

// The text up to and including the last backslash ("" when there is none).
std::string CutAfterLastBackslash(const std::string& text, LeadByteTest isLead);

// The text after the last backslash (the whole text when there is none).
std::string LastComponent(const std::string& text, LeadByteTest isLead);

// Replaces the extension of the last path component by 'extension' (which
// starts with its dot); a component without a dot gets it appended.
std::string ReplaceExtension(const std::string& path, const std::string& extension, LeadByteTest isLead);

// The longest prefix of 'text' of at most 'maxBytes' bytes that does not end
// inside a double-byte character (a lone lead byte at the end is dropped).
std::string Truncate(const std::string& text, std::size_t maxBytes, LeadByteTest isLead);

} // namespace dbcs
