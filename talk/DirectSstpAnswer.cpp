#include "talk/DirectSstpAnswer.h"

namespace talk {

DirectSstpAnswer DirectSstpAnswer::Choose(const DirectSstpRequest& request, bool playing)
{
    static const std::string kRequestLine = "SEND SSTP/1.1";
    static const std::string kVersionPrefix = "SEND SSTP/1.";

    DirectSstpAnswer answer;
    if (request.requestLine != kRequestLine) {
        // Another version of SEND is a request this window does not speak;
        // anything else (NOTIFY, an empty request) is not one at all.
        const bool otherVersion = request.requestLine.compare(0, kVersionPrefix.size(), kVersionPrefix) == 0;
        answer.status = otherVersion ? kNotImplemented : kBadRequest;
        return answer;
    }
    if (request.script.empty() || request.answerWindow == 0) {
        answer.status = kBadRequest;
        if (request.answerWindow != 0) {
            answer.target = Target::AnswerWindow;
            answer.answerWindow = request.answerWindow;
        }
        return answer;
    }
    if (playing) {
        answer.status = kConflict;
        return answer;
    }
    answer.status = kOk;
    answer.target = Target::AnswerWindow;
    answer.answerWindow = request.answerWindow;
    answer.play = true;
    return answer;
}

} // namespace talk
