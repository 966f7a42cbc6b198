#include "tokenclient/WinAddressSource.h"

#include <winsock.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstring>

#include "tokenclient/AddressFileReader.h"

namespace {

void CopyDotted(char (&to)[16], DWORD address)
{
    in_addr in;
    in.s_addr = address;
    CopyAddressText(to, inet_ntoa(in));
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

} // namespace

bool WinAddressSource::ReadAdapters(std::vector<AdapterAddresses>& adapters)
{
    adapters.clear();
    // Room for one adapter first; the platform says how much more it needs.
    std::vector<unsigned char> storage(sizeof(IP_ADAPTER_INFO));
    ULONG size = static_cast<ULONG>(storage.size());
    DWORD status = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(storage.data()), &size);
    if (status == ERROR_BUFFER_OVERFLOW) {
        storage.assign(size, 0);
        status = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(storage.data()), &size);
    }
    if (status != ERROR_SUCCESS)
        return false;
    for (IP_ADAPTER_INFO* info = reinterpret_cast<IP_ADAPTER_INFO*>(storage.data()); info; info = info->Next) {
        AdapterAddresses adapter;
        CopyAddressText(adapter.gateway, info->GatewayList.IpAddress.String);
        CopyAddressText(adapter.address, info->IpAddressList.IpAddress.String);
        adapters.push_back(adapter);
    }
    return true;
}

bool WinAddressSource::ReadRoutes(std::vector<RouteEntry>& routes)
{
    routes.clear();
    ULONG size = 0;
    if (GetIpForwardTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER)
        return false;
    if (size < sizeof(MIB_IPFORWARDTABLE))
        size = sizeof(MIB_IPFORWARDTABLE);
    std::vector<unsigned char> storage(size);
    MIB_IPFORWARDTABLE* table = reinterpret_cast<MIB_IPFORWARDTABLE*>(storage.data());
    if (GetIpForwardTable(table, &size, FALSE) != NO_ERROR)
        return false;
    // Never trust the row count beyond the storage it claims to fill.
    DWORD fits = static_cast<DWORD>((storage.size() - offsetof(MIB_IPFORWARDTABLE, table)) / sizeof(MIB_IPFORWARDROW));
    DWORD rows = table->dwNumEntries < fits ? table->dwNumEntries : fits;
    for (DWORD i = 0; i < rows; ++i) {
        const MIB_IPFORWARDROW& row = table->table[i];
        RouteEntry route = {};
        CopyDotted(route.destination, row.dwForwardDest);
        CopyDotted(route.mask, row.dwForwardMask);
        CopyDotted(route.nextHop, row.dwForwardNextHop);
        route.metric = static_cast<int32_t>(row.dwForwardMetric1);
        routes.push_back(route);
    }
    return true;
}

std::string WinAddressSource::ReadAddressFile()
{
    char program[1000] = {};
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        return AddressFileReader::NoAddress();
    std::string path = AddressFileReader::PathBeside(program, IsLeadByte);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return AddressFileReader::NoAddress();
    AddressFileReader reader;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        reader.Feed(chunk, read);
    CloseHandle(file);
    return reader.Finish();
}
