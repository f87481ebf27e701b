// The private-profile reader on real INI files under code page 932: long
// values are cut to whole characters at the byte limit, whatever the
// platform's reader counted, and missing keys and files give the fallback.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/PrivateProfile.h"
#include "harness/TestEnv.h"

namespace {

std::string Repeat(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(PrivateProfile, LongValuesAreCutToWholeCharacters)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests run under code page 932";
    // 表 is 0x95 0x5C: its second byte is a backslash.
    const std::string hyou = "表";
    ASSERT_EQ(hyou, "\x95\x5C");
    const std::string even = Repeat(hyou, 200);      // 400 bytes, characters at even offsets
    const std::string odd = "a" + Repeat(hyou, 200); // 401 bytes, characters at odd offsets
    const std::string path = testenv::Join(testenv::FreshDir("profile"), "ostra.ini");
    ASSERT_TRUE(testenv::WriteFile(path, "[OSTRA]\r\neven=" + even + "\r\nodd=" + odd + "\r\nshort=" + hyou +
                                             "x\r\nnumber=-42\r\nempty=\r\n"));

    // 259 bytes hold 129 whole characters of 'even' (258 bytes), and the
    // 'a' and 129 characters of 'odd' (259 bytes).
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "even", "", 259), Repeat(hyou, 129));
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "odd", "", 259), "a" + Repeat(hyou, 129));
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "even", "", 199), Repeat(hyou, 99));
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "odd", "", 199), "a" + Repeat(hyou, 99));
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "short", "", 259), hyou + "x");
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "short", "", 2), hyou);
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "short", "", 1), "");

    // An empty value is empty; a missing key or file gives the fallback.
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "empty", "fallback", 259), "");
    EXPECT_EQ(privateprofile::ReadText(path, "OSTRA", "missing", "surface0.png", 259), "surface0.png");
    EXPECT_EQ(privateprofile::ReadText(path + ".none", "OSTRA", "even", "dorvy.dll", 259), "dorvy.dll");
    EXPECT_EQ(privateprofile::ReadInteger(path, "OSTRA", "number", 7), -42);
    EXPECT_EQ(privateprofile::ReadInteger(path, "OSTRA", "missing", 7), 7);
}
