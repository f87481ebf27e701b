#include "harness/TestEnv.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace testenv {

namespace {

std::string FromEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value) {
        ADD_FAILURE() << "environment variable " << name << " is not set: run the test through ctest";
        return std::string();
    }
    return value;
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = dir + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

} // namespace

std::string BinDir() { return FromEnv("OSTRA_BIN_DIR"); }
std::string ToolsDir() { return FromEnv("OSTRA_TOOLS_DIR"); }
std::string SourceDir() { return FromEnv("OSTRA_SOURCE_DIR"); }
std::string DepsDir() { return FromEnv("OSTRA_DEPS_DIR"); }

std::string TempDir()
{
    static std::string dir = [] {
        std::string d = FromEnv("OSTRA_TEST_TMP");
        CreateDirectoryA(d.c_str(), nullptr);
        RemoveTree(d);
        return d;
    }();
    return dir;
}

std::string Join(const std::string& a, const std::string& b)
{
    if (a.empty()) return b;
    // Walk the text by characters: the trail byte of a double-byte
    // character (0x5C in many Shift_JIS ones) is not a separator.
    bool endsInSeparator = false;
    for (size_t i = 0; i < a.size(); ++i) {
        endsInSeparator = a[i] == '\\' || a[i] == '/';
        if (IsDBCSLeadByte(static_cast<BYTE>(a[i])) && i + 1 < a.size()) ++i;
    }
    return endsInSeparator ? a + b : a + "\\" + b;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string FreshDir(const std::string& name)
{
    std::string dir = Join(TempDir(), name);
    CreateDirectoryA(dir.c_str(), nullptr);
    RemoveTree(dir);
    return dir;
}

} // namespace testenv
