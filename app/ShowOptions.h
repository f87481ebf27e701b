#pragma once
// The options sheet ("オプション"), run modally over the main window.
#include <windows.h>

#include "app/Settings.h"
#include "app/SkinWindowList.h"

// Shows the sheet with its one page; the transparency is previewed on every
// window of 'skins' while the track bar moves and restored on Cancel. Returns
// whether the user confirmed it; the caller then saves the settings.
// FALSE, with nothing shown, when the page's template is missing.
bool ShowOptions(HWND owner, Settings& settings, const SkinWindowList& skins);
