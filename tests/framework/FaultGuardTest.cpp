// Faults inside a guarded call become a failure result; calls that return,
// and callees that handle their own faults, are left alone.
#include "framework/FaultGuard.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

void WriteThroughNull(void* p)
{
    volatile int* target = static_cast<int* volatile*>(p)[0];
    *target = 42;
}

void Raise(void*)
{
    RaiseException(0xE0001234, 0, 0, nullptr);
}

void Returns(void* p)
{
    *static_cast<int*>(p) = 7;
}

// A callee with a guard of its own: its fault stays inside.
void HandlesItsOwn(void* p)
{
    int* nothing = nullptr;
    const bool inner = faultguard::Run(WriteThroughNull, &nothing, nullptr);
    *static_cast<int*>(p) = inner ? 1 : 2;
}

TEST(FaultGuard, FaultsBecomeFailures)
{
    int* nothing = nullptr;
    for (int i = 0; i < 3; ++i) {
        DWORD code = 0;
        EXPECT_FALSE(faultguard::Run(WriteThroughNull, &nothing, &code));
        EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        EXPECT_FALSE(faultguard::Run(Raise, nullptr, &code));
        EXPECT_EQ(code, 0xE0001234u);
    }
    int value = 0;
    DWORD code = 1;
    EXPECT_TRUE(faultguard::Run(Returns, &value, &code));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(faultguard::Run(HandlesItsOwn, &value, nullptr));
    EXPECT_EQ(value, 2);
}

TEST(FaultGuard, WorksOnOtherThreads)
{
    bool results[2] = {true, true};
    std::thread a([&] {
        int* nothing = nullptr;
        results[0] = faultguard::Run(WriteThroughNull, &nothing, nullptr);
    });
    std::thread b([&] { results[1] = faultguard::Run(Raise, nullptr, nullptr); });
    a.join();
    b.join();
    EXPECT_FALSE(results[0]);
    EXPECT_FALSE(results[1]);
}

} // namespace
