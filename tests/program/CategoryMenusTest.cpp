// The category submenus of the tray and skin menus, built as real menus from
// a catalogue scanned from real skin folders.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Menu.h"
#include "harness/TestEnv.h"
#include "skin/CategoryMenus.h"
#include "skin/SkinCatalogue.h"

namespace {

struct Item {
    std::string text;
    UINT id;
};

std::string TextAt(HMENU menu, int position)
{
    char text[100] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

std::vector<Item> ItemsOf(HMENU menu)
{
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        items.push_back({TextAt(menu, i), GetMenuItemID(menu, i)});
    return items;
}

bool operator==(const Item& a, const Item& b)
{
    return a.text == b.text && a.id == b.id;
}

void PrintTo(const Item& item, std::ostream* os)
{
    *os << item.text << "=" << item.id;
}

// A skin folder with the sample frog's base picture and this definition.
void MakeSkin(const std::string& root, const std::string& name, const std::string& ini)
{
    const std::string folder = testenv::Join(root, name);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string picture = testenv::Join(testenv::Join(testenv::BinDir(), "skin\\kaeru"), "surface0.png");
    ASSERT_TRUE(CopyFileA(picture.c_str(), testenv::Join(folder, "surface0.png").c_str(), FALSE));
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "ostra.ini"), "[OSTRA]\r\n" + ini));
}

TEST(CategoryMenusTest, SkinsAreGroupedByCategoryInByteOrderWithOtherLast)
{
    const std::string root = testenv::FreshDir("grouped");
    // Catalogue order is the folders' byte order: s1, s2, s3, s4.
    ASSERT_NO_FATAL_FAILURE(MakeSkin(root, "s1", "title=One\r\ncategory=b,a\r\n"));
    ASSERT_NO_FATAL_FAILURE(MakeSkin(root, "s2", "title=Two\r\ncategory=a\r\n"));
    ASSERT_NO_FATAL_FAILURE(MakeSkin(root, "s3", "title=Three\r\ncategory=\r\n"));
    ASSERT_NO_FATAL_FAILURE(MakeSkin(root, "s4", "title=Fo&ur\r\ncategory=その他,,\r\n"));
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    ASSERT_EQ(catalogue.Size(), 4u);

    Menu menu;
    ASSERT_TRUE(menu.CreatePopup());
    BuildCategoryMenus(menu, catalogue);
    const HMENU m = menu.Handle();
    ASSERT_EQ(GetMenuItemCount(m), 3);
    EXPECT_EQ(TextAt(m, 0), "a");
    EXPECT_EQ(TextAt(m, 1), "b");
    EXPECT_EQ(TextAt(m, 2), "その他");
    EXPECT_EQ(ItemsOf(GetSubMenu(m, 0)), (std::vector<Item>{{"One", 100}, {"Two", 101}}));
    EXPECT_EQ(ItemsOf(GetSubMenu(m, 1)), (std::vector<Item>{{"One", 100}}));
    // A skin that names "その他" itself shares the one submenu; the ampersand
    // of its title stays a mnemonic.
    EXPECT_EQ(ItemsOf(GetSubMenu(m, 2)), (std::vector<Item>{{"Three", 102}, {"Fo&ur", 103}}));
}

TEST(CategoryMenusTest, OneSkinWithoutCategoryGoesUnderOther)
{
    const std::string root = testenv::FreshDir("single");
    ASSERT_NO_FATAL_FAILURE(MakeSkin(root, "only", "title=Only\r\n"));
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    Menu menu;
    ASSERT_TRUE(menu.CreatePopup());
    BuildCategoryMenus(menu, catalogue);
    ASSERT_EQ(GetMenuItemCount(menu.Handle()), 1);
    EXPECT_EQ(TextAt(menu.Handle(), 0), "その他");
    EXPECT_EQ(ItemsOf(GetSubMenu(menu.Handle(), 0)), (std::vector<Item>{{"Only", 100}}));
}

} // namespace
