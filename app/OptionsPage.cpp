#include "app/OptionsPage.h"

#include <commctrl.h>

#include "app/OptionsResource.h"
#include "framework/Application.h"
#include "framework/SpinEdit.h"
#include "skin/LayeredWindow.h"

namespace {

constexpr char kRestartNotice[] =
    "SSTPルーティング機能の設定の変更を有効にするためには、おすとらを再起動してください。";
constexpr int kIntervalMinimum = 1;
constexpr int kIntervalMaximum = 9999;

} // namespace

OptionsPage::OptionsPage(const DLGTEMPLATE* dialogTemplate, Settings& settings, const SkinWindowList& skins)
    : PropertyPage(dialogTemplate, nullptr), m_settings(settings), m_skins(skins),
      m_openingAlphaValue(settings.AlphaValue)
{
}

BOOL OptionsPage::OnInitDialog()
{
    HWND page = Handle();
    m_openingAlphaValue = m_settings.AlphaValue;

    HWND track = GetDlgItem(page, IDC_OPTIONS_TRACK);
    SendMessageA(track, TBM_SETRANGE, TRUE, MAKELPARAM(transparency::kTrackMinimum, transparency::kTrackMaximum));
    SendMessageA(track, TBM_SETTICFREQ, 10, 0);
    int position = transparency::TrackPosition(m_settings.AlphaValue);
    SendMessageA(track, TBM_SETPOS, TRUE, position);
    SetDlgItemInt(page, IDC_OPTIONS_TRACK_VALUE, static_cast<UINT>(position), FALSE);

    if (!ostra::LayeredWindowsSupported()) {
        for (int id : {IDC_OPTIONS_TRANSPARENCY, IDC_OPTIONS_TRACK, IDC_OPTIONS_TRACK_VALUE, IDC_OPTIONS_TRACK_LOW,
                       IDC_OPTIONS_TRACK_HIGH})
            EnableWindow(GetDlgItem(page, id), FALSE);
    }

    CheckDlgButton(page, IDC_OPTIONS_ROUTING, m_settings.SSTPRouting ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_OPTIONS_TALK, m_settings.TalkControl ? BST_CHECKED : BST_UNCHECKED);
    EnableTalkControls(m_settings.TalkControl);

    HWND interval = GetDlgItem(page, IDC_OPTIONS_INTERVAL);
    SpinEdit_SetRange(interval, kIntervalMinimum, kIntervalMaximum);
    SpinEdit_SetPos(interval, m_settings.TalkControlInterval);

    ArrangeSheet();
    return TRUE;
}

void OptionsPage::ArrangeSheet()
{
    HWND sheet = GetParent(Handle());
    if (!sheet) return;
    LONG_PTR exStyle = GetWindowLongPtrA(sheet, GWL_EXSTYLE);
    if (exStyle & WS_EX_CONTEXTHELP) {
        SetWindowLongPtrA(sheet, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
        SetWindowPos(sheet, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    RECT area, frame;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0) || !GetWindowRect(sheet, &frame)) return;
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(sheet, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionsPage::EnableTalkControls(bool enable)
{
    for (int id : {IDC_OPTIONS_FREQUENCY, IDC_OPTIONS_SECONDS, IDC_OPTIONS_INTERVAL})
        EnableWindow(GetDlgItem(Handle(), id), enable ? TRUE : FALSE);
}

void OptionsPage::OnCommand(UINT id, UINT code)
{
    if (id == IDC_OPTIONS_TALK && code == BN_CLICKED)
        EnableTalkControls(IsDlgButtonChecked(Handle(), IDC_OPTIONS_TALK) == BST_CHECKED);
    PropertyPage::OnCommand(id, code);
}

void OptionsPage::OnHScroll(UINT, int, Window* scrollBar)
{
    HWND track = GetDlgItem(Handle(), IDC_OPTIONS_TRACK);
    if (!scrollBar || scrollBar->Handle() != track) return;
    int position = static_cast<int>(SendMessageA(track, TBM_GETPOS, 0, 0));
    SetDlgItemInt(Handle(), IDC_OPTIONS_TRACK_VALUE, static_cast<UINT>(position), FALSE);
    m_settings.AlphaValue = transparency::AlphaValueAt(position);
    PreviewOpacity();
}

void OptionsPage::PreviewOpacity()
{
    BYTE percent = transparency::OpacityPercent(m_settings.AlphaValue);
    for (HWND skin : m_skins.SkinWindows())
        ostra::ApplyTransparency(skin, percent);
}

BOOL OptionsPage::OnApply()
{
    HWND page = Handle();
    m_settings.TalkControl = IsDlgButtonChecked(page, IDC_OPTIONS_TALK) == BST_CHECKED;
    m_settings.TalkControlInterval = SpinEdit_GetPos(GetDlgItem(page, IDC_OPTIONS_INTERVAL));
    bool routing = IsDlgButtonChecked(page, IDC_OPTIONS_ROUTING) == BST_CHECKED;
    if (routing != m_settings.SSTPRouting) {
        // Owned by the sheet, so the sheet cannot be confirmed a second time
        // while the notice is up.
        Application* app = Application::Get();
        MessageBoxA(GetParent(page), kRestartNotice, app ? app->Name().c_str() : "", MB_ICONINFORMATION);
        m_settings.SSTPRouting = routing;
    }
    m_confirmed = true;
    return TRUE;
}

void OptionsPage::OnReset()
{
    m_settings.AlphaValue = m_openingAlphaValue;
    PreviewOpacity();
}
