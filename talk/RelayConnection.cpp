#include "talk/RelayConnection.h"

#include <windows.h>

#include <vector>

#include "talk/RelayStream.h"
#include "talk/SstpExchange.h"
#include "talk/SstpRequestCollector.h"

namespace talk {

namespace {

// The request collector keeps 32-bit times; the low half of the 64-bit tick
// count is right for differences.
uint32_t Clock32()
{
    return static_cast<uint32_t>(RelayStream::Now());
}

} // namespace

RelayConnection::Outcome RelayConnection::Serve(TcpSocket peer, const RelaySettings& settings,
                                                const std::atomic<bool>* stop)
{
    RelayStream stream(std::move(peer), stop, settings.stopPollMs);
    using Wait = RelayStream::Wait;

    const Wait first = stream.WaitReadable(RelayStream::Now() + settings.firstDataWaitMs);
    if (first == Wait::Stopped) return Outcome::Stopped;
    if (first != Wait::Ready) return Outcome::NoData;

    SstpRequestCollector request(settings.requestLimit, settings.requestTimeLimitMs);
    std::vector<char> chunk(settings.receiveChunk ? settings.receiveChunk : 1024);
    for (;;) {
        const Wait wait = stream.WaitReadable(RelayStream::Now() + request.RemainingMs(Clock32()));
        if (wait == Wait::Stopped) return Outcome::Stopped;
        if (wait != Wait::Ready) return Outcome::Dropped; // out of time before the request was complete
        const int n = stream.Receive(chunk.data(), static_cast<int>(chunk.size()));
        // The end of the connection, or a failed read, ends the request.
        if (n <= 0) break;
        const auto state = request.Add(chunk.data(), static_cast<std::size_t>(n), Clock32());
        if (state == SstpRequestCollector::State::TooLong) return Outcome::Dropped;
        if (state == SstpRequestCollector::State::Complete) break;
        if (request.Expired(Clock32())) return Outcome::Dropped;
    }
    if (request.Text().empty()) return Outcome::NoData;

    ExchangeLimits limits;
    limits.answerLimit = settings.answerLimit;
    limits.timeLimitMs = settings.exchangeTimeLimitMs;
    limits.receiveChunk = settings.hostReceiveChunk;
    limits.stop = stop;
    limits.stopPollMs = settings.stopPollMs;
    HGLOBAL answer = nullptr;
    if (!SstpExchange(settings.hostAddress, settings.hostPort, request.Text(), &answer, limits))
        return stream.Stopping() ? Outcome::Stopped : Outcome::NoAnswer;

    // The block is the text and its zero byte; the zero is not sent.
    const char* text = static_cast<const char*>(answer);
    const std::size_t length = GlobalSize(answer) > 0 ? std::char_traits<char>::length(text) : 0;
    const bool sent = stream.SendAll(text, length, RelayStream::Now() + settings.exchangeTimeLimitMs);
    GlobalFree(answer);
    if (!sent && stream.Stopping()) return Outcome::Stopped;
    return Outcome::Answered;
}

} // namespace talk
