#pragma once
// The decisions of a surface's animation player, apart from any window: which
// animations start on a pass, which pattern applies, and what the window and
// the back buffer must do about it. The player's thread calls it once per pass
// with the time and carries the returned actions out; the clock and the random
// source are handed in, so the stepping can be followed pass by pass.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "skin/Animation.h"

struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PixelSize& o) const { return width == o.width && height == o.height; }
    bool operator!=(const PixelSize& o) const { return !(*this == o); }
};

// A rectangle in the window's own pixel coordinates, right and bottom
// exclusive. Empty when it has no area.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect Union(const PixelRect& o) const;
    bool operator==(const PixelRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// What the window's shape is made of: the base image's region, and when an
// overlay widens it, an overlay surface's region shifted to its place. Equal
// descriptions give equal regions; the window side still compares the real
// regions, since different descriptions can give the same shape.
struct WindowShape {
    int32_t base = -1; // surface number of the base image; -1: the image the player was loaded with
    bool hasOverlay = false;
    int32_t overlay = 0;
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const WindowShape& o) const
    {
        return base == o.base && hasOverlay == o.hasOverlay &&
               (!hasOverlay || (overlay == o.overlay && x == o.x && y == o.y));
    }
    bool operator!=(const WindowShape& o) const { return !(*this == o); }
};

// What the window must do after one pattern was applied, in this order.
struct PatternAction {
    enum class Kind {
        Move,        // move the window to origin + (x, y); nothing drawn
        RestoreBase, // copy the base image into the back buffer
        Overlay,     // copy the base image, then draw 'surface' at (x, y) clipped to its region
        Base,        // draw 'surface' at (0, 0); it becomes the player's base image
        Skipped,     // the pattern names a surface the skin has no image for: do nothing
    };
    Kind kind = Kind::Skipped;
    int32_t surface = 0;
    int32_t x = 0;
    int32_t y = 0;
    // Base: replace the back buffer by one of this size, keeping the old
    // buffer's top-left pixels, before drawing.
    std::optional<PixelSize> newBuffer;
    // Base: resize the window (no move, z-order, redraw or activation).
    std::optional<PixelSize> resizeWindow;
    // The shape the window should get when it differs from its current one.
    std::optional<WindowShape> reshape;
    // Something was drawn: invalidate 'dirty' (without erase) and update.
    bool drawn = false;
    PixelRect dirty;
};

class AnimationEngine {
  public:
    // A surface's picture size, or nothing when the skin has no such surface.
    using SurfaceSizes = std::function<std::optional<PixelSize>(int32_t number)>;
    // Random(n) of the engine: a value from 0 to n - 1 (0 when n <= 1).
    using RandomSource = std::function<int(int n)>;

    // Milliseconds a pass adds to the counters of running patterns, and the
    // milliseconds the thread sleeps after each pass (NT-family systems).
    static constexpr int32_t kTick = 10;
    static constexpr int32_t kSleep = 10;
    // The most passes QuietPasses answers: an hour of them. A thread that
    // sleeps that long wakes, finds nothing due and sleeps again.
    static constexpr int64_t kMaxQuietPasses = 360000;

    // --- loading (user-interface thread, no thread running)
    // Takes the animations of a freshly loaded surface with its base image
    // size; the back buffer starts at that size and the base is the loaded image.
    void Load(std::vector<Animation> animations, PixelSize baseSize);

    // --- user-interface thread, while no animation thread runs
    // Stop: every animation and pattern counter back to 0, origin and move offset 0.
    void Reset();
    // Start: the window takes the base image's size; returns it.
    PixelSize PrepareStart();

    // --- the animation thread
    // Thread start: arms both timers of every animation at 'now' with fresh
    // random periods and forgets the previous run's active animations, dirty
    // rectangle and window shape.
    void BeginRun(uint32_t now, const RandomSource& random);
    // First working pass: the window takes the base size and shape (returned:
    // draw the base image, resize the window, set the base region).
    PixelSize Initialise();
    // One pass: starts animations by their kinds and steps the active ones.
    // The actions of the patterns applied on this pass are appended to 'out'.
    void Pass(uint32_t now, const RandomSource& random, const SurfaceSizes& sizes, std::vector<PatternAction>& out);
    // How many of the passes that follow the one made at 'now' would only
    // count the time of the playing patterns: no pattern applied, no
    // animation finished or started, no timer run out, nothing drawn and no
    // random draw, when each pass comes kSleep milliseconds after the one
    // before. The thread leaves them out: it counts their time at once with
    // SkipQuietPasses and sleeps through them, so an idle surface costs
    // nothing while every pattern keeps its timing to the pass. 0 when the
    // next pass may do something; at most kMaxQuietPasses.
    int64_t QuietPasses(uint32_t now) const;
    // Makes 'passes' quiet passes at once: each playing pattern's counter
    // gains 'passes' ticks, and one whose wait runs out meanwhile gives way
    // to the next pattern of its animation, exactly as that many passes would
    // have done. 'passes' must not exceed what QuietPasses answered after
    // the last pass.
    void SkipQuietPasses(int64_t passes);

    // --- the window's position (written and read from both threads)
    // Screen position the placement computed for the window.
    void SetOrigin(int32_t x, int32_t y);
    // Where the window belongs: the origin plus the offset of the last move pattern.
    int32_t WindowX() const;
    int32_t WindowY() const;
    int32_t MoveX() const { return m_moveX; }
    int32_t MoveY() const { return m_moveY; }

    // --- what the engine knows (for the window side and for tests)
    const std::vector<Animation>& Animations() const { return m_animations; }
    // Indexes into Animations() of the active animations, in start order.
    const std::vector<size_t>& Active() const { return m_active; }
    PixelSize BaseSize() const { return m_baseSize; }
    int32_t BaseNumber() const { return m_baseNumber; }
    PixelSize BufferSize() const { return m_bufferSize; }
    PixelSize WindowSize() const { return m_windowSize; }
    PixelRect Dirty() const { return m_dirty; }

  private:
    bool IsActive(size_t index) const;
    bool BlocksSometimes() const;
    void StartAnimation(size_t index);
    void Apply(const AnimationPattern& pattern, const SurfaceSizes& sizes, PatternAction& action);
    void ChangeShape(const WindowShape& shape, PatternAction& action);

    std::vector<Animation> m_animations;
    PixelSize m_baseSize;
    int32_t m_baseNumber = -1;
    PixelSize m_bufferSize;
    PixelSize m_windowSize;

    // State of one run of the thread.
    std::vector<size_t> m_active;
    std::vector<size_t> m_finished;
    PixelRect m_dirty;
    std::optional<WindowShape> m_shape; // unknown until the first pass sets the base shape

    // Screen pixels; the placement writes the origin while the thread runs.
    std::atomic<int32_t> m_originX{0};
    std::atomic<int32_t> m_originY{0};
    std::atomic<int32_t> m_moveX{0};
    std::atomic<int32_t> m_moveY{0};
};
