#pragma once
// The hover and visited state of the hyperlink control, driven by mouse moves,
// the 200 ms hover timer and clicks. Portable: the control tells it what
// happened and carries out the answer (capture, repaint).

class LinkHover {
  public:
    enum class Repaint {
        None,
        Now,   // invalidate without erasing and update at once
        Later, // invalidate with erasing; the paint comes with the next queue round
    };
    enum class Colour { Normal, Hover, Visited };

    struct MoveAnswer {
        bool capture = false;
        bool release = false;
        Repaint repaint = Repaint::None;
    };

    // A mouse move, inside or outside the client rectangle.
    MoveAnswer MouseMoved(bool inside);
    // The hover timer: where the cursor is, and whether the parent window is
    // enabled (a link behind a modal dialog does not light up).
    Repaint TimerTick(bool cursorInside, bool parentEnabled);
    // A click: visited for good; the hover ends until the mouse moves again.
    Repaint Clicked();

    Colour TextColour() const;
    bool Hovering() const { return m_hovering; }
    bool Visited() const { return m_visited; }

  private:
    bool m_visited = false;
    bool m_hovering = false;
    bool m_hotDrawn = false; // painted in the hover colour since the hover began
};
