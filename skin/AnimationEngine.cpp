#include "skin/AnimationEngine.h"

#include <algorithm>
#include <limits>

namespace {

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Quiet passes before a timer armed at 'stamp' for 'period' milliseconds
// runs out, after a pass at 'now': it runs out on the first pass at which
// more than 'period' ms have passed since 'stamp'. (Near the clock's wrap
// that pass may come later than this says; a count that is too small only
// costs one early pass, which finds nothing to do.)
int64_t PassesBeforeTimer(uint32_t now, uint32_t stamp, uint32_t period)
{
    const uint32_t since = now - stamp;
    if (since >= period) return 0;
    return (period - since) / AnimationEngine::kSleep;
}

// Passes that only add a tick to an applied pattern's counter before the
// pass on which its wait has run out.
int64_t CountingPasses(const AnimationPattern& pattern)
{
    if (pattern.elapsed >= pattern.wait) return 0;
    return (pattern.wait - pattern.elapsed + AnimationEngine::kTick - 1) / AnimationEngine::kTick;
}

// Quiet passes before a playing animation changes what is shown or how it
// stands: a pattern that has not been applied yet is applied on the next
// pass; one whose wait runs out gives way to the next pattern on a pass
// that changes nothing visible (that next pattern is applied on the pass
// after), unless it was the last one: finishing re-arms the timers at the
// time of that pass.
int64_t PassesBeforeChange(const Animation& animation)
{
    if (animation.current < 0 || animation.current >= static_cast<int32_t>(animation.patterns.size()))
        return AnimationEngine::kMaxQuietPasses; // nothing to play: it never finishes
    const AnimationPattern& pattern = animation.patterns[animation.current];
    if (pattern.elapsed == 0) return 0;
    const int64_t counting = CountingPasses(pattern);
    const bool finishes = animation.current + 1 >= animation.patternCount;
    return finishes ? counting : counting + 1;
}

} // namespace

