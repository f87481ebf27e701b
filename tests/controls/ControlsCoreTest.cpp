// The input rules of the spin edit and the hover rules of the hyperlink,
// case by case, with the answers worked out from the controls' documented
// behaviour (and atoi's, for the number reading).
#include "framework/LinkHover.h"
#include "framework/SpinEditInput.h"

#include <climits>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

using spinedit::JudgeChangedText;
using spinedit::TextVerdict;

TEST(SpinEditInput, ReadsNumbersAsAtoiDoes)
{
    const char* texts[] = {"0",     "12",  "12a", "-",   "-7",  "+5",  "  42",
                           "\t-3x", "abc", "",    "007", "- 4", "--4", "2147483647"};
    for (const char* text : texts)
        EXPECT_EQ(std::atoi(text), spinedit::ParseLikeAtoi(text)) << '"' << text << '"';
    // Beyond the int range the reading saturates instead of overflowing.
    EXPECT_EQ(INT_MAX, spinedit::ParseLikeAtoi("99999999999"));
    EXPECT_EQ(INT_MIN, spinedit::ParseLikeAtoi("-99999999999"));
    EXPECT_EQ("-2147483648", spinedit::DecimalText(INT_MIN));
}

struct TextCase {
    const char* text;
    int minimum, maximum, stored;
    bool leaveAlone, beep, rewrite, store;
    int value;
};

TEST(SpinEditInput, RefusesClampsOrAcceptsAChangedText)
{
    const TextCase cases[] = {
        // text    min  max stored alone  beep   rewrite store value
        {"12", 0, 100, 42, false, false, false, false, 12},      // a good number; the stored value stays
        {"12a", 0, 100, 42, false, true, true, false, 42},       // refused: the stored value comes back
        {"-", -10, 10, 3, true, false, false, false, 3},         // unfinished negative number
        {"-", 0, 10, 3, false, true, true, false, 3},            // no negative numbers: refused
        {"150", 0, 100, 42, false, true, true, true, 100},       // above the maximum
        {"-20", -10, 10, 0, false, true, true, true, -10},       // below the minimum
        {"3", 5, 10, 7, false, true, true, true, 5},             // below the minimum
        {"", 0, 100, 42, false, false, false, false, 0},         // empty: 0 lies inside the range
        {"", 1, 9999, 60, false, true, true, true, 1},           // empty: 0 lies below it
        {"007", 0, 100, 42, false, true, true, false, 42},       // not the number's own form
        {" 5", 0, 100, 42, false, true, true, false, 42},        // nor is this
        {"-5", -10, 10, 0, false, false, false, false, -5},      // negative and inside
        {"12a", 50, 100, 60, false, true, true, false, 60},      // refused, stored value inside
        {"99999999999", 0, 100, 1, false, true, true, false, 1}, // saturated reading differs: refused
    };
    for (const TextCase& c : cases) {
        TextVerdict v = JudgeChangedText(c.text, c.minimum, c.maximum, c.stored);
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" in " << c.minimum << ".." << c.maximum);
        EXPECT_EQ(c.leaveAlone, v.leaveAlone);
        EXPECT_EQ(c.beep, v.beep);
        EXPECT_EQ(c.rewrite, v.rewriteText);
        EXPECT_EQ(c.store, v.storeValue);
        EXPECT_EQ(c.value, v.value);
    }
}

TEST(LinkHover, MouseMovesLightTheLinkOnceAndCaptureTheMouse)
{
    LinkHover link;
    EXPECT_EQ(LinkHover::Colour::Normal, link.TextColour());
    LinkHover::MoveAnswer in = link.MouseMoved(true);
    EXPECT_TRUE(in.capture);
    EXPECT_FALSE(in.release);
    EXPECT_EQ(LinkHover::Repaint::Now, in.repaint);
    EXPECT_EQ(LinkHover::Colour::Hover, link.TextColour());
    // Further moves inside change nothing.
    LinkHover::MoveAnswer again = link.MouseMoved(true);
    EXPECT_FALSE(again.capture);
    EXPECT_EQ(LinkHover::Repaint::None, again.repaint);
    LinkHover::MoveAnswer out = link.MouseMoved(false);
    EXPECT_TRUE(out.release);
    EXPECT_EQ(LinkHover::Repaint::Now, out.repaint);
    EXPECT_EQ(LinkHover::Colour::Normal, link.TextColour());
}

TEST(LinkHover, TimerFollowsTheCursorOnlyWhileTheParentIsEnabled)
{
    LinkHover link;
    EXPECT_EQ(LinkHover::Repaint::None, link.TimerTick(true, false));
    EXPECT_FALSE(link.Hovering());
    EXPECT_EQ(LinkHover::Repaint::None, link.TimerTick(false, true));
    EXPECT_EQ(LinkHover::Repaint::Later, link.TimerTick(true, true));
    EXPECT_EQ(LinkHover::Colour::Hover, link.TextColour());
    // Hovering continues while the cursor stays, enabled parent or not.
    EXPECT_EQ(LinkHover::Repaint::None, link.TimerTick(true, false));
    EXPECT_EQ(LinkHover::Repaint::Later, link.TimerTick(false, false));
    EXPECT_EQ(LinkHover::Colour::Normal, link.TextColour());

    // A hover that the timer began was never drawn hot by a move: the next
    // move outside and back inside repaints at once.
    link.TimerTick(true, true);
    link.MouseMoved(false);
    EXPECT_EQ(LinkHover::Repaint::Now, link.MouseMoved(true).repaint);
}

TEST(LinkHover, AClickMakesTheLinkVisitedForGood)
{
    LinkHover link;
    link.MouseMoved(true);
    EXPECT_EQ(LinkHover::Repaint::Now, link.Clicked());
    EXPECT_TRUE(link.Visited());
    EXPECT_FALSE(link.Hovering());
    EXPECT_EQ(LinkHover::Colour::Visited, link.TextColour());
    link.MouseMoved(true);
    EXPECT_EQ(LinkHover::Colour::Hover, link.TextColour());
    link.MouseMoved(false);
    EXPECT_EQ(LinkHover::Colour::Visited, link.TextColour());
    link.TimerTick(true, true);
    link.TimerTick(false, true);
    EXPECT_EQ(LinkHover::Colour::Visited, link.TextColour());
}

} // namespace
