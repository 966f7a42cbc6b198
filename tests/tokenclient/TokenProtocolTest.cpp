#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tokenclient/ByteBuffer.h"
#include "tokenclient/FieldTable.h"
#include "tokenclient/RequestKind.h"
#include "tokenclient/TokenProtocol.h"
#include "tokenclient/TokenResult.h"

namespace {

std::string Request(int32_t kind, const char* host, const char* token, int32_t seq)
{
    ByteBuffer out;
    EXPECT_TRUE(TokenProtocol::BuildRequest(out, kind, host, token, seq));
    return std::string(out.Data(), out.Length());
}

std::string StoredToken(const std::string& text)
{
    std::string stored(32, '\0');
    stored.replace(0, text.size(), text);
    return stored;
}

TEST(TokenRequestTest, BytesOfEveryKind)
{
    std::string token = StoredToken("482913");
    struct Row {
        int32_t kind;
        int32_t seq;
        std::string bytes;
    } rows[] = {
        {Login, 0, "login\r\nName:CAFE-PC07\r\nSeq:0\r\n"},
        {Logout, 5, "logout\r\nSeq:5\r\n"},
        {GetToken, 3, "gimmeatoken\r\nSeq:3\r\n"},
        {CheckToken, 12, "checktoken\r\nToken:482913\r\nSeq:12\r\n"},
        {Status, 2147483647, "status\r\nSeq:2147483647\r\n"},
        {Heartbeat, 17, "heartbeat\r\nSeq:17\r\n"},
        {Heartbeat, -42, "heartbeat\r\nSeq:-42\r\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.bytes, Request(row.kind, "CAFE-PC07", token.data(), row.seq)) << "kind " << row.kind;
    EXPECT_EQ(19u, Request(Heartbeat, "", token.data(), 17).size());  // 11 + 8
}

TEST(TokenRequestTest, CheckTokenWithoutStoredTokenOrWithAFullOne)
{
    EXPECT_EQ("checktoken\r\nToken:\r\nSeq:1\r\n", Request(CheckToken, "", StoredToken("").data(), 1));
    // A 32-character token fills its field with no terminator after it.
    char full[33];
    std::string code(32, 'Z');
    code.copy(full, 32);
    full[32] = 'X';
    EXPECT_EQ("checktoken\r\nToken:" + code + "\r\nSeq:1\r\n", Request(CheckToken, "", full, 1));
}

TEST(TokenRequestTest, UnknownKindBuildsNothing)
{
    ByteBuffer out;
    EXPECT_FALSE(TokenProtocol::BuildRequest(out, 0, "", "", 1));
    EXPECT_FALSE(TokenProtocol::BuildRequest(out, 7, "", "", 1));
}

std::vector<std::string> Lines(std::string bytes)
{
    std::vector<std::string> lines;
    char* position = &bytes[0];
    size_t remaining = bytes.size();
    ReplyLine line;
    while (TokenProtocol::NextLine(position, remaining, line))
        lines.emplace_back(line.text, line.length);
    return lines;
}

TEST(NextLineTest, CutsLines)
{
    using L = std::vector<std::string>;
    struct Row {
        std::string bytes;
        L lines;
    } rows[] = {
        {"", L{}},
        {std::string("\0a\nb", 4), L{}},
        {"0\r\nseq:3\r\n", L{"0", "seq:3"}},
        {"0\nseq:3\n", L{"0", "seq:3"}},
        {"0\nseq:3", L{"0", "seq:3"}},
        {"0\r\nseq:3\r", L{"0", "seq:3"}},
        {"a\n\nb", L{"a", "", "b"}},
        {"a\r\r\nb", L{"a\r", "b"}},
        {std::string("ab\0cd\nef", 8), L{"ab", "ef"}},
        {std::string("a\n\0b\nc", 6), L{"a"}},
        {"\n", L{""}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.lines, Lines(row.bytes)) << "input of " << row.bytes.size() << " bytes";
}

TEST(ReadIntegerTest, ReadsLikeStrtolWithA32BitLong)
{
    struct Row {
        const char* text;
        bool ok;
        int32_t value;
    } rows[] = {
        {"0", true, 0},         {"0 further words", true, 0}, {"  \t-17x", true, -17},
        {"+4", true, 4},        {"99999999999", true, INT_MAX}, {"-99999999999", true, INT_MIN},
        {"-2147483648", true, INT_MIN}, {"", false, 0},      {"-", false, 0},
        {"x1", false, 0},       {"- 1", false, 0},            {" ", false, 0},
    };
    for (const Row& row : rows) {
        int32_t value = 12345;
        std::string text = row.text;
        EXPECT_EQ(row.ok, TokenProtocol::ReadInteger(text.data(), text.size(), value)) << row.text;
        if (row.ok) {
            EXPECT_EQ(row.value, value) << row.text;
        }
    }
}

// The datagram must outlive the fields, which point into it.
bool Parse(std::string& datagram, FieldTable& fields, int32_t& status)
{
    return TokenProtocol::ParseReply(&datagram[0], datagram.size(), fields, status);
}

std::string Field(const FieldTable& fields, const char* key)
{
    FieldText value;
    if (!fields.Find(key, value))
        return "<absent>";
    return std::string(value.text, value.length);
}

TEST(ParseReplyTest, DatagramsThatAreNoReply)
{
    const std::string inputs[] = {"", std::string("\0" "0\nseq:1", 8), "\n0\nseq:1", "ok\nseq:1", "-\nseq:1", "   \n"};
    for (std::string input : inputs) {
        FieldTable fields;
        int32_t status = 0;
        EXPECT_FALSE(Parse(input, fields, status)) << input;
    }
}

TEST(ParseReplyTest, StatusAndFields)
{
    std::string datagram = "0 all fine\r\nToken:482913\r\nTOKEN-TTL:120\r\nSeq:3\r\n";
    FieldTable fields;
    int32_t status = -9;
    ASSERT_TRUE(Parse(datagram, fields, status));
    EXPECT_EQ(0, status);
    EXPECT_EQ("482913", Field(fields, "token"));
    EXPECT_EQ("120", Field(fields, "token-ttl"));
    int32_t seq = 0;
    ASSERT_TRUE(TokenProtocol::ReadSeq(fields, seq));
    EXPECT_EQ(3, seq);
}

TEST(ParseReplyTest, FieldLineRules)
{
    std::string datagram =
        "2\nno colon here\nempty:\nkey: spaced \nDup:first\ndUP:last\n\xC4Zbc:x\nseq:abc\n:novalue\nurl:http://a:b\n";
    FieldTable fields;
    int32_t status = 0;
    ASSERT_TRUE(Parse(datagram, fields, status));
    EXPECT_EQ(2, status);
    EXPECT_EQ("<absent>", Field(fields, "empty"));
    EXPECT_EQ(" spaced ", Field(fields, "key"));
    EXPECT_EQ("last", Field(fields, "dup"));
    EXPECT_EQ("x", Field(fields, "\xC4zbc"));  // only A to Z change case
    EXPECT_EQ("novalue", Field(fields, ""));
    EXPECT_EQ("http://a:b", Field(fields, "url"));
    int32_t seq = 0;
    EXPECT_FALSE(TokenProtocol::ReadSeq(fields, seq));
}

TEST(ParseReplyTest, FieldsAreEmptiedForEachReply)
{
    FieldTable fields;
    int32_t status = 0;
    std::string first = "0\nseq:1\ntoken:A\n";
    ASSERT_TRUE(Parse(first, fields, status));
    std::string second = "0\nseq:2\n";
    ASSERT_TRUE(Parse(second, fields, status));
    EXPECT_EQ("<absent>", Field(fields, "token"));
    EXPECT_EQ("2", Field(fields, "seq"));
}

TEST(ParseReplyTest, LargeAndHostileDatagrams)
{
    // 64 KiB without a single line feed.
    std::string huge(65536, '7');
    FieldTable fields;
    int32_t status = 0;
    ASSERT_TRUE(Parse(huge, fields, status));
    EXPECT_EQ(INT_MAX, status);
    EXPECT_EQ(0u, fields.Count());

    // Ten thousand distinct fields, ending without a line feed.
    std::string many = "0";
    for (int i = 0; i < 10000; ++i)
        many += "\nk" + std::to_string(i) + ":v" + std::to_string(i);
    ASSERT_TRUE(Parse(many, fields, status));
    EXPECT_EQ(10000u, fields.Count());
    EXPECT_EQ("v9999", Field(fields, "k9999"));
    EXPECT_EQ("v0", Field(fields, "k0"));

    // Zero bytes cut lines; keys without values and lone colons are skipped.
    std::string nul("0\nseq:4\0garbage\n:\nx:\0y\ntoken:T", 31);
    ASSERT_TRUE(Parse(nul, fields, status));
    EXPECT_EQ("4", Field(fields, "seq"));
    EXPECT_EQ("<absent>", Field(fields, "x"));
    EXPECT_EQ("T", Field(fields, "token"));
}

struct InterpretRow {
    const char* name;
    int32_t kind;
    std::string datagram;
    int32_t result;
    std::string token;  // expected outcome token (only for result 0 of GetToken and CheckToken)
    int32_t value;
    bool storeToken;
};

TEST(InterpretReplyTest, OutcomesByKind)
{
    std::string token33(33, 'q');
    const InterpretRow rows[] = {
        {"code", GetToken, "0\ntoken:482913\ntoken-ttl:120\nseq:3", 0, "482913", 120, true},
        {"mixed case keys", GetToken, "0\nTOKEN:482913\nToKeN-TtL:120\nseq:3", 0, "482913", 120, true},
        {"ttl zero", GetToken, "0\ntoken:482913\ntoken-ttl:0\nseq:3", ResultMalformed, "", 0, false},
        {"ttl negative", GetToken, "0\ntoken:482913\ntoken-ttl:-5\nseq:3", ResultMalformed, "", 0, false},
        {"ttl not a number", GetToken, "0\ntoken:482913\ntoken-ttl:soon\nseq:3", ResultMalformed, "", 0, false},
        {"ttl after blanks", GetToken, "0\ntoken:1\ntoken-ttl: 60s\nseq:3", 0, "1", 60, true},
        {"no token", GetToken, "0\ntoken-ttl:120\nseq:3", ResultMalformed, "", 0, false},
        {"empty token", GetToken, "0\ntoken:\ntoken-ttl:120\nseq:3", ResultMalformed, "", 0, false},
        {"token cut to 32", GetToken, "0\ntoken:" + token33 + "\ntoken-ttl:9\nseq:3", 0, token33.substr(0, 32), 9, true},
        {"refused", GetToken, "2\ntoken:482913\ntoken-ttl:120\nseq:3", 2, "", 0, false},
        {"valid", CheckToken, "0\ntoken:482913\ntoken-valid:true\nseq:4", 0, "482913", 1, false},
        {"invalid", CheckToken, "0\ntoken:482913\ntoken-valid:false\nseq:4", 0, "482913", 0, false},
        {"capital True", CheckToken, "0\ntoken:482913\ntoken-valid:True\nseq:4", ResultMalformed, "", 0, false},
        {"blank before true", CheckToken, "0\ntoken:482913\ntoken-valid: true\nseq:4", ResultMalformed, "", 0, false},
        {"check without token", CheckToken, "0\ntoken-valid:true\nseq:4", ResultMalformed, "", 0, false},
        {"status", Status, "7\nseq:1", 7, "", 0, false},
        {"heartbeat", Heartbeat, "0\nseq:1", 0, "", 0, false},
    };
    for (const InterpretRow& row : rows) {
        std::string datagram = row.datagram;
        FieldTable fields;
        int32_t status = 0;
        ASSERT_TRUE(TokenProtocol::ParseReply(&datagram[0], datagram.size(), fields, status)) << row.name;
        ReplyOutcome outcome = TokenProtocol::InterpretReply(row.kind, status, fields);
        EXPECT_TRUE(outcome.finished) << row.name;
        EXPECT_EQ(row.result, outcome.result) << row.name;
        EXPECT_EQ(row.storeToken, outcome.storeToken) << row.name;
        if (row.result == 0 && (row.kind == GetToken || row.kind == CheckToken)) {
            EXPECT_EQ(row.token, std::string(outcome.token, strnlen(outcome.token, 32))) << row.name;
            EXPECT_EQ(row.value, outcome.value) << row.name;
        }
    }
}

TEST(InterpretReplyTest, SessionChanges)
{
    FieldTable fields;
    EXPECT_EQ(LoginNowIn, TokenProtocol::InterpretReply(Login, 0, fields).login);
    EXPECT_EQ(LoginUnchanged, TokenProtocol::InterpretReply(Login, 1, fields).login);
    EXPECT_EQ(LoginNowOut, TokenProtocol::InterpretReply(Logout, 0, fields).login);
    EXPECT_EQ(LoginUnchanged, TokenProtocol::InterpretReply(Logout, 3, fields).login);
    EXPECT_EQ(LoginUnchanged, TokenProtocol::InterpretReply(GetToken, ResultTimeout, fields).login);
    for (int32_t kind : {Logout, GetToken, CheckToken, Status, Heartbeat})
        EXPECT_FALSE(TokenProtocol::InterpretReply(kind, StatusNotLoggedIn, fields).finished) << kind;
    // A Login that the server answers with "not logged in" is refused, not
    // queued behind yet another Login.
    ReplyOutcome login = TokenProtocol::InterpretReply(Login, StatusNotLoggedIn, fields);
    EXPECT_TRUE(login.finished);
    EXPECT_EQ(StatusNotLoggedIn, login.result);
    EXPECT_EQ(LoginUnchanged, login.login);
}

TEST(InterpretReplyTest, WhoHearsOfIt)
{
    EXPECT_TRUE(TokenProtocol::ReportsToWindow(Login, 0));
    EXPECT_FALSE(TokenProtocol::ReportsToWindow(Login, EngineMarker));
    EXPECT_FALSE(TokenProtocol::ReportsToWindow(Logout, 0));
    EXPECT_TRUE(TokenProtocol::ReportsToWindow(GetToken, 0));
    EXPECT_TRUE(TokenProtocol::ReportsToWindow(CheckToken, 0));
    EXPECT_TRUE(TokenProtocol::ReportsToWindow(Status, 0));
    EXPECT_FALSE(TokenProtocol::ReportsToWindow(Heartbeat, 0));
}

} // namespace
