#pragma once
// The server's random decisions. Each one is a pure function of the seed, the
// kind of decision and the request it concerns (command, sequence number and
// how often that request has arrived), so a run with the same seed makes the
// same decisions however the client's timing falls.
#include <cstdint>
#include <string>

namespace refserver {

class FaultPlan
{
public:
    enum class Fault { DropRequest, DropReply, Duplicate, Delay, Reorder, WrongSeq, Garbage, GarbageKind };

    explicit FaultPlan(uint64_t seed) : seed_(seed) {}

    // A number in [0, 1) for this decision about this request.
    double Draw(Fault fault, const std::string& command, int32_t seq, unsigned attempt) const;

    // True with probability share.
    bool Hits(Fault fault, double share, const std::string& command, int32_t seq, unsigned attempt) const
    {
        return share > 0 && Draw(fault, command, seq, attempt) < share;
    }

private:
    uint64_t seed_;
};

} // namespace refserver
