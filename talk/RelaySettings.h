#pragma once
// The numbers of the SSTP relay. The defaults are the program's; tests and
// benchmarks change the ports (so they never meet a real host or another
// checkout on the same machine) and shorten the waits.
#include <cstddef>
#include <cstdint>
#include <string>

namespace talk {

struct RelaySettings {
    // Where the relay listens. Only the loopback address: the relay serves
    // local programs only, and listening on every address would also make
    // Windows ask the user to open the firewall for the program.
    std::string listenAddress = "127.0.0.1";
    uint16_t listenPort = 11000; // 0: a free port of the system's choice
    int backlog = 5;
    // The host's SSTP server.
    std::string hostAddress = "127.0.0.1";
    uint16_t hostPort = 9801;

    unsigned listenWaitMs = 1000;    // one select of the listener; the stop flag is seen between them
    unsigned acceptPauseMs = 500;    // after each connection handed to a thread
    unsigned firstDataWaitMs = 1000; // a connection that sends nothing for this long is closed
    std::size_t receiveChunk = 1024;
    std::size_t hostReceiveChunk = 512;

    // A request longer than this, or not complete this long after its first
    // byte, is dropped: nothing is relayed and the connection is closed.
    std::size_t requestLimit = 1u << 20;
    unsigned requestTimeLimitMs = 10000;
    // The host's answer is cut off at this length, and when the exchange
    // with the host has taken this long.
    std::size_t answerLimit = 1u << 20;
    unsigned exchangeTimeLimitMs = 10000;
    // Connections served at once; a further one is closed at once.
    unsigned maxConnections = 16;
    // The longest a connection thread waits without looking at the stop flag.
    unsigned stopPollMs = 100;
};

} // namespace talk
