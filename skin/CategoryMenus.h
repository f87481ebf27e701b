#pragma once
// The skins of the catalogue grouped by category, as submenus appended to a
// menu: shared by the tray menu and every skin window's context menu. Item
// ids are 100 + catalogue index, item texts the skins' titles.
#include "framework/Menu.h"

class SkinCatalogue;

void BuildCategoryMenus(Menu& target, const SkinCatalogue& catalogue);
