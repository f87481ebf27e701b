#pragma once
// A skin window's context menu: switch this skin (by category), or show its
// information. 'mainWindow' owns the menu unless the skin stays on top.
#include <windows.h>

class SkinWindow;
class SkinCatalogue;

// Opens the menu at the screen point (x, y), or at the window's centre when
// the point lies outside it (a menu asked for from the keyboard comes with
// (-1, -1)), and posts the chosen command, or 0, to the skin window.
void ShowSkinMenu(SkinWindow& skin, const SkinCatalogue& catalogue, HWND mainWindow, int x, int y);
