#pragma once
// The skin information dialog ("スキンの情報", dialog resource 116): shows
// the skin's "profile.txt" as it stands, in the system code page, in a
// read-only field. A skin without one shows an empty field.
#include <windows.h>

#include <cstddef>
#include <string>

#include "framework/Dialog.h"

class SkinInfoDialog : public Dialog {
  public:
    // At most this much of "profile.txt" is shown, so a huge file cannot
    // exhaust memory (an edit control shows far less anyway).
    static constexpr std::size_t kMaxProfileBytes = 1024 * 1024;

    // 'skinFolder': the skin's folder, without a trailing backslash.
    explicit SkinInfoDialog(std::string skinFolder);

    // Runs the dialog modally, centred over 'owner' (over the work area
    // without one); returns IDOK, IDCANCEL when it was closed, or 0 when the
    // dialog's template is missing.
    INT_PTR Run(HWND owner);

    BOOL OnInitDialog() override;

  private:
    // The text of "profile.txt", cut to kMaxProfileBytes at a character
    // boundary; "" when the file is missing or unreadable.
    std::string ReadProfile() const;
    void CentreOverOwner();

    std::string m_folder;
};
