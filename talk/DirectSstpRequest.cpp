#include "talk/DirectSstpRequest.h"

#include <cstring>

namespace talk {

namespace {

bool StartsWith(const std::string& line, const char* prefix, std::size_t length)
{
    return line.size() >= length && line.compare(0, length, prefix, length) == 0;
}

} // namespace

int32_t DirectSstpRequest::AtoiValue(const std::string& text)
{
    std::size_t i = 0;
    // The white space isspace knows in the "C" locale.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Collected as a magnitude in 64 bits and held at the limit, so a long
    // run of digits never overflows.
    const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

DirectSstpRequest DirectSstpRequest::Read(const char* data, std::size_t size)
{
    static const char kSender[] = "Sender: ";
    static const char kScript[] = "Script: ";
    static const char kHWnd[] = "HWnd: ";

    DirectSstpRequest request;
    if (!data) return request;
    // The text ends at the first zero byte, if the data holds one.
    const void* zero = std::memchr(data, '\0', size);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : size;
    const std::string text(data, length);

    bool first = true;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (line.empty()) continue;
        if (first) {
            request.requestLine = line;
            first = false;
        } else if (StartsWith(line, kSender, sizeof kSender - 1)) {
            request.sender = line.substr(sizeof kSender - 1);
        } else if (StartsWith(line, kScript, sizeof kScript - 1)) {
            request.script = line.substr(sizeof kScript - 1);
        } else if (StartsWith(line, kHWnd, sizeof kHWnd - 1)) {
            request.answerWindow = AtoiValue(line.substr(sizeof kHWnd - 1));
        }
    }
    return request;
}

} // namespace talk
