// Any bytes as an animation file: the reader and parser must take them, and
// the engine must step whatever animations come out without going astray.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "skin/AnimationEngine.h"
#include "skin/AnimationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<Animation> animations = AnimationFile::Parse(AnimationFile::ReadLines(bytes));

    AnimationEngine engine;
    engine.Load(std::move(animations), {64, 48});
    const auto random = [](int n) { return n > 1 ? n / 2 : 0; };
    const auto sizes = [](int32_t number) -> std::optional<PixelSize> {
        if (number < 0 || number > 9) return std::nullopt;
        return PixelSize{8 * number, 4 * number};
    };
    uint32_t now = 0xFFFFF000u; // crosses the clock's wrap
    engine.BeginRun(now, random);
    engine.Initialise();
    std::vector<PatternAction> out;
    for (int pass = 0; pass < 64; ++pass) {
        now += 997; // fast enough for "sometimes" and "rarely" starts
        engine.Pass(now, random, sizes, out);
    }
    engine.Reset();
    return 0;
}
