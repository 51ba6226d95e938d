// A strict scripted peer for the engine: each connection the engine opens
// takes the next scripted byte stream; what the engine sends and closes is
// recorded, and a call on a socket that is not open fails the test. Time is
// the peer's own clock, which only its slow answers move.
#pragma once
#include "HttpTransport.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

class ScriptedTransport : public QuiHttpTransport {
public:
    // A piece that makes its receive fail.
    static std::string Failure() { return std::string("\0fail", 5); }

    struct Connection {
        Connection() {}
        Connection(std::vector<std::string> p) : pieces(std::move(p)) {}
        std::vector<std::string> pieces; // successive receives; then the peer closes
        bool refuseConnect = false;
        size_t sendLimit = 0; // most bytes one send takes; 0: all
        bool failSend = false;
        uint32_t everyMs = 0; // how long each receive waits for its answer
        std::string sent;
        bool open = true;
        size_t next = 0, offset = 0;
    };

    std::vector<Connection> script; // taken in order by Open
    std::vector<Connection> used;
    bool failResolve = false;
    bool failOpen = false;
    std::vector<std::string> resolved;
    uint16_t connectPort = 0;
    uint32_t clock = 0;

    // The same stream for n connections in a row.
    void Repeat(int n, const std::vector<std::string>& pieces)
    {
        for (int i = 0; i < n; ++i)
            script.push_back(Connection{pieces});
    }
    int OpenSockets() const
    {
        int n = 0;
        for (const Connection& c : used)
            n += c.open ? 1 : 0;
        return n;
    }

    uint32_t Now() override { return clock; }
    bool Resolve(const char* name, uint32_t* address) override
    {
        resolved.push_back(name);
        *address = 0x0100007f;
        return !failResolve;
    }
    Socket Open() override
    {
        if (failOpen)
            return 0;
        if (script.empty()) {
            ADD_FAILURE() << "connection opened beyond the script";
            return 0;
        }
        used.push_back(script.front());
        script.erase(script.begin());
        return used.size();
    }
    bool Connect(Socket s, uint32_t, uint16_t port, uint32_t) override
    {
        connectPort = port;
        return !At(s).refuseConnect;
    }
    long Send(Socket s, const char* data, size_t length, uint32_t) override
    {
        Connection& c = At(s);
        if (c.failSend)
            return -1;
        size_t n = (c.sendLimit && c.sendLimit < length) ? c.sendLimit : length;
        c.sent.append(data, n);
        return static_cast<long>(n);
    }
    long Receive(Socket s, char* buffer, size_t capacity, uint32_t waitMs) override
    {
        Connection& c = At(s);
        // An answer slower than the caller waits is a receive that fails.
        if (c.everyMs > waitMs) {
            clock += waitMs;
            return -1;
        }
        clock += c.everyMs;
        if (c.next >= c.pieces.size())
            return 0;
        const std::string& piece = c.pieces[c.next];
        if (piece == Failure()) {
            ++c.next;
            return -1;
        }
        size_t n = piece.size() - c.offset < capacity ? piece.size() - c.offset : capacity;
        std::memcpy(buffer, piece.data() + c.offset, n);
        c.offset += n;
        if (c.offset == piece.size()) {
            ++c.next;
            c.offset = 0;
        }
        return static_cast<long>(n);
    }
    void Close(Socket s) override { At(s).open = false; }

private:
    Connection& At(Socket s)
    {
        static Connection none;
        if (s == 0 || s > used.size() || !used[s - 1].open) {
            ADD_FAILURE() << "call on socket " << s << ", which is not open";
            return none;
        }
        return used[s - 1];
    }
};

// Collects the body; refuses every piece after `accept` pieces when set.
class CollectingSink : public QuiHttpSink {
public:
    std::string body;
    int pieces = 0;
    int accept = -1;
    bool Deliver(const char* data, size_t length) override
    {
        if (accept >= 0 && pieces >= accept)
            return false;
        ++pieces;
        body.append(data, length);
        return true;
    }
};
