#pragma once
// One SSTP exchange with a host's TCP server: send a request, collect the answer.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace talk {

struct ExchangeLimits {
    std::size_t answerLimit = 1u << 20; // the answer is cut off here
    unsigned timeLimitMs = 10000;       // for the whole exchange; the answer is cut off then
    std::size_t receiveChunk = 512;
    // Breaks the exchange off (a failure) when set; may be null.
    const std::atomic<bool>* stop = nullptr;
    unsigned stopPollMs = 100;
};

// 'host': a dotted IPv4 address or a name; empty stands for "127.0.0.1".
// For the local host the exchange first checks that a host program runs (its
// mutex "sakura" or "ssp" exists) and fails without connecting when none does.
// 'port' 0 stands for 9801.
//
// With 'answer' null: true once the whole request is sent. Otherwise the
// answer is read until the host closes the connection (or a read fails, or
// a limit is reached) and handed over in *answer as a GlobalAlloc block
// (GMEM_FIXED | GMEM_ZEROINIT, the text and a zero byte) that the caller
// frees with GlobalFree; an empty answer is a failure and yields no block.
// Windows Sockets must have been started.
bool SstpExchange(const std::string& host, uint16_t port, const std::string& request, HGLOBAL* answer,
                  const ExchangeLimits& limits = ExchangeLimits());

// Whether a host program runs: its mutex "sakura" or "ssp" exists.
bool HostProgramRuns();

} // namespace talk
