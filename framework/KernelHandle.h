#pragma once
// Owners of kernel handles: each releases its handle when it goes away, also
// when an exception leaves the scope that opened it. The kinds differ in
// what stands for "no handle" and in how the handle is released:
//   FileHandle   CreateFile            INVALID_HANDLE_VALUE  CloseHandle
//   FindHandle   FindFirstFile         INVALID_HANDLE_VALUE  FindClose
//   KernelHandle threads, processes,   null                  CloseHandle
//                events, mappings
//   ModuleHandle LoadLibrary           null                  FreeLibrary
#include <windows.h>

#include <utility>

template <class Traits> class OwnedHandle {
  public:
    using Handle = typename Traits::Handle;

    OwnedHandle() = default;
    explicit OwnedHandle(Handle handle) : m_handle(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : m_handle(other.Detach()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    Handle Get() const { return m_handle; }
    bool Valid() const { return m_handle != Traits::None(); }
    explicit operator bool() const { return Valid(); }

    // Releases the handle held (if any) and takes 'handle'.
    void Reset(Handle handle = Traits::None())
    {
        if (Valid()) Traits::Release(m_handle);
        m_handle = handle;
    }

    // Releases the handle now and reports whether that succeeded (a file
    // written through the handle is complete only when its close succeeds).
    bool Close()
    {
        if (!Valid()) return true;
        const bool released = Traits::Release(std::exchange(m_handle, Traits::None()));
        return released;
    }

    // Gives up ownership without releasing.
    Handle Detach() { return std::exchange(m_handle, Traits::None()); }

  private:
    Handle m_handle = Traits::None();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool Release(Handle handle) { return CloseHandle(handle) != FALSE; }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool Release(Handle handle) { return FindClose(handle) != FALSE; }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool Release(Handle handle) { return CloseHandle(handle) != FALSE; }
};

struct ModuleHandleTraits {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static bool Release(Handle handle) { return FreeLibrary(handle) != FALSE; }
};

using FileHandle = OwnedHandle<FileHandleTraits>;
using FindHandle = OwnedHandle<FindHandleTraits>;
using KernelHandle = OwnedHandle<KernelHandleTraits>;
using ModuleHandle = OwnedHandle<ModuleHandleTraits>;
