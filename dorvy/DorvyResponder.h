#pragma once
// The sample script module's whole behaviour: reads a request text and picks
// the canned answer. Portable; the DLL hands in the ANSI code page's lead-byte
// test so the line search steps over double-byte characters whole.
#include <cstddef>
#include <string>
#include <vector>

#include "text/AnsiText.h"

namespace dorvy {

using ansi::LeadByteTest;

class DorvyResponder {
  public:
    static constexpr const char kVersionResponse[] = "SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n";
    static constexpr const char kQuibbetResponse[] = "DORVY/2.0 200 OK\r\nSentence: \\s7\\e\r\n\r\n";
    static constexpr const char kDoubleClickResponse[] = "DORVY/2.0 200 OK\r\nSentence: \\s0\\e\r\n\r\n";

    // The non-empty lines of 'text' between CR LF separators. The search moves
    // one character at a time (a lead byte and the byte after it together)
    // and stops when fewer than two bytes remain.
    static std::vector<std::string> SplitLines(const std::string& text, LeadByteTest isLeadByte);

    // The answer to a request of 'size' bytes at 'data', read up to its first
    // zero byte; nullptr for no answer. The answers are the static texts above.
    static const char* Answer(const char* data, size_t size, LeadByteTest isLeadByte);
};

} // namespace dorvy
