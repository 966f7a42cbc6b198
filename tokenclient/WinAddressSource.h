#pragma once

#include "tokenclient/IAddressSource.h"

// The PC's adapters (GetAdaptersInfo), its IPv4 routing table
// (GetIpForwardTable) and authipconf.ini beside the running program.
class WinAddressSource : public IAddressSource {
public:
    bool ReadAdapters(std::vector<AdapterAddresses>& adapters) override;
    bool ReadRoutes(std::vector<RouteEntry>& routes) override;
    std::string ReadAddressFile() override;
};
