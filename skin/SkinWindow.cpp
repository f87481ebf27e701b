#include "skin/SkinWindow.h"
#include "skin/SkinZOrder.h"

#include <cstdio>
#include <vector>

#include "app/DroppedSkin.h"
#include "framework/DeviceContext.h"
#include "framework/OsVersion.h"
#include "framework/WindowClass.h"
#include "pellow/HookMessages.h"
#include "selka/selka.h"
#include "skin/LayeredWindow.h"
#include "skin/Placement.h"
#include "skin/SkinCatalogue.h"
#include "skin/SkinInfoDialog.h"
#include "skin/SkinMenu.h"
#include "skin/SkinOwner.h"
#include "skin/SkinPath.h"
#include "talk/DirectSstpReceiver.h"

namespace {

const char kSender[] = "おすとら";
constexpr DWORD kHostTimeoutMs = 1000;
constexpr UINT kFirstSkinCommand = 100;
constexpr UINT kLastSkinCommand = 299;
constexpr UINT kSkinInfoCommand = 40006;
// Command 2 of a skin window asks the program to end: the main window's exit.
constexpr UINT kExitRequestCommand = 2;
constexpr UINT kMainExitCommand = 40001;

// Host notifications by WM_SKIN_EVENT code.
const char* const kSkinEventNames[] = {"OnOstraObjectCreate", "OnOstraObjectDestroy", "OnOstraObjectChanged",
                                       "OnOstraObjectChanging", "OnOstraObjectInstalled"};

// The move of a placement: position only, nothing else disturbed.
constexpr UINT kPlaceFlags =
    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
constexpr UINT kZOrderOnlyFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

// The host window's region box in its window coordinates; a host without a
// window region is its window rectangle.
placement::Box HostRegionBox(HWND host)
{
    placement::Box box;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT r{};
    if (region && GetWindowRgn(host, region) != ERROR && GetRgnBox(region, &r) != ERROR) {
        box = {r.left, r.top, r.right, r.bottom};
    } else if (GetWindowRect(host, &r)) {
        box = {0, 0, r.right - r.left, r.bottom - r.top};
    }
    if (region) DeleteObject(region);
    return box;
}

int g_liveSkins = 0;

bool PopupMenuShown()
{
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

} // namespace

BOOL SkinWindow::RegisterClass()
{
    return RegisterWindowClass(ostra::kSkinWindowClass, CS_OWNDC | CS_DBLCLKS, nullptr, nullptr,
                               LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

SkinWindow* SkinWindow::Open(SkinOwner& owner, HWND host, const char* caption)
{
    if (!RegisterClass()) return nullptr;
    SkinWindow* skin = new SkinWindow(owner, host);
    // Tool window: no taskbar button; on systems that know it (NT 5.0 and
    // later) no activation by a click, which would take the keyboard focus
    // from the user's work.
    DWORD exStyle = WS_EX_TOOLWINDOW;
    OSVERSIONINFOA version;
    if (QueryOsVersion(version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion > 4)
        exStyle |= WS_EX_NOACTIVATE;
    if (!skin->CreateEx(ostra::kSkinWindowClass, caption ? caption : "", WS_POPUP, exStyle, 0, 0, 1, 1, nullptr,
                        nullptr, nullptr) ||
        !skin->m_hwnd) {
        // The window is gone (or never was): the object is still ours.
        delete skin;
        return nullptr;
    }
    skin->m_selfOwned = true;
    bool alive = false;
    {
        // The placement may find the host gone and destroy the window; the
        // object must outlive this use of it.
        InUse use(*skin);
        SetWindowPos(skin->m_hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnlyFlags);
        skin->Place();
        alive = skin->Alive();
    }
    return alive ? skin : nullptr;
}

SkinWindow::SkinWindow(SkinOwner& owner, HWND host)
    : m_owner(owner), m_host(host), m_queryMessage(RegisterWindowMessageA(ostra::kHostQueryMessageName)),
      m_quibbetMessage(RegisterWindowMessageA(ostra::kQuibbetMessageName))
{
    ++g_liveSkins;
}

SkinWindow::~SkinWindow()
{
    UnloadSkin();
    --g_liveSkins;
}

void SkinWindow::Close()
{
    if (Alive()) DestroyWindow(m_hwnd);
}

int SkinWindow::LiveCount()
{
    return g_liveSkins;
}

LRESULT SkinWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case ostra::WM_SKIN_FOLLOW:
        // Answered at once: the host waits for this answer inside its own
        // window procedure, and the placement asks the host where its
        // character stands, round trips it would wait for too. The reports
        // of a burst of moves make one placement, which reads where the host
        // stands when it runs.
        if (m_placementPosted) break;
        if (PostMessageA(m_hwnd, ostra::WM_SKIN_PLACE, 0, 0))
            m_placementPosted = true;
        else
            Place();
        break;
    case ostra::WM_SKIN_PLACE:
        // Cleared first: a report that arrives while the placement queries
        // the host posts the next one, so the last move is never missed.
        m_placementPosted = false;
        if (Alive()) Place();
        break;
    case ostra::WM_SKIN_CHECK:
        OnZOrderCheck();
        break;
    case ostra::WM_SKIN_ZORDER:
        SetOstraZOrder(m_hwnd, m_host, m_definition.ontop, static_cast<UINT>(wParam));
        break;
    case ostra::WM_SKIN_EVENT:
        NotifyHost(wParam < 5 ? kSkinEventNames[wParam] : "");
        break;
    case ostra::kTitleRequest:
        result = AnswerStringRequest(m_definition.title, wParam, lParam);
        break;
    case ostra::kGhostRequest:
        result = AnswerStringRequest(m_definition.ghost, wParam, lParam);
        break;
    case ostra::kCategoryRequest:
        result = AnswerStringRequest(m_definition.category, wParam, lParam);
        break;
    case WM_DROPFILES: {
        // An archive dropped on the skin: installed as a new skin into the
        // catalogue's folder; the main window rescans on the reload command.
        const SkinDropTarget target{m_hwnd, m_host, m_owner.DialogOwner(), &m_module, &m_sentences,
                                    m_owner.Catalogue().Folder()};
        InstallDroppedSkin(reinterpret_cast<HDROP>(wParam), target);
        break;
    }
    case WM_COPYDATA:
        // A "SEND SSTP/1.1" request of another program: answered, then its
        // script is played on this skin (409 while a sentence plays).
        if (talk::ReceiveDirectSstp(m_hwnd, reinterpret_cast<HWND>(wParam),
                                    reinterpret_cast<const COPYDATASTRUCT*>(lParam), m_sentences.IsPlaying(),
                                    [this](const std::string& script) { m_sentences.PlaySentence(script); }))
            result = 1;
        else
            result = Window::WindowProc(message, wParam, lParam);
        break;
    default:
        if (message == m_quibbetMessage && m_quibbetMessage != 0) {
            HWND peer = reinterpret_cast<HWND>(lParam);
            if (!IsWindow(peer)) break;
            OnQuibbet(wParam, peer);
            if (!m_hwnd) break;
        }
        result = Window::WindowProc(message, wParam, lParam);
        break;
    }
    return result;
}

std::string SkinWindow::HostProgramKey() const
{
    // The hook inside the host writes the host's executable path into this
    // buffer of ours while the host handles the message.
    char path[ostra::kFileNameBufferSize] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(m_host, RegisterWindowMessageA(ostra::kFileNameMessageName), GetCurrentProcessId(),
                        reinterpret_cast<LPARAM>(path), SMTO_ABORTIFHUNG, kHostTimeoutMs, &ignored);
    path[sizeof path - 1] = '\0';
    if (!path[0]) return std::string();
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath) return std::string();
    return std::string(shortPath, length);
}

BOOL SkinWindow::OnCreate(CREATESTRUCTA*)
{
    SetWindowPos(m_hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnlyFlags);
    ostra::MakeLayered(m_hwnd);
    ostra::ApplyTransparency(m_hwnd, m_owner.Transparency());
    DragAcceptFiles(m_hwnd, TRUE);

    const SkinCatalogue& catalogue = m_owner.Catalogue();
    if (catalogue.Empty()) return FALSE;
    const std::string key = HostProgramKey();
    if (!Alive()) return FALSE;
    const std::string remembered = key.empty() ? std::string() : ReadSkinPathFrom(m_owner.SettingsFile(), key);
    m_definition = catalogue[catalogue.IndexForRememberedSkin(remembered)];
    if (!LoadSkin() || !Alive()) return FALSE;
    m_loadedOnce = true;

    ComeForward();
    if (!Alive()) return FALSE;
    ShowSurface(0);
    if (!Alive()) return FALSE;
    RaiseModuleEvent("OnOstraObjectCreate", true);
    return TRUE;
}

void SkinWindow::ComeForward()
{
    // The window comes forward once so that the system puts it among the
    // host's windows; the window the user was working in gets the foreground
    // back afterwards, so a host opening a character does not steal the
    // keyboard focus.
    HWND previous = GetForegroundWindow();
    SetForeground(true);
    BringToTop(true);
    Activate(true);
    SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetOstraZOrder(m_hwnd, m_host, m_definition.ontop, 0);
    SetWindowPos(m_hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (previous && previous != m_hwnd && IsWindow(previous)) {
        Window* other = Window::FromHandle(previous);
        if (other) other->SetForeground(true);
    }
}

bool SkinWindow::LoadSkin()
{
    m_module.LoadModule(m_definition.path, m_definition.module);
    SetPropA(m_hwnd, ostra::kSkinAboveProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(m_definition.ontop)));
    if (!m_loaded.Load(m_owner.Screen(), m_definition.path)) return false;
    m_currentSurface = 0;
    SetWindowTextA(m_hwnd, m_definition.title.c_str());
    return true;
}

void SkinWindow::UnloadSkin()
{
    // Sentences of the old skin stop; their surface numbers mean nothing now.
    m_sentences.StopAll();
    m_module.UnloadModule();
    m_loaded.Unload();
}

void SkinWindow::ShowSurface(int32_t n)
{
    // Public operations keep the object across the messages they dispatch,
    // whoever calls them.
    InUse use(*this);
    if (!Alive()) return;
    if (!m_loaded.Player(n)) n = 0;
    if (SurfacePlayer* current = m_loaded.Player(m_currentSurface)) current->Stop();
    // Stopping dispatches messages: the window may be gone, or a surface
    // change met on the way may already have started another player.
    if (!Alive()) return;
    m_currentSurface = n;
    SurfacePlayer* next = m_loaded.Player(n);
    if (!next) return;
    next->Start(*this);
    next->Resume();
}

const SurfaceImage* SkinWindow::FindSurface(int32_t number) const
{
    return m_loaded.Surface(number);
}

void SkinWindow::Place()
{
    if (m_placing || !m_hwnd) return;
    InUse use(*this);
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(m_placing);

    if (!IsWindow(m_host)) {
        DestroyWindow(m_hwnd);
        return;
    }
    const placement::HostQuery query = [this](int code, int index, int32_t& answer) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(m_host, m_queryMessage, static_cast<WPARAM>(code), static_cast<LPARAM>(index),
                                 SMTO_ABORTIFHUNG, kHostTimeoutMs, &result))
            return false;
        answer = static_cast<int32_t>(result);
        return true;
    };
    const placement::RegionBox box = [this] { return HostRegionBox(m_host); };
    const placement::Point anchor = placement::Anchor(m_definition.baseposition, query, box);
    // The queries dispatched messages: the host or this window may be gone.
    if (!m_hwnd) return;
    if (!IsWindow(m_host)) {
        DestroyWindow(m_hwnd);
        return;
    }
    RECT own{};
    GetWindowRect(m_hwnd, &own);
    const placement::Point topLeft =
        placement::TopLeft(anchor, own.right - own.left, own.bottom - own.top, m_definition.baseadjust);
    POINT onScreen{topLeft.x, topLeft.y};
    ClientToScreen(m_host, &onScreen);
    SurfacePlayer* player = m_loaded.Player(m_currentSurface);
    if (!player) return;
    player->SetOrigin(onScreen.x + m_definition.offsetx, onScreen.y + m_definition.offsety);
    // Placements at surface changes, and after host changes that did not
    // move the character, find the window where it stands: no move then.
    if (own.left == player->WindowX() && own.top == player->WindowY()) return;
    SetWindowPos(m_hwnd, nullptr, player->WindowX(), player->WindowY(), 0, 0, kPlaceFlags);
}

