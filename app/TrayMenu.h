#pragma once
// The notification-area icon's menu: switch all skins at once (by
// category), reload the skins, options, version information, exit. The
// chosen command reaches the main window as WM_COMMAND.
class Window;
class SkinCatalogue;

void ShowTrayMenu(Window& mainWindow, const SkinCatalogue& catalogue);
