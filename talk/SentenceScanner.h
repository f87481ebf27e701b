#pragma once
// Reads a sentence, the small script a module answers with, into the steps
// the player carries out. Portable: the text and a lead-byte test in, steps
// out. The scan is aware of double-byte characters: the trail byte of one
// (0x5C in Shift_JIS "ソ", bytes 0x83 0x5C) is never a backslash.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "framework/DbcsPath.h"

enum class SentenceAction {
    None,        // a backslash whose command the player does not know
    ShowSurface, // show surface 'value'
    Wait,        // wait 'value' milliseconds (0 to 900) while dispatching messages
};

struct SentenceStep {
    SentenceAction action = SentenceAction::None;
    std::int32_t value = 0; // the surface number, or milliseconds

    bool operator==(const SentenceStep& other) const { return action == other.action && value == other.value; }
};

namespace sentencescanner {

// The steps of a sentence, one per backslash before its first "\e", in
// order; the player dispatches pending window messages after each one.
// std::nullopt when the text has no "\e": it is then no sentence and is
// ignored whole.
//
// The text before "\e" is read with two blanks appended, so a command at its
// end reads blanks. At each backslash:
//   \s and a digit d        ShowSurface d (one digit only: "\s12" shows 1)
//   \s[ ... ]               ShowSurface with the text between the brackets
//                           read as atoi reads (blanks, a sign, digits; no
//                           digits give 0), when a "]" follows at all;
//                           without one, a None step
//   \w and a digit d        Wait d * 100 ms
//   anything else           None ("\s" before a blank, other commands, text)
// The search for the next backslash goes on after the characters a command
// used; after an unknown command, after the backslash and the character
// that follows it.
std::optional<std::vector<SentenceStep>> Scan(std::string_view text, dbcs::LeadByteTest isLead);

} // namespace sentencescanner
