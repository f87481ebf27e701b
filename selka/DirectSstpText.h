#pragma once
// The texts of the Direct SSTP requests the library sends, byte for byte.
// Portable: window handles arrive as the signed 32-bit number written in "HWnd".
#include <cstdint>
#include <string>

namespace selka {

class DirectSstpText {
  public:
    // "SEND SSTP/1.5": the script is always closed by one more "\e"; an
    // Options line only when 'options' is neither null nor empty. Null
    // 'sender' or 'script' are written as empty.
    static std::string Send(const char* sender, const char* script, const char* options, int32_t hwndFrom);

    // "NOTIFY SSTP/1.1": ReferenceN lines for the references that are
    // neither null nor empty, keeping their numbers; Script and
    // "Options: nodescript" only when 'script' is not null.
    static std::string Notify(const char* sender, const char* script, const char* event,
                              const char* const references[8]);
};

} // namespace selka
