#pragma once
// What the spin edit control does with the text of its edit box. Portable:
// the control reads the text, asks here, and applies the answer.
#include <string>

namespace spinedit {

// The edit box reads up to this many characters.
constexpr std::size_t kTextLimit = 100;

// The answer to a change of the edit box's text.
struct TextVerdict {
    // A lone "-" while the minimum is negative: an unfinished number, left as typed.
    bool leaveAlone = false;
    bool beep = false;
    // The edit box must show 'value' in its "%d" form (the text was refused or clamped).
    bool rewriteText = false;
    // 'value' becomes the control's stored value (a clamp to a bound).
    bool storeValue = false;
    // The value the up-down control moves to.
    int value = 0;
};

// The number a text means, as atoi reads it: leading white space and one
// sign allowed, digits up to the first other character, 0 without digits.
// Numbers beyond the int range saturate instead of overflowing.
int ParseLikeAtoi(const std::string& text);

// The "%d" form of a number.
std::string DecimalText(int value);

// A changed text: refused (beep, 'stored' back) unless it is empty or exactly
// a number's "%d" form; then clamped to [minimum, maximum] with a beep.
// 'stored' is the value last set by the arrows, the control messages or a clamp.
TextVerdict JudgeChangedText(const std::string& text, int minimum, int maximum, int stored);

// Leaving the edit box with an empty text or a lone "-" puts the stored value back.
bool RestoreOnLeave(const std::string& text);

} // namespace spinedit
