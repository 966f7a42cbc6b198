#pragma once

#include <cstdint>

// What a request asks of the authentication server. The numbers are used
// inside the client and in TokenEvent::kind; they never go on the wire.
enum RequestKind : int32_t {
    Login = 1,       // opens a session; the engine sends it by itself while logged out
    Logout = 2,      // ends the session inside the numbered exchange
    GetToken = 3,    // a new verification code and its lifetime
    CheckToken = 4,  // whether the code last received is still valid
    Status = 5,      // a status query; only the reply's status is used
    Heartbeat = 6,   // keeps the session alive; the engine sends it when idle
};

inline bool IsRequestKind(int32_t kind) { return kind >= Login && kind <= Heartbeat; }
