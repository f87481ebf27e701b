#pragma once
// Reading INI files through the platform's private-profile functions, with
// the care their texts need: a value longer than its limit is cut without
// splitting a double-byte character, and the cut is found by the text itself,
// not by the reader's count (Wine's GetPrivateProfileStringA reports one byte
// too many when it cuts a value whose last character it had to drop).
#include <cstddef>
#include <cstdint>
#include <string>

namespace privateprofile {

// The value of 'key' in 'section' of the file 'path', at most 'limit' bytes
// and never ending inside a double-byte character of the system code page;
// 'fallback' when the key or the file is missing.
std::string ReadText(const std::string& path, const char* section, const char* key, const char* fallback,
                     std::size_t limit);

// The integer value of 'key' (GetPrivateProfileIntA's reading); 'fallback'
// when the key or the file is missing.
std::int32_t ReadInteger(const std::string& path, const char* section, const char* key, std::int32_t fallback);

} // namespace privateprofile
