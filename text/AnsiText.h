#pragma once
// Byte strings in an ANSI code page with double-byte characters (Shift_JIS,
// code page 932, on the machines the system serves). A lead byte and the byte
// after it form one character; the second byte may look like an ASCII letter
// or a backslash (0x5C) and must never be taken for one. Portable: the caller
// passes the code page's lead-byte test (IsDBCSLeadByte on Windows, see
// SystemLeadByte.h; IsCp932LeadByte where the code page is fixed).
#include <cstddef>
#include <string>
#include <string_view>

namespace ansi {

// Tells whether a byte starts a double-byte character.
using LeadByteTest = bool (*)(unsigned char);

// The lead bytes of code page 932 (Shift_JIS as Windows extends it):
// 0x81-0x9F and 0xE0-0xFC.
bool IsCp932LeadByte(unsigned char byte);

// The position after the character that starts at 'at': two bytes for a lead
// byte with a byte after it, else one.
std::size_t NextCharacter(std::string_view text, std::size_t at, LeadByteTest isLead);

// 'c' with A-Z folded to a-z; every other byte unchanged.
char LowerAscii(char c);

// Equal when the texts have the same length and match character by
// character, ASCII letters in either case; the second byte of a double-byte
// character must match exactly (0x83 0x41 is not 0x83 0x61).
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b, LeadByteTest isLead);

// True when 'text' begins with 'prefix' by the rules of EqualsIgnoringAsciiCase.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix, LeadByteTest isLead);

// Position of the last backslash that is a character of its own, or
// std::string::npos when there is none.
std::size_t FindLastBackslash(std::string_view text, LeadByteTest isLead);

// The longest prefix of 'text' of at most 'maxBytes' bytes that does not end
// inside a double-byte character (a lone lead byte at the end is dropped).
std::string Truncate(std::string_view text, std::size_t maxBytes, LeadByteTest isLead);

} // namespace ansi