void SkinWindow::OnZOrderCheck()
{
    // Read first: a skin in place needs no look for open menus either.
    const skinzorder::Standing standing = skinzorder::StandingOf(m_hwnd, m_host, m_definition.ontop);
    if (standing == skinzorder::Standing::HostGone) {
        DestroyWindow(m_hwnd);
        return;
    }
    if (standing == skinzorder::Standing::InPlace) return;
    if (m_definition.ontop && (m_menuOpen || PopupMenuShown())) return;
    SetOstraZOrder(m_hwnd, m_host, m_definition.ontop, SWP_NOACTIVATE);
}

void SkinWindow::NotifyHost(const char* event)
{
    DSSTPNotify(m_hwnd, m_host, kSender, nullptr, event, m_definition.title.c_str(), m_definition.ghost.c_str(),
                m_definition.category.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
}

void SkinWindow::RaiseModuleEvent(const char* event, bool withHandle)
{
    const std::string title = m_definition.title;
    const std::string ghost = m_definition.ghost;
    const std::string category = m_definition.category;
    char handle[24];
    std::snprintf(handle, sizeof handle, "%d", static_cast<int>(reinterpret_cast<INT_PTR>(m_hwnd)));
    ModuleEvent moduleEvent = withHandle ? ModuleEvent(event, {std::string(handle), title, ghost, category})
                                         : ModuleEvent(event, {title, ghost, category});
    m_module.SendModuleEvent(moduleEvent, m_sentences);
}

void SkinWindow::SwitchTo(std::size_t index)
{
    InUse use(*this);
    const SkinCatalogue& catalogue = m_owner.Catalogue();
    if (index >= catalogue.Size() || !Alive()) return;
    NotifyHost("OnOstraObjectChanging");
    if (!Alive()) return;
    RaiseModuleEvent("OnOstraObjectDestroy", false);
    if (!Alive()) return;
    ShowWindow(m_hwnd, SW_HIDE);
    UnloadSkin();
    // The catalogue may have been rebuilt while the events ran.
    if (index >= m_owner.Catalogue().Size()) {
        DestroyWindow(m_hwnd);
        return;
    }
    m_definition = m_owner.Catalogue()[index];
    ReadSkinDefinition(m_definition);
    if (!LoadSkin()) {
        DestroyWindow(m_hwnd);
        return;
    }
    ShowSurface(0);
    if (!Alive()) return;
    NotifyHost("OnOstraObjectChanged");
    if (!Alive()) return;
    const std::string key = HostProgramKey();
    if (!key.empty()) WriteSkinPathTo(m_owner.SettingsFile(), key, m_definition.name);
    if (!Alive()) return;
    RaiseModuleEvent("OnOstraObjectCreate", true);
    if (Alive()) m_owner.SkinChanged(*this);
}

void SkinWindow::OnDestroy()
{
    m_destroying = true;
    if (m_loadedOnce) {
        NotifyHost("OnOstraObjectDestroy");
        RaiseModuleEvent("OnOstraObjectDestroy", false);
    }
    RemovePropA(m_hwnd, ostra::kSkinAboveProperty);
    UnloadSkin();
}

void SkinWindow::OnNcDestroy()
{
    m_destroying = true;
    Window::OnNcDestroy();
    if (!m_selfOwned) return;
    m_owner.SkinDestroyed(*this);
    // Every handler may dispatch messages (sends to the host, sentence waits,
    // player stops, menus, dialogs), and the detach that destroyed the window
    // may have arrived inside one: the object goes once the outermost returns.
    DeleteWhenIdle();
}

void SkinWindow::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    if (SurfacePlayer* player = m_loaded.Player(m_currentSurface))
        player->Paint(dc, r.right - r.left, r.bottom - r.top);
    EndPaint(m_hwnd, &ps);
}

