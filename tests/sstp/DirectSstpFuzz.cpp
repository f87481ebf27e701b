// Any bytes as a Direct SSTP request: the answer is always one of the four
// status lines, goes to a window that exists in the request, and a script is
// played only for a well-formed SEND; the relay's request collector takes
// the same bytes in pieces and never keeps more than its limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "talk/DirectSstpAnswer.h"
#include "talk/DirectSstpRequest.h"
#include "talk/SstpRequestCollector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using talk::DirectSstpAnswer;
    using talk::DirectSstpRequest;
    const char* text = reinterpret_cast<const char*>(data);
    const DirectSstpRequest request = DirectSstpRequest::Read(text, size);
    for (const bool playing : {false, true}) {
        const DirectSstpAnswer answer = DirectSstpAnswer::Choose(request, playing);
        const std::string status = answer.status;
        if (status != "SSTP/1.1 200 OK\r\n" && status != "SSTP/1.1 400 Bad Request\r\n" &&
            status != "SSTP/1.1 409 Conflict\r\n" && status != "SSTP/1.1 501 Not Implemented\r\n")
            std::abort();
        if (answer.target == DirectSstpAnswer::Target::AnswerWindow &&
            (answer.answerWindow == 0 || answer.answerWindow != request.answerWindow))
            std::abort();
        if (answer.play != (status == "SSTP/1.1 200 OK\r\n")) std::abort();
        if (answer.play && (playing || request.script.empty() || request.requestLine != "SEND SSTP/1.1")) std::abort();
    }
    // What was read never holds a line end or a zero byte.
    for (const std::string* part : {&request.requestLine, &request.script, &request.sender})
        if (part->find("\r\n") != std::string::npos || part->find('\0') != std::string::npos) std::abort();

    talk::SstpRequestCollector collector(64, 10000);
    for (size_t at = 0, step = 1; at < size; at += step, step = step % 7 + 1) {
        const size_t piece = size - at < step ? size - at : step;
        collector.Add(text + at, piece, static_cast<uint32_t>(at));
    }
    if (collector.Text().size() > 64) std::abort();
    return 0;
}
