// Fuzzes the module's request reading: any bytes give one of the three
// answers or none, and never read outside the request.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dorvy/DorvyResponder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using dorvy::DorvyResponder;
    const char* answer = DorvyResponder::Answer(reinterpret_cast<const char*>(data), size, ansi::IsCp932LeadByte);
    if (answer && answer != DorvyResponder::kVersionResponse && answer != DorvyResponder::kQuibbetResponse &&
        answer != DorvyResponder::kDoubleClickResponse)
        std::abort();
    // Every line is a piece of the text without its CR LF separators.
    size_t total = 0;
    if (data) {
        for (const auto& line : DorvyResponder::SplitLines(std::string(reinterpret_cast<const char*>(data), size),
                                                           ansi::IsCp932LeadByte)) {
            if (line.empty()) std::abort();
            total += line.size();
        }
    }
    if (total > size) std::abort();
    return 0;
}
