#pragma once
// One animation of a surface: its patterns and how and when it is started.
#include <cstdint>
#include <vector>

#include "skin/AnimationPattern.h"

enum class AnimationKind : int32_t { Sometimes = 0, Rarely = 1, Always = 2, RunOnce = 3, Never = 4 };

struct Animation {
    std::vector<AnimationPattern> patterns; // in the order they were accepted
    AnimationKind kind = AnimationKind::Never;
    int32_t runCount = 0; // starts since the player was last started
    // System millisecond times of the last (re)arming of the two timers.
    uint32_t sometimesStamp = 0;
    uint32_t rarelyStamp = 0;
    // Waiting times of the two timers, milliseconds.
    uint32_t sometimesPeriod = 0;
    uint32_t rarelyPeriod = 0;
    // Number of patterns, set when the animation is closed at load.
    int32_t patternCount = 0;
    // Index of the pattern being played.
    int32_t current = 0;
};
