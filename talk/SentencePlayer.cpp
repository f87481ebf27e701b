#include "talk/SentencePlayer.h"

#include "framework/Application.h"
#include "talk/SentenceScanner.h"

namespace {

bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

// Without an application object (a program that plays sentences outside the
// framework) the same dispatch is done here. False when the program is ending.
bool DispatchPending()
{
    if (Application* app = Application::Get()) return app->PumpWaitingMessages();
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

bool DispatchFor(DWORD milliseconds)
{
    if (Application* app = Application::Get()) return app->PumpMessagesFor(milliseconds);
    const DWORD start = GetTickCount();
    for (;;) {
        if (!DispatchPending()) return false;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

} // namespace

SentencePlayer::SentencePlayer(SentenceTarget& target) : m_target(target), m_state(std::make_shared<State>()) {}

SentencePlayer::~SentencePlayer()
{
    // Sentences still on the stack hold the state and see this.
    m_state->alive = false;
}

bool SentencePlayer::IsPlaying() const
{
    return m_state->playing;
}

void SentencePlayer::StopAll()
{
    ++m_state->stopGeneration;
}

SentencePlayer::Outcome SentencePlayer::PlaySentence(const std::string& text)
{
    const auto steps = sentencescanner::Scan(text, IsSystemLeadByte);
    if (!steps) return Outcome::NotASentence;

    // From here on only these locals are used after a dispatch: the player
    // and its target may be gone when one returns.
    const std::shared_ptr<State> state = m_state;
    SentenceTarget* const target = &m_target;
    const HWND window = target->SentenceWindow();
    const unsigned generation = state->stopGeneration;
    auto targetLives = [&] {
        return state->alive && state->stopGeneration == generation && window && IsWindow(window);
    };

    state->playing = true;
    Outcome outcome = Outcome::Played;
    for (const SentenceStep& step : *steps) {
        if (!targetLives()) {
            outcome = Outcome::Stopped;
            break;
        }
        bool going = true;
        switch (step.action) {
        case SentenceAction::ShowSurface:
            target->ShowSurface(step.value);
            break;
        case SentenceAction::Wait:
            going = DispatchFor(static_cast<DWORD>(step.value));
            break;
        case SentenceAction::None:
            break;
        }
        if (going && targetLives()) going = DispatchPending();
        if (!going) {
            outcome = Outcome::Stopped;
            break;
        }
    }
    if (outcome == Outcome::Played && !targetLives()) outcome = Outcome::Stopped;
    state->playing = false;
    return outcome;
}
