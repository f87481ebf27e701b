// The host test by executable name and window class, and the rules of when a
// message may attach, without windows.
#include <gtest/gtest.h>

#include "pellow/HookGate.h"
#include "pellow/HookMessages.h"
#include "pellow/HostName.h"

using pellow::HookGate;
using pellow::HostName;

namespace {

bool NoLeadBytes(unsigned char)
{
    return false;
}

} // namespace

TEST(HostName, RecognisesHostExecutablesAfterTheLastBackslash)
{
    struct Case {
        const char* path;
        bool host;
    };
    const Case cases[] = {
        {"C:\\Program Files\\ssp\\ssp.exe", true},
        {"C:\\nanika\\SAKURA.EXE", true},
        {"embryo.exe", true}, // no backslash: the whole text is the name
        {"D:\\x\\Materia.Exe", true},
        {"Z:\\work\\build\\tools\\ssp.exe", true},
        {"C:\\ssp.exe\\other.exe", false}, // only the last component counts
        {"C:\\host\\ssp.exe.bak", false},
        {"C:\\host\\xssp.exe", false},
        {"C:\\host\\ssp.ex", false},
        {"C:\\host\\ssp", false},
        {"C:\\host\\", false},
        {"", false},
        {"C:/unix/style/ssp.exe", false}, // a slash is no separator here
        {"C:\\host\\ssp.exe ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HostName::IsHostExecutable(c.path, dbcs::IsCp932LeadByte), c.host) << c.path;
    EXPECT_FALSE(HostName::IsHostExecutable(nullptr, dbcs::IsCp932LeadByte));
}

TEST(HostName, StepsOverTrailBytesThatLookLikeBackslashes)
{
    // "表" is 0x95 0x5C in Shift_JIS: its trail byte is no separator, so the
    // name is the whole "表ssp.exe" and no host...
    const char* kanjiThenName = "C:\\dir\\\x95\x5Cssp.exe";
    EXPECT_FALSE(HostName::IsHostExecutable(kanjiThenName, dbcs::IsCp932LeadByte));
    // ...while a scan that knows no double-byte characters would cut after 0x5C.
    EXPECT_TRUE(HostName::IsHostExecutable(kanjiThenName, NoLeadBytes));
    // A folder ending in such a character still has its real separator after it.
    EXPECT_TRUE(HostName::IsHostExecutable("C:\\\x83\x5C\x83\x74\x83\x67\\sakura.exe", dbcs::IsCp932LeadByte));
    // "ソ" (0x83 0x5C) directly before the separator.
    EXPECT_TRUE(HostName::IsHostExecutable("C:\\\x83\x5C\\materia.exe", dbcs::IsCp932LeadByte));
    // The system's test is passed in; without one, code page 932 is assumed.
    EXPECT_FALSE(HostName::IsHostExecutable(kanjiThenName, nullptr));
}

TEST(HostName, HostWindowClassIsExact)
{
    EXPECT_TRUE(HostName::IsHostWindowClass("Tmainform"));
    for (const char* other : {"TMainForm", "tmainform", "Tmainform ", "TmainformX", "Tmainfor", "", "DLVOstraClass"})
        EXPECT_FALSE(HostName::IsHostWindowClass(other)) << other;
    EXPECT_FALSE(HostName::IsHostWindowClass(nullptr));
}

TEST(HookGate, AttachesOnlyOnTheAttachRequestTakenFromTheQueueOfAHost)
{
    int installation = 0;
    const void* hook = &installation;
    HookGate gate;
    EXPECT_FALSE(gate.HostChecked());
    EXPECT_FALSE(gate.MayAttach(0, true, true, ostra::kNotifyAttach, hook)) << "no host test made yet";
    gate.SetHostProcess(true);
    EXPECT_TRUE(gate.HostChecked());

    struct Case {
        int code;
        bool removed;
        bool notify;
        unsigned long long wParam;
        bool attach;
    };
    const Case cases[] = {
        {0, true, true, 0, true},   {1, true, true, 0, true}, // HC_ACTION and any non-negative code
        {-1, true, true, 0, false},                           // negative codes are only passed on
        {0, false, true, 0, false},                           // a peek that leaves it queued
        {0, true, false, 0, false},                           // another message
        {0, true, true, 1, false},                            // the detach request
        {0, true, true, 2, false},  {0, true, true, 0x100000000ull, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gate.MayAttach(c.code, c.removed, c.notify, c.wParam, hook), c.attach)
            << "code " << c.code << " removed " << c.removed << " notify " << c.notify << " wParam " << c.wParam;

    HookGate notHost;
    notHost.SetHostProcess(false);
    EXPECT_FALSE(notHost.MayAttach(0, true, true, 0, hook));
}

TEST(HookGate, OneWindowPerProcessAndNoneAgainAfterReleaseUnderTheSameHook)
{
    int first = 0, second = 0;
    HookGate gate;
    gate.SetHostProcess(true);
    gate.BeginAttach();
    EXPECT_TRUE(gate.MayAttach(0, true, true, 0, &first)) << "an attach that is refused leaves the gate open";
    gate.Attached(&first);
    EXPECT_TRUE(gate.IsAttached());
    EXPECT_FALSE(gate.IsAttachedUnderAnother(&first));
    EXPECT_FALSE(gate.MayAttach(0, true, true, 0, &first)) << "a second host window of the process stays alone";
    gate.Released(&first);
    EXPECT_FALSE(gate.IsAttached());
    EXPECT_TRUE(gate.IsReleased());
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(gate.MayAttach(0, true, true, 0, &first)) << "released processes stay released";
    // The library copy outlived its hook (as under Wine) and the main
    // program installed a new one: the host may be attached again.
    EXPECT_TRUE(gate.MayAttach(0, true, true, 0, &second));
    gate.BeginAttach();
    EXPECT_FALSE(gate.IsReleased());
    gate.Attached(&second);
    EXPECT_FALSE(gate.MayAttach(0, true, true, 0, &second));
}

TEST(HookGate, AWindowLeftAttachedByAnEndedInstallationCanBeTakenAgain)
{
    int crashed = 0, next = 0;
    HookGate gate;
    gate.SetHostProcess(true);
    gate.BeginAttach();
    gate.Attached(&crashed);
    EXPECT_FALSE(gate.IsAttachedUnderAnother(&crashed));
    EXPECT_FALSE(gate.IsAttachedUnderAnother(nullptr)) << "no hook installed: nothing to hand the window to";
    EXPECT_TRUE(gate.IsAttachedUnderAnother(&next));
    EXPECT_FALSE(gate.MayAttach(0, true, true, 0, &next)) << "still attached until the window is given back";
    gate.Dropped();
    EXPECT_FALSE(gate.IsAttached());
    EXPECT_TRUE(gate.MayAttach(0, true, true, 0, &next));
    EXPECT_FALSE(gate.IsAttachedUnderAnother(&next));
}

TEST(HookGate, GuardsStopNestedReportsAndAreClearedOnEveryPath)
{
    HookGate gate;
    {
        HookGate::Scope outer(gate.MoveGuard());
        EXPECT_TRUE(outer.Entered());
        HookGate::Scope nested(gate.MoveGuard());
        EXPECT_FALSE(nested.Entered()) << "a move during a move report is not reported";
        HookGate::Scope other(gate.ShowGuard());
        EXPECT_TRUE(other.Entered()) << "the three guards are independent";
        EXPECT_FALSE(gate.DeactivateGuard().IsSet());
    }
    EXPECT_FALSE(gate.MoveGuard().IsSet()) << "the nested scope must not clear it early, the outer one clears it";
    EXPECT_FALSE(gate.ShowGuard().IsSet());
    HookGate::Scope again(gate.MoveGuard());
    EXPECT_TRUE(again.Entered());
}
