#pragma once
// The options sheet's one page ("標準設定", dialog resource 106): SSTP
// routing, the talk controller with its interval, and the transparency of
// the skin windows, previewed live on every skin window while the track bar moves.
#include <windows.h>

#include "app/Settings.h"
#include "app/SkinWindowList.h"
#include "framework/PropertyPage.h"

class OptionsPage : public PropertyPage {
  public:
    // 'settings' is changed in place: the opacity at once while the track bar
    // moves (restored by Cancel), the rest when the sheet is confirmed.
    OptionsPage(const DLGTEMPLATE* dialogTemplate, Settings& settings, const SkinWindowList& skins);

    BOOL OnInitDialog() override;
    void OnCommand(UINT id, UINT code) override;
    void OnHScroll(UINT code, int position, Window* scrollBar) override;
    BOOL OnApply() override;
    void OnReset() override;

    // Whether the user confirmed the sheet.
    bool Confirmed() const { return m_confirmed; }

  private:
    void EnableTalkControls(bool enable);
    void PreviewOpacity();
    // Removes the sheet's context-help button and centres it on the work area.
    void ArrangeSheet();

    Settings& m_settings;
    const SkinWindowList& m_skins;
    int m_openingAlphaValue;
    bool m_confirmed = false;
};
