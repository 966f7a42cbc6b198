#include "tools/driver/DriverOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool ReadNumber(const std::string& text, long low, long high, long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

} // namespace

bool ParseDriverOptions(const std::vector<std::string>& args, DriverOptions& options, std::string& error)
{
    bool haveCommand = false;
    bool havePort = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--logout") {
            options.logout = true;
            continue;
        }
        if (arg == "--timestamps") {
            options.timestamps = true;
            continue;
        }
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            long number = 0;
            if (arg == "--server") {
                options.server = value;
                if (value.empty() || value.size() > 15) {
                    error = "--server needs a dotted IPv4 address";
                    return false;
                }
            } else if (arg == "--port" && ReadNumber(value, 1, 65535, number)) {
                options.port = uint16_t(number);
                havePort = true;
            } else if (arg == "--linger" && ReadNumber(value, 0, 86400, number)) {
                options.lingerSeconds = int(number);
            } else if (arg == "--timeout" && ReadNumber(value, 1, 86400, number)) {
                options.timeoutSeconds = int(number);
            } else {
                error = "bad option " + arg + " " + value;
                return false;
            }
            continue;
        }
        if (haveCommand || !DriverFlow::ParseCommand(arg, options.command)) {
            error = "unexpected argument " + arg;
            return false;
        }
        haveCommand = true;
    }
    if (!haveCommand) {
        error = "no command given";
        return false;
    }
    if (havePort && options.server.empty()) {
        error = "--port needs --server";
        return false;
    }
    return true;
}

std::string DriverUsage()
{
    return "usage: tokendriver get|watch|check|status [options]\n"
           "Asks the authentication server through the real token client.\n"
           "  get      ask for a code; print it and its lifetime\n"
           "  watch    get, then check once a second and count down until the code ends\n"
           "  check    get, then check the new code once: it must be valid\n"
           "  status   a status query\n"
           "  --server ADDR   talk to this IPv4 address instead of authipconf.ini or the gateway\n"
           "  --port N        with --server: another UDP port than 9110\n"
           "  --linger S      keep the client running S seconds after the outcome (heartbeats)\n"
           "  --timeout S     give up when no outcome comes for S seconds (default 30)\n"
           "  --logout        stop the client at the end, which sends the closing logout\n"
           "  --timestamps    start every line with the time in ms since 1970\n"
           "Exit status: 0 success, 1 failure (printed), 2 bad arguments.\n";
}
