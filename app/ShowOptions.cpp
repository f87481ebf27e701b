#include "app/ShowOptions.h"

#include <commctrl.h>

#include "app/OptionsPage.h"
#include "app/OptionsResource.h"
#include "framework/Application.h"
#include "framework/DialogResource.h"
#include "framework/PropertySheet.h"
#include "framework/SpinEdit.h"

namespace {

constexpr char kSheetCaption[] = "オプション";

} // namespace

bool ShowOptions(HWND owner, Settings& settings, const SkinWindowList& skins)
{
    Application* app = Application::Get();
    HINSTANCE instance = app ? app->Instance() : GetModuleHandleA(nullptr);
    RegisterSpinEditClass(instance);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);

    // The page's template is linked into the module that holds this code.
    const DLGTEMPLATE* page = FindDialogTemplate(ModuleOf(reinterpret_cast<const void*>(&ShowOptions)), IDD_OPTIONS);
    if (!page) return false;
    OptionsPage options(page, settings, skins);
    PropertySheet sheet(kSheetCaption, owner);
    sheet.AddPage(&options);
    sheet.DoModal(0);
    return options.Confirmed();
}
