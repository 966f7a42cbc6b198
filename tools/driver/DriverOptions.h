#pragma once
// The operator driver's command line.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/driver/DriverFlow.h"

struct DriverOptions
{
    DriverFlow::Command command = DriverFlow::Command::Get;
    // Talk to this dotted address instead of choosing the server from
    // authipconf.ini or the default gateway (empty: choose).
    std::string server;
    uint16_t port = 9110;           // with server only
    int lingerSeconds = 0;          // keep the client running this long after the outcome
    int timeoutSeconds = 30;        // give up when no outcome comes for this long
    bool logout = false;            // stop the client at the end, which sends the closing logout
    bool timestamps = false;        // start every line with the wall-clock time in ms since 1970
};

// Fills options from the arguments after the program name; false with a
// one-line explanation in error on a bad argument.
bool ParseDriverOptions(const std::vector<std::string>& args, DriverOptions& options, std::string& error);

std::string DriverUsage();
