#include "skin/CategoryMenus.h"

#include <string>
#include <vector>

#include "app/CategoryMenuLayout.h"
#include "skin/SkinCatalogue.h"

void BuildCategoryMenus(Menu& target, const SkinCatalogue& catalogue)
{
    std::vector<std::string> categories;
    categories.reserve(catalogue.Size());
    for (const SkinDefinition& skin : catalogue.Entries())
        categories.push_back(skin.category);
    for (const CategoryMenu& layout : CategoryMenuLayout::Build(categories)) {
        Menu submenu;
        if (!submenu.CreatePopup()) return;
        for (unsigned id : layout.commandIds) {
            const std::size_t index = id - CategoryMenuLayout::kFirstSkinCommand;
            submenu.Append(MF_STRING, id, catalogue[index].title.c_str());
        }
        // The target menu owns the submenu once it is appended.
        HMENU popup = submenu.Handle();
        if (target.Append(MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), layout.title.c_str()))
            submenu.Detach();
    }
}
