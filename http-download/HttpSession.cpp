#include "HttpSession.h"
#include "HttpErrors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace shrike;

namespace {
// The text for a body receive that ended with 0 or a negative result.
const char* BodyFailure(long got)
{
    return got == QuiHttpSession::kRefused ? kReadBodyCallback : kReadBodySocketRead;
}
}

QuiHttpSession::QuiHttpSession(QuiHttpTransport& transport, const char* proxyHost,
                               const char* serverHost, int port, size_t bodyLimit, uint32_t retrievalMs)
    : m_transport(transport),
      m_port(static_cast<uint16_t>(port)),
      m_viaProxy(proxyHost != nullptr),
      m_proxyHost(proxyHost ? proxyHost : ""),
      m_serverHost(serverHost ? serverHost : ""),
      m_bodyLimit(bodyLimit),
      m_retrievalMs(retrievalMs),
      m_buffer(new char[kBufferSize]()),
      m_request(new char[kBufferSize])
{
}

QuiHttpSession::~QuiHttpSession() { CloseConnection(); }

const char* QuiHttpSession::Retrieve(const char* path, QuiHttpSink& sink)
{
    m_tries = 0;
    m_started = m_transport.Now();
    for (bool first = true;; first = false) {
        if (!first) {
            // Whatever the failed try left open is of no use to the next.
            CloseConnection();
            if (m_tries > 2) {
                if (!m_http11)
                    return kRetrieveFailedAfterRetries;
                m_tries = 0;
                m_http11 = false;
            }
        }
        ++m_tries;
        if (const char* error = BuildRequest(m_request.get(), kBufferSize, &m_requestLength, path,
                                             m_serverHost.c_str(), m_viaProxy, m_http11))
            return error;

        HeadEnd head = {0, 0};
        const char* error = SendRequest();
        if (!error)
            error = ReadHead(true, &head);
        if (!error)
            error = ProcessHead(head.emptyLine);
        if (error) {
            if (ErrorClass(error) == 3 && TimeLeft())
                continue;
            CloseConnection();
            return error;
        }

        int status = StatusCode(m_buffer.get(), head.emptyLine);
        if (status != 200) {
            ReportStatus(path, status, head.emptyLine);
            CloseConnection();
            return kRetrieveStatus;
        }
        Drop(head.next);
        if (ReadBody(sink)) {
            CloseConnection();
            return kRetrieveBodyError;
        }
        if (!m_keepAlive)
            CloseConnection();
        return nullptr;
    }
}

const char* QuiHttpSession::OpenConn()
{
    if (m_keepAlive && m_socket)
        return nullptr;
    CloseConnection();
    if (!m_addressKnown) {
        const std::string& name = m_viaProxy ? m_proxyHost : m_serverHost;
        if (name.empty() || !m_transport.Resolve(name.c_str(), &m_address))
            return kOpenConnResolve;
    }
    m_socket = m_transport.Open();
    if (!m_socket)
        return kOpenConnSocket;
    m_addressKnown = false;
    uint32_t left = TimeLeft();
    if (!left || !m_transport.Connect(m_socket, m_address, m_port, left)) {
        CloseConnection();
        return kOpenConnConnect;
    }
    m_addressKnown = true;
    return nullptr;
}

const char* QuiHttpSession::SendRequest()
{
    if (OpenConn())
        return kSendOpenConnection;
    for (size_t sent = 0; sent < m_requestLength;) {
        uint32_t left = TimeLeft();
        long n = left ? m_transport.Send(m_socket, m_request.get() + sent, m_requestLength - sent, left) : -1;
        if (n <= 0)
            return m_http11 ? kSendWrite11 : kSendWrite10;
        sent += static_cast<size_t>(n);
    }
    return nullptr;
}

