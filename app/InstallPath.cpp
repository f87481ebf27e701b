#include "app/InstallPath.h"

#include <cstring>

#include "text/AnsiText.h"

namespace installpath {

namespace {

// The start of every character of 'text', so that a trail byte is never read
// as a character of its own. A lead byte at the very end stands alone.
std::vector<std::size_t> CharacterStarts(const std::string& text, dbcs::LeadByteTest isLead)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        starts.push_back(i);
        if (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    }
    return starts;
}

bool IsSingle(const std::string& text, std::size_t at, std::size_t next)
{
    return next - at == 1 && at < text.size();
}

// Splits at every backslash that is a character of its own.
std::vector<std::string> SplitComponents(const std::string& text, dbcs::LeadByteTest isLead)
{
    std::vector<std::string> parts(1);
    const std::vector<std::size_t> starts = CharacterStarts(text, isLead);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t at = starts[k];
        const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
        if (IsSingle(text, at, next) && text[at] == '\\') {
            parts.emplace_back();
        } else {
            parts.back().append(text, at, next - at);
        }
    }
    return parts;
}

// Windows drops trailing dots and blanks from a name ("a.txt. " is "a.txt").
std::string StripTrailingDotsAndBlanks(const std::string& name, dbcs::LeadByteTest isLead)
{
    const std::vector<std::size_t> starts = CharacterStarts(name, isLead);
    std::size_t end = name.size();
    for (std::size_t k = starts.size(); k-- > 0;) {
        const std::size_t at = starts[k];
        if (end - at == 1 && (name[at] == '.' || name[at] == ' ')) {
            end = at;
        } else {
            break;
        }
    }
    return name.substr(0, end);
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b, dbcs::LeadByteTest isLead)
{
    return ansi::EqualsIgnoringAsciiCase(a, b, isLead);
}

// Characters that no file name may hold; a colon separates a drive or a
// stream. Only single-byte characters are looked at.
bool IsForbiddenCharacter(unsigned char c)
{
    return c < 0x20 || c == 0x7F || (c != 0 && std::strchr("<>\"|?*:", c) != nullptr);
}

// A lead byte at the end, or before a byte that cannot follow one (below
// 0x40: a separator, a dot, a colon): invalid Shift_JIS, which the system's
// conversion may read as two characters where this code reads one.
bool HasBrokenCharacter(const std::string& text, dbcs::LeadByteTest isLead)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isLead(static_cast<unsigned char>(text[i]))) continue;
        if (i + 1 >= text.size() || static_cast<unsigned char>(text[i + 1]) < 0x40) return true;
        ++i;
    }
    return false;
}

std::string ForwardToBackslash(std::string text, dbcs::LeadByteTest isLead)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;
        } else if (text[i] == '/') {
            text[i] = '\\';
        }
    }
    return text;
}

// The first backslash of its own at or after 'from' (which starts a character).
std::size_t FindBackslash(const std::string& text, std::size_t from, dbcs::LeadByteTest isLead)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\\') return i;
        if (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    }
    return std::string::npos;
}

// The root of a full path ("c:" or "\\server\share", letters as written) and
// where its components begin; false for anything else.
bool SplitRoot(const std::string& path, dbcs::LeadByteTest isLead, std::string& root, std::size_t& rest)
{
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 2 && letter(path[0]) && path[1] == ':') {
        if (path.size() > 2 && path[2] != '\\') return false; // "C:name" is relative to a drive
        root = path.substr(0, 2);
        rest = path.size() > 2 ? 3 : 2;
        return true;
    }
    if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return false;
    if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && path[3] == '\\') return false;
    const std::size_t serverEnd = FindBackslash(path, 2, isLead);
    if (serverEnd == std::string::npos || serverEnd == 2) return false;
    std::size_t shareEnd = FindBackslash(path, serverEnd + 1, isLead);
    if (shareEnd == serverEnd + 1) return false;
    if (shareEnd == std::string::npos) shareEnd = path.size();
    root = path.substr(0, shareEnd);
    rest = shareEnd < path.size() ? shareEnd + 1 : shareEnd;
    return true;
}

