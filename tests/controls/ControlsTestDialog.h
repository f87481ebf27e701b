#pragma once
// A test dialog made from the test program's resources (both custom controls
// placed by class name), recording the WM_COMMAND messages it receives, and
// a reader of the pixels a window has painted.
#include <windows.h>

#include <cstddef>
#include <vector>

struct CommandRecord {
    WPARAM wParam;
    LPARAM lParam;
};

class ControlsTestDialog {
  public:
    explicit ControlsTestDialog(int templateId);
    ~ControlsTestDialog();
    ControlsTestDialog(const ControlsTestDialog&) = delete;
    ControlsTestDialog& operator=(const ControlsTestDialog&) = delete;

    HWND Handle() const { return m_hwnd; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    std::vector<CommandRecord> commands; // in arrival order

  private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};

// The window's client area as painted, 0x00RRGGBB per pixel, row by row.
class PaintedPixels {
  public:
    explicit PaintedPixels(HWND window);
    std::size_t Count(COLORREF colour) const;
    COLORREF At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

  private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_pixels;
};

// Registers both control classes once for the test program.
void RegisterControlClasses();
