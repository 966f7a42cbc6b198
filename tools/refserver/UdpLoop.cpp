#include "tools/refserver/UdpLoop.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools/refserver/TokenServer.h"

namespace refserver {

namespace {

int64_t MonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

Peer PeerOf(const sockaddr_in& address)
{
    return Peer{ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

sockaddr_in AddressOf(const Peer& peer)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(peer.address);
    address.sin_port = htons(peer.port);
    return address;
}

} // namespace

int UdpLoop::Run(const volatile std::sig_atomic_t& stop)
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(config_.port);
    if (inet_pton(AF_INET, config_.bindAddress.c_str(), &local.sin_addr) != 1) {
        std::fprintf(stderr, "refserver: not an IPv4 address: %s\n", config_.bindAddress.c_str());
        return 2;
    }
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::fprintf(stderr, "refserver: cannot listen on %s:%u: %s\n", config_.bindAddress.c_str(),
                     unsigned(config_.port), std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return 2;
    }

    const int64_t startMs = MonotonicMs();
    const int64_t endMs = config_.durationMs > 0 ? startMs + config_.durationMs : INT64_MAX;
    log_.Note(nullptr, "listening on " + config_.bindAddress + ":" + std::to_string(config_.port));
    TokenServer server(config_, startMs, [this](const Peer* peer, const std::string& text) { log_.Note(peer, text); });

    // Datagrams waiting for their time; equal times keep their order.
    std::multimap<int64_t, Outgoing> queue;
    std::vector<Outgoing> produced;
    auto enqueue = [&]() {
        for (Outgoing& datagram : produced)
            queue.emplace(datagram.dueMs, std::move(datagram));
        produced.clear();
    };
    std::vector<char> buffer(65536);

    while (!stop) {
        int64_t now = MonotonicMs();
        if (now >= endMs)
            break;
        server.Advance(now, produced);
        enqueue();
        while (!queue.empty() && queue.begin()->first <= now) {
            const Outgoing& datagram = queue.begin()->second;
            sockaddr_in to = AddressOf(datagram.peer);
            if (sendto(fd, datagram.bytes.data(), datagram.bytes.size(), 0, reinterpret_cast<sockaddr*>(&to),
                       sizeof to) < 0)
                log_.Note(&datagram.peer, std::string("send failed: ") + std::strerror(errno));
            else
                log_.Datagram("out", datagram.peer, datagram.bytes);
            queue.erase(queue.begin());
        }

        int64_t wake = std::min({endMs, server.NextEventMs(), now + 200});
        if (!queue.empty())
            wake = std::min(wake, queue.begin()->first);
        pollfd watch{fd, POLLIN, 0};
        int ready = poll(&watch, 1, int(std::max<int64_t>(0, wake - now)));
        if (ready <= 0)
            continue;  // a timeout, or a signal that may have set stop

        for (;;) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            ssize_t size = recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC,
                                    reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (size < 0)
                break;
            // A datagram larger than the buffer keeps its true size, so that it
            // is logged and refused as oversized.
            std::string bytes(buffer.data(), std::min<size_t>(size_t(size), buffer.size()));
            if (size_t(size) > buffer.size())
                bytes.resize(size_t(size), '\0');
            Peer peer = PeerOf(from);
            log_.Datagram("in", peer, bytes);
            server.HandleDatagram(bytes, peer, MonotonicMs(), produced);
            enqueue();
        }
    }
    log_.Note(nullptr, "stopping");
    close(fd);
    return 0;
}

} // namespace refserver
