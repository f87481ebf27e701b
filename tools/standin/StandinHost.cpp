// The stand-in host: plays the desktop-mascot host program for tests and the
// demo. Installed as ssp.exe, since the hook recognises hosts by executable
// name. See README.md beside this file for its options and control commands.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/standin/StandinConfig.h"
#include "tools/standin/StandinControl.h"

namespace {

using standin::QueryAnswer;
using standin::StandinConfig;

constexpr UINT kOpenMenu = WM_APP + 1;
constexpr UINT kFault = WM_APP + 2; // posted by the "fault" command
constexpr UINT_PTR kMenuTimer = 1;
constexpr ULONG_PTR kDirectSstp = 9801;

StandinConfig g_config;
HWND g_main = nullptr;
HWND g_helper = nullptr;
HWND g_twin = nullptr; // a second "Tmainform" window, made by the "twin" command
UINT g_sakuraMessage = 0;
CRITICAL_SECTION g_logLock;
std::atomic<bool> g_quit{false};

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AppendLog(const std::string& kind, const std::string& fields, const std::string& payload)
{
    if (g_config.logPath.empty()) return;
    std::string record = standin::FormatLogRecord(kind, fields, payload);
    EnterCriticalSection(&g_logLock);
    HANDLE file = CreateFileA(g_config.logPath.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
        CloseHandle(file);
    }
    LeaveCriticalSection(&g_logLock);
}

// A character of our own: a round head with eyes over a rounded body.
HRGN MakeCharacterRegion(int w, int h)
{
    int headSize = w * 3 / 4;
    int headLeft = (w - headSize) / 2;
    HRGN head = CreateEllipticRgn(headLeft, 0, headLeft + headSize, headSize);
    HRGN body = CreateRoundRectRgn(w / 8, headSize * 4 / 5, w - w / 8, h, w / 3, w / 3);
    CombineRgn(head, head, body, RGN_OR);
    DeleteObject(body);
    return head;
}

void PaintCharacter(HDC dc, int w, int h)
{
    RECT all{0, 0, w, h};
    HBRUSH back = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, back);
    DeleteObject(back);

    int headSize = w * 3 / 4;
    int headLeft = (w - headSize) / 2;
    HBRUSH dress = CreateSolidBrush(RGB(220, 80, 120));
    HBRUSH skin = CreateSolidBrush(RGB(255, 224, 196));
    HBRUSH hair = CreateSolidBrush(RGB(90, 60, 40));
    HBRUSH eye = CreateSolidBrush(RGB(40, 40, 90));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, dress);
    RoundRect(dc, w / 8, headSize * 4 / 5, w - w / 8, h - 1, w / 3, w / 3);
    SelectObject(dc, hair);
    Ellipse(dc, headLeft, 0, headLeft + headSize, headSize);
    SelectObject(dc, skin);
    Ellipse(dc, headLeft + headSize / 8, headSize / 5, headLeft + headSize * 7 / 8, headSize - 2);
    SelectObject(dc, eye);
    int eyeY = headSize / 2;
    int eyeR = headSize / 14 + 1;
    Ellipse(dc, headLeft + headSize * 3 / 10, eyeY, headLeft + headSize * 3 / 10 + eyeR * 2, eyeY + eyeR * 3);
    Ellipse(dc, headLeft + headSize * 7 / 10 - eyeR * 2, eyeY, headLeft + headSize * 7 / 10, eyeY + eyeR * 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(dress);
    DeleteObject(skin);
    DeleteObject(hair);
    DeleteObject(eye);
}

LRESULT AnswerQuery(WPARAM code, LPARAM index)
{
    auto it = g_config.answers.find(static_cast<uint32_t>(code));
    int32_t value = 0;
    std::string how = "none";
    if (it != g_config.answers.end()) {
        const QueryAnswer& answer = it->second;
        if (answer.kind == QueryAnswer::Kind::Hang) {
            AppendLog("QUERY", "code=" + std::to_string(code) + " index=" + std::to_string(index) + " answer=hang", "");
            Sleep(3000);
            return 0;
        }
        if (answer.kind == QueryAnswer::Kind::Values) {
            value = answer.ValueAt(static_cast<uint32_t>(index));
            how = std::to_string(value);
        }
    }
    AppendLog("QUERY", "code=" + std::to_string(code) + " index=" + std::to_string(index) + " answer=" + how, "");
    return static_cast<LRESULT>(value);
}

