// Operator driver: asks the authentication server for a code through the
// real token client and prints every outcome, so that a café operator can
// check the router and developers can run the client from scripts.
#include <cstdio>
#include <string>
#include <vector>

#include "tokenclient/TokenClient.h"
#include "tools/driver/DriverOptions.h"
#include "tools/driver/DriverWindow.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "/?")) {
        std::fputs(DriverUsage().c_str(), stdout);
        return 0;
    }
    DriverOptions options;
    std::string error;
    if (!ParseDriverOptions(args, options, error)) {
        std::fprintf(stderr, "tokendriver: %s\n%s", error.c_str(), DriverUsage().c_str());
        return 2;
    }
    // Like the engine, the client lives until the process ends.
    TokenClient* client = options.server.empty() ? new TokenClient()
                                                 : new TokenClient(options.server.c_str(), options.port);
    DriverWindow window(options, *client, stdout);
    return window.Run();
}
