#include "tokenclient/TokenProtocol.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "tokenclient/ByteBuffer.h"
#include "tokenclient/FieldTable.h"
#include "tokenclient/RequestKind.h"
#include "tokenclient/TokenResult.h"

namespace {

size_t BoundedLength(const char* text, size_t limit)
{
    if (!text)
        return 0;
    const void* end = std::memchr(text, 0, limit);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - text) : limit;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool Equals(const FieldText& field, const char* word)
{
    size_t length = std::strlen(word);
    return field.length == length && std::memcmp(field.text, word, length) == 0;
}

void CopyToken(char (&token)[TokenProtocol::TokenSize], const FieldText& field)
{
    size_t count = field.length < TokenProtocol::TokenSize ? field.length : TokenProtocol::TokenSize;
    std::memset(token, 0, sizeof token);
    std::memcpy(token, field.text, count);
}

// Reads the numbers of token-ttl: like ReadInteger, but text that is not a
// number reads as 0.
int32_t ReadNumberOrZero(const FieldText& field)
{
    int32_t value = 0;
    if (!TokenProtocol::ReadInteger(field.text, field.length, value))
        return 0;
    return value;
}

void InterpretGetToken(const FieldTable& fields, ReplyOutcome& outcome)
{
    FieldText token, ttl;
    if (!fields.Find("token", token) || !fields.Find("token-ttl", ttl) || ReadNumberOrZero(ttl) <= 0) {
        outcome.result = ResultMalformed;
        return;
    }
    CopyToken(outcome.token, token);
    outcome.value = ReadNumberOrZero(ttl);
    outcome.storeToken = true;
}

void InterpretCheckToken(const FieldTable& fields, ReplyOutcome& outcome)
{
    FieldText token, valid;
    if (!fields.Find("token", token) || !fields.Find("token-valid", valid)) {
        outcome.result = ResultMalformed;
        return;
    }
    if (Equals(valid, "true"))
        outcome.value = 1;
    else if (Equals(valid, "false"))
        outcome.value = 0;
    else {
        outcome.result = ResultMalformed;
        return;
    }
    CopyToken(outcome.token, token);
}

} // namespace

bool TokenProtocol::BuildRequest(ByteBuffer& out, int32_t kind, const char* hostName,
                                 const char* token, int32_t seq)
{
    bool ok = true;
    switch (kind) {
    case Login:
        ok = out.AppendText("login\r\nName:") &&
             out.Append(hostName, BoundedLength(hostName, MaxHostNameLength)) && out.AppendText("\r\n");
        break;
    case Logout:
        ok = out.AppendText("logout\r\n");
        break;
    case GetToken:
        ok = out.AppendText("gimmeatoken\r\n");
        break;
    case CheckToken:
        // The stored token is zero-padded but has no terminator when it is 32
        // characters long.
        ok = out.AppendText("checktoken\r\nToken:") && out.Append(token, BoundedLength(token, TokenSize)) &&
             out.AppendText("\r\n");
        break;
    case Status:
        ok = out.AppendText("status\r\n");
        break;
    case Heartbeat:
        ok = out.AppendText("heartbeat\r\n");
        break;
    default:
        return false;
    }
    char line[24];
    int length = std::snprintf(line, sizeof line, "Seq:%d\r\n", static_cast<int>(seq));
    return ok && out.Append(line, static_cast<size_t>(length));
}

bool TokenProtocol::NextLine(char*& position, size_t& remaining, ReplyLine& line)
{
    if (remaining == 0 || *position == 0)
        return false;
    char* start = position;
    char* feed = static_cast<char*>(std::memchr(start, '\n', remaining));
    size_t extent = feed ? static_cast<size_t>(feed - start) : remaining;
    if (feed) {
        *feed = 0;
        position = feed + 1;
        remaining -= extent + 1;
    } else {
        position = start + extent;
        remaining = 0;
    }
    if (extent > 0 && start[extent - 1] == '\r')
        start[--extent] = 0;
    line.text = start;
    line.length = BoundedLength(start, extent);
    return true;
}

bool TokenProtocol::ReadInteger(const char* text, size_t length, int32_t& value)
{
    size_t i = 0;
    while (i < length && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= length || text[i] < '0' || text[i] > '9')
        return false;
    // Accumulate the magnitude with room for INT32_MIN, then saturate.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool TokenProtocol::ParseReply(char* data, size_t length, FieldTable& fields, int32_t& status)
{
    char* position = data;
    size_t remaining = length;
    ReplyLine line;
    if (!NextLine(position, remaining, line) || !ReadInteger(line.text, line.length, status))
        return false;
    fields.Clear();
    while (NextLine(position, remaining, line)) {
        char* colon = static_cast<char*>(std::memchr(line.text, ':', line.length));
        if (!colon)
            continue;
        size_t keyLength = static_cast<size_t>(colon - line.text);
        size_t valueLength = line.length - keyLength - 1;
        if (valueLength == 0)
            continue;
        for (size_t i = 0; i < keyLength; ++i) {
            if (line.text[i] >= 'A' && line.text[i] <= 'Z')
                line.text[i] = static_cast<char>(line.text[i] - 'A' + 'a');
        }
        // The colon becomes the key's terminator; the value keeps its length.
        *colon = 0;
        fields.Set(line.text, keyLength, colon + 1, valueLength);
    }
    return true;
}

bool TokenProtocol::ReadSeq(const FieldTable& fields, int32_t& seq)
{
    FieldText field;
    return fields.Find("seq", field) && ReadInteger(field.text, field.length, seq);
}

ReplyOutcome TokenProtocol::InterpretReply(int32_t kind, int32_t status, const FieldTable& fields)
{
    ReplyOutcome outcome;
    std::memset(&outcome, 0, sizeof outcome);
    outcome.finished = true;
    outcome.result = status;
    outcome.login = LoginUnchanged;
    // A Login answered "not logged in" is a refusal: putting another Login in
    // front of it would only repeat the exchange with a growing queue.
    if (status == StatusNotLoggedIn && kind != Login) {
        outcome.finished = false;
        return outcome;
    }
    if (status != StatusOk)
        return outcome;
    switch (kind) {
    case Login:
        outcome.login = LoginNowIn;
        break;
    case Logout:
        outcome.login = LoginNowOut;
        break;
    case GetToken:
        InterpretGetToken(fields, outcome);
        break;
    case CheckToken:
        InterpretCheckToken(fields, outcome);
        break;
    default:
        break;
    }
    return outcome;
}

bool TokenProtocol::ReportsToWindow(int32_t kind, uint32_t marker)
{
    if (marker == EngineMarker)
        return false;
    return kind == Login || kind == GetToken || kind == CheckToken || kind == Status;
}
