#include "framework/PrivateProfile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/AnsiText.h"
#include "text/SystemLeadByte.h"

namespace privateprofile {

std::string ReadText(const std::string& path, const char* section, const char* key, const char* fallback,
                     std::size_t limit)
{
    // One byte more than the limit for the NUL.
    std::vector<char> buffer(limit + 1, '\0');
    const DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path.c_str());
    // The count is not to be trusted when the reader cut a double-byte value
    // (Wine counts a byte it then left as NUL): the text ends at its NUL.
    const std::size_t size = std::min<std::size_t>({length, limit, std::strlen(buffer.data())});
    // A value cut to fit may also end in the lead byte of a split character.
    return ansi::Truncate(std::string_view(buffer.data(), size), limit, ansi::IsSystemLeadByte);
}

std::int32_t ReadInteger(const std::string& path, const char* section, const char* key, std::int32_t fallback)
{
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, fallback, path.c_str()));
}

} // namespace privateprofile
