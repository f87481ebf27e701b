#include "framework/SpinEditInput.h"

#include <climits>
#include <cstdio>

namespace spinedit {

int ParseLikeAtoi(const std::string& text)
{
    std::size_t i = 0;
    // The white space isspace knows in the "C" locale.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

std::string DecimalText(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

TextVerdict JudgeChangedText(const std::string& text, int minimum, int maximum, int stored)
{
    TextVerdict verdict;
    if (text == "-" && minimum < 0) {
        verdict.leaveAlone = true;
        verdict.value = stored;
        return verdict;
    }
    int number = ParseLikeAtoi(text);
    if (!text.empty() && text != DecimalText(number)) {
        verdict.beep = true;
        verdict.rewriteText = true;
        number = stored;
    }
    if (number < minimum) {
        number = minimum;
    } else if (number > maximum) {
        number = maximum;
    } else {
        verdict.value = number;
        return verdict;
    }
    verdict.beep = true;
    verdict.rewriteText = true;
    verdict.storeValue = true;
    verdict.value = number;
    return verdict;
}

bool RestoreOnLeave(const std::string& text)
{
    return text.empty() || text == "-";
}

} // namespace spinedit
