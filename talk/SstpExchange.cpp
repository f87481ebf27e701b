#include "talk/SstpExchange.h"

#include <winsock2.h>

#include <cstring>
#include <vector>

#include "talk/RelayStream.h"
#include "talk/SstpAnswerCollector.h"

namespace talk {

namespace {

bool Resolve(const std::string& host, uint16_t port, sockaddr_in* target)
{
    *target = sockaddr_in{};
    target->sin_family = AF_INET;
    target->sin_port = htons(port == 0 ? 9801 : port);
    const std::string name = host.empty() ? "127.0.0.1" : host;
    const unsigned long address = inet_addr(name.c_str());
    if (address != INADDR_NONE) {
        target->sin_addr.s_addr = address;
        return true;
    }
    const hostent* entry = gethostbyname(name.c_str());
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0]) return false;
    std::memcpy(&target->sin_addr, entry->h_addr_list[0], sizeof target->sin_addr);
    return true;
}

bool MutexExists(const char* name)
{
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

} // namespace

bool HostProgramRuns()
{
    return MutexExists("sakura") || MutexExists("ssp");
}

bool SstpExchange(const std::string& host, uint16_t port, const std::string& request, HGLOBAL* answer,
                  const ExchangeLimits& limits)
{
    if (answer) *answer = nullptr;
    if ((host.empty() || host == "127.0.0.1" || host == "localhost") && !HostProgramRuns()) return false;
    sockaddr_in target;
    if (!Resolve(host, port, &target)) return false;

    const uint64_t deadline = RelayStream::Now() + limits.timeLimitMs;
    RelayStream stream(TcpSocket(), limits.stop, limits.stopPollMs);
    if (!stream.Connect(target, deadline)) return false;
    if (!stream.SendAll(request.data(), request.size(), deadline)) return false;
    if (!answer) return true;

    SstpAnswerCollector collected(limits.answerLimit);
    std::vector<char> chunk(limits.receiveChunk ? limits.receiveChunk : 512);
    for (;;) {
        const RelayStream::Wait wait = stream.WaitReadable(deadline);
        // Breaking off for the stop flag loses the answer; running out of
        // time keeps what came so far.
        if (wait == RelayStream::Wait::Stopped) return false;
        if (wait != RelayStream::Wait::Ready) break;
        const int n = stream.Receive(chunk.data(), static_cast<int>(chunk.size()));
        if (n <= 0) break;
        if (!collected.Add(chunk.data(), static_cast<std::size_t>(n))) break;
    }
    stream.Close();
    const std::string& text = collected.Text();
    if (text.empty()) return false;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, text.size() + 1);
    if (!block) return false;
    std::memcpy(static_cast<char*>(block), text.data(), text.size());
    *answer = block;
    return true;
}

} // namespace talk
