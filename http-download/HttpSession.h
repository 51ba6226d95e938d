// One download session: a server (or the proxy in front of it), one
// persistent connection at a time, and the engine that fetches a path over
// it with retries and the fall-back from HTTP/1.1 to HTTP/1.0.
#pragma once
#include "HttpProtocol.h"
#include "HttpTransport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class QuiHttpSession {
public:
    static constexpr size_t kBufferSize = 8192;
    // What a body receive answers besides a count or 0 (the peer closed).
    static constexpr long kReceiveFailed = -1;
    static constexpr long kRefused = -2;
    // Most bytes of a body, however it is delimited: a body that goes beyond
    // fails as a read error, so a peer that never stops, or announces more,
    // cannot fill memory. Far above any file the updater fetches.
    static constexpr size_t kBodyLimit = 64u << 20;
    // How long one retrieval may take, all its tries together: a peer that
    // sends a byte just within each wait's time-out must not hold the caller
    // for ever. Running out fails as the read error of the step waiting.
    static constexpr uint32_t kRetrievalMs = 10 * 60 * 1000;

    // proxyHost null: requests go straight to serverHost. port belongs to
    // whichever of the two is connected to.
    QuiHttpSession(QuiHttpTransport& transport, const char* proxyHost, const char* serverHost,
                   int port, size_t bodyLimit = kBodyLimit, uint32_t retrievalMs = kRetrievalMs);
    ~QuiHttpSession();
    QuiHttpSession(const QuiHttpSession&) = delete;
    QuiHttpSession& operator=(const QuiHttpSession&) = delete;

    // Fetches path, giving the body to sink. Null on success, else the fixed
    // text of the failure that ended the retrieval.
    const char* Retrieve(const char* path, QuiHttpSink& sink);

    bool KeepAlive() const { return m_keepAlive; }
    bool Http11() const { return m_http11; }
    bool Connected() const { return m_socket != 0; }
    int Tries() const { return m_tries; }
    const std::string& ProxyHost() const { return m_proxyHost; }
    bool ViaProxy() const { return m_viaProxy; }
    uint16_t Port() const { return m_port; }

private:
    const char* OpenConn();
    const char* SendRequest();
    const char* ReadHead(bool statusLine, shrike::HeadEnd* end);
    const char* ProcessHead(size_t length);
    void ReportStatus(const char* path, int status, size_t headLength);
    const char* ReadBody(QuiHttpSink& sink);
    const char* ReadLengthBody(QuiHttpSink& sink, size_t length);
    const char* ReadUntilClose(QuiHttpSink& sink);
    const char* ReadChunkedBody(QuiHttpSink& sink);
    const char* HoldLineFeed(size_t* at);
    const char* HoldAtLeast(size_t count);
    long ReceiveMore();
    long Receive(char* into, size_t capacity);
    // What is left of the retrieval's time; 0 once it has run out.
    uint32_t TimeLeft();
    long ReceiveBody(QuiHttpSink& sink, size_t want);
    void Drop(size_t count);
    void CloseConnection();

    QuiHttpTransport& m_transport;
    QuiHttpTransport::Socket m_socket = 0;
    bool m_keepAlive = false;
    bool m_http11 = true;
    uint32_t m_address = 0;
    bool m_addressKnown = false;
    uint16_t m_port;
    bool m_viaProxy;
    std::string m_proxyHost;
    std::string m_serverHost;
    int32_t m_bodyMode = 0;
    size_t m_bodyLimit;
    uint32_t m_retrievalMs;
    uint32_t m_started = 0; // the clock when the retrieval began
    size_t m_held = 0; // bytes at the start of m_buffer not yet consumed
    std::unique_ptr<char[]> m_buffer;
    int m_tries = 0;
    // Built apart from m_buffer, which may still hold the start of the next
    // response on a kept-alive connection.
    std::unique_ptr<char[]> m_request;
    size_t m_requestLength = 0;
};
