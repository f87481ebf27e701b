#include "framework/NamedMutex.h"

bool NamedMutex::Create(const char* name, bool* existed)
{
    Close();
    m_handle = CreateMutexA(nullptr, FALSE, name);
    DWORD error = GetLastError();
    if (existed) *existed = m_handle && error == ERROR_ALREADY_EXISTS;
    return m_handle != nullptr;
}

void NamedMutex::Close()
{
    if (m_handle) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}
