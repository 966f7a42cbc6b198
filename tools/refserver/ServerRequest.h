#pragma once
// A request datagram as the server reads it: a command line, then "Key:Value"
// lines. Keys are compared without regard to case; lines end with LF, CR LF
// or the end of the datagram.
#include <cstdint>
#include <map>
#include <string>

namespace refserver {

class ServerRequest
{
public:
    enum class Verdict {
        Ok,
        Empty,      // no bytes, or no command line
        Oversized,  // longer than kMaxBytes
        Binary,     // a zero byte or another control character than TAB, CR and LF
    };

    // Longer than any request a client sends (a login carries at most a
    // 259-character host name).
    static const size_t kMaxBytes = 1024;

    static Verdict Parse(const std::string& bytes, ServerRequest& request);

    const std::string& Command() const { return command_; }
    // The value of a field, looked up by its lower-case key; null when absent.
    const std::string* Field(const std::string& lowerKey) const;
    // Whether "Seq" is present and holds a 32-bit decimal number.
    bool HasSeq() const { return hasSeq_; }
    int32_t Seq() const { return seq_; }

private:
    std::string command_;
    std::map<std::string, std::string> fields_;
    bool hasSeq_ = false;
    int32_t seq_ = 0;
};

} // namespace refserver
