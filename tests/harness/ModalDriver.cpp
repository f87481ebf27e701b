#include "harness/ModalDriver.h"

#include <commctrl.h>

#include <utility>

namespace {

// The limit only ends a test whose window never comes; no result depends on it.
constexpr DWORD kPatience = 30000; // milliseconds
constexpr DWORD kPoll = 20;

struct Search {
    std::string caption;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() || hwnd == search->except || !IsWindowVisible(hwnd)) return TRUE;
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != "#32770") return TRUE;
    if (ModalDriver::Text(hwnd) != search->caption) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lParam)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0) {
        std::string text = ModalDriver::Text(hwnd);
        if (!text.empty()) reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(text);
    }
    return TRUE;
}

} // namespace

ModalDriver::ModalDriver(std::string caption, std::function<void(ModalDriver&)> script)
    : m_caption(std::move(caption)), m_thread([this, script] {
          m_dialog = WaitForDialog(m_caption.c_str());
          if (m_dialog) script(*this);
          if (m_dialog && IsWindow(m_dialog)) PostMessageA(m_dialog, WM_COMMAND, IDCANCEL, 0);
      })
{
}

ModalDriver::~ModalDriver()
{
    m_thread.join();
}

HWND ModalDriver::FindDialog(const char* caption, HWND except)
{
    Search search{caption, except, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ModalDriver::WaitForDialog(const char* caption, HWND except)
{
    for (DWORD waited = 0; waited < kPatience; waited += kPoll) {
        if (HWND found = FindDialog(caption, except)) return found;
        Sleep(kPoll);
    }
    return nullptr;
}

int ModalDriver::PressOkAnsweringBoxes(const char* boxCaption, std::vector<std::string>* texts)
{
    // Posted: a box opened while OK is handled keeps the click's handler busy.
    PostClick(Item(IDOK));
    int boxes = 0;
    // A box always appears before the dialog goes, and the dialog waits for
    // it: none is missed by looking until the dialog is gone.
    for (DWORD waited = 0; IsWindow(m_dialog) && waited < kPatience; waited += kPoll) {
        HWND box = FindDialog(boxCaption, m_dialog);
        if (!box) {
            Sleep(kPoll);
            continue;
        }
        ++boxes;
        if (texts) *texts = StaticTexts(box);
        Click(GetDlgItem(box, IDOK));
        WaitUntilGone(box);
    }
    return boxes;
}

bool ModalDriver::WaitUntilGone(HWND window)
{
    for (DWORD waited = 0; waited < kPatience; waited += kPoll) {
        if (!IsWindow(window)) return true;
        Sleep(kPoll);
    }
    return false;
}

HWND ModalDriver::Page() const
{
    return reinterpret_cast<HWND>(SendMessageA(m_dialog, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void ModalDriver::Click(HWND button)
{
    SendMessageA(button, BM_CLICK, 0, 0);
}

void ModalDriver::PostClick(HWND button)
{
    PostMessageA(button, BM_CLICK, 0, 0);
}

void ModalDriver::Key(HWND window, UINT key)
{
    SendMessageA(window, WM_KEYDOWN, key, 1);
    SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

std::string ModalDriver::Text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<std::string> ModalDriver::StaticTexts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}
