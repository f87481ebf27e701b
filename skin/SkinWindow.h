#pragma once
// The window that shows one skin beside one host character window: it
// chooses and loads its skin, shows its surfaces, places itself by the
// skin's anchor rules, follows the host window, keeps its z-order beside it,
// switches or drops its skin, and reports the skin's life to the host (Direct
// SSTP) and to the skin's script module.
//
// Lifetime: SkinWindow::Open makes the object and its window. The object
// belongs to its window: it deletes itself once the window is destroyed and
// none of its handlers runs any more (a detach may arrive while it waits in
// a sentence, a send, a menu or a dialog). Its owner is told when the window
// goes (SkinOwner::SkinDestroyed) and ends it with Close.
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Window.h"
#include "skin/LoadedSkin.h"
#include "skin/PlayerWindow.h"
#include "skin/SkinDefinition.h"
#include "talk/ScriptModule.h"
#include "talk/SentencePlayer.h"
#include "talk/SentenceTarget.h"

class SkinOwner;

class SkinWindow : public Window, public PlayerWindow, public SentenceTarget {
  public:
    // Registers the window class "DLVOstraClass" once per process.
    static BOOL RegisterClass();
    // Makes the skin window for 'host' (the creation handler chooses and
    // loads the skin), makes it not topmost and places it; null when the
    // skin could not be loaded. User-interface thread.
    // 'caption' is the window's text until the skin's title replaces it
    // (the program passes its application title).
    static SkinWindow* Open(SkinOwner& owner, HWND host, const char* caption = "");

    // Skin objects not yet deleted (a program waits for none before it ends).
    static int LiveCount();

    // Destroys the window (its destruction notifies host and module), once:
    // a second detach that arrives while those notifications dispatch
    // messages finds the window already on its way out.
    void Close();

    // Shows surface n (surface 0 when the skin has none of that number).
    void ShowSurface(int32_t n) override;
    // Switches to catalogue entry 'index'; a failed load destroys the window.
    void SwitchTo(std::size_t index);

    // PlayerWindow.
    HWND Handle() const override { return m_hwnd; }
    void Place() override;
    const SurfaceImage* FindSurface(int32_t number) const override;
    HWND Host() const override { return m_host; }
    bool OnTop() const override { return m_definition.ontop; }

    // SentenceTarget.
    HWND SentenceWindow() const override { return m_hwnd; }

    const SkinDefinition& Definition() const { return m_definition; }
    int32_t CurrentSurface() const { return m_currentSurface; }
    SurfacePlayer* CurrentPlayer() const { return m_loaded.Player(m_currentSurface); }
    ScriptModule& Module() { return m_module; }
    SentencePlayer& Sentences() { return m_sentences; }
    // Set by the context menu while it is shown: the z-order check leaves
    // the window alone then.
    void SetMenuOpen(bool open) { m_menuOpen = open; }

    // The host's program file as the hook reports it, in its short form
    // ("" when the host does not answer).
    std::string HostProgramKey() const;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCreate(CREATESTRUCTA* create) override;
    void OnDestroy() override;
    void OnNcDestroy() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(DeviceContext* dc) override;
    void OnActivate(UINT state, Window* other, BOOL minimized) override;
    void OnCommand(UINT id, UINT code) override;
    // The skin menu (skin/SkinMenu.h).
    void OnContextMenu(Window* window, int x, int y) override;
    // The mouse becomes module events and goes no further.
    void OnMouseMove(UINT keys, int x, int y) override;
    void OnLButtonDown(UINT keys, int x, int y) override;
    void OnLButtonDblClk(UINT keys, int x, int y) override;
    BOOL OnMouseWheel(UINT keys, short delta, int x, int y) override;

  private:
    SkinWindow(SkinOwner& owner, HWND host);
    ~SkinWindow() override;

    void OnZOrderCheck();
    // The title, ghost and category requests of other programs (wParam the
    // asking process, lParam the address of its 200-byte buffer); 1 when
    // the text was written.
    LRESULT AnswerStringRequest(const std::string& text, WPARAM process, LPARAM address);
    // The peer program's event: its four answers become the references.
    void OnQuibbet(WPARAM kind, HWND peer);
    void RaiseMouseEvent(const char* event, int x, int y);
    void NotifyHost(const char* event);
    void RaiseModuleEvent(const char* event, bool withHandle);
    bool LoadSkin();
    void UnloadSkin();
    void ComeForward();
    void ShowInformation();
    // False once the window is being destroyed: handlers that ran code which
    // dispatches messages check it before they go on.
    bool Alive() const { return m_hwnd != nullptr && !m_destroying; }

    SkinOwner& m_owner;
    HWND m_host;
    SkinDefinition m_definition;
    LoadedSkin m_loaded;
    ScriptModule m_module;
    SentencePlayer m_sentences{*this};
    int32_t m_currentSurface = 0;
    bool m_menuOpen = false;
    bool m_placing = false;
    bool m_placementPosted = false; // a WM_SKIN_PLACE is on its way to this window
    bool m_loadedOnce = false;
    bool m_destroying = false;
    bool m_selfOwned = false; // set once Open has handed the object to its window
    UINT m_queryMessage;
    UINT m_quibbetMessage;
};
