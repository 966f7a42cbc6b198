#pragma once
// The reference server's socket: receives datagrams, hands them to the
// protocol logic, sends its replies when they are due and logs both ways.
#include <csignal>

#include "tools/refserver/DatagramLog.h"
#include "tools/refserver/ServerConfig.h"

namespace refserver {

class UdpLoop
{
public:
    UdpLoop(const ServerConfig& config, DatagramLog& log) : config_(config), log_(log) {}

    // Binds and serves until stop is set or the configured duration has
    // passed. Returns the process exit status: 0, or 2 when the socket could
    // not be bound.
    int Run(const volatile std::sig_atomic_t& stop);

private:
    const ServerConfig& config_;
    DatagramLog& log_;
};

} // namespace refserver
