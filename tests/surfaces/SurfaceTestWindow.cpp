#include "SurfaceTestWindow.h"

#include "skin/SurfaceLoader.h"

namespace {

const char kSkinClass[] = "SurfacesTestSkin";
const char kHostClass[] = "SurfacesTestHost";
const UINT kRunPosted = WM_APP + 7;

void RegisterClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    wc.lpszClassName = kSkinClass;
    RegisterClassA(&wc);
}

} // namespace

HDC SurfaceTestWindow::Screen()
{
    static HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return screen;
}

SurfaceTestWindow::SurfaceTestWindow(bool onTop) : m_onTop(onTop)
{
    RegisterClasses();
    m_host = CreateWindowExA(WS_EX_TOOLWINDOW, kHostClass, "host", WS_POPUP | WS_VISIBLE | WS_BORDER, 420, 260, 160,
                             240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kSkinClass, "skin", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
}

SurfaceTestWindow::~SurfaceTestWindow()
{
    StopCurrent();
    players.clear();
    surfaces.clear();
    DestroyWindow(m_hwnd);
    DestroyWindow(m_host);
}

bool SurfaceTestWindow::Load(const std::string& folder)
{
    StopCurrent();
    return LoadSurfaces(Screen(), folder, surfaces, players);
}

void SurfaceTestWindow::Show(int32_t n)
{
    if (!players.count(n)) n = 0;
    StopCurrent();
    m_current = players.at(n).get();
    m_current->Start(*this);
    // What the start dispatched may have dropped the players.
    if (m_current) m_current->Resume();
}

void SurfaceTestWindow::StopCurrent()
{
    if (m_current) m_current->Stop();
}

void SurfaceTestWindow::DropPlayers()
{
    m_current = nullptr;
    players.clear();
}

void SurfaceTestWindow::PostRun()
{
    PostMessageA(m_hwnd, kRunPosted, 0, 0);
}

void SurfaceTestWindow::Place()
{
    ++placements;
    if (onPlace) {
        const std::function<void()> once = std::move(onPlace);
        onPlace = nullptr;
        once();
    }
    if (!m_current) return;
    m_current->SetOrigin(originX, originY);
    SetWindowPos(m_hwnd, nullptr, m_current->WindowX(), m_current->WindowY(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

const SurfaceImage* SurfaceTestWindow::FindSurface(int32_t number) const
{
    if (GetCurrentThreadId() != m_uiThread) ++threadLookups;
    auto it = surfaces.find(number);
    return it == surfaces.end() ? nullptr : &it->second;
}

LRESULT CALLBACK SurfaceTestWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SurfaceTestWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_ERASEBKGND) return 1;
    if (message == kRunPosted && self && self->onPosted) {
        self->onPosted();
        return 0;
    }
    if (message == WM_PAINT && self) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetWindowRect(hwnd, &r);
        if (self->m_current) self->m_current->Paint(dc, r.right - r.left, r.bottom - r.top);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
