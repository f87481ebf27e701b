#pragma once
// A "SEND SSTP/1.1" request as a skin window reads it from a Direct SSTP
// message. Portable: the bytes come in, the lines the window acts on come out.
#include <cstddef>
#include <cstdint>
#include <string>

namespace talk {

struct DirectSstpRequest {
    // The first line that is not empty ("" when there is none).
    std::string requestLine;
    // The rest of the last line beginning "Sender: " (read, never used).
    std::string sender;
    // The rest of the last line beginning "Script: ".
    std::string script;
    // The rest of the last line beginning "HWnd: ", converted as atoi does;
    // 0 when there is no such line. The window's handle value as a signed
    // 32-bit number, as requesters write it.
    int32_t answerWindow = 0;

    // Reads 'size' bytes (the COPYDATASTRUCT's cbData and lpData). A zero
    // byte ends the text early; lines end at CR LF only, and empty lines are
    // dropped. Header names are case-sensitive and take exactly one blank
    // after the colon; a later line overrides an earlier one of its kind.
    static DirectSstpRequest Read(const char* data, std::size_t size);

    // The number at the start of 'text' the way the C library's atoi reads
    // it: leading white space, an optional sign, decimal digits up to the
    // first other character; 0 when there are none. A value beyond the
    // 32-bit range is held at its limit, as Microsoft's runtime does.
    static int32_t AtoiValue(const std::string& text);
};

} // namespace talk
