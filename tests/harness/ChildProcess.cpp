#include "harness/ChildProcess.h"

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const std::string& exe, const std::vector<std::string>& args, const std::string& workDir)
{
    Kill();
    std::string line = "\"" + exe + "\"";
    for (const std::string& arg : args) {
        // Quote every argument; a backslash run before a quote is doubled, as the C runtime reads it.
        std::string quoted = "\"";
        size_t slashes = 0;
        for (char c : arg) {
            if (c == '\\') {
                ++slashes;
            } else if (c == '"') {
                quoted.append(slashes + 1, '\\');
                slashes = 0;
            } else {
                slashes = 0;
            }
            quoted += c;
        }
        quoted.append(slashes, '\\');
        quoted += "\"";
        line += " " + quoted;
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    return CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &si, &m_info) != FALSE;
}

bool ChildProcess::Wait(DWORD ms)
{
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess) GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

bool ChildProcess::Running() const
{
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill()
{
    if (m_info.hProcess) {
        if (Running()) {
            TerminateProcess(m_info.hProcess, 1);
            WaitForSingleObject(m_info.hProcess, 5000);
        }
        CloseHandle(m_info.hProcess);
    }
    if (m_info.hThread) CloseHandle(m_info.hThread);
    m_info = PROCESS_INFORMATION{};
}

namespace {

struct FindState {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp)
{
    auto* state = reinterpret_cast<FindState*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char name[100] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (pid == state->pid && lstrcmpA(name, state->className) == 0) {
        state->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND ChildProcess::FindWindowOfClass(const char* className, DWORD ms) const
{
    DWORD start = GetTickCount();
    for (;;) {
        FindState state{m_info.dwProcessId, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&state));
        if (state.found) return state.found;
        if (!Running() || GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
}
