// Benchmarks of selka's portable core, built without sanitizers (not a test):
//  - MD5 throughput against OpenSSL's MD5 on the same input;
//  - run gathering against a plain pass that only compares every pixel with
//    the key, the lower bound of any shape scan, on "a character on a flat
//    background" drawn in memory at 512 and 2048 pixels square.
#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "selka/DibLayout.h"
#include "selka/Md5.h"
#include "selka/RunGatherer.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Fn> double BestSeconds(int rounds, Fn fn)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = Clock::now();
        fn();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

volatile uint32_t g_sink;

void BenchMd5()
{
    std::vector<unsigned char> data(64 << 20);
    std::mt19937 rng(5);
    for (auto& b : data)
        b = static_cast<unsigned char>(rng());
    char text[33];
    const double ours = BestSeconds(5, [&] {
        selka::Md5::HexDigest(data.data(), data.size(), text);
        g_sink = static_cast<uint32_t>(text[0]);
    });
    unsigned char digest[16];
    unsigned int length = 0;
    const double openssl = BestSeconds(5, [&] {
        EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr);
        g_sink = digest[0];
    });
    char want[33];
    for (int i = 0; i < 16; ++i)
        std::snprintf(want + 2 * i, 3, "%02x", digest[i]);
    const double mib = data.size() / 1048576.0;
    std::printf("md5 64 MiB: selka %.0f MiB/s, OpenSSL %.0f MiB/s, ratio selka/OpenSSL %.2f%s\n", mib / ours,
                mib / openssl, openssl / ours, std::strcmp(text, want) == 0 ? "" : "  (DIGESTS DIFFER)");
}

// A 24-bit picture: flat background, a head, a body, an arm and a dark
// shadow, with a one-pixel-off fringe around the head like antialiasing.
std::vector<uint8_t> Character(int n, int bits)
{
    const uint32_t palette = bits == 24 ? 0 : 16;
    size_t size = 0, rowSize = 0;
    selka::DibLayout::BlockSize(n, n, bits, palette, size);
    selka::DibLayout::RowSize(n, bits, rowSize);
    std::vector<uint8_t> dib(size, 0);
    selka::DibLayout::WriteHeader(dib.data(), n, n, bits, palette);
    const double s = n / 200.0;
    for (int y = 0; y < n; ++y) {
        uint8_t* row = dib.data() + 40 + palette * 4 + rowSize * (n - 1 - y);
        for (int x = 0; x < n; ++x) {
            const double fx = x / s, fy = y / s;
            const double head = (fx - 100) * (fx - 100) + (fy - 50) * (fy - 50);
            int v = 0; // background
            if (head < 900)
                v = 1;
            else if (head < 961)
                v = 2;
            else if (fx >= 70 && fx < 130 && fy >= 80 && fy < 150)
                v = 3;
            else if (fx >= 40 && fx < 70 && fy >= 85 && fy < 95)
                v = 4;
            else if ((fx - 160) * (fx - 160) / 400 + (fy - 120) * (fy - 120) / 900 < 1)
                v = 5;
            if (bits == 24) {
                row[x * 3] = static_cast<uint8_t>(0x88 + v * 20);
                row[x * 3 + 1] = 0xcc;
                row[x * 3 + 2] = static_cast<uint8_t>(0x88 - v);
            } else if (bits == 8) {
                row[x] = static_cast<uint8_t>(v);
            } else {
                row[x / 2] |= static_cast<uint8_t>((x & 1) ? v : v << 4);
            }
        }
    }
    return dib;
}

// The lower bound: every pixel compared with the key once, nothing kept.
size_t PlainPass(const uint8_t* dib, const selka::DibView& view)
{
    size_t differing = 0;
    if (view.bitCount == 24) {
        const uint8_t* top = view.TopRow(dib, 0);
        const uint8_t k0 = top[0], k1 = top[1], k2 = top[2];
        for (int32_t y = 0; y < view.height; ++y) {
            const uint8_t* p = view.TopRow(dib, y);
            for (int32_t x = 0; x < view.width; ++x, p += 3)
                differing += (p[0] != k0 || p[1] != k1 || p[2] != k2);
        }
    } else if (view.bitCount == 8) {
        const uint8_t key = view.TopRow(dib, 0)[0];
        for (int32_t y = 0; y < view.height; ++y) {
            const uint8_t* p = view.TopRow(dib, y);
            for (int32_t x = 0; x < view.width; ++x)
                differing += p[x] != key;
        }
    } else {
        const uint8_t key = view.TopRow(dib, 0)[0] >> 4;
        for (int32_t y = 0; y < view.height; ++y) {
            const uint8_t* p = view.TopRow(dib, y);
            for (int32_t x = 0; x < view.width; ++x)
                differing += ((x & 1) ? (p[x >> 1] & 15) : (p[x >> 1] >> 4)) != key;
        }
    }
    return differing;
}

void BenchRuns(int n, int bits)
{
    const std::vector<uint8_t> dib = Character(n, bits);
    selka::DibView view;
    selka::DibView::Read(dib.data(), view);
    std::vector<selka::Run> runs;
    size_t runCount = 0, differing = 0;
    const double gather = BestSeconds(7, [&] {
        std::vector<selka::Run> r;
        selka::RunGatherer::Gather(dib.data(), view, r);
        runCount = r.size();
        runs.swap(r);
    });
    const double plain = BestSeconds(7, [&] { differing = PlainPass(dib.data(), view); });
    size_t covered = 0;
    for (const selka::Run& r : runs)
        covered += static_cast<size_t>(r.x1 - r.x0);
    std::printf("runs %dx%d %2d bits: gather %.3f ms (%zu runs, %zu KiB of runs), plain compare %.3f ms, "
                "ratio %.2f%s\n",
                n, n, bits, gather * 1e3, runCount, runs.capacity() * sizeof(selka::Run) / 1024, plain * 1e3,
                gather / plain, covered == differing ? "" : "  (PIXEL COUNTS DIFFER)");
}

} // namespace

int main()
{
    BenchMd5();
    for (int n : {512, 2048})
        for (int bits : {24, 8, 4})
            BenchRuns(n, bits);
    return 0;
}
