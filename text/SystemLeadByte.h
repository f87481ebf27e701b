#pragma once
// The lead-byte test of the system's ANSI code page, in the shape the text
// helpers take. Windows builds only (it asks IsDBCSLeadByte); the header
// itself stays free of Windows types so portable callers can name it.

namespace ansi {

bool IsSystemLeadByte(unsigned char byte);

} // namespace ansi
