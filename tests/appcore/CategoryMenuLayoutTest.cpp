// The category submenus of the tray and skin menus, from the catalogue's
// category texts. "その他" is spelt in Shift_JIS bytes (0x82BB 0x82CC 0x91BC).
#include <string>
#include <string_view>
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
    // skin is in no submenu.
    ExpectMenus({",", ""}, {{kOther, {101}}});
}

TEST(CategoryMenuLayout, EveryEntryGetsItsIdBeyondTheAcceptedRange)
{
    // Entries from index 200 on carry ids above 299, which no handler accepts.
    std::vector<std::string> categories(205);
    const std::vector<CategoryMenu> menus = CategoryMenuLayout::Build(categories);
    ASSERT_EQ(menus.size(), 1u);
    ASSERT_EQ(menus[0].commandIds.size(), 205u);
    EXPECT_EQ(menus[0].commandIds.front(), 100u);
    EXPECT_EQ(menus[0].commandIds[199], 299u);
    EXPECT_EQ(menus[0].commandIds.back(), 304u);
}

TEST(CategoryMenuLayout, SplitCases)
{
    struct Case {
        std::string_view text;
        std::vector<std::string_view> pieces;
    } cases[] = {
        {"", {}},
        {",", {}},
        {",,", {}},
        {"a", {"a"}},
        {"a,,b,", {"a", "b"}},
        {",a", {"a"}},
        {" , ", {" ", " "}},
        {"\x83\x5C,\x95\x5C", {"\x83\x5C", "\x95\x5C"}}, // ソ,表: trail bytes 0x5C stay inside their names
    };
    for (const Case& c : cases)
        EXPECT_EQ(CategoryMenuLayout::Split(c.text), c.pieces) << "'" << c.text << "'";
}
