#include "skin/Random.h"

#include <windows.h>

#include <mutex>

#include "skin/MersenneTwister.h"

int Random(int n)
{
    if (n <= 1) return 0;
    // Every animation thread of every skin window draws from this one
    // generator; the lock keeps two threads from tearing its state apart.
    static std::mutex lock;
    static MersenneTwister generator(GetTickCount());
    uint32_t r;
    {
        std::lock_guard<std::mutex> hold(lock);
        r = generator.Next();
    }
    return ReduceRandom(r, n);
}
