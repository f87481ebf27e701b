// The category submenus of the tray and skin menus, from the catalogue's
// category texts. "その他" is spelt in Shift_JIS bytes (0x82BB 0x82CC 0x91BC).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CategoryMenuLayout.h"

namespace {

const std::string kOther = "\x82\xBB\x82\xCC\x91\xBC";

struct Menu {
    std::string title;
    std::vector<unsigned> ids;
};

void ExpectMenus(const std::vector<std::string>& categories, const std::vector<Menu>& expected)
{
    const std::vector<CategoryMenu> menus = CategoryMenuLayout::Build(categories);
    ASSERT_EQ(menus.size(), expected.size());
    for (size_t i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i].title, expected[i].title) << "submenu " << i;
        EXPECT_EQ(menus[i].commandIds, expected[i].ids) << "submenu " << i << " " << expected[i].title;
    }
}

} // namespace

TEST(CategoryMenuLayout, TwoCategoriesAndOneSkinWithout)
{
    EXPECT_EQ(std::string(CategoryMenuLayout::kOther), kOther);
    // "b,a", "a" and "": a, b, その他; the first skin under both a and b.
    ExpectMenus({"b,a", "a", ""}, {{"a", {100, 101}}, {"b", {100}}, {kOther, {102}}});
}

TEST(CategoryMenuLayout, AnOtherCategoryNamedByASkinKeepsItsSortedPlace)
{
    // "表" (0x95 0x5C) sorts after "その他" (0x82 ...): the named その他 is not
    // moved to the end and not doubled; the skin without category joins it.
    ExpectMenus({kOther + ",\x95\x5C", "", "z"}, {{"z", {102}}, {kOther, {100, 101}}, {"\x95\x5C", {100}}});
    // Nobody names it and every skin has a category: it is still there, empty.
    ExpectMenus({"a"}, {{"a", {100}}, {kOther, {}}});
    // An empty catalogue has just the empty その他.
    ExpectMenus({}, {{kOther, {}}});
}

TEST(CategoryMenuLayout, NamesSortByUnsignedBytes)
{
    // Upper case, "_" (0x5F), lower case, then Shift_JIS and half-width
    // katakana; with signed chars the last two would come first.
    ExpectMenus({"\xB1", "z", "\x83\x4C", "_", "Z"},
                {{"Z", {104}}, {"_", {103}}, {"z", {101}}, {"\x83\x4C", {102}}, {"\xB1", {100}}, {kOther, {}}});
}

TEST(CategoryMenuLayout, EmptyPiecesBlanksAndRepeats)
{
    // Blanks belong to the names (" b" is not "b"), doubled and trailing
    // commas count for nothing, a name given twice lists the skin once.
    ExpectMenus({"a, b", ",,a,,", "a,a", " b", "b"},
                {{" b", {100, 103}}, {"a", {100, 101, 102}}, {"b", {104}}, {kOther, {}}});
    // A text of commas only is not empty, so it is not "その他" either: that
    // skin is in no submenu. A 0x5C trail byte stays inside its name.
    ExpectMenus({",", "", "\x83\x5C,\x95\x5C"}, {{"\x83\x5C", {102}}, {"\x95\x5C", {102}}, {kOther, {101}}});
}
