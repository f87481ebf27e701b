// What the hook costs a host: the time for 1000 moves of a host window with
// an attached skin, against the same moves with no hook installed. Each move
// is a control command to the stand-in host, which moves its window with
// SetWindowPos; with the hook, every move also waits for one WM_SKIN_FOLLOW
// round trip to this process. Run it with the environment
// that ctest gives the Wine tests (see tests/pellow/CMakeLists.txt); prints
// its figures and exits 0, or 1 when the host could not be attached.
#include <windows.h>

#include <cstdio>
#include <string>

#include "FakeMainProgram.h"
#include "ScratchHost.h"
#include "pellow/pellow.h"

namespace {

constexpr int kMoves = 1000;
constexpr int kRounds = 3;

double MoveHost(const ScratchHost& host, int round)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kMoves; ++i) {
        int x = 100 + (i % 50) * 4 + round;
        int y = 100 + (i % 25) * 2;
        host.Control("move " + std::to_string(x) + " " + std::to_string(y));
    }
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main()
{
    FakeMainProgram& program = FakeMainProgram::Get();
    ScratchHost host;
    if (!host.Start("ssp.exe", {"--size", "160,240"})) {
        std::printf("the stand-in host did not start\n");
        return 1;
    }
    double without[kRounds] = {}, with[kRounds] = {};
    std::size_t follows = 0;
    for (int round = 0; round < kRounds; ++round) {
        without[round] = MoveHost(host, round);

        program.SetNotifying(true);
        if (SetupHook(program.Window(), 1) != 1) {
            std::printf("SetupHook failed\n");
            return 1;
        }
        if (!program.PumpUntil([&] { return program.SkinOf(host.Window()) != nullptr; }, 10000)) {
            SetupHook(program.Window(), 0);
            std::printf("the host was not attached\n");
            return 1;
        }
        program.SetNotifying(false);
        program.PumpFor(300);
        program.ClearRecords();
        with[round] = MoveHost(host, round);
        follows = program.skinMessages.size();
        SetupHook(program.Window(), 0);
        program.PumpFor(300);
        // The released host is never attached again: a fresh one serves the next round.
        if (round + 1 < kRounds && !host.Start("ssp.exe", {"--size", "160,240"})) return 1;
    }
    for (int round = 0; round < kRounds; ++round)
        std::printf(
            "round %d: %d moves without hook %.1f ms (%.1f us each), with attached skin %.1f ms (%.1f us each), "
            "ratio %.2f\n",
            round + 1, kMoves, without[round], 1000.0 * without[round] / kMoves, with[round],
            1000.0 * with[round] / kMoves, with[round] / without[round]);
    std::printf("skin messages in the last round: %zu (WM_SKIN_FOLLOW per move: %.2f)\n", follows,
                static_cast<double>(follows) / kMoves);
    return 0;
}
