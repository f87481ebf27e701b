#pragma once
// Owner of one library loaded with LoadLibraryA: frees it when it goes.
// (A stand-in until the framework's own handle owners serve here.)
#include <windows.h>

#include <utility>

class LoadedLibrary {
  public:
    LoadedLibrary() = default;
    explicit LoadedLibrary(HMODULE module) : m_module(module) {}
    ~LoadedLibrary() { Reset(); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    LoadedLibrary(LoadedLibrary&& other) noexcept : m_module(std::exchange(other.m_module, nullptr)) {}
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_module = std::exchange(other.m_module, nullptr);
        }
        return *this;
    }

    HMODULE Get() const { return m_module; }
    explicit operator bool() const { return m_module != nullptr; }
    // Gives the library up without freeing it.
    HMODULE Detach() { return std::exchange(m_module, nullptr); }
    // Frees the library now (when there is one).
    void Reset()
    {
        if (m_module) FreeLibrary(std::exchange(m_module, nullptr));
    }

  private:
    HMODULE m_module = nullptr;
};
