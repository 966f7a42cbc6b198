#pragma once
// Settings of the reference token server, and their command-line form.
#include <cstdint>
#include <string>
#include <vector>

namespace refserver {

// A span of time, in milliseconds since the server started.
struct TimeWindow
{
    int64_t fromMs = 0;
    int64_t forMs = 0;
};

struct ServerConfig
{
    // Where to listen. Loopback unless another address is named explicitly.
    std::string bindAddress = "127.0.0.1";
    uint16_t port = 9110;
    // Log file; empty or "-" writes the log to standard output.
    std::string logPath;
    // The log's stamps in microseconds rather than milliseconds.
    bool stampMicroseconds = false;
    // Stop by itself after this long (0: run until SIGINT or SIGTERM).
    int64_t durationMs = 0;

    // Lifetime of an issued code, in seconds.
    int tokenTtlSeconds = 120;
    // A session that sends nothing for this long is ended, in seconds.
    int sessionIdleSeconds = 60;
    // Status given to every "gimmeatoken" instead of a code (0: issue codes).
    // 2 says the device limit is reached, 3 that the phone is already authenticated.
    int refuseTokenStatus = 0;
    // A server that has lost track of its sessions: "all" answers "not
    // logged in" (4) to every request, logins included; "others" accepts
    // logins and answers 4 to everything else. Empty: neither.
    std::string notLoggedIn;

    // Fault injection. Every decision derives from the seed and the request's
    // command, sequence number and repetition count, so a run repeats exactly
    // whatever the timing of the client.
    uint64_t seed = 1;
    // Whether --seed was given: then the codes repeat from run to run too;
    // otherwise they are drawn from the system's random source.
    bool seedGiven = false;
    double dropRequests = 0;   // share of requests ignored as if lost on the way in
    double dropReplies = 0;    // share of replies lost on the way out
    double duplicate = 0;      // share of replies sent twice
    double delayShare = 0;     // share of replies sent late...
    int64_t delayMs = 0;       // ...by this much
    double reorder = 0;        // share of replies held back until after the next one
    double wrongSeq = 0;       // share of replies sent with a wrong "seq" instead
    double garbage = 0;        // share of replies preceded by a garbage datagram
    std::vector<int64_t> forgetAtMs;  // forget every session (a router restart) at these times
    int64_t forgetEveryMs = 0;        // ...and every so often (0: never)
    std::vector<TimeWindow> silences; // answer nothing during these windows
    std::vector<std::string> ignoredCommands; // never answer these commands
};

// Fills config from the arguments after the program name. On a bad argument
// returns false with a one-line explanation in error.
bool ParseServerConfig(const std::vector<std::string>& args, ServerConfig& config, std::string& error);

// The text printed for --help.
std::string ServerConfigUsage();

} // namespace refserver
