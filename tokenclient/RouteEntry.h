#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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

// Copies dotted text into one of the fields above; the text may be null or
// unterminated within the field's size, and the copy is always terminated.
inline void CopyAddressText(char (&to)[16], const char* from)
{
    size_t length = 0;
    while (from && length < sizeof to - 1 && from[length])
        ++length;
    if (length)
        std::memcpy(to, from, length);
    to[length] = 0;
}
