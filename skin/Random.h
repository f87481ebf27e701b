#pragma once
// Random waiting times of the animation engine.
#include <cstdint>

// Reduces a raw 32-bit draw r to a value below n: r is first cut down by its
// own size (above 100000 to r / 100000, above 10000 to r / 10000, above 1000
// to r / 1000, above 100 to r / 100, above 10 to r / 10, else r itself), then
// taken modulo n. n of 1 or less gives 0.
int ReduceRandom(uint32_t r, int n);

// ReduceRandom of the next output of the engine's one process-wide MT19937
// generator, seeded on first use with the system tick count and never again.
// Safe to call from several animation threads at once. (Windows builds only.)
int Random(int n);
