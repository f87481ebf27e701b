// The handle owners against the system's own bookkeeping: a file opened
// without sharing can be opened again only once its owner has closed it, a
// named event exists only while a handle to it is open, and a loaded module
// is mapped only while it is loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "framework/KernelHandle.h"
#include "harness/TestEnv.h"

namespace {

// Opens 'path' for writing with no sharing: fails while any other handle to
// the file is open.
HANDLE OpenExclusive(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool CanOpenExclusive(const std::string& path)
{
    HANDLE h = OpenExclusive(path);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool EventExists(const std::string& name)
{
    HANDLE h = OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
    if (!h) return false;
    CloseHandle(h);
    return true;
}

} // namespace

TEST(KernelHandle, AFileIsClosedWhenAnExceptionLeavesItsScope)
{
    const std::string path = testenv::Join(testenv::FreshDir("owners"), "held.bin");
    try {
        FileHandle file(OpenExclusive(path));
        ASSERT_TRUE(file);
        EXPECT_FALSE(CanOpenExclusive(path)) << "the system must refuse a second open while the first is held";
        throw std::runtime_error("allocation failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(CanOpenExclusive(path)) << "the owner closed the file on the way out";
}

TEST(KernelHandle, OwnershipMovesAndCanBeGivenUp)
{
    const std::string path = testenv::Join(testenv::FreshDir("moves"), "moved.bin");
    FileHandle second;
    {
        FileHandle first(OpenExclusive(path));
        ASSERT_TRUE(first);
        second = std::move(first);
        EXPECT_FALSE(first);
    }
    EXPECT_FALSE(CanOpenExclusive(path)) << "the moved-from owner must not close the file";
    EXPECT_TRUE(second.Close());
    EXPECT_FALSE(second);
    EXPECT_TRUE(CanOpenExclusive(path));

    FileHandle kept(OpenExclusive(path));
    HANDLE raw = kept.Detach();
    kept.Reset();
    EXPECT_FALSE(CanOpenExclusive(path)) << "a detached handle stays open";
    CloseHandle(raw);
    EXPECT_TRUE(CanOpenExclusive(path));
}

TEST(KernelHandle, EachKindKnowsItsOwnNoHandle)
{
    // CreateFile and FindFirstFile fail with INVALID_HANDLE_VALUE, which as a
    // kernel handle would be the current process; OpenEvent and LoadLibrary
    // fail with null.
    FileHandle noFile(CreateFileA(testenv::Join(testenv::TempDir(), "no\\such\\file").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(noFile);
    EXPECT_TRUE(noFile.Close());
    WIN32_FIND_DATAA found;
    FindHandle noMatch(FindFirstFileA(testenv::Join(testenv::FreshDir("find"), "*.none").c_str(), &found));
    EXPECT_FALSE(noMatch);
    EXPECT_FALSE(KernelHandle(OpenEventA(SYNCHRONIZE, FALSE, "ostra-no-such-event")));
    EXPECT_FALSE(ModuleHandle(LoadLibraryA("ostra-no-such-module.dll")));

    const std::string folder = testenv::FreshDir("listed");
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "one.txt"), "1"));
    FindHandle match(FindFirstFileA(testenv::Join(folder, "*.txt").c_str(), &found));
    ASSERT_TRUE(match);
    EXPECT_STREQ(found.cFileName, "one.txt");
    EXPECT_FALSE(FindNextFileA(match.Get(), &found));
    EXPECT_TRUE(match.Close());
}

TEST(KernelHandle, ANamedEventLivesAsLongAsItsOwner)
{
    const std::string name = "ostra-owner-test-" + std::to_string(GetCurrentProcessId());
    {
        KernelHandle event(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
        ASSERT_TRUE(event);
        EXPECT_TRUE(EventExists(name));
    }
    EXPECT_FALSE(EventExists(name)) << "the last handle closed: the event is gone";
}

TEST(KernelHandle, AModuleIsUnloadedWithItsOwner)
{
    const std::string path = testenv::Join(testenv::BinDir(), "dorvy.dll");
    ASSERT_EQ(GetModuleHandleA("dorvy.dll"), nullptr);
    {
        ModuleHandle module(LoadLibraryA(path.c_str()));
        ASSERT_TRUE(module) << path;
        EXPECT_EQ(GetModuleHandleA("dorvy.dll"), module.Get());
        EXPECT_NE(GetProcAddress(module.Get(), "request"), nullptr);
    }
    EXPECT_EQ(GetModuleHandleA("dorvy.dll"), nullptr);
}
