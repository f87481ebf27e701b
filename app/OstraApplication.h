#pragma once
// The program's application object: start-up in the order the program
// depends on (sockets, the link control, the title, the settings, one
// instance only, the screen context, the skin catalogue, the window
// classes, the hidden main window) and the clean-up at exit.
#include <windows.h>

#include <memory>

#include "app/MainWindow.h"
#include "app/Settings.h"
#include "framework/Application.h"
#include "skin/SkinCatalogue.h"

class OstraApplication : public Application {
  public:
    // The caption of every window and message box of the program and the
    // tip of its icon: the product's name and the host program's.
    static constexpr char kTitle[] = "おすとら for SSP";
    static constexpr char kMutexName[] = "ostra";

    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    bool m_socketsStarted = false;
    HDC m_screen = nullptr;
    Settings m_settings;
    SkinCatalogue m_catalogue;
    std::unique_ptr<::MainWindow> m_window;
};
