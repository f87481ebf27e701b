#pragma once
// "ZXHyperLink": a text link that is blue, red while the mouse is over it and
// purple once clicked, and that reports clicks to its parent. A plain window
// class (not a framework window), global to the process, so any dialog
// template of the program places it by class name.
//
// The click notification: WM_COMMAND to the parent, LOWORD(wParam) = the
// control's id, HIWORD(wParam) = 0, lParam = the control's window handle.
#include <windows.h>

constexpr char kHyperLinkClass[] = "ZXHyperLink";
// The text a link created without one shows.
constexpr char kHyperLinkDefaultText[] = "https://ostra.example.org/";
// The hover timer: every 200 ms the control compares the cursor with its
// window rectangle, so leaving it is noticed even without mouse capture.
constexpr UINT_PTR kHyperLinkTimer = 101;
constexpr UINT kHyperLinkTimerPeriod = 200; // milliseconds

// Registers the class for the module; always TRUE (a second registration
// fails harmlessly and the first one stays).
BOOL RegisterHyperLinkClass(HINSTANCE instance);

// Stores the four colours and repaints the control; FALSE for a window that
// is not a live hyperlink.
BOOL SetLinkColors(HWND link, COLORREF background, COLORREF normal, COLORREF hover, COLORREF visited);
// Stores the cursor shown over the control. The control destroys it
// (DestroyCursor) when it is destroyed. FALSE for a window that is not a live hyperlink.
BOOL SetLinkCursor(HWND link, HCURSOR cursor);
// Resizes the control to its text (up to 300 characters, one line, in the
// parent's font) without moving it.
BOOL SizeLinkToText(HWND link);
// Sizes the control to its text and centres it in 'rect' (client coordinates
// of the parent); odd leftovers go to the right and bottom.
BOOL CenterLinkInRect(HWND link, const RECT& rect);
