#pragma once
// One accepted connection of the SSTP relay: reads the peer's request,
// relays it to the host's SSTP server and returns the host's answer
// unchanged. Runs on a thread of its own and shares nothing but the stop flag.
#include <atomic>

#include "framework/TcpSocket.h"
#include "talk/RelaySettings.h"

namespace talk {

class RelayConnection {
  public:
    enum class Outcome {
        NoData,   // nothing arrived in time: closed without an answer
        Dropped,  // too long or too slow: closed, nothing relayed
        NoAnswer, // relayed (or tried to), but the host gave no answer
        Answered, // the host's answer went back to the peer
        Stopped,  // the relay stopped first
    };

    // Serves 'peer' to its end and closes it. 'stop' breaks every wait off.
    static Outcome Serve(TcpSocket peer, const RelaySettings& settings, const std::atomic<bool>* stop);
};

} // namespace talk
