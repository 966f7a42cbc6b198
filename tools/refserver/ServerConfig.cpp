#include "tools/refserver/ServerConfig.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace refserver {

namespace {

bool ReadInteger(const std::string& text, int64_t low, int64_t high, int64_t& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

// A share is a fraction from 0 to 1 ("0.3") or a percentage ("30%").
bool ReadShare(std::string text, double& share)
{
    bool percent = !text.empty() && text.back() == '%';
    if (percent)
        text.pop_back();
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0')
        return false;
    if (percent)
        parsed /= 100.0;
    if (!(parsed >= 0.0 && parsed <= 1.0))
        return false;
    share = parsed;
    return true;
}

// "A:B" into its two halves.
bool SplitPair(const std::string& text, std::string& first, std::string& second)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    first = text.substr(0, colon);
    second = text.substr(colon + 1);
    return true;
}

const int64_t kMaxMs = int64_t(1) << 40;

} // namespace

bool ParseServerConfig(const std::vector<std::string>& args, ServerConfig& config, std::string& error)
{
    using Handler = std::function<bool(const std::string&)>;
    auto integer = [](int64_t low, int64_t high, auto store) {
        return Handler([=](const std::string& text) {
            int64_t value = 0;
            if (!ReadInteger(text, low, high, value))
                return false;
            store(value);
            return true;
        });
    };
    auto share = [](double& target) {
        return Handler([&target](const std::string& text) { return ReadShare(text, target); });
    };

    const std::map<std::string, Handler> options = {
        {"--bind", [&](const std::string& text) { config.bindAddress = text; return !text.empty(); }},
        {"--port", integer(1, 65535, [&](int64_t v) { config.port = uint16_t(v); })},
        {"--log", [&](const std::string& text) { config.logPath = text; return !text.empty(); }},
        {"--stamp", [&](const std::string& text) {
             config.stampMicroseconds = text == "us";
             return text == "us" || text == "ms";
         }},
        {"--duration", integer(1, kMaxMs, [&](int64_t v) { config.durationMs = v; })},
        {"--token-ttl", integer(1, 86400 * 365, [&](int64_t v) { config.tokenTtlSeconds = int(v); })},
        {"--session-idle", integer(1, 86400 * 365, [&](int64_t v) { config.sessionIdleSeconds = int(v); })},
        {"--refuse-token", [&](const std::string& text) {
             int64_t v = 0;
             if (!ReadInteger(text, 2, 3, v))
                 return false;
             config.refuseTokenStatus = int(v);
             return true;
         }},
        {"--not-logged-in", [&](const std::string& text) {
             config.notLoggedIn = text;
             return text == "all" || text == "others";
         }},
        {"--seed", integer(0, INT64_MAX, [&](int64_t v) {
             config.seed = uint64_t(v);
             config.seedGiven = true;
         })},
        {"--drop-requests", share(config.dropRequests)},
        {"--drop-replies", share(config.dropReplies)},
        {"--duplicate", share(config.duplicate)},
        {"--reorder", share(config.reorder)},
        {"--wrong-seq", share(config.wrongSeq)},
        {"--garbage", share(config.garbage)},
        {"--delay", [&](const std::string& text) {
             std::string first, second;
             int64_t ms = 0;
             if (!SplitPair(text, first, second) || !ReadShare(first, config.delayShare) ||
                 !ReadInteger(second, 0, 600000, ms))
                 return false;
             config.delayMs = ms;
             return true;
         }},
        {"--forget-at", integer(0, kMaxMs, [&](int64_t v) { config.forgetAtMs.push_back(v); })},
        {"--forget-every", integer(1, kMaxMs, [&](int64_t v) { config.forgetEveryMs = v; })},
        {"--silence", [&](const std::string& text) {
             std::string first, second;
             TimeWindow window;
             if (!SplitPair(text, first, second) || !ReadInteger(first, 0, kMaxMs, window.fromMs) ||
                 !ReadInteger(second, 1, kMaxMs, window.forMs))
                 return false;
             config.silences.push_back(window);
             return true;
         }},
        {"--ignore", [&](const std::string& text) {
             config.ignoredCommands.push_back(text);
             return !text.empty();
         }},
    };

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        auto option = options.find(name);
        if (option == options.end()) {
            error = "unknown option " + name;
            return false;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (!option->second(value)) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    return true;
}

std::string ServerConfigUsage()
{
    return "usage: refserver [options]\n"
           "Answers the token protocol on UDP and logs every datagram.\n"
           "  --bind ADDR          listen address (default 127.0.0.1; any other only when named)\n"
           "  --port N             UDP port (default 9110)\n"
           "  --log FILE           log file (default: standard output)\n"
           "  --stamp ms|us        unit of the log's wall-clock stamps (default ms)\n"
           "  --duration MS        stop by itself after MS milliseconds\n"
           "  --token-ttl S        lifetime of an issued code (default 120)\n"
           "  --session-idle S     end a session idle this long (default 60)\n"
           "  --refuse-token 2|3   refuse every code: 2 device limit, 3 phone already authenticated\n"
           "  --not-logged-in all|others  answer \"not logged in\" (4) to every request, or to\n"
           "                       every request but logins, which are accepted\n"
           "Fault injection (SHARE is 0..1 or N%; repeatable with --seed):\n"
           "  --seed N             seed of every fault decision and of the codes\n"
           "                       (default: faults from seed 1, codes truly random)\n"
           "  --drop-requests SHARE  --drop-replies SHARE  --duplicate SHARE\n"
           "  --delay SHARE:MS     send that share of replies MS late\n"
           "  --reorder SHARE      hold a reply back until after the next one\n"
           "  --wrong-seq SHARE    answer with a wrong seq instead\n"
           "  --garbage SHARE      send a garbage datagram before the reply\n"
           "  --forget-at MS       forget all sessions at MS after start (repeatable)\n"
           "  --forget-every MS    forget all sessions every MS\n"
           "  --silence FROM:FOR   answer nothing from FROM ms after start for FOR ms (repeatable)\n"
           "  --ignore COMMAND     never answer this command (repeatable)\n";
}

} // namespace refserver
