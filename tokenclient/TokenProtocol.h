#pragma once

#include <cstddef>
#include <cstdint>

class ByteBuffer;
class FieldTable;

// One line of a received datagram: its text up to the first zero byte.
struct ReplyLine {
    char* text;
    size_t length;
};

// How an accepted reply changes the logged-in state.
enum LoginChange { LoginUnchanged, LoginNowIn, LoginNowOut };

// What an accepted reply (or a give-up) means for the request in flight.
struct ReplyOutcome {
    bool finished;      // false for StatusNotLoggedIn: log in, then send again
    int32_t result;
    char token[32];     // zero-padded; a 32-character token has no terminator
    int32_t value;
    LoginChange login;
    bool storeToken;    // token replaces the one sent with later CheckTokens
};

// The token protocol: request bytes, cutting replies into lines and fields,
// and what an accepted reply means.
class TokenProtocol {
public:
    static constexpr size_t TokenSize = 32;
    static constexpr size_t MaxHostNameLength = 259;

    // Appends the command part of the kind and the sequence line. hostName is
    // used by Login, token (TokenSize bytes, zero-padded) by CheckToken.
    // Returns false for an unknown kind or when the buffer is full.
    static bool BuildRequest(ByteBuffer& out, int32_t kind, const char* hostName,
                             const char* token, int32_t seq);

    // The 8 bytes sent alone when a logged-in socket is closed.
    static const char* ClosingLogout() { return "logout\r\n"; }
    static size_t ClosingLogoutLength() { return 8; }

    // Cuts the next line at position, with remaining bytes left: the line
    // feed and a carriage return before it become zero bytes. False when no
    // bytes remain or the next byte is a zero byte.
    static bool NextLine(char*& position, size_t& remaining, ReplyLine& line);

    // Reads a decimal integer the way strtol does with a 32-bit long:
    // leading white space, an optional sign, digits; the rest is ignored and
    // values beyond 32 bits saturate. False when there is no digit.
    static bool ReadInteger(const char* text, size_t length, int32_t& value);

    // Cuts a datagram in place into its status and fields (which are emptied
    // first). False when the datagram has no first line or its first line no
    // number: then it is no reply.
    static bool ParseReply(char* data, size_t length, FieldTable& fields, int32_t& status);

    // The reply's "seq" field; false when it is missing or holds no number.
    static bool ReadSeq(const FieldTable& fields, int32_t& seq);

    // The outcome of a request of the kind finished with status (a server
    // status, or a result of the client's own); fields are read only for 0.
    static ReplyOutcome InterpretReply(int32_t kind, int32_t status, const FieldTable& fields);

    // Whether a finished request of this kind and marker is reported to the
    // window.
    static bool ReportsToWindow(int32_t kind, uint32_t marker);
};
