#pragma once
// The server's log: one line per datagram received or sent and per note,
//   <wall-clock ms since 1970> in|out <peer> "<bytes escaped>"
//   <wall-clock ms since 1970> note <peer or -> <text>
// or with the stamps in microseconds since 1970, when asked for.
// Bytes are escaped C-style: \r, \n, \t, \\, \" and \xHH for anything else
// outside printable ASCII. Every line is flushed at once.
#include <cstdio>
#include <string>

#include "tools/refserver/Peer.h"

namespace refserver {

class DatagramLog
{
public:
    explicit DatagramLog(std::FILE* out, bool microseconds = false) : out_(out), microseconds_(microseconds) {}

    void Datagram(const char* direction, const Peer& peer, const std::string& bytes);
    void Note(const Peer* peer, const std::string& text);

    static std::string Escape(const std::string& bytes);

private:
    void Line(const std::string& text);

    std::FILE* out_;
    bool microseconds_;
};

} // namespace refserver