BOOL SkinWindow::OnEraseBkgnd(DeviceContext*)
{
    // The back buffer covers the whole window.
    return TRUE;
}

void SkinWindow::OnActivate(UINT, Window*, BOOL)
{
    SetOstraZOrder(m_hwnd, m_host, m_definition.ontop, 0);
}

void SkinWindow::OnCommand(UINT id, UINT code)
{
    if (id >= kFirstSkinCommand && id <= kLastSkinCommand) {
        SwitchTo(id - kFirstSkinCommand);
    } else if (id == kSkinInfoCommand) {
        ShowInformation();
    } else if (id == kExitRequestCommand) {
        PostMessageA(m_owner.DialogOwner(), WM_COMMAND, kMainExitCommand, 0);
    } else {
        Window::OnCommand(id, code);
    }
}

void SkinWindow::OnContextMenu(Window*, int x, int y)
{
    if (Alive()) ShowSkinMenu(*this, m_owner.Catalogue(), m_owner.DialogOwner(), x, y);
}

LRESULT SkinWindow::AnswerStringRequest(const std::string& text, WPARAM process, LPARAM address)
{
    char buffer[ostra::kStringRequestSize] = {};
    lstrcpynA(buffer, text.c_str(), sizeof buffer);
    const DWORD asker = static_cast<DWORD>(process);
    if (asker == 0 || asker == GetCurrentProcessId()) {
        // An address in this process: only this thread's own sends may name
        // one. Another program that claimed to be us would have us write 200
        // bytes wherever it likes.
        if (InSendMessageEx(nullptr) != ISMEX_NOSEND) return 0;
        SIZE_T written = 0;
        return WriteProcessMemory(GetCurrentProcess(), reinterpret_cast<void*>(address), buffer, sizeof buffer,
                                  &written) &&
                       written == sizeof buffer
                   ? 1
                   : 0;
    }
    HANDLE other = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, asker);
    if (!other) return 0;
    SIZE_T written = 0;
    const BOOL ok = WriteProcessMemory(other, reinterpret_cast<void*>(address), buffer, sizeof buffer, &written);
    CloseHandle(other);
    return ok && written == sizeof buffer ? 1 : 0;
}

