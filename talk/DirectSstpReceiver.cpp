#include "talk/DirectSstpReceiver.h"

#include <cstdint>

#include "talk/DirectSstpAnswer.h"
#include "talk/DirectSstpRequest.h"

namespace talk {

namespace {

constexpr UINT kAnswerTimeoutMs = 1000;

// A handle from the number a requester wrote in "HWnd": sign-extended, as
// 64-bit Windows widens the 32-bit handle values it hands to 32-bit programs.
HWND HandleFromNumber(int32_t value)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

} // namespace

bool SendDirectSstpText(HWND from, HWND to, const std::string& text)
{
    COPYDATASTRUCT answer{};
    answer.dwData = kDirectSstpData;
    answer.cbData = static_cast<DWORD>(text.size());
    answer.lpData = const_cast<char*>(text.c_str());
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&answer),
                               SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &ignored) != 0;
}

bool ReceiveDirectSstp(HWND skinWindow, HWND requester, const COPYDATASTRUCT* data, bool playing,
                       const DirectSstpPlayer& play)
{
    if (!data || data->dwData != kDirectSstpData) return false;
    DirectSstpAnswer answer;
    DirectSstpRequest request;
    try {
        request = DirectSstpRequest::Read(static_cast<const char*>(data->lpData), data->lpData ? data->cbData : 0);
        answer = DirectSstpAnswer::Choose(request, playing);
    } catch (...) {
        // No memory for the request's text: nothing can be answered.
        return true;
    }
    const HWND target =
        answer.target == DirectSstpAnswer::Target::AnswerWindow ? HandleFromNumber(answer.answerWindow) : requester;
    SendDirectSstpText(skinWindow, target, answer.status);
    if (answer.play && play) play(request.script);
    return true;
}

} // namespace talk
