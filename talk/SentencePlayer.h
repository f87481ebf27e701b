#pragma once
// Plays sentences on one skin window: switches its surfaces and waits as the
// sentence says, dispatching window messages during every wait and after
// every command (through the application's pumping helpers). Because of that
// dispatch, anything may happen to the skin in the middle of a sentence: a
// nested sentence may play, the skin may be switched, its window destroyed or
// its object deleted. The player notices each of these and stops.
//
// Composition: the skin window (a SentenceTarget) holds one SentencePlayer
// constructed with itself, calls PlaySentence with a module's or an SSTP
// request's script, answers "409 Conflict" to SSTP while IsPlaying(), and
// calls StopAll() when it unloads its skin or is destroyed. Deleting the
// player (with the skin object) while a sentence waits is safe: the sentence
// ends at once and touches neither the player nor the target again.
//
// User-interface thread only.
#include <memory>
#include <string>

#include "talk/SentenceTarget.h"

class SentencePlayer {
  public:
    enum class Outcome {
        NotASentence, // no "\e" in the text: ignored, the playing flag untouched
        Played,       // played to its end
        Stopped,      // ended early: the window or the object went away,
                      // StopAll was called, or the program is ending
    };

    explicit SentencePlayer(SentenceTarget& target);
    ~SentencePlayer();
    SentencePlayer(const SentencePlayer&) = delete;
    SentencePlayer& operator=(const SentencePlayer&) = delete;

    // Plays 'text' as a sentence on the target. Sets the playing flag for its
    // length; a sentence nested in this one's waits clears the flag when it
    // ends, as the outer one does when it ends.
    Outcome PlaySentence(const std::string& text);

    // The playing flag.
    bool IsPlaying() const;

    // Every sentence now playing on this target stops at its next step,
    // without touching the target again. Later sentences play normally.
    void StopAll();

  private:
    // Shared with every sentence running on the stack, so that it outlives
    // the player if the player is deleted in the middle of one.
    struct State {
        bool alive = true;
        bool playing = false;
        unsigned stopGeneration = 0;
    };

    SentenceTarget& m_target;
    std::shared_ptr<State> m_state;
};
