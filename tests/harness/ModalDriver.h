#pragma once
// Drives a modal dialog or property sheet from a second thread, as a user
// would: it waits for the window, works its controls with the messages they
// get from mouse and keyboard, and presses its buttons. The test's own thread
// is meanwhile inside the modal loop, which handles those messages.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

class ModalDriver {
  public:
    // Runs 'script' on a new thread once a dialog captioned 'caption' (system
    // code page) is shown. Whatever the script does, the dialog is cancelled
    // afterwards if it is still open, so the test cannot hang.
    ModalDriver(std::string caption, std::function<void(ModalDriver&)> script);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Waits (up to a generous limit) for the visible top-level dialog of this
    // process with that caption; nullptr when it never came.
    HWND WaitForDialog(const char* caption, HWND except = nullptr);
    // The same without waiting.
    static HWND FindDialog(const char* caption, HWND except = nullptr);
    // Presses the dialog's OK button and answers every message box captioned
    // 'boxCaption' that appears until the dialog has gone; returns how many
    // appeared, with the static texts of the last one in 'texts'.
    int PressOkAnsweringBoxes(const char* boxCaption, std::vector<std::string>* texts);
    // Waits until 'window' is gone; false when it stayed.
    bool WaitUntilGone(HWND window);

    // The dialog (or sheet) and its items.
    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    // For a property sheet: the current page and its items.
    HWND Page() const;
    HWND PageItem(int id) const { return GetDlgItem(Page(), id); }

    // A click on a button (check box, push button), delivered and finished.
    static void Click(HWND button);
    // The same, posted: for a click whose handling opens a modal box.
    static void PostClick(HWND button);
    static void Key(HWND window, UINT key);
    static std::string Text(HWND window);
    // The texts of a dialog's static controls.
    static std::vector<std::string> StaticTexts(HWND dialog);

  private:
    std::string m_caption;
    HWND m_dialog = nullptr; // before the thread, which sets it
    std::thread m_thread;
};
