#pragma once
// Decodes a PNG into the packed DIB of DibLayout.h with libpng.
// Portable: the block comes from a BlockAllocator, which the DLL backs with
// fixed global memory and the tests with the heap.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace selka {

class BlockAllocator {
  public:
    virtual ~BlockAllocator() = default;
    // A zero-filled block of 'bytes', or nullptr when there is no memory.
    virtual uint8_t* Allocate(size_t bytes) = 0;
    virtual void Release(uint8_t* block) = 0;
};

class PngDecoder {
  public:
    // Reads the PNG from the current position of 'file' (which stays open).
    // Returns the block from 'allocator', which the caller then owns, or
    // nullptr when the data is not a PNG, is damaged or truncated, or memory
    // runs out, or when the block would exceed 512 MiB (a header claiming
    // a picture its data cannot hold); the decoder then has released
    // everything it took.
    // Nothing is printed: libpng's errors and warnings are swallowed.
    static uint8_t* DecodeFile(std::FILE* file, BlockAllocator& allocator);
    static uint8_t* DecodeMemory(const uint8_t* data, size_t size, BlockAllocator& allocator);
};

} // namespace selka
