// Any bytes as the category texts of a catalogue (one text per line): the
// layout must hold together whatever a skin's "ostra.ini" says.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/CategoryMenuLayout.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> texts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            texts.emplace_back();
        else
            texts.back().push_back(static_cast<char>(data[i]));
    }
    const std::vector<CategoryMenu> menus = CategoryMenuLayout::Build(texts);
    const std::string other = CategoryMenuLayout::kOther;

    // Titles: not empty, no comma, each once, "その他" present, and ascending
    // byte order except for an "その他" appended at the end.
    bool named = false;
    for (const std::string& text : texts)
        for (const auto& piece : CategoryMenuLayout::Split(text))
            named = named || piece == other;
    Require(!menus.empty());
    if (!named) Require(menus.back().title == other);
    const size_t sorted = named ? menus.size() : menus.size() - 1;
    std::map<std::string, const CategoryMenu*> byTitle;
    for (size_t i = 0; i < menus.size(); ++i) {
        Require(!menus[i].title.empty() && menus[i].title.find(',') == std::string::npos);
        if (i > 0 && i < sorted) Require(menus[i - 1].title < menus[i].title);
        Require(byTitle.emplace(menus[i].title, &menus[i]).second);
    }
    Require(byTitle.count(other) == 1);

    // Items: the ids of existing entries, ascending within a submenu, each
    // entry in the submenu of each name it lists.
    for (const CategoryMenu& menu : menus) {
        for (size_t k = 0; k < menu.commandIds.size(); ++k) {
            const unsigned id = menu.commandIds[k];
            Require(id >= 100 && id - 100 < texts.size());
            if (k > 0) Require(menu.commandIds[k - 1] < id);
        }
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        for (const auto& piece : CategoryMenuLayout::Split(texts[i].empty() ? other : texts[i])) {
            auto menu = byTitle.find(std::string(piece));
            Require(menu != byTitle.end());
            const std::vector<unsigned>& ids = menu->second->commandIds;
            Require(std::binary_search(ids.begin(), ids.end(), static_cast<unsigned>(100 + i)));
        }
    }
    return 0;
}
