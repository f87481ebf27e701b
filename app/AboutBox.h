#pragma once
// The version information box: a modal dialog built from a template in
// memory, 280 by 150 pixels of client area, showing a picture the program
// paints (a 1 ms timer drives it), "Phase" with the program's file version,
// a link to the maker's page and an OK button. It blends in over 400 ms
// where the system can animate windows, and fades out over 200 ms on the
// NT line.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"

class AboutBox : public Dialog {
  public:
    static constexpr int kClientWidth = 280;
    static constexpr int kClientHeight = 150;
    static constexpr int kLinkId = 1001;

    AboutBox();
    ~AboutBox() override;

    // Runs the box modally over 'owner'.
    void Run(HWND owner);

    // The text "Phase %s" with the "FileVersion" of the program's own
    // version resource, in its first language and code page; "?.??" when
    // it has none.
    static std::string PhaseText();

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(UINT id, UINT code) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    BOOL OnSetCursor(Window* window, UINT hitTest, UINT mouseMessage) override;
    void OnDestroy() override;

  private:
    void Close(INT_PTR result);
    void PaintPicture(HDC dc) const;

    std::vector<WORD> m_templateWords; // the DLGTEMPLATE, built in memory
    HFONT m_font = nullptr;
    unsigned m_phase = 0; // step of the picture's animation
    bool m_closing = false;
};
