// Reply datagrams as the engine receives them: exactly the bytes read, no
// terminator, cut in place into lines and fields, then interpreted for the
// request of every kind that may be in flight.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tokenclient/FieldTable.h"
#include "tokenclient/RequestKind.h"
#include "tokenclient/TokenProtocol.h"
#include "tokenclient/TokenResult.h"

namespace {

// Reads every byte of the outcome, so that anything left unset is seen by
// the sanitizers' checks on the values that are used.
unsigned Touch(const ReplyOutcome& outcome)
{
    unsigned sum = static_cast<unsigned>(outcome.finished) + static_cast<unsigned>(outcome.result)
        + static_cast<unsigned>(outcome.value) + static_cast<unsigned>(outcome.login)
        + static_cast<unsigned>(outcome.storeToken);
    for (char c : outcome.token)
        sum += static_cast<unsigned char>(c);
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The engine's receive buffer holds at most 1 MiB.
    if (size > 1024 * 1024)
        return 0;
    // One table for all kinds, as the engine keeps one across replies.
    static FieldTable fields;
    volatile unsigned sink = 0;
    for (int32_t kind = Login; kind <= Heartbeat; ++kind) {
        // Parsing cuts the datagram in place: each kind gets a fresh copy of
        // exactly its size.
        char* datagram = static_cast<char*>(std::malloc(size ? size : 1));
        if (size)
            std::memcpy(datagram, data, size);
        int32_t status = 0;
        if (TokenProtocol::ParseReply(datagram, size, fields, status)) {
            int32_t seq = 0;
            if (TokenProtocol::ReadSeq(fields, seq))
                sink = sink + static_cast<unsigned>(seq);
            FieldText field;
            for (const char* key : { "token", "token-ttl", "token-valid", "seq" })
                if (fields.Find(key, field) && field.length)
                    sink = sink + static_cast<unsigned char>(field.text[field.length - 1]);
            ReplyOutcome outcome = TokenProtocol::InterpretReply(kind, status, fields);
            sink = sink + Touch(outcome);
        }
        // A give-up is interpreted with whatever the table holds.
        sink = sink + Touch(TokenProtocol::InterpretReply(kind, ResultTimeout, fields));
        std::free(datagram);
    }
    (void)sink;
    return 0;
}
