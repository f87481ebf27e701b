// A main program in a process of its own, for the test of a main program that
// ends without removing its hook: installs the hook with a FakeMainProgram
// window, attaches hosts, and runs until it is killed (at most two minutes).
// Exit code 3 when the hook could not be installed.
#include <windows.h>

#include "FakeMainProgram.h"
#include "pellow/pellow.h"

int main()
{
    FakeMainProgram& program = FakeMainProgram::Get();
    program.SetNotifying(true);
    if (SetupHook(program.Window(), 1) != 1) return 3;
    program.PumpFor(120000);
    SetupHook(program.Window(), 0);
    return 0;
}
