#pragma once
// "ZXSpinEdit": an integer field with a range, made of an edit box (child id
// 101) and an up-down control (child id 102) inside it. A plain window class
// (not a framework window), global to the process, so any dialog template of
// the program places it by class name.
//
// Change notification: whenever the value changes by the arrows or by typing,
// the parent gets WM_COMMAND with LOWORD(wParam) = the control's id,
// HIWORD(wParam) = 0 and lParam = the parent's dialog item with that id.
// Refused input is answered with a beep and the last good value or the nearer bound.
#include <windows.h>

constexpr char kSpinEditClass[] = "ZXSpinEdit";
constexpr int kSpinEditEditId = 101;
constexpr int kSpinEditUpDownId = 102;

// wParam = minimum, lParam = maximum (signed). TRUE; FALSE when maximum <
// minimum. A value outside the new range moves to the nearer bound.
constexpr UINT SEM_SETRANGE = WM_USER + 1;
// wParam = value (signed). TRUE; FALSE when the value lies outside the range.
constexpr UINT SEM_SETPOS = WM_USER + 2;
// The up-down control's position, which also becomes the stored value.
constexpr UINT SEM_GETPOS = WM_USER + 3;

// Registers the class for the module (and the common controls' up-down
// class it uses); always TRUE, a second registration leaves the first in place.
BOOL RegisterSpinEditClass(HINSTANCE instance);

// The three messages as calls.
BOOL SpinEdit_SetRange(HWND spin, int minimum, int maximum);
BOOL SpinEdit_SetPos(HWND spin, int value);
int SpinEdit_GetPos(HWND spin);
