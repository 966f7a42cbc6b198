#pragma once

#include <string>
#include <vector>

#include "tokenclient/RouteEntry.h"

// Where the server address choice gets the PC's network facts from.
class IAddressSource {
public:
    // The adapters in the platform's order; false when there is no adapter
    // information.
    virtual bool ReadAdapters(std::vector<AdapterAddresses>& adapters) = 0;
    // The routing table's rows as the platform gives them, unsorted, with
    // adapterAddress empty and viaAdapterGateway clear; false when there is
    // no table.
    virtual bool ReadRoutes(std::vector<RouteEntry>& routes) = 0;
    // The address named by authipconf.ini, or "ini_invalid" when there is none.
    virtual std::string ReadAddressFile() = 0;

protected:
    ~IAddressSource() = default;
};