// The root and the resolved components of a full path; false when it is not
// one or holds what no plain file path holds.
bool ReadFullPath(const std::string& text, dbcs::LeadByteTest isLead, std::string& root,
                  std::vector<std::string>& components)
{
    if (HasBrokenCharacter(text, isLead)) return false;
    const std::string path = ForwardToBackslash(text, isLead);
    std::size_t rest = 0;
    if (!SplitRoot(path, isLead, root, rest)) return false;
    for (const std::string& raw : SplitComponents(path.substr(rest), isLead)) {
        if (raw.empty() || raw == ".") continue;
        if (raw == "..") {
            if (!components.empty()) components.pop_back(); // ".." at the root stays there
            continue;
        }
        const std::vector<std::size_t> starts = CharacterStarts(raw, isLead);
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : raw.size();
            if (IsSingle(raw, starts[k], next) && IsForbiddenCharacter(static_cast<unsigned char>(raw[starts[k]])))
                return false;
        }
        std::string name = StripTrailingDotsAndBlanks(raw, isLead);
        if (name.empty() || IsDeviceName(name, isLead)) return false;
        components.push_back(std::move(name));
    }
    return true;
}

} // namespace

bool IsDeviceName(const std::string& name, dbcs::LeadByteTest isLead)
{
    const std::string whole = StripTrailingDotsAndBlanks(name, isLead);
    std::string base;
    const std::vector<std::size_t> starts = CharacterStarts(whole, isLead);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : whole.size();
        if (IsSingle(whole, starts[k], next) && whole[starts[k]] == '.') break;
        base.append(whole, starts[k], next - starts[k]);
    }
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static const char* const kFixed[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* device : kFixed) {
        if (EqualsIgnoringAsciiCase(base, device, isLead)) return true;
    }
    if (base.size() == 4 && base[3] >= '0' && base[3] <= '9') {
        const std::string stem = base.substr(0, 3);
        if (EqualsIgnoringAsciiCase(stem, "com", isLead) || EqualsIgnoringAsciiCase(stem, "lpt", isLead)) return true;
    }
    return false;
}

std::optional<RelativePath> ReadRelativePath(const std::string& text, dbcs::LeadByteTest isLead)
{
    RelativePath result;
    if (text.empty()) return result;
    if (HasBrokenCharacter(text, isLead)) return std::nullopt;
    const std::string path = ForwardToBackslash(text, isLead);
    if (path[0] == '\\') return std::nullopt; // the root of a drive, or a share
    const std::vector<std::size_t> starts = CharacterStarts(path, isLead);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : path.size();
        if (IsSingle(path, starts[k], next) && IsForbiddenCharacter(static_cast<unsigned char>(path[starts[k]])))
            return std::nullopt;
    }
    const std::vector<std::string> parts = SplitComponents(path, isLead);
    for (const std::string& raw : parts) {
        if (raw.empty() || raw == ".") continue;
        if (raw == "..") {
            if (result.components.empty()) return std::nullopt;
            result.components.pop_back();
            continue;
        }
        std::string name = StripTrailingDotsAndBlanks(raw, isLead);
        if (name.empty() || IsDeviceName(name, isLead)) return std::nullopt;
        result.components.push_back(std::move(name));
    }
    const std::string& last = parts.back();
    result.folder = last.empty() || last == "." || last == "..";
    return result;
}

bool PathLiesInside(const std::string& folder, const std::string& path, dbcs::LeadByteTest isLead)
{
    std::string folderRoot, pathRoot;
    std::vector<std::string> folderParts, pathParts;
    if (!ReadFullPath(folder, isLead, folderRoot, folderParts)) return false;
    if (!ReadFullPath(path, isLead, pathRoot, pathParts)) return false;
    if (!EqualsIgnoringAsciiCase(folderRoot, pathRoot, isLead)) return false;
    if (pathParts.size() <= folderParts.size()) return false;
    for (std::size_t i = 0; i < folderParts.size(); ++i) {
        if (!EqualsIgnoringAsciiCase(folderParts[i], pathParts[i], isLead)) return false;
    }
    return true;
}

std::vector<std::string> FolderLevels(const std::string& text, dbcs::LeadByteTest isLead)
{
    const std::string path = ForwardToBackslash(text, isLead);
    std::string root;
    std::size_t rest = 0;
    if (!SplitRoot(path, isLead, root, rest)) rest = 0;
    std::vector<std::string> levels;
    bool lastWasSeparator = true; // nothing after the root yet
    const std::vector<std::size_t> starts = CharacterStarts(path, isLead);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t at = starts[k];
        if (at < rest) continue;
        const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : path.size();
        const bool separator = IsSingle(path, at, next) && path[at] == '\\';
        if (separator && !lastWasSeparator) levels.push_back(path.substr(0, at));
        lastWasSeparator = separator;
    }
    if (!lastWasSeparator) levels.push_back(path);
    return levels;
}

std::string Join(const std::string& folder, const std::vector<std::string>& components)
{
    std::string path = folder;
    for (const std::string& name : components) {
        path += '\\';
        path += name;
    }
    return path;
}

} // namespace installpath
