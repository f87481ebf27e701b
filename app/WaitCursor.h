#pragma once
// Shows the wait cursor for the life of the object, then the cursor that
// was shown before.
#include <windows.h>

class WaitCursor {
  public:
    WaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR m_previous;
};
