#pragma once
// A named kernel mutex, closed when the object goes away.
#include <windows.h>

class NamedMutex {
  public:
    NamedMutex() = default;
    ~NamedMutex() { Close(); }
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // CreateMutexA without initial ownership. Returns false when no handle
    // was made; 'existed' tells whether the name was already taken
    // (ERROR_ALREADY_EXISTS), in which case a handle is still returned.
    bool Create(const char* name, bool* existed);
    void Close();
    HANDLE Handle() const { return m_handle; }

  private:
    HANDLE m_handle = nullptr;
};