// Bytes already held (the rest of an earlier read) count as the start of
// the head.
const char* QuiHttpSession::ReadHead(bool statusLine, HeadEnd* end)
{
    for (;;) {
        if (FindHeadEnd(m_buffer.get(), m_held, end))
            return (statusLine && !CanBeStatusLine(m_buffer.get(), m_held)) ? kReadHeadConfused : nullptr;
        if (m_held == kBufferSize)
            return kReadHeadExcessive;
        if (ReceiveMore() <= 0)
            return kReadHeadReadError;
        if (statusLine && !CanBeStatusLine(m_buffer.get(), m_held))
            return kReadHeadConfused;
    }
}

const char* QuiHttpSession::ProcessHead(size_t length)
{
    HeadFacts facts = ReadHeadFacts(m_buffer.get(), length, m_http11);
    if (facts.unsupportedEncoding) {
        m_http11 = false;
        CloseConnection();
        return kProcessHeadTransferEncoding;
    }
    if (facts.badLength)
        return kReadHeadConfused;
    m_bodyMode = facts.bodyMode;
    m_keepAlive = facts.keepAlive;
    return nullptr;
}

void QuiHttpSession::ReportStatus(const char* path, int status, size_t headLength)
{
    const char* head = m_buffer.get();
    size_t line = 0;
    while (line < headLength && head[line] != '\r' && head[line] != '\n')
        ++line;
    const std::string shown = ReportableStatusLine(head, line);
    std::printf("Error: %s HTTP status %d%s\n", path, status, shown.c_str());
    std::fflush(stdout);
}

const char* QuiHttpSession::ReadBody(QuiHttpSink& sink)
{
    if (m_bodyMode == kBodyChunked)
        return ReadChunkedBody(sink);
    if (m_bodyMode == kBodyUntilClose)
        return ReadUntilClose(sink);
    return ReadLengthBody(sink, static_cast<size_t>(m_bodyMode));
}

const char* QuiHttpSession::ReadLengthBody(QuiHttpSink& sink, size_t remaining)
{
    if (remaining > m_bodyLimit)
        return kReadBodySocketRead;
    char* buffer = m_buffer.get();
    size_t n = std::min(m_held, remaining);
    if (n && !sink.Deliver(buffer, n))
        return kReadBodyCallback;
    Drop(n);
    remaining -= n;
    // Never more than the body, so a kept-alive connection stays in step.
    while (remaining > 0) {
        long got = ReceiveBody(sink, remaining);
        if (got <= 0)
            return BodyFailure(got);
        remaining -= static_cast<size_t>(got);
    }
    return nullptr;
}

const char* QuiHttpSession::ReadUntilClose(QuiHttpSink& sink)
{
    size_t taken = std::min(m_held, m_bodyLimit);
    if (taken && !sink.Deliver(m_buffer.get(), taken))
        return kReadBodyCallback;
    bool beyond = m_held > taken;
    m_held = 0;
    m_keepAlive = false;
    while (!beyond) {
        size_t left = m_bodyLimit - taken;
        // At the limit, one more byte (kept from the sink) tells a body that
        // ends there from one that goes on.
        long got = left ? ReceiveBody(sink, std::min(left, 8 * kBufferSize)) : Receive(m_buffer.get(), 1);
        if (got == 0)
            return nullptr;
        if (got < 0)
            return BodyFailure(got);
        beyond = left == 0;
        taken += static_cast<size_t>(got);
    }
    return kReadBodySocketRead;
}

