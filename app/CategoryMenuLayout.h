#pragma once
// What BuildCategoryMenus puts into a menu: the skins of the catalogue grouped
// by category, one submenu per category name, each listing its skins' command
// ids. The Windows side creates the submenus and items from this layout, with
// the catalogue entries' titles as item texts.
//
// A category text comes from a skin's "ostra.ini" and may hold anything.
#include <string>
#include <string_view>
#include <vector>

struct CategoryMenu {
    std::string title;                // the category name (Shift_JIS bytes)
    std::vector<unsigned> commandIds; // 100 + catalogue index, in catalogue order
};

class CategoryMenuLayout {
  public:
    static constexpr unsigned kFirstSkinCommand = 100;
    static const char* const kOther; // "その他", the category of skins that name none

    // The submenus for a catalogue whose entries have these category texts
    // (in catalogue order): every name that a text lists, in ascending byte
    // order, then "その他" unless a skin named it (then it keeps its sorted
    // place). Each entry is listed in every submenu that its text names, or
    // in "その他" when its text is empty.
    static std::vector<CategoryMenu> Build(const std::vector<std::string>& categoryTexts);

    // The names in a category text: split at every comma, empty pieces
    // dropped, blanks kept as part of the names.
    static std::vector<std::string_view> Split(std::string_view text);
};
