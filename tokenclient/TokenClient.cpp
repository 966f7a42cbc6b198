#include "tokenclient/TokenClient.h"

#include <windows.h>

#include "tokenclient/TokenClientImpl.h"
#include "tokenclient/WinTokenPlatform.h"

namespace {

DWORD WINAPI RunWorker(void* engine)
{
    static_cast<TokenClientImpl*>(engine)->WorkerMain();
    return 0;
}

} // namespace

TokenClient::TokenClient() : impl(WinTokenPlatform::CreateEngine(nullptr, TokenServerPort)) {}

TokenClient::TokenClient(const char* serverAddress, uint16_t serverPort)
    : impl(WinTokenPlatform::CreateEngine(serverAddress ? serverAddress : "", serverPort))
{
}

TokenClient::TokenClient(TokenClientImpl* engine) : impl(engine) {}

// The engine and its worker outlive the facade on purpose.
TokenClient::~TokenClient() {}

void TokenClient::Start(void* window)
{
    if (!impl->PrepareStart(window))
        return;
    // The worker's handle is never waited for: it runs until the process ends
    // unless Stop is called.
    HANDLE worker = CreateThread(nullptr, 0, RunWorker, impl, 0, nullptr);
    if (!worker)
        impl->ReportStartFailure(StartNoWorker);
}

bool TokenClient::PostRequest(RequestKind kind) { return impl->PostRequest(kind); }

void TokenClient::Stop() { impl->RequestStop(); }