PixelRect PixelRect::Union(const PixelRect& o) const
{
    if (o.IsEmpty()) return IsEmpty() ? PixelRect() : *this;
    if (IsEmpty()) return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

void AnimationEngine::Load(std::vector<Animation> animations, PixelSize baseSize)
{
    m_animations = std::move(animations);
    m_baseSize = baseSize;
    m_baseNumber = -1;
    m_bufferSize = baseSize;
    m_windowSize = baseSize;
    m_active.clear();
    m_finished.clear();
    m_dirty = PixelRect();
    m_shape.reset();
    Reset();
}

void AnimationEngine::Reset()
{
    for (Animation& animation : m_animations) {
        animation.runCount = 0;
        animation.current = 0;
        for (AnimationPattern& pattern : animation.patterns) {
            pattern.elapsed = 0;
            pattern.appliedAt = 0;
        }
    }
    m_originX = 0;
    m_originY = 0;
    m_moveX = 0;
    m_moveY = 0;
}

PixelSize AnimationEngine::PrepareStart()
{
    m_windowSize = m_baseSize;
    return m_baseSize;
}

void AnimationEngine::BeginRun(uint32_t now, const RandomSource& random)
{
    for (Animation& animation : m_animations) {
        animation.sometimesStamp = now;
        animation.rarelyStamp = now;
        animation.sometimesPeriod = static_cast<uint32_t>(random(3000) + 800);
        animation.rarelyPeriod = static_cast<uint32_t>(random(10000) + 15000);
    }
    m_active.clear();
    m_finished.clear();
    m_dirty = PixelRect();
    m_shape.reset();
}

PixelSize AnimationEngine::Initialise()
{
    m_windowSize = m_baseSize;
    m_shape = WindowShape{m_baseNumber, false, 0, 0, 0};
    return m_baseSize;
}

bool AnimationEngine::IsActive(size_t index) const
{
    return std::find(m_active.begin(), m_active.end(), index) != m_active.end();
}

// "sometimes" animations wait while one of kind sometimes, rarely or runonce
// plays; "always" and "never" ones do not hold them back.
bool AnimationEngine::BlocksSometimes() const
{
    for (size_t index : m_active) {
        const AnimationKind kind = m_animations[index].kind;
        if (kind == AnimationKind::Sometimes || kind == AnimationKind::Rarely || kind == AnimationKind::RunOnce)
            return true;
    }
    return false;
}

void AnimationEngine::StartAnimation(size_t index)
{
    Animation& animation = m_animations[index];
    animation.current = 0;
    m_active.push_back(index);
    ++animation.runCount;
}

void AnimationEngine::Pass(uint32_t now, const RandomSource& random, const SurfaceSizes& sizes,
                           std::vector<PatternAction>& out)
{
    for (size_t i = 0; i < m_animations.size(); ++i) {
        Animation& animation = m_animations[i];
        switch (animation.kind) {
        case AnimationKind::RunOnce:
            if (animation.runCount == 0 && !IsActive(i)) StartAnimation(i);
            break;
        case AnimationKind::Always:
            if (!IsActive(i)) StartAnimation(i);
            break;
        case AnimationKind::Rarely:
            // Unsigned differences, so the clock's wrap after 49.7 days does no harm.
            if (now - animation.rarelyStamp > animation.rarelyPeriod) {
                animation.rarelyPeriod = static_cast<uint32_t>(random(10000) + 15000);
                animation.rarelyStamp = now;
                if (!IsActive(i)) StartAnimation(i);
            }
            break;
        case AnimationKind::Sometimes:
            if (!BlocksSometimes() && now - animation.sometimesStamp > animation.sometimesPeriod) {
                animation.sometimesPeriod = static_cast<uint32_t>(random(3000) + 800);
                animation.sometimesStamp = now;
                if (!IsActive(i)) StartAnimation(i);
            }
            break;
        case AnimationKind::Never:
            break;
        }
    }

    m_finished.clear();
    for (size_t index : m_active) {
        Animation& animation = m_animations[index];
        if (animation.current < 0 || animation.current >= static_cast<int32_t>(animation.patterns.size())) continue;
        AnimationPattern& pattern = animation.patterns[animation.current];
        if (pattern.elapsed != 0) {
            if (pattern.elapsed < pattern.wait) {
                pattern.elapsed += kTick;
            } else {
                pattern.elapsed = 0;
                if (++animation.current >= animation.patternCount) {
                    animation.sometimesStamp = now;
                    animation.rarelyStamp = now;
                    animation.current = 0;
                    m_finished.push_back(index);
                }
            }
        } else {
            PatternAction action;
            Apply(pattern, sizes, action);
            out.push_back(action);
            pattern.appliedAt = now;
            pattern.elapsed += kTick;
        }
    }
    for (size_t index : m_finished)
        m_active.erase(std::find(m_active.begin(), m_active.end(), index));
}

int64_t AnimationEngine::QuietPasses(uint32_t now) const
{
    int64_t quiet = kMaxQuietPasses;
    // Nothing starts on a quiet pass, so what holds "sometimes" animations
    // back now holds them through all of them.
    const bool sometimesHeld = BlocksSometimes();
    for (size_t i = 0; i < m_animations.size(); ++i) {
        const Animation& animation = m_animations[i];
        switch (animation.kind) {
        case AnimationKind::RunOnce:
            if (animation.runCount == 0 && !IsActive(i)) return 0;
            break;
        case AnimationKind::Always:
            if (!IsActive(i)) return 0;
            break;
        case AnimationKind::Rarely:
            // Due or not, a rarely timer that runs out draws a new period.
            quiet = std::min(quiet, PassesBeforeTimer(now, animation.rarelyStamp, animation.rarelyPeriod));
            break;
        case AnimationKind::Sometimes:
            if (!sometimesHeld)
                quiet = std::min(quiet, PassesBeforeTimer(now, animation.sometimesStamp, animation.sometimesPeriod));
            break;
        case AnimationKind::Never:
            break;
        }
    }
    for (size_t index : m_active)
        quiet = std::min(quiet, PassesBeforeChange(m_animations[index]));
    return quiet;
}

void AnimationEngine::SkipQuietPasses(int64_t passes)
{
    if (passes <= 0) return;
    for (size_t index : m_active) {
        Animation& animation = m_animations[index];
        if (animation.current < 0 || animation.current >= static_cast<int32_t>(animation.patterns.size())) continue;
        AnimationPattern& pattern = animation.patterns[animation.current];
        if (pattern.elapsed == 0) continue; // applied on a pass of its own, never skipped
        const int64_t counting = CountingPasses(pattern);
        if (passes <= counting) {
            pattern.elapsed += passes * kTick;
        } else {
            // The wait ran out on one of the skipped passes: the pass after
            // it moved on to the next pattern, which the next pass applies.
            pattern.elapsed = 0;
            ++animation.current;
        }
    }
}

void AnimationEngine::ChangeShape(const WindowShape& shape, PatternAction& action)
{
    if (m_shape && *m_shape == shape) return;
    m_shape = shape;
    action.reshape = shape;
}

void AnimationEngine::Apply(const AnimationPattern& pattern, const SurfaceSizes& sizes, PatternAction& action)
{
    const int32_t surface = static_cast<int32_t>(pattern.surface);
    action.surface = surface;
    action.x = pattern.x;
    action.y = pattern.y;

    if (pattern.method == PatternMethod::Move) {
        action.kind = PatternAction::Kind::Move;
        m_moveX = pattern.x;
        m_moveY = pattern.y;
        return;
    }

    if (pattern.method == PatternMethod::Overlay && pattern.surface == kPlainBaseSurface) {
        action.kind = PatternAction::Kind::RestoreBase;
        m_dirty = {0, 0, m_baseSize.width, m_baseSize.height};
        action.drawn = true;
        action.dirty = m_dirty;
        ChangeShape(WindowShape{m_baseNumber, false, 0, 0, 0}, action);
        return;
    }

    // A surface the skin has no picture for: nothing to draw, nothing to shape by.
    const std::optional<PixelSize> size = sizes(surface);
    if (!size) {
        action.kind = PatternAction::Kind::Skipped;
        return;
    }

    if (pattern.method == PatternMethod::Overlay) {
        action.kind = PatternAction::Kind::Overlay;
        // Overlays do not accumulate in the picture, but the dirty area grows
        // over them until a base pattern or a plain-base overlay covers it all.
        const PixelRect area{pattern.x, pattern.y, Clamp32(int64_t{pattern.x} + size->width),
                             Clamp32(int64_t{pattern.y} + size->height)};
        m_dirty = m_dirty.Union(area);
        action.drawn = true;
        action.dirty = m_dirty;
        if (!pattern.fast) ChangeShape(WindowShape{m_baseNumber, true, surface, pattern.x, pattern.y}, action);
        return;
    }

    action.kind = PatternAction::Kind::Base;
    if (m_windowSize != *size) {
        if (m_windowSize.width < size->width || m_windowSize.height < size->height) {
            m_bufferSize = *size;
            action.newBuffer = *size;
        }
        m_windowSize = *size;
        action.resizeWindow = *size;
    }
    m_dirty = {0, 0, size->width, size->height};
    action.drawn = true;
    action.dirty = m_dirty;
    ChangeShape(WindowShape{surface, false, 0, 0, 0}, action);
    m_baseSize = *size;
    m_baseNumber = surface;
}

void AnimationEngine::SetOrigin(int32_t x, int32_t y)
{
    m_originX = x;
    m_originY = y;
}

int32_t AnimationEngine::WindowX() const
{
    return Clamp32(int64_t{m_originX} + m_moveX);
}

int32_t AnimationEngine::WindowY() const
{
    return Clamp32(int64_t{m_originY} + m_moveY);
}
