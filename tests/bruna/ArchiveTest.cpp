// The reader objects' own operations that the exports do not reach:
// Contains (exact name, through a second reader) and the one-shot
// ExtractFile.
#include "bruna/CabArchive.h"
#include "bruna/CabStream.h"
#include "framework/FaultGuard.h"
#include "bruna/ZipArchive.h"

#include "harness/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string Fixture(const std::string& rel)
{
    return testenv::Join(testenv::TempDir(), "..\\bruna_archives\\" + rel);
}

std::string Take(HGLOBAL block)
{
    if (!block) return "<NULL>";
    const SIZE_T size = GlobalSize(block);
    const char* p = static_cast<const char*>(GlobalLock(block));
    std::string bytes(p ? p : "", p ? size : 0);
    GlobalUnlock(block);
    GlobalFree(block);
    return bytes;
}

TEST(Archive, ContainsComparesExactNames)
{
    ZipArchive zip;
    ASSERT_TRUE(zip.Open(Fixture("zip\\mixed.zip").c_str()));
    EXPECT_TRUE(zip.Contains("name[1].txt"));
    EXPECT_TRUE(zip.Contains("dir/sub/seq.txt"));
    EXPECT_FALSE(zip.Contains("case.txt"));
    EXPECT_FALSE(zip.Contains("name?.txt"));
    CabArchive cab;
    ASSERT_TRUE(cab.Open(Fixture("cab\\gcab-stored.cab").c_str()));
    EXPECT_TRUE(cab.Contains("README.TXT"));
    EXPECT_FALSE(cab.Contains("readme.txt"));
    char name[260];
    cab.GetArchiveName(name);
    EXPECT_EQ(std::string(name), Fixture("cab\\gcab-stored.cab"));
    EXPECT_TRUE(cab.Close());
    EXPECT_FALSE(cab.Close());
    EXPECT_FALSE(cab.Contains("README.TXT"));
    cab.GetArchiveName(name);
    EXPECT_EQ(std::string(name), "");
}

TEST(Archive, ExtractFileIsOneShot)
{
    ZipArchive zip; // never opened itself
    EXPECT_EQ(Take(zip.ExtractFile(Fixture("zip\\mixed.zip").c_str(), "q?.txt")), "question\n");
    EXPECT_EQ(Take(zip.ExtractFile(Fixture("cab\\gcab-stored.cab").c_str(), "a.txt")), "<NULL>");
    CabArchive cab;
    EXPECT_EQ(Take(cab.ExtractFile(Fixture("cab\\gcab-stored.cab").c_str(), "A.TXT")), "hello\n");
    EXPECT_EQ(Take(cab.ExtractFile(nullptr, "a.txt")), "<NULL>");
    ArcFindData d;
    EXPECT_FALSE(cab.FindFirst(&d));
}

} // namespace

namespace {

// What FDI is given in the test below: every member goes to memory.
struct CrashContext {
    CabStreamLayer* layer;
    int files;
};

INT_PTR DIAMONDAPI ExtractEverything(FDINOTIFICATIONTYPE type, PFDINOTIFICATION n)
{
    CrashContext* ctx = static_cast<CrashContext*>(n->pv);
    if (type == fdintCOPY_FILE) {
        ++ctx->files;
        return ctx->layer->OpenMemoryStream(n->cb > 0 && n->cb < 65536 ? static_cast<uint32_t>(n->cb) : 0);
    }
    if (type == fdintCLOSE_FILE_INFO) {
        GlobalFree(ctx->layer->DetachMemoryStream(n->hf));
        return TRUE;
    }
    return 0;
}

struct CrashCall {
    HFDI fdi;
    char* cabinet;
    char* folder;
    CrashContext* ctx;
    BOOL result;
};

void RunCrashCopy(void* p)
{
    CrashCall* c = static_cast<CrashCall*>(p);
    c->result = FDICopy(c->fdi, c->cabinet, c->folder, 0, ExtractEverything, nullptr, c->ctx);
}

void RunDestroy(void* p)
{
    FDIDestroy(static_cast<HFDI>(p));
}

} // namespace

// A cabinet that declares no folders, handed to FDI unchecked: under Wine
// FDICopy reads through NULL while extracting it. Under the guard the call
// fails instead, and the layer frees what FDI left behind.
TEST(Archive, FaultInsideFdiBecomesAFailure)
{
    CabStreamLayer layer;
    CabStreamLayer::Scope scope(layer);
    ERF erf{};
    HFDI fdi = FDICreate(CabStreamLayer::Alloc, CabStreamLayer::Free, CabStreamLayer::Open, CabStreamLayer::Read,
                         CabStreamLayer::Write, CabStreamLayer::Close, CabStreamLayer::Seek, cpu80386, &erf);
    ASSERT_NE(fdi, nullptr);
    std::string cabinet = "bad_nofolders.cab";
    std::string folder = Fixture("cab\\");
    CrashContext ctx{&layer, 0};
    CrashCall call{fdi, &cabinet[0], &folder[0], &ctx, TRUE};
    DWORD fault = 0;
    const bool returned = faultguard::Run(RunCrashCopy, &call, &fault);
    EXPECT_FALSE(returned && call.result);
    if (!returned) {
        EXPECT_EQ(fault, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }
    std::printf("FDICopy on a cabinet without folders: %s\n", returned ? "returned" : "faulted");
    faultguard::Run(RunDestroy, fdi, nullptr);
    layer.ReleaseAll();
    // The layer is usable again: a sound cabinet still extracts.
    CabArchive cab;
    ASSERT_TRUE(cab.Open(Fixture("cab\\normal_2files_1folder.cab").c_str()));
    EXPECT_EQ(Take(cab.ExtractToMemory("hello.c")).size(), 77u);
}
