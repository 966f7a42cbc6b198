#pragma once

#include <cstdint>

// Posted to the target window when a request finishes; wParam 0, lParam the
// TokenEvent. The event is allocated with new and belongs to the window from
// the moment it is posted: the window releases it with delete.
const unsigned int MSG_CLIENT_EVENT = 1024 + 100;

// Posted once when the worker cannot start; wParam the TokenStartError code,
// lParam 0. The worker has ended; later requests stay unanswered.
const unsigned int MSG_CLIENT_CONNECT_FAILED = 1024 + 101;

// The outcome of one finished request, as the window receives it.
struct TokenEvent {
    int32_t kind;     // the RequestKind of the finished request
    int32_t result;   // the server's status, or ResultTimeout, or ResultMalformed
    uint32_t marker;  // the request's marker; 0 in every posted event
    // GetToken and CheckToken with result 0: the code, zero-padded. A code of
    // 32 characters fills the field without a terminator, so read at most 32.
    char token[32];
    // GetToken with result 0: the code's lifetime in seconds (above 0).
    // CheckToken with result 0: 1 while the code is valid, 0 once it is not.
    int32_t value;
};
