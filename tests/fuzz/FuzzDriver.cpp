// A small stand-in for libFuzzer's main, so fuzz targets run under the
// ordinary sanitizer build as part of the test run: every corpus file is fed
// as it is, then a fixed number of mutations of them (and of random bytes),
// from a fixed seed so a failure repeats. ./run fuzz builds the same targets
// against libFuzzer for long, coverage-guided runs.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

void ReadCorpus(const std::filesystem::path& path, std::vector<Bytes>& corpus)
{
    if (std::filesystem::is_directory(path)) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files) ReadCorpus(f, corpus);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Run(const Bytes& input)
{
    // Copy into an exactly sized block so the sanitizer sees every overread.
    std::vector<uint8_t> exact(input);
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

Bytes Mutate(const Bytes& base, std::mt19937& rng, const std::vector<Bytes>& corpus)
{
    Bytes out(base);
    static const char* const kTokens[] = {"\r\n", "\n", ",", "\\", "\x83\x5c", "0", "-1",
                                          "4294967295", "SEND SSTP/1.1", ": ", "\0"};
    const int steps = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < steps; ++i) {
        switch (rng() % 7) {
        case 0: // flip a byte
            if (!out.empty()) out[rng() % out.size()] = static_cast<uint8_t>(rng());
            break;
        case 1: // insert random bytes
            {
                size_t at = out.empty() ? 0 : rng() % (out.size() + 1);
                size_t n = 1 + rng() % 16;
                for (size_t k = 0; k < n; ++k) out.insert(out.begin() + at, static_cast<uint8_t>(rng()));
            }
            break;
        case 2: // erase a range
            if (!out.empty()) {
                size_t at = rng() % out.size();
                size_t n = std::min<size_t>(out.size() - at, 1 + rng() % 32);
                out.erase(out.begin() + at, out.begin() + at + n);
            }
            break;
        case 3: // insert a token that parsers care about
            {
                const char* t = kTokens[rng() % (sizeof kTokens / sizeof kTokens[0])];
                size_t len = std::max<size_t>(1, std::strlen(t));
                size_t at = out.empty() ? 0 : rng() % (out.size() + 1);
                out.insert(out.begin() + at, t, t + len);
            }
            break;
        case 4: // splice with another corpus entry
            if (!corpus.empty()) {
                const Bytes& other = corpus[rng() % corpus.size()];
                if (!other.empty()) {
                    size_t from = rng() % other.size();
                    size_t at = out.empty() ? 0 : rng() % (out.size() + 1);
                    out.insert(out.begin() + at, other.begin() + from, other.end());
                }
            }
            break;
        case 5: // repeat a piece, to reach length limits
            if (!out.empty()) {
                size_t at = rng() % out.size();
                size_t n = std::min<size_t>(out.size() - at, 64);
                Bytes piece(out.begin() + at, out.begin() + at + n);
                size_t times = 1 + rng() % 128;
                for (size_t k = 0; k < times; ++k) out.insert(out.end(), piece.begin(), piece.end());
            }
            break;
        default: // truncate
            if (!out.empty()) out.resize(rng() % out.size());
            break;
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    long iterations = 10000;
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--iterations") == 0 && i + 1 < argc) {
            iterations = std::strtol(argv[++i], nullptr, 10);
        } else if (argv[i][0] == '-') {
            continue; // libFuzzer-style flags are accepted and ignored
        } else if (std::filesystem::exists(argv[i])) {
            ReadCorpus(argv[i], corpus);
        } else {
            std::fprintf(stderr, "fuzz: no such corpus: %s\n", argv[i]);
            return 2;
        }
    }
    corpus.push_back(Bytes());
    for (const Bytes& input : corpus) Run(input);

    std::mt19937 rng(20261207);
    for (long i = 0; i < iterations; ++i) {
        Bytes input;
        if (rng() % 10 == 0) {
            input.resize(rng() % 512);
            for (auto& b : input) b = static_cast<uint8_t>(rng());
        } else {
            input = Mutate(corpus[rng() % corpus.size()], rng, corpus);
        }
        Run(input);
    }
    std::printf("fuzz: %zu corpus inputs and %ld mutations ran clean\n", corpus.size(), iterations);
    return 0;
}
