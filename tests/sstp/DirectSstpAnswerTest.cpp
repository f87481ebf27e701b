// The Direct SSTP requests a skin window reads, and the answer it chooses:
// the exact status line and the window that receives it.
#include <climits>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "talk/DirectSstpAnswer.h"
#include "talk/DirectSstpRequest.h"
#include "tools/standin/StandinControl.h"

namespace {

using talk::DirectSstpAnswer;
using talk::DirectSstpRequest;

// Where an answer goes: the "HWnd" window (its number) or the requester.
constexpr int32_t kRequester = INT32_MIN;

struct Case {
    const char* name;
    std::string request;
    bool playing;
    std::string status;
    int32_t target;     // kRequester, or the HWnd number that must receive it
    std::string played; // the script handed to the player; empty: none
};

std::string Lines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text + "\r\n";
}

const std::string kOk = "SSTP/1.1 200 OK\r\n";
const std::string kBad = "SSTP/1.1 400 Bad Request\r\n";
const std::string kConflict = "SSTP/1.1 409 Conflict\r\n";
const std::string kNotImplemented = "SSTP/1.1 501 Not Implemented\r\n";

TEST(DirectSstpAnswer, EveryAnswerOfTheTableWithItsTarget)
{
    using namespace std::string_literals;
    const Case cases[] = {
        {"a full request", Lines({"SEND SSTP/1.1", "Sender: test", "Script: \\s[1]\\w9\\s[2]\\e", "HWnd: 1234"}), false,
         kOk, 1234, "\\s[1]\\w9\\s[2]\\e"},
        {"the same while a sentence plays", Lines({"SEND SSTP/1.1", "Script: \\s[1]\\e", "HWnd: 1234"}), true,
         kConflict, kRequester, ""},
        {"version 1.4", Lines({"SEND SSTP/1.4", "Script: \\s[1]\\e", "HWnd: 1234"}), false, kNotImplemented, kRequester,
         ""},
        {"version 1.10", Lines({"SEND SSTP/1.10", "Script: \\e", "HWnd: 5"}), false, kNotImplemented, kRequester, ""},
        {"anything after the version", Lines({"SEND SSTP/1.1 ", "Script: \\e", "HWnd: 5"}), false, kNotImplemented,
         kRequester, ""},
        {"NOTIFY", Lines({"NOTIFY SSTP/1.1", "Sender: test", "Event: OnTest", "Script: \\e", "HWnd: 5"}), false, kBad,
         kRequester, ""},
        {"request line in lower case", Lines({"send sstp/1.1", "Script: \\e", "HWnd: 5"}), false, kBad, kRequester, ""},
        {"no HWnd line", Lines({"SEND SSTP/1.1", "Sender: test", "Script: \\s[1]\\e"}), false, kBad, kRequester, ""},
        {"no HWnd line while playing", Lines({"SEND SSTP/1.1", "Script: \\s[1]\\e"}), true, kBad, kRequester, ""},
        {"HWnd 0", Lines({"SEND SSTP/1.1", "Script: \\e", "HWnd: 0"}), false, kBad, kRequester, ""},
        {"HWnd not a number", Lines({"SEND SSTP/1.1", "Script: \\e", "HWnd: window"}), false, kBad, kRequester, ""},
        {"script header in lower case", Lines({"SEND SSTP/1.1", "script: \\s[1]\\e", "HWnd: 77"}), false, kBad, 77, ""},
        {"HWnd header in other case", Lines({"SEND SSTP/1.1", "Script: \\e", "HWND: 77"}), false, kBad, kRequester, ""},
        {"no blank after the colon", Lines({"SEND SSTP/1.1", "Script:\\s[1]\\e", "HWnd: 77"}), false, kBad, 77, ""},
        {"empty script", Lines({"SEND SSTP/1.1", "Script: ", "HWnd: 77"}), false, kBad, 77, ""},
        {"empty script while playing", Lines({"SEND SSTP/1.1", "Script: ", "HWnd: 77"}), true, kBad, 77, ""},
        {"a second blank belongs to the script", Lines({"SEND SSTP/1.1", "Script:  \\e", "HWnd: 8"}), false, kOk, 8,
         " \\e"},
        {"a later script overrides", Lines({"SEND SSTP/1.1", "Script: \\s[1]\\e", "HWnd: 9", "Script: "}), false, kBad,
         9, ""},
        {"a later script overrides the other way", Lines({"SEND SSTP/1.1", "Script: ", "HWnd: 9", "Script: \\s[4]\\e"}),
         false, kOk, 9, "\\s[4]\\e"},
        {"a later HWnd 0 overrides", Lines({"SEND SSTP/1.1", "Script: \\e", "HWnd: 100", "HWnd: 0"}), false, kBad,
         kRequester, ""},
        {"a later HWnd overrides", Lines({"SEND SSTP/1.1", "HWnd: 0", "Script: \\e", "HWnd: 101"}), false, kOk, 101,
         "\\e"},
        {"empty request", "", false, kBad, kRequester, ""},
        {"only empty lines", "\r\n\r\n\r\n", false, kBad, kRequester, ""},
        {"empty lines before the request line", "\r\n\r\n" + Lines({"SEND SSTP/1.1", "Script: \\e", "HWnd: 3"}), false,
         kOk, 3, "\\e"},
        {"lines end at CR LF only", "SEND SSTP/1.1\nScript: \\e\nHWnd: 3\n\n", false, kNotImplemented, kRequester, ""},
        {"a header as first line is the request line", Lines({"HWnd: 3", "SEND SSTP/1.1", "Script: \\e"}), false, kBad,
         kRequester, ""},
        {"a zero byte ends the text", "SEND SSTP/1.1\r\nScript: \\e\r\n\0HWnd: 3\r\n\r\n"s, false, kBad, kRequester,
         ""},
        {"a zero byte inside the script", "SEND SSTP/1.1\r\nHWnd: 3\r\nScript: \\s[1]\0\\s[2]\\e\r\n\r\n"s, false, kOk,
         3, "\\s[1]"},
        {"negative handle number", Lines({"SEND SSTP/1.1", "Script: \\e", "HWnd: -66"}), false, kOk, -66, "\\e"},
        {"Shift_JIS script", Lines({"SEND SSTP/1.1", "Script: \\s[0]表示\\e", "HWnd: 21"}), false, kOk, 21,
         "\\s[0]表示\\e"},
        {"no final empty line", "SEND SSTP/1.1\r\nScript: \\e\r\nHWnd: 3", false, kOk, 3, "\\e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DirectSstpRequest request = DirectSstpRequest::Read(c.request.data(), c.request.size());
        const DirectSstpAnswer answer = DirectSstpAnswer::Choose(request, c.playing);
        EXPECT_EQ(std::string(answer.status), c.status);
        if (c.target == kRequester) {
            EXPECT_EQ(answer.target, DirectSstpAnswer::Target::Requester);
        } else {
            EXPECT_EQ(answer.target, DirectSstpAnswer::Target::AnswerWindow);
            EXPECT_EQ(answer.answerWindow, c.target);
        }
        EXPECT_EQ(answer.play, !c.played.empty());
        if (answer.play) {
            EXPECT_EQ(request.script, c.played);
        }
    }
}

TEST(DirectSstpAnswer, TheStandInHostsRequestIsAccepted)
{
    // Bytes built by another tool: the stand-in host's requester.
    const std::string request = standin::BuildSendRequest("\\s[10]\\w5\\s[11]\\e", 65634);
    const DirectSstpRequest read = DirectSstpRequest::Read(request.data(), request.size());
    EXPECT_EQ(read.requestLine, "SEND SSTP/1.1");
    EXPECT_EQ(read.sender, "stand-in");
    const DirectSstpAnswer answer = DirectSstpAnswer::Choose(read, false);
    EXPECT_EQ(std::string(answer.status), kOk);
    EXPECT_EQ(answer.answerWindow, 65634);
    EXPECT_EQ(read.script, "\\s[10]\\w5\\s[11]\\e");
}

TEST(DirectSstpRequest, HandleNumbersAreReadAsTheRuntimesAtoiReadsThem)
{
    // The C library's atoi is the reference for every value in range.
    const char* texts[] = {"42",  "  42",       "\t-17", "+8",     "12abc", "abc",        "",
                           " ",   "-",          "+-3",   "0x1F",   "007",   "2147483647", "-2147483648",
                           "3.9", "\v\f\r\n 5", "- 5",   "65634 ", "1 2"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DirectSstpRequest::AtoiValue(text), std::atoi(text));
    }
    // Out of range Microsoft's runtime holds the value at the limit.
    EXPECT_EQ(DirectSstpRequest::AtoiValue("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(DirectSstpRequest::AtoiValue("-2147483649"), INT32_MIN);
}

} // namespace
