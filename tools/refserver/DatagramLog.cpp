#include "tools/refserver/DatagramLog.h"

#include <time.h>

namespace refserver {

std::string DatagramLog::Escape(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        switch (c) {
        case '\r': text += "\\r"; break;
        case '\n': text += "\\n"; break;
        case '\t': text += "\\t"; break;
        case '\\': text += "\\\\"; break;
        case '"': text += "\\\""; break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                text.push_back(char(c));
            } else {
                text += "\\x";
                text.push_back(kHex[c >> 4]);
                text.push_back(kHex[c & 15]);
            }
        }
    }
    return text;
}

void DatagramLog::Datagram(const char* direction, const Peer& peer, const std::string& bytes)
{
    // A huge datagram is logged by its head and its size.
    const size_t kShown = 512;
    std::string line = std::string(direction) + " " + peer.ToString() + " \"" + Escape(bytes.substr(0, kShown)) + "\"";
    if (bytes.size() > kShown)
        line += " ... " + std::to_string(bytes.size()) + " bytes";
    Line(line);
}

void DatagramLog::Note(const Peer* peer, const std::string& text)
{
    Line("note " + (peer ? peer->ToString() : std::string("-")) + " " + Escape(text));
}

void DatagramLog::Line(const std::string& text)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    long long stamp = microseconds_ ? (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000
                                    : (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
    std::fprintf(out_, "%lld %s\n", stamp, text.c_str());
    std::fflush(out_);
}

} // namespace refserver
