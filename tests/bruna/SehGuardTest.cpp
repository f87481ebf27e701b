// Faults inside a guarded call become a failure result; calls that return,
// and callees that handle their own faults, are left alone.
#include "bruna/SehGuard.h"

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
    const bool inner = SehGuard::Call(WriteThroughNull, &nothing);
    *static_cast<int*>(p) = inner ? 1 : 2;
}

TEST(SehGuard, FaultsBecomeFailures)
{
    int* nothing = nullptr;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(SehGuard::Call(WriteThroughNull, &nothing));
        EXPECT_EQ(SehGuard::LastFault(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        EXPECT_FALSE(SehGuard::Call(Raise, nullptr));
        EXPECT_EQ(SehGuard::LastFault(), 0xE0001234u);
    }
    int value = 0;
    EXPECT_TRUE(SehGuard::Call(Returns, &value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(SehGuard::Call(HandlesItsOwn, &value));
    EXPECT_EQ(value, 2);
}

TEST(SehGuard, WorksOnOtherThreads)
{
    bool results[2] = {true, true};
    std::thread a([&] {
        int* nothing = nullptr;
        results[0] = SehGuard::Call(WriteThroughNull, &nothing);
    });
    std::thread b([&] { results[1] = SehGuard::Call(Raise, nullptr); });
    a.join();
    b.join();
    EXPECT_FALSE(results[0]);
    EXPECT_FALSE(results[1]);
}

} // namespace
