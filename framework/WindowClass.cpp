#include "framework/WindowClass.h"

#include "framework/Application.h"
#include "framework/Window.h"

BOOL RegisterWindowClass(const char* className, UINT style, HICON icon, HICON smallIcon, HCURSOR cursor,
                         HBRUSH background)
{
    Application* app = Application::Get();
    HINSTANCE instance = app ? app->Instance() : GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, className, &existing)) return TRUE;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::FrameworkWindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0 ? TRUE : FALSE;
}
