#include "skin/SkinInfoDialog.h"

#include <utility>
#include <vector>

#include "framework/DbcsPath.h"
#include "framework/DialogResource.h"
#include "framework/KernelHandle.h"
#include "framework/ModulePath.h"
#include "skin/SkinInfoResource.h"

SkinInfoDialog::SkinInfoDialog(std::string skinFolder) : m_folder(std::move(skinFolder)) {}

INT_PTR SkinInfoDialog::Run(HWND owner)
{
    // The template is linked into the module that holds this code.
    const DLGTEMPLATE* found =
        FindDialogTemplate(ModuleOf(reinterpret_cast<const void*>(&kMaxProfileBytes)), IDD_SKIN_INFO);
    if (!found) return 0;
    SetTemplate(found);
    SetOwner(owner);
    return DoModal(0);
}

std::string SkinInfoDialog::ReadProfile() const
{
    std::string path = m_folder + "\\profile.txt";
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0) return std::string();
    bool longer = size.QuadPart > static_cast<LONGLONG>(kMaxProfileBytes);
    std::size_t wanted = longer ? kMaxProfileBytes : static_cast<std::size_t>(size.QuadPart);
    std::vector<char> bytes(wanted);
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(wanted), &read, nullptr)) return std::string();
    std::string text(bytes.data(), read);
    // A cut file must not end in the first half of a double-byte character.
    if (longer) text = dbcs::Truncate(text, kMaxProfileBytes, modulepath::IsSystemLeadByte);
    // The edit control's text ends at the first zero byte, as the file's would.
    return text.substr(0, text.find('\0'));
}

BOOL SkinInfoDialog::OnInitDialog()
{
    HWND edit = GetDlgItem(Handle(), IDC_SKIN_INFO_TEXT);
    SetWindowTextA(edit, ReadProfile().c_str());
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    CentreOverOwner();
    return TRUE;
}

void SkinInfoDialog::CentreOverOwner()
{
    RECT over, frame;
    if (!GetWindowRect(Handle(), &frame)) return;
    HWND owner = Owner();
    if (!owner || !GetWindowRect(owner, &over)) {
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &over, 0)) return;
    }
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = over.left + (over.right - over.left - width) / 2;
    int top = over.top + (over.bottom - over.top - height) / 2;
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
