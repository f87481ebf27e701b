#include "app/CategoryMenuLayout.h"

#include <algorithm>

const char* const CategoryMenuLayout::kOther = "その他";

std::vector<std::string_view> CategoryMenuLayout::Split(std::string_view text)
{
    // A comma is one byte that no Shift_JIS trail byte can be (trail bytes
    // start at 0x40), so a plain byte scan is safe for double-byte names.
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        if (comma > start) pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return pieces;
}

std::vector<CategoryMenu> CategoryMenuLayout::Build(const std::vector<std::string>& categoryTexts)
{
    std::vector<std::string> names;
    for (const std::string& text : categoryTexts)
        for (std::string_view piece : Split(text))
            if (std::find(names.begin(), names.end(), piece) == names.end()) names.emplace_back(piece);

    // std::string compares through char_traits<char>, which compares bytes as
    // unsigned char: Shift_JIS names sort after ASCII ones.
    std::sort(names.begin(), names.end());
    if (std::find(names.begin(), names.end(), kOther) == names.end()) names.emplace_back(kOther);

    std::vector<CategoryMenu> menus;
    menus.reserve(names.size());
    for (std::string& name : names)
        menus.push_back({std::move(name), {}});

    for (size_t i = 0; i < categoryTexts.size(); ++i) {
        const std::string& text = categoryTexts[i];
        const std::vector<std::string_view> pieces = Split(text.empty() ? std::string_view(kOther) : text);
        for (CategoryMenu& menu : menus)
            if (std::find(pieces.begin(), pieces.end(), menu.title) != pieces.end())
                menu.commandIds.push_back(kFirstSkinCommand + static_cast<unsigned>(i));
    }
    return menus;
}
