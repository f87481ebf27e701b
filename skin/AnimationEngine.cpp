#include "skin/AnimationEngine.h"

#include <algorithm>
#include <limits>

namespace {

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
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
