#pragma once
// One step of an animation: a surface drawn over the base image, a surface
// that replaces the base image, or a move of the skin window.
#include <cstdint>

enum class PatternMethod : int32_t { Base = 0, Overlay = 1, Move = 2 };

struct AnimationPattern {
    // The surface number as parsed, taken as unsigned, so -1 is 0xFFFFFFFF;
    // for an overlay that value stands for the plain base image.
    uint32_t surface = 0;
    // Overlay: top-left corner inside the window; move: offset of the window
    // from its computed place. Pixels.
    int32_t x = 0;
    int32_t y = 0;
    PatternMethod method = PatternMethod::Overlay;
    // How long the pattern stays, in milliseconds of the engine's clock (the
    // engine adds its tick per pass, it does not measure time). 64 bits so that
    // any value the file can give, and the counter running up to it, fit.
    int64_t wait = 0;
    // Engine counter, 0 while the pattern has not been applied.
    int64_t elapsed = 0;
    // System millisecond time of the last application.
    uint32_t appliedAt = 0;
    // "overlayfast": the overlay does not change the window's shape.
    bool fast = false;
};

// The surface value an overlay uses for the plain base image.
constexpr uint32_t kPlainBaseSurface = 0xFFFFFFFFu;
