#pragma once
// An IPv4 address and UDP port, both in host byte order.
#include <cstdint>
#include <string>
#include <tuple>

namespace refserver {

struct Peer
{
    uint32_t address = 0;
    uint16_t port = 0;

    // Dotted address, colon, port: "127.0.0.1:49152".
    std::string ToString() const
    {
        return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
               std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF) + ":" +
               std::to_string(port);
    }

    bool operator<(const Peer& other) const
    {
        return std::tie(address, port) < std::tie(other.address, other.port);
    }
    bool operator==(const Peer& other) const
    {
        return address == other.address && port == other.port;
    }
};

} // namespace refserver
