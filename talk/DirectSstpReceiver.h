#pragma once
// The Direct SSTP side of a skin window: reads a "SEND SSTP/1.1" request
// that another program sent as WM_COPYDATA, answers it with its status line
// and plays its script.
//
// How the skin window plugs it in (user-interface thread, inside its window
// procedure; 'm_sentences' is the window's SentencePlayer):
//
//     case WM_COPYDATA:
//         if (talk::ReceiveDirectSstp(m_hwnd, reinterpret_cast<HWND>(wParam),
//                                     reinterpret_cast<const COPYDATASTRUCT*>(lParam),
//                                     m_sentences.IsPlaying(),
//                                     [this](const std::string& script) { m_sentences.PlaySentence(script); }))
//             return 1; // the message result of every Direct SSTP request
//         break;        // other dwData values: the default handling
//
// The answer is sent before the script is played, while the requester still
// waits for its own WM_COPYDATA to return; the call returns only when the
// script has been played, so anything may have happened to the window by
// then (the play callback dispatches messages). Nothing of the window is
// touched after the callback, so the caller must check its own state before
// using it again.
#include <windows.h>

#include <functional>
#include <string>

namespace talk {

// The dwData of every Direct SSTP message.
constexpr ULONG_PTR kDirectSstpData = 9801;

// Plays an accepted request's script (the "Script" line as it stands).
using DirectSstpPlayer = std::function<void(const std::string& script)>;

// 'skinWindow': the receiving window, sent as the answer's wParam.
// 'requester': the wParam of the request. 'playing': whether the skin plays
// a sentence now (a request then gets "409 Conflict"). Returns false, doing
// nothing, when 'data' is not Direct SSTP (null, or dwData not 9801).
// Each answer goes out with SendMessageTimeoutA, SMTO_ABORTIFHUNG and 1000 ms;
// an answer window that is gone or hangs simply loses it.
bool ReceiveDirectSstp(HWND skinWindow, HWND requester, const COPYDATASTRUCT* data, bool playing,
                       const DirectSstpPlayer& play);

// Sends one Direct SSTP text from 'from' to 'to'; true when the target took
// the message within the time-out.
bool SendDirectSstpText(HWND from, HWND to, const std::string& text);

} // namespace talk
