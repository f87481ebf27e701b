#include "ScratchHost.h"

#include "harness/TestEnv.h"
#include "pellow/HookMessages.h"
#include "tools/standin/StandinControl.h"

namespace {

int g_hostCount = 0;

struct WindowsOfProcess {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectHostWindow(HWND window, LPARAM lParam)
{
    auto* state = reinterpret_cast<WindowsOfProcess*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[100] = {};
    GetClassNameA(window, name, sizeof name);
    if (pid == state->pid && lstrcmpA(name, ostra::kHostWindowClass) == 0) state->found.push_back(window);
    return TRUE;
}

} // namespace

ScratchHost::~ScratchHost()
{
    if (m_window) Control("quit", 2000);
    m_process.Wait(3000);
    m_process.Kill();
}

bool ScratchHost::Start(const std::string& exeName, const std::vector<std::string>& args)
{
    std::string dir = testenv::FreshDir("host" + std::to_string(++g_hostCount));
    m_exePath = testenv::Join(dir, exeName);
    if (!CopyFileA(testenv::Join(testenv::ToolsDir(), "ssp.exe").c_str(), m_exePath.c_str(), FALSE)) return false;
    std::vector<std::string> all{"--no-mutex", "--answer", "132=150,40", "--no-shape"};
    all.insert(all.end(), args.begin(), args.end());
    if (!m_process.Start(m_exePath, all, dir)) return false;
    m_window = m_process.FindWindowOfClass(ostra::kHostWindowClass, 15000);
    return m_window != nullptr;
}

LRESULT ScratchHost::Control(const std::string& command, DWORD timeoutMs) const
{
    COPYDATASTRUCT cds{};
    cds.dwData = standin::kControlData;
    cds.cbData = static_cast<DWORD>(command.size());
    cds.lpData = const_cast<char*>(command.c_str());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, timeoutMs, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

bool ScratchHost::AnswersQueries() const
{
    static const UINT sakura = RegisterWindowMessageA("Sakura");
    DWORD_PTR x = 0, y = 0;
    return SendMessageTimeoutA(m_window, sakura, 132, 0, SMTO_ABORTIFHUNG, 2000, &x) &&
           SendMessageTimeoutA(m_window, sakura, 132, 1, SMTO_ABORTIFHUNG, 2000, &y) && x == 150 && y == 40;
}

std::vector<HWND> ScratchHost::HostWindows() const
{
    WindowsOfProcess state{m_process.Id(), {}};
    EnumWindows(CollectHostWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}
