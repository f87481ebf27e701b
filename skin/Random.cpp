#include "skin/Random.h"

int ReduceRandom(uint32_t r, int n)
{
    if (n <= 1) return 0;
    if (r > 100000u)
        r /= 100000u;
    else if (r > 10000u)
        r /= 10000u;
    else if (r > 1000u)
        r /= 1000u;
    else if (r > 100u)
        r /= 100u;
    else if (r > 10u)
        r /= 10u;
    return static_cast<int>(r % static_cast<uint32_t>(n));
}
