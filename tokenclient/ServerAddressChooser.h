#pragma once

#include <vector>

#include "tokenclient/RouteEntry.h"

class IAddressSource;

// Finds the authentication server: the address named in authipconf.ini, else
// the gateway of the lowest-metric default route whose gateway belongs to one
// of the PC's adapters, else the lowest-metric route whose next hop is some
// adapter's gateway. Without any such gateway there is no server, whatever
// the file says.
class ServerAddressChooser {
public:
    explicit ServerAddressChooser(IAddressSource& source) : source(source) {}

    // Fills serverAddress and returns 0, or returns StartNoGateway and leaves
    // it unchanged.
    int Choose(char (&serverAddress)[16]);

    // The routing table with one entry per next hop, ordered by metric; false
    // when there is no table.
    bool ReadRouteTable(std::vector<RouteEntry>& routes);

    // Sorts by next hop, keeps the first of each run of equal next hops and
    // orders the rest by metric.
    static void CondenseRoutes(std::vector<RouteEntry>& routes);

private:
    IAddressSource& source;
};
