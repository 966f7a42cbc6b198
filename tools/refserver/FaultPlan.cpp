#include "tools/refserver/FaultPlan.h"

namespace refserver {

namespace {

uint64_t Mix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace

double FaultPlan::Draw(Fault fault, const std::string& command, int32_t seq, unsigned attempt) const
{
    uint64_t h = 0xCBF29CE484222325ull;  // FNV-1a over the command's bytes
    for (unsigned char c : command)
        h = (h ^ c) * 0x100000001B3ull;
    h = Mix(seed_ ^ h);
    h = Mix(h ^ uint64_t(uint32_t(seq)));
    h = Mix(h ^ (uint64_t(attempt) << 8) ^ uint64_t(fault));
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace refserver
