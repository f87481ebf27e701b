#pragma once
// What the sentence player needs of the skin window it plays on. The skin
// window implements it and owns the SentencePlayer that plays on it.
#include <windows.h>

#include <cstdint>

class SentenceTarget {
  public:
    // The window the sentence plays on. The player stops a sentence as soon
    // as this is no longer a window (destroyed during a wait), and then calls
    // nothing of the target any more. Read once when a sentence starts.
    virtual HWND SentenceWindow() const = 0;
    // Shows surface 'number' (the skin falls back to surface 0 when it has
    // no such surface). May dispatch messages; the player checks that the
    // target still lives afterwards.
    virtual void ShowSurface(std::int32_t number) = 0;

  protected:
    ~SentenceTarget() = default;
};
