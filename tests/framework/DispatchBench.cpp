// What the framework's window procedure costs per message (binding lookup,
// fault guard, dispatch, default processing), against a plain procedure, and
// how long scanning a catalogue of many skins takes. Run by hand; prints figures.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/Application.h"
#include "framework/Window.h"
#include "framework/WindowClass.h"
#include "skin/SkinCatalogue.h"

namespace {

Application g_app;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class CommandWindow : public Window {
  public:
    void OnCommand(UINT, UINT) override { ++count; }
    long count = 0;
};

double NanosecondsPerMessage(HWND hwnd, UINT message, int rounds)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i)
        SendMessageA(hwnd, message, 1, 0);
    QueryPerformanceCounter(&end);
    return (end.QuadPart - start.QuadPart) * 1e9 / frequency.QuadPart / rounds;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = 200000;
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BenchPlain";
    RegisterClassA(&wc);
    HWND plain = CreateWindowExA(0, "BenchPlain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    RegisterWindowClass("BenchFramework", 0, nullptr, nullptr, nullptr, nullptr);
    Window defaults;
    defaults.CreateEx("BenchFramework", "", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr);
    CommandWindow handled;
    handled.CreateEx("BenchFramework", "", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr);

    std::printf("plain procedure, WM_COMMAND:            %6.0f ns/message\n",
                NanosecondsPerMessage(plain, WM_COMMAND, rounds));
    std::printf("framework, default handling WM_COMMAND: %6.0f ns/message\n",
                NanosecondsPerMessage(defaults.Handle(), WM_COMMAND, rounds));
    std::printf("framework, OnCommand override:          %6.0f ns/message\n",
                NanosecondsPerMessage(handled.Handle(), WM_COMMAND, rounds));
    std::printf("framework, unrouted WM_USER:            %6.0f ns/message\n",
                NanosecondsPerMessage(defaults.Handle(), WM_USER, rounds));

    // A catalogue of 'count' skins, each with an ostra.ini of six keys.
    if (argc > 1) {
        std::string root = argv[1];
        const int count = 150;
        CreateDirectoryA(root.c_str(), nullptr);
        for (int i = 0; i < count; ++i) {
            std::string dir = root + "\\skin" + std::to_string(1000 + i);
            CreateDirectoryA(dir.c_str(), nullptr);
            std::string ini = "[OSTRA]\r\ntitle=skin " + std::to_string(i) +
                              "\r\nghost=g\r\ncategory=a,b\r\noffsetx=-3\r\nontop=1\r\nbase=surface0.png\r\n";
            for (const auto& file : {std::make_pair(std::string("ostra.ini"), ini),
                                     std::make_pair(std::string("surface0.png"), std::string("x"))}) {
                HANDLE h = CreateFileA((dir + "\\" + file.first).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                       nullptr);
                DWORD written = 0;
                WriteFile(h, file.second.data(), static_cast<DWORD>(file.second.size()), &written, nullptr);
                CloseHandle(h);
            }
        }
        SkinCatalogue catalogue;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        catalogue.ScanFolder(root);
        QueryPerformanceCounter(&end);
        std::printf("catalogue scan of %zu skins:             %6.1f ms\n", catalogue.Size(),
                    (end.QuadPart - start.QuadPart) * 1e3 / frequency.QuadPart);
    }
    return 0;
}
