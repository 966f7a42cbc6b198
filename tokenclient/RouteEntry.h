#pragma once

#include <cstdint>

// One row of the IPv4 routing table, with its addresses as dotted text.
struct RouteEntry {
    char destination[16];
    char mask[16];
    char nextHop[16];
    // The first IPv4 address of the adapter whose gateway is nextHop; empty
    // until such an adapter is found.
    char adapterAddress[16];
    int32_t metric;          // the row's first metric
    bool viaAdapterGateway;  // some adapter's gateway equals nextHop
};

// Of each network adapter, the first entries of its gateway and IPv4 address
// lists, as dotted text.
struct AdapterAddresses {
    char gateway[16];
    char address[16];
};
