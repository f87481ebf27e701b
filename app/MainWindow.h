#pragma once
// The program's hidden main window ("DLVOstraMainClass"): the hub between
// the hook inside the host programs and the skin windows. It keeps the skin
// table and publishes it in the shared block "Ostra", owns the
// notification-area icon and its commands, and runs the 100 ms timer (talk
// control, host discovery, the skins' liveness check, the battery and
// resource monitors).
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/BatteryMonitor.h"
#include "app/ResourceMonitor.h"
#include "app/Settings.h"
#include "app/SharedBlock.h"
#include "app/SkinTable.h"
#include "app/SkinWindowList.h"
#include "app/TickClock.h"
#include "framework/Window.h"
#include "skin/SkinOwner.h"
#include "talk/SstpRouter.h"

class SkinCatalogue;
class SkinWindow;
struct MonitorEvent;

class MainWindow : public Window, public SkinOwner, public SkinWindowList {
  public:
    static constexpr UINT kTrayIconId = 101;
    static constexpr UINT_PTR kTimerId = 101;
    static constexpr UINT kTimerPeriod = 100; // milliseconds

    // Command ids of the tray menu.
    static constexpr UINT kFirstSkinCommand = 100;
    static constexpr UINT kLastSkinCommand = 299;
    static constexpr UINT kExitCommand = 40001;
    static constexpr UINT kAboutCommand = 40006;
    static constexpr UINT kReloadCommand = 40011;
    static constexpr UINT kOptionsCommand = 40012;

    // The catalogue, settings and screen context belong to the application
    // and outlive the window.
    MainWindow(SkinCatalogue& catalogue, Settings& settings, HDC screen);
    ~MainWindow() override;

    // Registers the class and creates the window (never shown); false when
    // the creation failed (the hook could not be installed).
    bool Open(const std::string& title);

    // SkinOwner.
    const SkinCatalogue& Catalogue() const override { return m_catalogue; }
    BYTE Transparency() const override;
    HDC Screen() const override { return m_screen; }
    HWND DialogOwner() const override { return m_hwnd; }
    std::string SettingsFile() const override;
    void SkinChanged(SkinWindow& skin) override;
    void SkinDestroyed(SkinWindow& skin) override;

    // SkinWindowList: every skin window in table order.
    std::vector<HWND> SkinWindows() const override;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCreate(CREATESTRUCTA* create) override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    void OnCommand(UINT id, UINT code) override;
    void OnEnterIdle(UINT reason, Window* window) override;

  private:
    HWND Attach(HWND host);
    void Detach(HWND host);
    void CloseSkin(HWND skinWindow);
    void Publish();
    void TalkControl(DWORD now);
    void DiscoverHostsAndCheckSkins();
    void RunMonitors();
    void Raise(const MonitorEvent& event);
    void OnTrayNotify(UINT mouseMessage);
    void ShowAbout();
    void ShowOptionsSheet();

    SkinCatalogue& m_catalogue;
    Settings& m_settings;
    HDC m_screen;
    SkinTable m_table;
    std::map<HWND, SkinWindow*> m_skins; // skin window -> its object, while the window lives
    std::set<HWND> m_attaching;          // hosts whose skin window is being made
    SharedBlock m_block;
    TickClock m_talkClock;
    TickClock m_monitorClock;
    BatteryMonitor m_battery;
    ResourceMonitor m_resources;
    talk::SstpRouter m_router; // the SSTP relay, while routing is on
    UINT m_notifyMessage;
    bool m_busy = false;
    bool m_closing = false; // the window's destruction has begun: no new skins
    bool m_iconAdded = false;
    bool m_hookInstalled = false;
};
