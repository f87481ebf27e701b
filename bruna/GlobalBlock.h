#pragma once
// Owns a global memory block (GlobalAlloc) until released or handed on.
#include <windows.h>

class GlobalBlock {
  public:
    explicit GlobalBlock(HGLOBAL block = nullptr) : m_block(block) {}
    ~GlobalBlock()
    {
        if (m_block) GlobalFree(m_block);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // A block for size bytes with GlobalSize equal to size: fixed memory,
    // or for 0 a discarded moveable block (a fixed block of 0 bytes reports
    // GlobalSize 1 under Wine). NULL when memory runs out.
    static HGLOBAL AllocExact(SIZE_T size)
    {
        return size ? GlobalAlloc(GMEM_FIXED, size) : GlobalAlloc(GMEM_MOVEABLE, 0);
    }

    HGLOBAL Get() const { return m_block; }
    HGLOBAL Release()
    {
        HGLOBAL b = m_block;
        m_block = nullptr;
        return b;
    }
    explicit operator bool() const { return m_block != nullptr; }

  private:
    HGLOBAL m_block;
};
