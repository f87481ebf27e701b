#include "selka/DirectSstpText.h"

namespace selka {

namespace {

const char* OrEmpty(const char* text)
{
    return text ? text : "";
}

bool Present(const char* text)
{
    return text && *text;
}

} // namespace

std::string DirectSstpText::Send(const char* sender, const char* script, const char* options, int32_t hwndFrom)
{
    const std::string hwnd = std::to_string(hwndFrom);
    std::string text = "SEND SSTP/1.5\r\n";
    text += "Sender: ";
    text += OrEmpty(sender);
    text += "\r\nScript: ";
    text += OrEmpty(script);
    text += "\\e\r\n";
    if (Present(options)) {
        text += "Options: ";
        text += options;
        text += "\r\n";
    }
    text += "HWnd: ";
    text += hwnd;
    text += "\r\n\r\n";
    return text;
}

std::string DirectSstpText::Notify(const char* sender, const char* script, const char* event,
                                   const char* const references[8])
{
    std::string text = "NOTIFY SSTP/1.1\r\n";
    text += "Sender: ";
    text += OrEmpty(sender);
    text += "\r\nEvent: ";
    text += OrEmpty(event);
    text += "\r\n";
    for (int n = 0; n < 8; ++n) {
        if (!references || !Present(references[n])) continue;
        text += "Reference";
        text += static_cast<char>('0' + n);
        text += ": ";
        text += references[n];
        text += "\r\n";
    }
    if (script) {
        text += "Script: ";
        text += script;
        text += "\r\nOptions: nodescript\r\n";
    }
    text += "Charset: Shift_JIS\r\n\r\n";
    return text;
}

} // namespace selka
