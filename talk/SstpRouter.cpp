#include "talk/SstpRouter.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <system_error>

#include "framework/TcpSocket.h"
#include "talk/RelayConnection.h"
#include "talk/RelayStream.h"

namespace talk {

struct SstpRouter::Shared {
    explicit Shared(const RelaySettings& relay) : settings(relay) {}

    // One connection thread; the node stays in place (a list) until the
    // thread has been joined, so the thread may mark it done.
    struct Worker {
        std::thread thread;
        bool done = false;
    };

    // Joins the threads that have finished. Under 'lock'.
    void ReapFinished()
    {
        for (auto it = workers.begin(); it != workers.end();) {
            if (!it->done) {
                ++it;
                continue;
            }
            it->thread.join(); // it has marked itself done: only its return is left
            it = workers.erase(it);
        }
    }

    unsigned Running() const
    {
        unsigned running = 0;
        for (const Worker& worker : workers)
            running += worker.done ? 0 : 1;
        return running;
    }

    const RelaySettings settings;
    TcpSocket listening;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::condition_variable idle;
    std::list<Worker> workers; // under 'lock'
};

namespace {

// The peer's address is the loopback address itself: the relay serves this
// machine's programs and no others, even if the listening address changes.
bool FromLoopback(const sockaddr_in& peer)
{
    return peer.sin_family == AF_INET && peer.sin_addr.s_addr == htonl(INADDR_LOOPBACK);
}

// Sleeps 'ms' in short steps, ending early when the stop flag is set.
void Pause(unsigned ms, const std::atomic<bool>& stop, unsigned pollMs)
{
    const uint64_t end = RelayStream::Now() + ms;
    for (uint64_t now = RelayStream::Now(); now < end && !stop.load(); now = RelayStream::Now())
        Sleep(static_cast<DWORD>(std::min<uint64_t>(end - now, pollMs ? pollMs : 1)));
}

} // namespace

SstpRouter::~SstpRouter()
{
    StopRouting();
}

unsigned SstpRouter::ActiveConnections() const
{
    if (!m_shared) return 0;
    std::lock_guard<std::mutex> hold(m_shared->lock);
    return m_shared->Running();
}

bool SstpRouter::StartRouting(const RelaySettings& settings)
{
    if (Routing()) return false;
    try {
        auto shared = std::make_shared<Shared>(settings);
        // Bound and listening here rather than in the thread, so the caller
        // knows at once whether routing runs (and on which port).
        TcpSocket& listening = shared->listening;
        if (!listening.Create() || !listening.Bind(settings.listenAddress.c_str(), settings.listenPort) ||
            !listening.Listen(settings.backlog))
            return false;
        // accept never blocks: a connection that goes away between select
        // and accept must not hold the listener.
        u_long on = 1;
        if (ioctlsocket(listening.Handle(), FIONBIO, &on) != 0) return false;
        sockaddr_in bound{};
        int size = sizeof bound;
        if (getsockname(listening.Handle(), reinterpret_cast<sockaddr*>(&bound), &size) != 0) return false;

        m_listener = std::thread([shared] {
            try {
                SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
                const RelaySettings& s = shared->settings;
                const SOCKET listener = shared->listening.Handle();
                while (!shared->stop.load()) {
                    fd_set incoming;
                    FD_ZERO(&incoming);
                    FD_SET(listener, &incoming);
                    timeval wait{static_cast<long>(s.listenWaitMs / 1000),
                                 static_cast<long>(s.listenWaitMs % 1000) * 1000};
                    const int n = select(0, &incoming, nullptr, nullptr, &wait);
                    if (n == SOCKET_ERROR) break;
                    if (n == 0 || shared->stop.load()) continue;

                    sockaddr_in peer{};
                    int peerSize = sizeof peer;
                    TcpSocket connection(accept(listener, reinterpret_cast<sockaddr*>(&peer), &peerSize));
                    if (!connection.Valid() || !FromLoopback(peer)) continue; // closed at once
                    {
                        std::lock_guard<std::mutex> hold(shared->lock);
                        shared->ReapFinished();
                        if (shared->Running() >= s.maxConnections) continue; // busy: closed at once
                        // Made under the lock, so the thread cannot mark its node
                        // done before the node holds it.
                        Shared::Worker& worker = shared->workers.emplace_back();
                        try {
                            worker.thread = std::thread(
                                [shared, &worker](TcpSocket peerSocket) {
                                    try {
                                        RelayConnection::Serve(std::move(peerSocket), shared->settings, &shared->stop);
                                    } catch (const std::exception&) {
                                        // Out of memory: the connection closes unserved.
                                    }
                                    std::lock_guard<std::mutex> done(shared->lock);
                                    worker.done = true;
                                    shared->idle.notify_all();
                                },
                                std::move(connection));
                        } catch (const std::system_error&) {
                            // No thread to be had: the connection is closed unserved.
                            shared->workers.pop_back();
                            continue;
                        }
                    }
                    Pause(s.acceptPauseMs, shared->stop, s.stopPollMs);
                }
            } catch (const std::exception&) {
                // Out of memory or threads: routing ends quietly; StopRouting
                // still joins the connections that run.
            }
        });
        m_shared = std::move(shared);
        m_port = ntohs(bound.sin_port);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void SstpRouter::StopRouting()
{
    if (!m_shared) return;
    m_shared->stop.store(true);
    if (m_listener.joinable()) m_listener.join();
    m_shared->listening.Close();
    {
        // Every wait of a connection looks at the stop flag at least every
        // stopPollMs, so this is short.
        std::unique_lock<std::mutex> hold(m_shared->lock);
        m_shared->idle.wait(hold, [this] { return m_shared->Running() == 0; });
        m_shared->ReapFinished();
    }
    m_shared.reset();
    m_port = 0;
}

} // namespace talk
