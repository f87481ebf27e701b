#pragma once
// The owner of one handle of the system: releases it when it goes away (also
// when an exception leaves the scope that opened it), moves but never
// copies. 'Traits' tell what stands for "no handle" and how the handle is
// released: Handle, static Handle None(), static bool Release(Handle).
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

// Traits for handles released by one function of the system, with the
// value that the functions making them return on failure.
template <class H, BOOL(WINAPI* Free)(H), LONG_PTR kNone> struct HandleTraits {
    using Handle = H;
    static Handle None() { return reinterpret_cast<Handle>(kNone); }
    static bool Release(Handle handle) { return Free(handle) != FALSE; }
};
