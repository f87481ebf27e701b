#pragma once
// What a skin window answers to a Direct SSTP request, and to which window.
// Portable: the request and the window's playing flag in, the decision out.
#include <string>

#include "talk/DirectSstpRequest.h"

namespace talk {

struct DirectSstpAnswer {
    // The status lines, each the whole answer text.
    static constexpr const char* kOk = "SSTP/1.1 200 OK\r\n";
    static constexpr const char* kBadRequest = "SSTP/1.1 400 Bad Request\r\n";
    static constexpr const char* kConflict = "SSTP/1.1 409 Conflict\r\n";
    static constexpr const char* kNotImplemented = "SSTP/1.1 501 Not Implemented\r\n";

    enum class Target {
        AnswerWindow, // the window named by the request's "HWnd" line
        Requester,    // the window in the message's wParam
    };

    const char* status = kBadRequest;
    Target target = Target::Requester;
    // The handle value of the answer window, when target is AnswerWindow.
    int32_t answerWindow = 0;
    // Whether the script is played once the answer has gone out (only with 200).
    bool play = false;

    // 'playing': whether the skin is playing a sentence now.
    static DirectSstpAnswer Choose(const DirectSstpRequest& request, bool playing);
};

} // namespace talk
