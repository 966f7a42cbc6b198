#include <gtest/gtest.h>

#include <string>

#include "FakeTokenPlatform.h"
#include "tokenclient/ServerAddressChooser.h"
#include "tokenclient/TokenResult.h"

namespace {

const char* Any = "0.0.0.0";

std::string Choose(FakeAddressSource& source, int expectedResult = 0)
{
    char address[16] = "unchanged";
    ServerAddressChooser chooser(source);
    EXPECT_EQ(expectedResult, chooser.Choose(address));
    return address;
}

TEST(ServerAddressChooserTest, GatewayOfTheDefaultRoute)
{
    FakeAddressSource source;
    source.AddAdapter("192.168.1.1", "192.168.1.23");
    source.AddRoute("192.168.1.0", "255.255.255.0", "192.168.1.23", 10);
    source.AddRoute(Any, Any, "192.168.1.1", 20);
    source.AddRoute("127.0.0.0", "255.0.0.0", "127.0.0.1", 1);
    EXPECT_EQ("192.168.1.1", Choose(source));
    EXPECT_EQ(1, source.fileReads);
}

TEST(ServerAddressChooserTest, TheLowerMetricDefaultRouteWins)
{
    FakeAddressSource source;
    source.AddAdapter("10.0.0.1", "10.0.0.5");
    source.AddAdapter("192.168.1.1", "192.168.1.23");
    source.AddRoute(Any, Any, "10.0.0.1", 30);
    source.AddRoute(Any, Any, "192.168.1.1", 25);
    EXPECT_EQ("192.168.1.1", Choose(source));
}

TEST(ServerAddressChooserTest, ADefaultRouteThroughNoAdaptersGatewayIsPassedOver)
{
    FakeAddressSource source;
    source.AddAdapter("192.168.1.1", "192.168.1.23");
    source.AddRoute(Any, Any, "172.16.0.1", 1);
    source.AddRoute("10.8.0.0", "255.255.0.0", "192.168.1.1", 50);
    EXPECT_EQ("192.168.1.1", Choose(source));
}

TEST(ServerAddressChooserTest, TheFileOverridesTheGatewayButNeedsOne)
{
    FakeAddressSource source;
    source.AddAdapter("192.168.1.1", "192.168.1.23");
    source.AddRoute(Any, Any, "192.168.1.1", 5);
    source.file = "10.20.30.40";
    EXPECT_EQ("10.20.30.40", Choose(source));
    source.file = "ini_invalid";
    EXPECT_EQ("192.168.1.1", Choose(source));

    // Without a gateway the file does not help, though it is read.
    source.adapters.clear();
    source.file = "10.20.30.40";
    source.fileReads = 0;
    EXPECT_EQ("unchanged", Choose(source, StartNoGateway));
    EXPECT_EQ(1, source.fileReads);
}

TEST(ServerAddressChooserTest, NoUsableGateway)
{
    FakeAddressSource loopbackOnly;
    loopbackOnly.AddAdapter("127.0.0.1", "127.0.0.1");
    loopbackOnly.AddRoute(Any, Any, "127.0.0.1", 1);
    EXPECT_EQ("unchanged", Choose(loopbackOnly, StartNoGateway));

    FakeAddressSource noAdapters;
    noAdapters.adaptersOk = false;
    noAdapters.AddRoute(Any, Any, "192.168.1.1", 1);
    EXPECT_EQ("unchanged", Choose(noAdapters, StartNoGateway));
    EXPECT_EQ(0, noAdapters.fileReads);

    FakeAddressSource noTable;
    noTable.AddAdapter("192.168.1.1", "192.168.1.23");
    noTable.routesOk = false;
    EXPECT_EQ("unchanged", Choose(noTable, StartNoGateway));

    FakeAddressSource emptyTable;
    emptyTable.AddAdapter("192.168.1.1", "192.168.1.23");
    EXPECT_EQ("unchanged", Choose(emptyTable, StartNoGateway));
}

TEST(ServerAddressChooserTest, RouteTableKeepsOneRoutePerNextHopInMetricOrder)
{
    FakeAddressSource source;
    source.AddRoute("10.0.0.0", "255.0.0.0", "192.168.1.1", 40);
    source.AddRoute(Any, Any, "10.0.0.1", 7);
    source.AddRoute(Any, Any, "192.168.1.1", 20);
    source.AddRoute("1.2.3.0", "255.255.255.0", "10.0.0.1", 3);
    source.AddRoute("5.0.0.0", "255.0.0.0", "9.9.9.9", 15);
    std::vector<RouteEntry> routes;
    ServerAddressChooser chooser(source);
    ASSERT_TRUE(chooser.ReadRouteTable(routes));
    ASSERT_EQ(3u, routes.size());
    // The survivor of equal next hops is the one first in the table.
    EXPECT_STREQ("10.0.0.1", routes[0].nextHop);
    EXPECT_EQ(7, routes[0].metric);
    EXPECT_STREQ("9.9.9.9", routes[1].nextHop);
    EXPECT_STREQ("192.168.1.1", routes[2].nextHop);
    EXPECT_EQ(40, routes[2].metric);
    for (const RouteEntry& route : routes)
        EXPECT_FALSE(route.viaAdapterGateway);
}

} // namespace