void SkinWindow::OnQuibbet(WPARAM kind, HWND peer)
{
    // The peer writes each answer into our buffer while it handles the request.
    std::string answers[4];
    const UINT requests[4] = {ostra::kTitleRequest, ostra::kGhostRequest, ostra::kCategoryRequest,
                              ostra::kQuibbetExtraRequest};
    for (int i = 0; i < 4; ++i) {
        char buffer[ostra::kStringRequestSize] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(peer, requests[i], GetCurrentProcessId(), reinterpret_cast<LPARAM>(buffer),
                            SMTO_ABORTIFHUNG, kHostTimeoutMs, &ignored);
        buffer[sizeof buffer - 1] = '\0';
        answers[i] = buffer;
        if (!Alive()) return;
    }
    const char* event = kind == 1   ? "OnQuibbetObjectHit"
                        : kind == 2 ? "OnQuibbetObjectDrop"
                        : kind == 3 ? "OnQuibbetObjectVanish"
                        : kind == 4 ? "OnQuibbetObjectDodge"
                                    : "OnQuibbetObjectEmerge";
    m_module.SendModuleEvent(ModuleEvent(event, {answers[0], answers[1], answers[2], answers[3]}), m_sentences);
}

void SkinWindow::RaiseMouseEvent(const char* event, int x, int y)
{
    if (!Alive()) return;
    m_module.SendModuleEvent(ModuleEvent(event, {std::to_string(x), std::to_string(y)}), m_sentences);
}

void SkinWindow::OnMouseMove(UINT, int x, int y)
{
    RaiseMouseEvent("OnMouseMove", x, y);
}

void SkinWindow::OnLButtonDown(UINT, int x, int y)
{
    RaiseMouseEvent("OnMouseClick", x, y);
}

void SkinWindow::OnLButtonDblClk(UINT, int x, int y)
{
    RaiseMouseEvent("OnMouseDoubleClick", x, y);
}

BOOL SkinWindow::OnMouseWheel(UINT, short delta, int x, int y)
{
    if (Alive())
        m_module.SendModuleEvent(
            ModuleEvent("OnMouseWheel", {std::to_string(x), std::to_string(y), std::to_string(delta)}), m_sentences);
    return TRUE;
}

void SkinWindow::ShowInformation()
{
    // Owned by the main window, not this one: a detach that destroys this
    // window during the modal loop leaves the dialog to the user, and the
    // object waits for the loop (this handler) to end.
    SkinInfoDialog dialog(m_definition.path);
    dialog.Run(m_owner.DialogOwner());
}
