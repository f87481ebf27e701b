// The Direct SSTP request texts, byte for byte.
#include <gtest/gtest.h>

#include "selka/DirectSstpText.h"

using selka::DirectSstpText;

TEST(DirectSstpText, Send)
{
    struct Case {
        const char* script;
        const char* options;
        int32_t hwnd;
        const char* expected;
    };
    const Case cases[] = {
        // The talk nudge: the script gets one more \e even though it ends in one.
        {"\\a\\e", "nodescript", 0x1234,
         "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\a\\e\\e\r\nOptions: nodescript\r\nHWnd: 4660\r\n\r\n"},
        // No Options line for null or empty options.
        {"\\h\\s0hello", nullptr, 65538,
         "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\h\\s0hello\\e\r\nHWnd: 65538\r\n\r\n"},
        {"", "", 7, "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\e\r\nHWnd: 7\r\n\r\n"},
        // Handle values print as signed 32-bit numbers.
        {"x", nullptr, -2147483647 - 1,
         "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: x\\e\r\nHWnd: -2147483648\r\n\r\n"},
        {"x", nullptr, -1, "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: x\\e\r\nHWnd: -1\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DirectSstpText::Send("おすとら", c.script, c.options, c.hwnd), c.expected);
    }
    // The sender is Shift_JIS: "おすとら" is 82 A8 82 B7 82 C6 82 E7.
    const std::string text = DirectSstpText::Send("おすとら", "", nullptr, 0);
    EXPECT_EQ(text.substr(23, 8), "\x82\xa8\x82\xb7\x82\xc6\x82\xe7");
    // A null required string is written as empty.
    EXPECT_EQ(DirectSstpText::Send(nullptr, nullptr, nullptr, 1),
              "SEND SSTP/1.5\r\nSender: \r\nScript: \\e\r\nHWnd: 1\r\n\r\n");
}

TEST(DirectSstpText, Notify)
{
    const char* none[8] = {};
    const char* gapped[8] = {"タイトル", "", "ghost", nullptr, nullptr, nullptr, nullptr, "seven"};
    const char* all[8] = {"0", "1", "2", "3", "4", "5", "6", "7"};
    struct Case {
        const char* script;
        const char* const* refs;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, none,
         "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectCreate\r\nCharset: Shift_JIS\r\n\r\n"},
        // Numbers are not closed up; no \e is added to a notify's script.
        {"\\s0注意\\e", gapped,
         "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectCreate\r\nReference0: タイトル\r\n"
         "Reference2: ghost\r\nReference7: seven\r\nScript: \\s0注意\\e\r\nOptions: nodescript\r\n"
         "Charset: Shift_JIS\r\n\r\n"},
        // An empty script still writes Script and Options.
        {"", all,
         "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectCreate\r\nReference0: 0\r\nReference1: 1\r\n"
         "Reference2: 2\r\nReference3: 3\r\nReference4: 4\r\nReference5: 5\r\nReference6: 6\r\nReference7: 7\r\n"
         "Script: \r\nOptions: nodescript\r\nCharset: Shift_JIS\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DirectSstpText::Notify("おすとら", c.script, "OnOstraObjectCreate", c.refs), c.expected);
    }
}
