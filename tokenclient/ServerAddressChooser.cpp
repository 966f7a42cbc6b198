#include "tokenclient/ServerAddressChooser.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "tokenclient/IAddressSource.h"
#include "tokenclient/TokenResult.h"

namespace {

const char NoFileAddress[] = "ini_invalid";

bool SameText(const char (&a)[16], const char (&b)[16]) { return std::strncmp(a, b, 16) == 0; }

} // namespace

void ServerAddressChooser::CondenseRoutes(std::vector<RouteEntry>& routes)
{
    std::stable_sort(routes.begin(), routes.end(), [](const RouteEntry& a, const RouteEntry& b) {
        return std::strncmp(a.nextHop, b.nextHop, sizeof a.nextHop) < 0;
    });
    routes.erase(std::unique(routes.begin(), routes.end(),
                             [](const RouteEntry& a, const RouteEntry& b) { return SameText(a.nextHop, b.nextHop); }),
                 routes.end());
    std::stable_sort(routes.begin(), routes.end(),
                     [](const RouteEntry& a, const RouteEntry& b) { return a.metric < b.metric; });
}

bool ServerAddressChooser::ReadRouteTable(std::vector<RouteEntry>& routes)
{
    routes.clear();
    if (!source.ReadRoutes(routes))
        return false;
    for (RouteEntry& route : routes) {
        route.adapterAddress[0] = 0;
        route.viaAdapterGateway = false;
    }
    CondenseRoutes(routes);
    return true;
}

int ServerAddressChooser::Choose(char (&serverAddress)[16])
{
    std::vector<AdapterAddresses> adapters;
    std::vector<RouteEntry> routes;
    if (!source.ReadAdapters(adapters) || !ReadRouteTable(routes))
        return StartNoGateway;

    const RouteEntry* chosen = nullptr;
    for (RouteEntry& route : routes) {
        if (std::strncmp(route.nextHop, "127.0.0.1", sizeof route.nextHop) == 0)
            continue;
        auto adapter = std::find_if(adapters.begin(), adapters.end(),
                                    [&](const AdapterAddresses& a) { return SameText(a.gateway, route.nextHop); });
        if (adapter == adapters.end())
            continue;
        route.viaAdapterGateway = true;
        CopyAddressText(route.adapterAddress, adapter->address);
        if (std::strncmp(route.destination, "0.0.0.0", 16) == 0 && std::strncmp(route.mask, "0.0.0.0", 16) == 0) {
            chosen = &route;
            break;
        }
    }
    if (!chosen) {
        for (const RouteEntry& route : routes) {
            if (route.viaAdapterGateway) {
                chosen = &route;
                break;
            }
        }
    }
    std::string fileAddress = source.ReadAddressFile();
    if (!chosen)
        return StartNoGateway;
    if (fileAddress == NoFileAddress)
        CopyAddressText(serverAddress, chosen->nextHop);
    else
        CopyAddressText(serverAddress, fileAddress.c_str());
    return 0;
}
