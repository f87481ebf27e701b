#pragma once
// The stream layer through which the platform's cabinet decompressor (FDI)
// reads cabinet files and writes extracted members into memory: its
// allocation, file and memory-stream callbacks.
//
// Everything FDI is handed (memory blocks, stream records) is registered in
// the CabStreamLayer that is current on the calling thread, so that
//  - a handle or block FDI did not get from us is refused or ignored (Wine's
//    FDI frees a pointer it never allocated after an MSZIP folder followed
//    by an LZX folder), and
//  - whatever a faulted FDI call left behind can be released afterwards.
#include <windows.h>

#include <fdi.h>

#include "framework/KernelHandle.h"

#include <cstdint>
#include <unordered_set>

struct CabStream {
    FileHandle file;         // a cabinet file
    bool isMemory = false;   // an extracted member instead
    uint8_t* data = nullptr; // fixed global block of the member
    uint32_t capacity = 0;   // bytes allocated at data
    uint32_t size = 0;       // bytes written, the member's length
    uint32_t position = 0;
};

class CabStreamLayer {
  public:
    CabStreamLayer() = default;
    ~CabStreamLayer();
    CabStreamLayer(const CabStreamLayer&) = delete;
    CabStreamLayer& operator=(const CabStreamLayer&) = delete;

    // Makes this layer the one the callbacks use on this thread while alive.
    class Scope {
      public:
        explicit Scope(CabStreamLayer& layer);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        CabStreamLayer* m_previous;
    };

    // A memory stream for one extracted member; expectedSize (bytes, from
    // the cabinet) sizes its first block. Returned as FDI's file handle.
    INT_PTR OpenMemoryStream(uint32_t expectedSize);

    // Takes a memory stream's data as a fixed global block of exactly its
    // length (the caller owns it) and releases the stream record. NULL when
    // hf is not one of our memory streams or the block cannot be made.
    HGLOBAL DetachMemoryStream(INT_PTR hf);

    // Releases every block and stream still registered (after FDIDestroy,
    // or after a faulted call).
    void ReleaseAll();

    // The FDI callbacks (cdecl, as FDI calls them).
    static void* DIAMONDAPI Alloc(ULONG cb);
    static void DIAMONDAPI Free(void* pv);
    static INT_PTR DIAMONDAPI Open(char* path, int oflag, int pmode);
    static UINT DIAMONDAPI Read(INT_PTR hf, void* pv, UINT cb);
    static UINT DIAMONDAPI Write(INT_PTR hf, void* pv, UINT cb);
    static int DIAMONDAPI Close(INT_PTR hf);
    static LONG DIAMONDAPI Seek(INT_PTR hf, LONG distance, int origin);

    // Opens a cabinet file for reading outside FDI (the is-cabinet test).
    INT_PTR OpenFileForRead(const char* path);
    int CloseStream(INT_PTR hf);

  private:
    static CabStreamLayer* Current();
    CabStream* Find(INT_PTR hf);
    INT_PTR OpenFile(const char* path, int oflag);
    void Destroy(CabStream* s);

    std::unordered_set<void*> m_blocks;
    std::unordered_set<CabStream*> m_streams;
};
