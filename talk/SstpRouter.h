#pragma once
// The SSTP relay: a TCP listener on the loopback address (port 11000) whose
// every request from a local program goes on to the host program's SSTP
// server (127.0.0.1, port 9801), the host's answer coming back unchanged.
//
// The main window owns one router. StartRouting at its creation when the
// setting SSTPRouting is on, StopRouting at its destruction (the destructor
// stops too). One listener thread (below normal priority) and one short
// thread per accepted connection; they share with the owner's thread only a
// stop flag and the list of connection threads, kept in a block that the
// threads co-own. StopRouting returns once every one of these threads has
// ended and been joined, which the stop flag makes a matter of a second at
// most: none of them outlives the router or keeps the process alive.
//
// Windows Sockets must have been started before StartRouting.
#include <cstdint>
#include <memory>
#include <thread>

#include "talk/RelaySettings.h"

namespace talk {

class SstpRouter {
  public:
    SstpRouter() = default;
    ~SstpRouter();
    SstpRouter(const SstpRouter&) = delete;
    SstpRouter& operator=(const SstpRouter&) = delete;

    // Listens and starts the listener thread. False when the port cannot be
    // had (taken, say) or routing already runs: the program then runs on
    // without routing, and nothing is shown.
    bool StartRouting(const RelaySettings& settings = RelaySettings());
    // Stops the listener and every connection, waiting for their threads.
    void StopRouting();

    bool Routing() const { return m_listener.joinable(); }
    // The port listened on (the system's choice when the settings said 0); 0 when not routing.
    uint16_t Port() const { return m_port; }
    // Connections being served now.
    unsigned ActiveConnections() const;

  private:
    struct Shared;

    std::shared_ptr<Shared> m_shared;
    std::thread m_listener;
    uint16_t m_port = 0;
};

} // namespace talk
