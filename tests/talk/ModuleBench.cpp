// Figures, run by hand (nothing is asserted): the cost of one event sent to
// the sample module through the guarded module host, with and without an
// answer, and of playing a sentence without waits on a real window.
// Usage: talk_module_bench.exe (with OSTRA_BIN_DIR and OSTRA_TEST_TMP set,
// and selka.dll on the path, as ctest sets them for talk_module_test).
#include <windows.h>

#include <cstdio>
#include <memory>

#include "TalkTestSupport.h"
#include "harness/TestEnv.h"

namespace {

double MicrosecondsPer(LARGE_INTEGER start, LARGE_INTEGER end, int count)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / count;
}

template <class Step> double Time(int count, Step step)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i)
        step();
    QueryPerformanceCounter(&end);
    return MicrosecondsPer(start, end, count);
}

} // namespace

int main()
{
    ModuleFolder folder("bench", testenv::Join(testenv::BinDir(), "dorvy.dll"), "dorvy.dll");
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    if (!skin.module.LoadModule(folder.Path(), "dorvy.dll")) {
        std::printf("dorvy.dll did not load from %s\n", folder.Path().c_str());
        return 1;
    }
    constexpr int kCount = 20000;
    const ModuleEvent answered("OnMouseDoubleClick", {std::string("12"), std::string("34")});
    const ModuleEvent unanswered("OnMouseMove", {std::string("12"), std::string("34")});
    std::printf("event with an answer:    %.2f us\n", Time(kCount, [&] { skin.module.AskSentence(answered); }));
    std::printf("event without an answer: %.2f us\n", Time(kCount, [&] { skin.module.AskSentence(unanswered); }));
    std::printf("sentence of 10 surfaces: %.2f us\n",
                Time(kCount / 10, [&] { skin.player.PlaySentence("\\s1\\s2\\s3\\s4\\s5\\s6\\s7\\s8\\s9\\s[10]\\e"); }));
    std::printf("load, probe and unload:  %.2f us\n", Time(200, [&] {
                    skin.module.LoadModule(folder.Path(), "dorvy.dll");
                    skin.module.UnloadModule();
                }));
    return 0;
}
