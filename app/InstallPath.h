#pragma once
// Where an installed skin's files may go. An archive names its target folder
// ("extractpath") and its members' paths itself, so both are untrusted: they
// must neither leave the program's "skin" folder nor reach anything that is
// not a plain file in it. Paths are byte strings of the ANSI code page
// (Shift_JIS on the machines served): the second byte of a double-byte
// character may be 0x5C or a letter and is never taken for a separator or
// folded in case.
//
// Two layers. RelativePath reads an archive's text into plain name
// components, refusing anything Windows would read as a drive, a share, a
// stream, a device or a way up past the start. PathLiesInside then compares
// the full paths the system made of them (GetFullPathNameA) component by
// component, so the first layer is checked against the system's own reading.
#include <optional>
#include <string>
#include <vector>

#include "framework/DbcsPath.h"

namespace installpath {

struct RelativePath {
    // Plain names: never empty, ".", ".." or with a separator, colon,
    // wildcard or control character; trailing dots and blanks are already
    // gone, as Windows drops them.
    std::vector<std::string> components;
    // The text ended with a separator (a ZIP folder entry such as "dir/").
    bool folder = false;
};

// Reads 'text' ("/" or "\" separated) as a path below some folder. ".."
// steps back inside it and "." is dropped. std::nullopt when the text is
// absolute (a leading separator, "\\server\share", "C:"), holds a colon
// anywhere (a drive or an alternate stream "name:stream"), a character that
// cannot be in a file name (< > " | ? * or a control character), a component
// that is only dots and blanks (beyond "." and ".."), a device name (CON,
// PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with or without an
// extension), a ".." that would step above the start, or a double-byte
// lead byte at the end or before a byte below 0x40 (no such character exists,
// and the system might read it as two). An empty text gives
// no components.
std::optional<RelativePath> ReadRelativePath(const std::string& text, dbcs::LeadByteTest isLead);

// Whether 'name' (one component) names a device whatever its extension:
// "con", "NUL.txt", "com1.tar.gz", "LPT9 .log".
bool IsDeviceName(const std::string& name, dbcs::LeadByteTest isLead);

// Whether the full path 'path' lies strictly inside the full path 'folder':
// both have the same root (drive letter "C:" or share "\\server\share",
// letters of either case) and every component of 'folder' equals the
// corresponding one of 'path', ignoring ASCII case, after "/" became "\",
// "." and ".." were resolved and trailing dots and blanks dropped. "skin2"
// does not lie inside "skin". False for paths without such a root, for the
// "\\?\" and "\\.\" forms, and when 'path' holds a colon past its drive or
// a device name.
bool PathLiesInside(const std::string& folder, const std::string& path, dbcs::LeadByteTest isLead);

// The folders to create, one level after the other, for the full path
// 'path': every prefix that ends before a separator past the root, then the
// path itself ("C:\a\b" gives "C:\a", "C:\a\b"). A trailing separator is
// dropped.
std::vector<std::string> FolderLevels(const std::string& path, dbcs::LeadByteTest isLead);

// 'folder' with the components appended, each after one backslash.
std::string Join(const std::string& folder, const std::vector<std::string>& components);

} // namespace installpath
