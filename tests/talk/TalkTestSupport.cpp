#include "TalkTestSupport.h"

#include "framework/Application.h"
#include "harness/TestEnv.h"

namespace {

class TalkTestApplication : public Application {};
TalkTestApplication g_app;

void RegisterSkinClass(WNDPROC proc)
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = TestSkin::kClassName;
    registered = RegisterClassA(&wc) != 0;
}

} // namespace

TestSkin::TestSkin(std::shared_ptr<SkinRecord> record) : m_record(std::move(record))
{
    RegisterSkinClass(Proc);
    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "talk test skin", WS_POPUP, 0, 0, 32, 32, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestSkin::~TestSkin()
{
    m_record->deleted = true;
    if (IsWindow(m_window)) {
        SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        if (!m_keepWindow) DestroyWindow(m_window);
    }
}

void TestSkin::ShowSurface(std::int32_t number)
{
    m_record->shown.push_back(number);
    if (number == m_armedSurface) SetTimer(m_window, m_armedTimer, m_armedMs, nullptr);
}

void TestSkin::ArmTimerOnSurface(int surface, UINT_PTR timer, UINT ms)
{
    m_armedSurface = surface;
    m_armedTimer = timer;
    m_armedMs = ms;
}

LRESULT CALLBACK TestSkin::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TestSkin* self = reinterpret_cast<TestSkin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_TIMER) {
        KillTimer(window, wParam);
        if (wParam == kDestroyTimer) {
            self->m_record->destroyedWindow = true;
            DestroyWindow(window);
        }
        if (wParam == kMarkTimer) self->m_record->shown.push_back(kMark);
        if (wParam == kDeleteTimer) delete self;
        return 0;
    }
    if (self && message == WM_APP + 8) {
        self->m_record->shown.push_back(kMark);
        return 0;
    }
    if (self && message == WM_APP + 7) {
        self->module.UnloadModule();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ModuleFolder::ModuleFolder(const std::string& name, const std::string& dll, const std::string& as)
    : m_path(testenv::FreshDir(name)), m_as(as)
{
    CopyFileA(dll.c_str(), ModulePath().c_str(), FALSE);
}

void ModuleFolder::Set(const std::string& file, const std::string& content) const
{
    testenv::WriteFile(m_path + "\\" + file, content);
}

std::string ModuleFolder::Calls() const
{
    return testenv::ReadFile(m_path + "\\calls.log");
}

std::string TestProgramDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

std::string LoadCall(const std::string& folder)
{
    const std::string withBackslash = folder + "\\";
    return "load " + std::to_string(withBackslash.size()) + "\n" + withBackslash + "\n";
}

std::string RequestCall(const std::string& text)
{
    return "request " + std::to_string(text.size()) + "\n" + text + "\n";
}
