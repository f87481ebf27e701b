// The real dorvy.dll, loaded with LoadLibraryA as the script-module host
// loads it: the exported entries, the blocks it takes and gives, and the
// requests the host sends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "harness/TestEnv.h"

namespace {

template <size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

using LoadFn = BOOL(__cdecl*)(HGLOBAL, long);
using UnloadFn = BOOL(__cdecl*)();
using RequestFn = HGLOBAL(__cdecl*)(HGLOBAL, long*);

HGLOBAL Block(const std::string& bytes, size_t extra = 1)
{
    auto* p = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes.size() + extra));
    if (p) std::memcpy(p, bytes.data(), bytes.size());
    return p;
}

// A block the module freed is no longer a valid heap block; if the heap gave
// its address to the module's answer, that is proof enough too.
bool Freed(HGLOBAL block, HGLOBAL answer)
{
    return block == answer || GlobalSize(block) == 0;
}

class DorvyModule : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_module = LoadLibraryA(testenv::Join(testenv::BinDir(), "dorvy.dll").c_str());
        ASSERT_NE(m_module, nullptr);
        load = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "load")));
        unload = reinterpret_cast<UnloadFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "unload")));
        request = reinterpret_cast<RequestFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "request")));
        ASSERT_TRUE(load && unload && request);
    }
    void TearDown() override
    {
        if (m_module) FreeLibrary(m_module);
    }

    // Sends 'text' as the host does; returns the answer text ("" for none)
    // and checks the hand-over rules on the way.
    std::string Ask(const std::string& text, long length, long* outLength = nullptr)
    {
        HGLOBAL block = Block(text);
        long len = length;
        HGLOBAL answer = request(block, &len);
        EXPECT_TRUE(Freed(block, answer)) << "the request block was not freed";
        if (outLength) *outLength = len;
        if (!answer) {
            EXPECT_EQ(len, length) << "the length changed without an answer";
            return std::string();
        }
        EXPECT_EQ(GlobalLock(answer), answer); // fixed memory: the handle is the pointer
        GlobalUnlock(answer);
        EXPECT_EQ(GlobalSize(answer), static_cast<SIZE_T>(len) + 1);
        const std::string result(static_cast<const char*>(answer), static_cast<size_t>(len));
        EXPECT_EQ(static_cast<const char*>(answer)[len], '\0');
        EXPECT_EQ(GlobalFree(answer), nullptr);
        return result;
    }
    std::string Ask(const std::string& text) { return Ask(text, static_cast<long>(text.size())); }

    LoadFn load = nullptr;
    UnloadFn unload = nullptr;
    RequestFn request = nullptr;

  private:
    HMODULE m_module = nullptr;
};

} // namespace

TEST_F(DorvyModule, LoadAndUnload)
{
    for (const std::string dir : {"C:\\skin\\dorvy", "", "Z:\\スキン\\表示"}) {
        HGLOBAL block = Block(dir);
        EXPECT_EQ(load(block, static_cast<long>(dir.size())), TRUE);
        EXPECT_TRUE(Freed(block, nullptr));
    }
    EXPECT_EQ(load(nullptr, 0), TRUE);
    EXPECT_EQ(unload(), TRUE);
    EXPECT_EQ(unload(), TRUE);
}

TEST_F(DorvyModule, HostRequests)
{
    const std::string version = "SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n";
    const std::string s0 = "DORVY/2.0 200 OK\r\nSentence: \\s0\\e\r\n\r\n";
    const std::string s7 = "DORVY/2.0 200 OK\r\nSentence: \\s7\\e\r\n\r\n";
    long length = 0;
    const std::string probe = "GET Version SHIORI/2.0\r\nSender: おすとら\r\n\r\n";
    EXPECT_EQ(Ask(probe, static_cast<long>(probe.size()), &length), version);
    EXPECT_EQ(length, 41);
    const std::string event = "GET Sentence DORVY/2.0\r\nSender: おすとら\r\nEvent: OnMouseDoubleClick\r\n"
                              "Reference0: タイトル\r\nCharset: Shift_JIS\r\n\r\n";
    EXPECT_EQ(Ask(event, static_cast<long>(event.size()), &length), s0);
    EXPECT_EQ(length, 37);
    EXPECT_EQ(Ask("GET Sentence DORVY/2.0\r\nEvent: OnQuibbetObjectHit\r\nHWnd: 1234\r\n\r\n"), s7);
    EXPECT_EQ(Ask("get version\r\n"), version);
    EXPECT_EQ(Ask("GET VERSION"), version);
    EXPECT_EQ(Ask("\r\n\r\nGET Version\r\n"), version);
    EXPECT_EQ(Ask("GET Sentence SHIORI/2.2\r\nEvent: OnQuibbetObjectHit\r\n"), s7);
    EXPECT_EQ(Ask("GET Sentence\r\nevent: OnMouseDoubleClick\r\n"), "");
    EXPECT_EQ(Ask("GET Sentence\r\nEvent:OnMouseDoubleClick\r\n"), "");
    EXPECT_EQ(Ask("GET Sentence\r\nEvent: OnMouseDoubleClick \r\n"), "");
    EXPECT_EQ(Ask("GET Sentence\r\nEvent: OnMouseDoubleClick\r\nEvent: OnMouseClick\r\n"), "");
    EXPECT_EQ(Ask("GET Sentence\r\nEvent: OnMouseClick\r\n"), "");
    EXPECT_EQ(Ask("NOTIFY SSTP/1.1\r\nEvent: OnMouseDoubleClick\r\n"), "");
}

TEST_F(DorvyModule, LengthsZeroBytesAndEmptyBlocks)
{
    const std::string s0 = "DORVY/2.0 200 OK\r\nSentence: \\s0\\e\r\n\r\n";
    const std::string text = "GET Sentence\r\nEvent: OnMouseDoubleClick";
    // The stated length cuts the text: only the first 'n' bytes count.
    EXPECT_EQ(Ask(text, static_cast<long>(text.size())), s0);
    EXPECT_EQ(Ask(text, static_cast<long>(text.size()) - 1), "");
    // A zero byte before the stated length ends the request.
    EXPECT_EQ(Ask(Bytes("GET Sentence\r\nEvent: OnMouseDoubleClick\0xyz")), s0);
    EXPECT_EQ(Ask(Bytes("GET Sentence\r\n\0Event: OnMouseDoubleClick")), "");
    // Empty requests: no answer, block still freed.
    EXPECT_EQ(Ask("", 0), "");
    EXPECT_EQ(Ask("GET Version", 0), "");
    EXPECT_EQ(Ask("GET Version", -5), "");
    // A length beyond the block is cut to the block, never read past it.
    EXPECT_EQ(Ask("GET Version", 1 << 30), "SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n");
    long length = 12;
    EXPECT_EQ(request(nullptr, &length), nullptr);
    EXPECT_EQ(length, 12);
    HGLOBAL block = Block("GET Version");
    EXPECT_EQ(request(block, nullptr), nullptr); // nowhere to put a length: no answer
    EXPECT_TRUE(Freed(block, nullptr));
}
