// Reference token server: answers the token protocol on UDP so that the
// client can be developed, tested and demonstrated, and so that a café
// operator's setup can be compared with a known-good peer.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/refserver/DatagramLog.h"
#include "tools/refserver/ServerConfig.h"
#include "tools/refserver/UdpLoop.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(refserver::ServerConfigUsage().c_str(), stdout);
            return 0;
        }
    }
    refserver::ServerConfig config;
    std::string error;
    if (!refserver::ParseServerConfig(args, config, error)) {
        std::fprintf(stderr, "refserver: %s\n%s", error.c_str(), refserver::ServerConfigUsage().c_str());
        return 1;
    }

    std::FILE* out = stdout;
    if (!config.logPath.empty() && config.logPath != "-") {
        out = std::fopen(config.logPath.c_str(), "w");
        if (!out) {
            std::fprintf(stderr, "refserver: cannot write %s: %s\n", config.logPath.c_str(), std::strerror(errno));
            return 1;
        }
    }

    // Without SA_RESTART, so that a signal ends the wait in the loop at once.
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    refserver::DatagramLog log(out, config.stampMicroseconds);
    refserver::UdpLoop loop(config, log);
    int status = loop.Run(g_stop);
    if (out != stdout)
        std::fclose(out);
    return status;
}
