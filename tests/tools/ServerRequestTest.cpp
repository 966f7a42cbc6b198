#include <gtest/gtest.h>

#include "tools/refserver/ServerConfig.h"
#include "tools/refserver/ServerRequest.h"

using refserver::ServerRequest;
using Verdict = refserver::ServerRequest::Verdict;

TEST(ServerRequest, ReadsCommandFieldsAndSeq)
{
    struct Row
    {
        std::string bytes;
        Verdict verdict;
        std::string command;
        bool hasSeq;
        int32_t seq;
    };
    const Row rows[] = {
        {"login\r\nName:PC-1\r\nSeq:0\r\n", Verdict::Ok, "login", true, 0},
        {"heartbeat\nSeq:17", Verdict::Ok, "heartbeat", true, 17},  // bare LF, no final line end
        {"status\r\nSEQ:-3\r\n", Verdict::Ok, "status", true, -3},
        {"status\r\nSeq:2147483647\r\n", Verdict::Ok, "status", true, 2147483647},
        {"status\r\nSeq:2147483648\r\n", Verdict::Ok, "status", false, 0},
        {"status\r\nSeq: 5\r\n", Verdict::Ok, "status", false, 0},
        {"status\r\nSeq:5x\r\n", Verdict::Ok, "status", false, 0},
        {"logout\r\n", Verdict::Ok, "logout", false, 0},
        {"", Verdict::Empty, "", false, 0},
        {"\r\nSeq:1\r\n", Verdict::Empty, "", false, 0},
        {std::string("gimmeatoken\r\nSeq:1\0\r\n", 21), Verdict::Binary, "", false, 0},
        {"gimmeatoken\x01\r\nSeq:1\r\n", Verdict::Binary, "", false, 0},
        {std::string(ServerRequest::kMaxBytes, 'x'), Verdict::Ok, std::string(ServerRequest::kMaxBytes, 'x'), false, 0},
        {std::string(ServerRequest::kMaxBytes + 1, 'x'), Verdict::Oversized, "", false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes.substr(0, 40));
        ServerRequest request;
        EXPECT_EQ(row.verdict, ServerRequest::Parse(row.bytes, request));
        EXPECT_EQ(row.command, request.Command());
        EXPECT_EQ(row.hasSeq, request.HasSeq());
        if (row.hasSeq) {
            EXPECT_EQ(row.seq, request.Seq());
        }
    }
}

TEST(ServerRequest, KeysIgnoreCaseAndValuesKeepTheirBytes)
{
    // A host name in code page 936 is not binary.
    ServerRequest request;
    ASSERT_EQ(Verdict::Ok, ServerRequest::Parse("login\r\nNAME:\xCD\xF8 \r\nseq:0\r\n", request));
    ASSERT_NE(nullptr, request.Field("name"));
    EXPECT_EQ("\xCD\xF8 ", *request.Field("name"));
    EXPECT_EQ(nullptr, request.Field("token"));
}

TEST(ServerConfig, ParsesOptionsAndRefusesBadOnes)
{
    refserver::ServerConfig config;
    std::string error;
    ASSERT_TRUE(refserver::ParseServerConfig({"--port", "19110", "--drop-requests", "30%", "--drop-replies", "0.25",
                                              "--delay", "50%:400", "--silence", "1000:500", "--forget-at", "900",
                                              "--forget-at", "300", "--refuse-token", "3", "--ignore", "checktoken",
                                              "--not-logged-in", "others", "--stamp", "us"},
                                             config, error))
        << error;
    EXPECT_EQ(19110, config.port);
    EXPECT_DOUBLE_EQ(0.3, config.dropRequests);
    EXPECT_DOUBLE_EQ(0.25, config.dropReplies);
    EXPECT_DOUBLE_EQ(0.5, config.delayShare);
    EXPECT_EQ(400, config.delayMs);
    ASSERT_EQ(1u, config.silences.size());
    EXPECT_EQ(1000, config.silences[0].fromMs);
    EXPECT_EQ(500, config.silences[0].forMs);
    EXPECT_EQ(2u, config.forgetAtMs.size());
    EXPECT_EQ(3, config.refuseTokenStatus);
    EXPECT_EQ("others", config.notLoggedIn);
    EXPECT_EQ(std::vector<std::string>{"checktoken"}, config.ignoredCommands);
    EXPECT_EQ("127.0.0.1", config.bindAddress);
    EXPECT_TRUE(config.stampMicroseconds);

    const std::vector<std::vector<std::string>> bad = {
        {"--port", "0"}, {"--port", "65536"}, {"--port"}, {"--drop-replies", "1.5"}, {"--drop-replies", "x"},
        {"--refuse-token", "4"}, {"--delay", "0.5"}, {"--silence", "10:0"}, {"--frobnicate", "1"}, {"--token-ttl", "0"},
        {"--not-logged-in", "some"}, {"--stamp", "s"},
    };
    for (const auto& args : bad) {
        refserver::ServerConfig other;
        error.clear();
        EXPECT_FALSE(refserver::ParseServerConfig(args, other, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}