// Sends a Direct SSTP request as the requester; answers arrive while we wait
// and are logged as DSSTP records of their own.
void SendDirect(HWND target, const std::string& text)
{
    COPYDATASTRUCT cds{};
    cds.dwData = kDirectSstp;
    cds.cbData = static_cast<DWORD>(text.size());
    cds.lpData = const_cast<char*>(text.c_str());
    DWORD_PTR answer = 0;
    LRESULT ok = SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(g_main),
                                     reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 30000, &answer);
    AppendLog("SENT",
              "to=" + std::to_string(static_cast<int32_t>(reinterpret_cast<intptr_t>(target))) +
                  " ok=" + std::to_string(ok != 0 ? 1 : 0) + " result=" + std::to_string(static_cast<long long>(answer)),
              text);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Whether a window of ours still runs its own procedure: 1 yes, 2 another
// procedure replaced it, 0 no such window.
LRESULT ReportProcedure(HWND window)
{
    if (!window) return 0;
    return GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MainProc) ? 1 : 2;
}

LRESULT RunControl(const std::string& text)
{
    standin::ControlCommand command;
    if (!standin::ParseControl(text, command)) return 0;
    using Verb = standin::ControlCommand::Verb;
    switch (command.verb) {
    case Verb::Move:
        SetWindowPos(g_main, nullptr, command.a, command.b, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 1;
    case Verb::Size:
        SetWindowPos(g_main, nullptr, 0, 0, command.a, command.b, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (g_config.shaped) SetWindowRgn(g_main, MakeCharacterRegion(command.a, command.b), TRUE);
        return 1;
    case Verb::Hide:
        ShowWindow(g_main, SW_HIDE);
        return 1;
    case Verb::Show:
        ShowWindow(g_main, SW_SHOWNOACTIVATE);
        return 1;
    case Verb::Minimize:
        ShowWindow(g_main, SW_MINIMIZE);
        return 1;
    case Verb::Restore:
        ShowWindow(g_main, SW_RESTORE);
        return 1;
    case Verb::Activate:
        SetForegroundWindow(g_main);
        SetActiveWindow(g_main);
        return 1;
    case Verb::Deactivate:
        // Activating another window of ours deactivates the host window for real.
        ShowWindow(g_helper, SW_SHOWNOACTIVATE);
        SetForegroundWindow(g_helper);
        SetActiveWindow(g_helper);
        return 1;
    case Verb::Menu:
        PostMessageA(g_main, kOpenMenu, static_cast<WPARAM>(command.a), 0);
        return 1;
    case Verb::Send:
        SendDirect(reinterpret_cast<HWND>(static_cast<intptr_t>(command.a)),
                   standin::BuildSendRequest(command.payload, static_cast<int32_t>(reinterpret_cast<intptr_t>(g_main))));
        return 1;
    case Verb::SendRaw:
        SendDirect(reinterpret_cast<HWND>(static_cast<intptr_t>(command.a)), command.payload);
        return 1;
    case Verb::Quit:
        PostMessageA(g_main, WM_CLOSE, 0, 0);
        return 1;
    case Verb::Twin:
        if (!g_twin)
            g_twin = CreateWindowExA(0, "Tmainform", g_config.title.c_str(), WS_POPUP | WS_VISIBLE, command.a,
                                     command.b, g_config.width, g_config.height, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        return g_twin ? 1 : 0;
    case Verb::Proc:
        return ReportProcedure(command.a == 0 ? g_main : command.a == 1 ? g_twin : nullptr);
    case Verb::Fault:
        PostMessageA(g_main, kFault, 0, 0);
        return 1;
    }
    return 0;
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == g_sakuraMessage && g_sakuraMessage != 0) return AnswerQuery(wp, lp);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        PaintCharacter(dc, rc.right, rc.bottom);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_COPYDATA: {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (!cds) return 0;
        std::string payload;
        if (cds->lpData && cds->cbData) payload.assign(static_cast<const char*>(cds->lpData), cds->cbData);
        if (cds->dwData == kDirectSstp) {
            AppendLog("DSSTP", "from=" + std::to_string(static_cast<int32_t>(static_cast<intptr_t>(wp))), payload);
            return 1;
        }
        if (cds->dwData == standin::kControlData) return RunControl(payload);
        return 0;
    }
    case kOpenMenu: {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "Stand-in menu");
        SetTimer(hwnd, kMenuTimer, static_cast<UINT>(wp ? wp : 500), nullptr);
        SetForegroundWindow(hwnd);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD, rc.left + 10, rc.top + 10, 0, hwnd, nullptr);
        DestroyMenu(menu);
        KillTimer(hwnd, kMenuTimer);
        return 0;
    }
    case kFault: {
        // An access violation inside the host's own window procedure, as a
        // faulty host program raises it, with nothing of the host to catch it.
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
    case WM_TIMER:
        if (wp == kMenuTimer) {
            KillTimer(hwnd, kMenuTimer);
            EndMenu();
        }
        return 0;
    case WM_DESTROY:
        if (hwnd == g_main) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Answers SSTP over TCP on 127.0.0.1: reads one request (up to an empty line
// or the end of the connection), logs it and answers the fixed status line.
void ServeSstp(SOCKET listener)
{
    while (!g_quit) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener, &set);
        timeval wait{0, 200000};
        if (select(0, &set, nullptr, nullptr, &wait) <= 0) continue;
        sockaddr_in peer{};
        int peerLen = sizeof peer;
        SOCKET conn = accept(listener, reinterpret_cast<sockaddr*>(&peer), &peerLen);
        if (conn == INVALID_SOCKET) continue;
        DWORD timeout = 5000;
        setsockopt(conn, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        std::string request;
        char buffer[1024];
        for (;;) {
            int n = recv(conn, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, n);
            if (request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0) break;
        }
        AppendLog("TCP", "port=" + std::to_string(g_config.sstpPort), request);
        send(conn, g_config.sstpStatus.data(), static_cast<int>(g_config.sstpStatus.size()), 0);
        shutdown(conn, SD_BOTH);
        closesocket(conn);
    }
}

SOCKET OpenListener(int port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    BOOL reuse = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 5) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    InitializeCriticalSection(&g_logLock);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error = standin::ParseArguments(args, g_config, ReadWholeFile);
    if (!error.empty()) {
        std::fprintf(stderr, "ssp: %s\n", error.c_str());
        return 2;
    }

    HANDLE presence = nullptr;
    if (!g_config.mutexName.empty()) presence = CreateMutexA(nullptr, FALSE, g_config.mutexName.c_str());

    // The server listens before the window exists, so a test that has found
    // the window can connect at once.
    WSADATA wsa;
    bool sockets = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    SOCKET listener = INVALID_SOCKET;
    std::thread server;
    if (sockets && g_config.sstpServer) {
        listener = OpenListener(g_config.sstpPort);
        if (listener == INVALID_SOCKET) {
            std::fprintf(stderr, "ssp: cannot listen on 127.0.0.1:%d\n", g_config.sstpPort);
            return 3;
        }
        server = std::thread(ServeSstp, listener);
    }

    g_sakuraMessage = RegisterWindowMessageA("Sakura");
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "Tmainform";
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "StandinHelper";
    RegisterClassA(&wc);

    g_main = CreateWindowExA(0, "Tmainform", g_config.title.c_str(), WS_POPUP, g_config.x, g_config.y,
                             g_config.width, g_config.height, nullptr, nullptr, instance, nullptr);
    if (!g_main) return 1;
    g_helper = CreateWindowExA(WS_EX_TOOLWINDOW, "StandinHelper", "stand-in helper", WS_POPUP,
                               0, 0, 8, 8, nullptr, nullptr, instance, nullptr);
    if (g_config.shaped) SetWindowRgn(g_main, MakeCharacterRegion(g_config.width, g_config.height), FALSE);
    if (g_config.visible) {
        ShowWindow(g_main, SW_SHOW);
        UpdateWindow(g_main);
        SetForegroundWindow(g_main);
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    g_quit = true;
    if (server.joinable()) server.join();
    if (listener != INVALID_SOCKET) closesocket(listener);
    if (sockets) WSACleanup();
    if (presence) CloseHandle(presence);
    DeleteCriticalSection(&g_logLock);
    return 0;
}
