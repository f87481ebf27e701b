#include "framework/LinkHover.h"

LinkHover::MoveAnswer LinkHover::MouseMoved(bool inside)
{
    MoveAnswer answer;
    if (inside) {
        if (m_hovering) return answer;
        m_hovering = true;
        if (!m_hotDrawn) {
            m_hotDrawn = true;
            answer.repaint = Repaint::Now;
        }
        // Captured so that leaving the control is seen as a move outside it.
        answer.capture = true;
        return answer;
    }
    answer.release = true;
    m_hovering = false;
    m_hotDrawn = false;
    answer.repaint = Repaint::Now;
    return answer;
}

LinkHover::Repaint LinkHover::TimerTick(bool cursorInside, bool parentEnabled)
{
    bool changed = false;
    if (m_hovering) {
        if (!cursorInside) {
            m_hovering = false;
            changed = true;
        }
    } else if (cursorInside && parentEnabled) {
        m_hovering = true;
        changed = true;
    }
    if (!changed) return Repaint::None;
    m_hotDrawn = false;
    return Repaint::Later;
}

LinkHover::Repaint LinkHover::Clicked()
{
    m_visited = true;
    m_hovering = false;
    m_hotDrawn = false;
    return Repaint::Now;
}

LinkHover::Colour LinkHover::TextColour() const
{
    if (m_hovering) return Colour::Hover;
    return m_visited ? Colour::Visited : Colour::Normal;
}
