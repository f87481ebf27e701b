// Fuzzes the reading of module answers and the sentence scanner: any bytes
// give a decision, never a read outside the text, and the steps keep to the
// script's rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "talk/ModuleProtocol.h"
#include "talk/SentenceScanner.h"

namespace {

void CheckSteps(std::string_view text)
{
    const auto steps = sentencescanner::Scan(text, dbcs::IsCp932LeadByte);
    if (!steps) return;
    std::size_t backslashes = 0;
    for (char c : text)
        backslashes += c == '\\' ? 1 : 0;
    // One step per backslash before "\e" at most, and the "\e" has one.
    if (steps->size() + 1 > backslashes) std::abort();
    for (const SentenceStep& step : *steps) {
        if (step.action == SentenceAction::Wait && (step.value < 0 || step.value > 900 || step.value % 100 != 0))
            std::abort();
        if (step.action == SentenceAction::None && step.value != 0) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    moduleprotocol::ReadVersionAnswer(text);
    const auto sentence = moduleprotocol::ReadSentenceAnswer(text);
    if (sentence) {
        // The sentence is the end of the answer.
        if (sentence->size() > text.size() || text.substr(text.size() - sentence->size()) != *sentence) std::abort();
        CheckSteps(*sentence);
    }
    CheckSteps(text);
    return 0;
}