const char* QuiHttpSession::ReadChunkedBody(QuiHttpSink& sink)
{
    char* buffer = m_buffer.get();
    for (size_t total = 0;;) {
        size_t lineFeed = 0;
        if (const char* error = HoldLineFeed(&lineFeed))
            return error;
        int32_t size = 0;
        if (!ParseChunkSize(buffer, lineFeed, &size))
            return kReadBodyBadChunk;
        if (static_cast<size_t>(size) > m_bodyLimit - total)
            return kReadBodySocketRead;
        total += static_cast<size_t>(size);
        Drop(lineFeed + 1);
        if (size == 0) {
            HeadEnd trailer;
            if (ReadHead(false, &trailer))
                return kReadBodyTrailer;
            Drop(trailer.next);
            return nullptr;
        }
        for (size_t remaining = static_cast<size_t>(size); remaining > 0;) {
            size_t n = std::min(m_held, remaining);
            if (n == 0) {
                long got = ReceiveBody(sink, remaining);
                if (got <= 0)
                    return BodyFailure(got);
                n = static_cast<size_t>(got);
            } else {
                if (!sink.Deliver(buffer, n))
                    return kReadBodyCallback;
                Drop(n);
            }
            remaining -= n;
        }
        if (const char* error = HoldAtLeast(1))
            return error;
        if (buffer[0] == '\r') {
            if (const char* error = HoldAtLeast(2))
                return error;
            if (buffer[1] != '\n')
                return kReadBodyNoCrlf;
            Drop(2);
        } else if (buffer[0] == '\n') {
            Drop(1);
        } else {
            return kReadBodyNoCrlf;
        }
    }
}

const char* QuiHttpSession::HoldLineFeed(size_t* at)
{
    for (;;) {
        if (const void* lf = std::memchr(m_buffer.get(), '\n', m_held)) {
            *at = static_cast<size_t>(static_cast<const char*>(lf) - m_buffer.get());
            return nullptr;
        }
        if (m_held == kBufferSize)
            return kReadBodyBadChunk;
        if (ReceiveMore() <= 0)
            return kReadBodySocketRead;
    }
}

const char* QuiHttpSession::HoldAtLeast(size_t count)
{
    while (m_held < count) {
        if (ReceiveMore() <= 0)
            return kReadBodySocketRead;
    }
    return nullptr;
}

// Receives up to `want` body bytes, into the sink's own room when it offers
// some, and delivers them: the count, 0 when the peer closed, kReceiveFailed
// or kRefused.
long QuiHttpSession::ReceiveBody(QuiHttpSink& sink, size_t want)
{
    // Under Wine a receive much larger than this is slower, not faster.
    const size_t kLargestReceive = 1 << 20;
    // Room for one receive, not for what the peer announced: a length or
    // chunk size of 2 GB must not make the sink reserve 2 GB for a few bytes.
    size_t room = 0;
    char* place = sink.Room(std::min(want, kLargestReceive), &room);
    if (!place || room == 0) {
        place = m_buffer.get();
        room = kBufferSize;
    }
    long n = Receive(place, std::min(std::min(want, room), kLargestReceive));
    if (n <= 0)
        return n < 0 ? kReceiveFailed : 0;
    if (place != m_buffer.get())
        sink.Commit(static_cast<size_t>(n));
    else if (!sink.Deliver(place, static_cast<size_t>(n)))
        return kRefused;
    return n;
}

long QuiHttpSession::ReceiveMore()
{
    long got = Receive(m_buffer.get() + m_held, kBufferSize - m_held);
    if (got > 0)
        m_held += static_cast<size_t>(got);
    return got;
}

// A receive within what is left of the retrieval's time; -1 once it is gone.
long QuiHttpSession::Receive(char* into, size_t capacity)
{
    uint32_t left = TimeLeft();
    return left ? m_transport.Receive(m_socket, into, capacity, left) : -1;
}

uint32_t QuiHttpSession::TimeLeft()
{
    uint32_t spent = m_transport.Now() - m_started;
    return spent < m_retrievalMs ? m_retrievalMs - spent : 0;
}

void QuiHttpSession::Drop(size_t count)
{
    std::memmove(m_buffer.get(), m_buffer.get() + count, m_held - count);
    m_held -= count;
}

void QuiHttpSession::CloseConnection()
{
    if (m_socket)
        m_transport.Close(m_socket);
    m_socket = 0;
    m_keepAlive = false;
    m_held = 0;
}
