#pragma once
// Control commands that tests send to the stand-in host as WM_COPYDATA with
// dwData kControlData. The text is one command line; for "send" and "sendraw"
// everything after the first line feed is the payload, byte for byte.
//
//   move X Y | size W H | hide | show | minimize | restore | activate |
//   deactivate | menu MILLISECONDS | send HWND\n<script> | sendraw HWND\n<request> | quit |
//   twin X Y | proc INDEX | fault

#include <cstdint>
#include <string>

namespace standin {

constexpr uint32_t kControlData = 0x53544E44; // "STND"

struct ControlCommand {
    enum class Verb { Move, Size, Hide, Show, Minimize, Restore, Activate, Deactivate, Menu, Send, SendRaw, Quit, Twin, Proc, Fault };
    Verb verb = Verb::Quit;
    int64_t a = 0, b = 0;  // numbers of the command (a window handle for send)
    std::string payload;   // for send and sendraw
};

bool ParseControl(const std::string& text, ControlCommand& command);

// The "SEND SSTP/1.1" request the stand-in sends as a requester, answering to
// the window 'answerWindow'.
std::string BuildSendRequest(const std::string& script, int32_t answerWindow);

} // namespace standin
