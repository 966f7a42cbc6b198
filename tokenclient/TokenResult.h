#pragma once

#include <cstdint>

// Results share one integer: 0 and above come from the server's status line,
// negative values are the client's own.
enum TokenResult : int32_t {
    StatusOk = 0,           // the request succeeded
    StatusNotLoggedIn = 4,  // the server has no session: the engine logs in and repeats
    ResultTimeout = -1,     // no accepted reply before the request was given up
    ResultMalformed = -2,   // a status-0 reply lacked a required field or had an unusable value
};

// Why the worker could not start; carried by MSG_CLIENT_CONNECT_FAILED.
enum TokenStartError : int32_t {
    StartWinsockFailed = -99,     // the socket layer (version 1.1) would not initialise
    StartNoHostName = -100,       // the PC's host name could not be read
    StartHostLookupFailed = -101, // the PC's own host name could not be looked up
    StartNoGateway = -102,        // no adapter information or no usable gateway route
    StartNoWorker = -103,         // the worker thread could not be created
};

// Marks the logins that the engine puts in front by itself; their outcome
// never reaches the window.
const uint32_t EngineMarker = 0xFFFFDEADu;

// The server's UDP port.
const uint16_t TokenServerPort = 9110;
