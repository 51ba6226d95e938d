"""A small HTTP server that answers by script, for the cases a real server
will not produce on demand: chunked bodies, pipelined answers, a transfer
coding to refuse, garbage, heads beyond 8192 bytes, slow and cut responses.

Each path names a scene; "?id=NAME" groups requests so that a later
"/count?of=NAME" or the scene itself can report what was seen.
"""
import socket
import threading
import time
from urllib.parse import urlsplit, parse_qs

OK11 = b"HTTP/1.1 200 OK\r\n"


def with_length(body, extra=b"", status=OK11):
    return status + extra + b"Content-Length: %d\r\n\r\n" % len(body) + body


def chunked(pieces, trailer=b""):
    out = OK11 + b"Transfer-Encoding: chunked\r\n\r\n"
    for piece in pieces:
        out += b"%x\r\n" % len(piece) + piece + b"\r\n"
    return out + b"0\r\n" + trailer + b"\r\n"


class Connection:
    def __init__(self, server, sock, number):
        self.server, self.sock, self.number = server, sock, number
        self.pending = b""
        self.requests = 0
        self.answered_ahead = 0

    def read_head(self):
        while b"\r\n\r\n" not in self.pending:
            data = self.sock.recv(65536)
            if not data:
                return None
            self.pending += data
        head, self.pending = self.pending.split(b"\r\n\r\n", 1)
        return head + b"\r\n\r\n"

    def serve(self):
        try:
            while True:
                head = self.read_head()
                if head is None:
                    return
                self.requests += 1
                if self.answered_ahead:
                    self.answered_ahead -= 1
                    continue
                if not self.answer(head):
                    return
        except OSError:
            return
        finally:
            self.sock.close()

    def answer(self, head):
        """Sends the scene's answer; False when the scene closes."""
        line = head.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split(" ")
        target = urlsplit(parts[1] if len(parts) > 1 else "/")
        version = parts[2][5:] if len(parts) > 2 else ""
        scene = target.path
        ident = parse_qs(target.query).get("id", [""])[0]
        seen = self.server.note(ident, version) if ident else []
        send = self.sock.sendall

        if scene == "/echo":
            send(with_length(head))
        elif scene == "/conn":
            send(with_length(b"conn=%d req=%d" % (self.number, self.requests)))
        elif scene == "/conn-close":
            send(with_length(b"conn=%d req=%d" % (self.number, self.requests), b"Connection: close\r\n"))
            return False
        elif scene == "/chunk5":
            send(chunked([b"hello"]))
        elif scene == "/chunked-many":
            pieces = [bytes((i * 7 + k) & 0xFF for k in range(i)) for i in range(1, 301)]
            data = chunked(pieces, b"X-Check: 1\r\n")
            for at in range(0, len(data), 997):
                send(data[at:at + 997])
        elif scene == "/pipelined":
            send(with_length(b"first") + with_length(b"second"))
            self.answered_ahead = 1
        elif scene == "/te-gzip":
            if version == "1.1":
                send(OK11 + b"Transfer-Encoding: gzip\r\n\r\n\x1f\x8b\x08\x00")
            else:
                send(b"HTTP/1.0 200 OK\r\n\r\nfallback ok")
            return False
        elif scene == "/garble-11":
            if version == "1.1":
                send(b"garbage\r\n\r\n")
            else:
                send(b"HTTP/1.0 200 OK\r\n\r\n" + ",".join(seen).encode())
            return False
        elif scene == "/garbage":
            send(b"garbage\r\n\r\n")
            return False
        elif scene == "/count":
            of = parse_qs(target.query).get("of", [""])[0]
            send(with_length(str(len(self.server.seen_for(of))).encode()))
        elif scene == "/bighead":
            send(OK11 + b"X-Big: " + b"x" * 9000 + b"\r\nContent-Length: 4\r\n\r\nbody")
            return False
        elif scene == "/bad-length":
            send(OK11 + b"Content-Length: -5\r\n\r\nbody")
            return False
        elif scene == "/slow":
            data = with_length(bytes(range(65, 91)) * 10)
            for at in range(len(data)):
                send(data[at:at + 1])
                time.sleep(0.001)
        elif scene == "/truncated":
            send(OK11 + b"Content-Length: 100\r\n\r\n0123456789")
            return False
        elif scene == "/until-close":
            send(OK11 + b"\r\nto the end")
            return False
        else:
            send(with_length(b"no such scene", status=b"HTTP/1.1 404 Not Found\r\n"))
        return True


class ScriptedServer:
    def __init__(self):
        self.lock = threading.Lock()
        self.connections = 0
        self.seen = {}
        self.listener = None
        self.thread = None
        self.running = False

    def note(self, ident, version):
        with self.lock:
            self.seen.setdefault(ident, []).append(version)
            return list(self.seen[ident])

    def seen_for(self, ident):
        with self.lock:
            return list(self.seen.get(ident, []))

    def start(self):
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(32)
        self.listener.settimeout(0.2)
        self.running = True
        self.thread = threading.Thread(target=self.accept_loop, daemon=True)
        self.thread.start()
        return self.listener.getsockname()[1]

    def accept_loop(self):
        while self.running:
            try:
                sock, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            sock.settimeout(30)
            with self.lock:
                self.connections += 1
                number = self.connections
            threading.Thread(target=Connection(self, sock, number).serve, daemon=True).start()

    def stop(self):
        self.running = False
        if self.thread:
            self.thread.join(timeout=5)
        if self.listener:
            self.listener.close()
