#!/usr/bin/env python3
"""Runs one command beside real HTTP peers on 127.0.0.1 and stops them after.

peers.py --root DIR [--file NAME:SIZE ...] -- command...

Starts nginx (serving test files), tinyproxy (a forward proxy) and our
scripted server (odd and broken responses on purpose), each on a free port
with its own configuration in a fresh folder under DIR, and passes their
ports in SHRIKE_NGINX_PORT, SHRIKE_PROXY_PORT, SHRIKE_SCRIPTED_PORT and the
folder (as a Wine path) in SHRIKE_PEER_DIR. A test-listing run gets no peers.
"""
import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from scripted_server import ScriptedServer  # noqa: E402


def pattern(size):
    """The bytes of the pattern files: byte i is (31 i + i / 2048) mod 256."""
    return bytes(((i * 31) + (i >> 11)) & 0xFF for i in range(size))


def write_pattern(path, size):
    # Over a whole MiB the (i / 2048) term only adds a constant, so each
    # MiB is the first one with its bytes shifted.
    block = pattern(1 << 20)
    with open(path, "wb") as out:
        for done in range(0, size, len(block)):
            shift = (done >> 11) & 0xFF
            table = bytes((k + shift) & 0xFF for k in range(256))
            out.write(block[:size - done].translate(table))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_listening(port, process, deadline):
    while time.monotonic() < deadline and process.poll() is None:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return True
        except OSError:
            time.sleep(0.02)
    return False


def start(name, make_command, run):
    """Starts a peer on a free port; tries a few ports in case one is taken."""
    for _ in range(5):
        port = free_port()
        command = make_command(port)
        log = open(os.path.join(run, name + ".out"), "wb")
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        if wait_listening(port, process, time.monotonic() + 10):
            return process, port
        stop(process)
    raise RuntimeError(name + " did not start; see " + run)


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def nginx_command(run):
    def make(port):
        conf = os.path.join(run, "nginx.conf")
        temp = os.path.join(run, "temp")
        with open(conf, "w") as f:
            f.write(f"""daemon off;
master_process off;
worker_processes 1;
pid {run}/nginx.pid;
error_log {run}/nginx-error.log;
events {{ worker_connections 64; }}
http {{
    log_format peer '$connection $connection_requests "$request" $status';
    access_log {run}/access.log peer;
    client_body_temp_path {temp}/body;
    proxy_temp_path {temp}/proxy;
    fastcgi_temp_path {temp}/fastcgi;
    uwsgi_temp_path {temp}/uwsgi;
    scgi_temp_path {temp}/scgi;
    sendfile on;
    tcp_nopush on;
    keepalive_timeout 60;
    keepalive_requests 1000;
    default_type application/octet-stream;
    server {{
        listen 127.0.0.1:{port};
        root {run}/www;
    }}
}}
""")
        return ["nginx", "-p", run, "-c", conf, "-e", os.path.join(run, "nginx-error.log")]
    return make


def tinyproxy_command(run):
    def make(port):
        conf = os.path.join(run, "tinyproxy.conf")
        with open(conf, "w") as f:
            f.write(f"""Port {port}
Listen 127.0.0.1
Timeout 60
LogFile "{run}/tinyproxy.log"
LogLevel Info
PidFile "{run}/tinyproxy.pid"
MaxClients 20
Allow 127.0.0.1
DisableViaHeader Yes
""")
        return ["tinyproxy", "-d", "-c", conf]
    return make


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--file", action="append", default=[], help="NAME:SIZE pattern file to serve")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if "--gtest_list_tests" in command:
        os.execvp(command[0], command)

    os.makedirs(args.root, exist_ok=True)
    run = tempfile.mkdtemp(prefix="run-", dir=args.root)
    os.makedirs(os.path.join(run, "www"))
    os.makedirs(os.path.join(run, "temp"))
    with open(os.path.join(run, "www", "hello.txt"), "wb") as f:
        f.write(b"Hello from nginx.\n")
    write_pattern(os.path.join(run, "www", "pattern.bin"), (1 << 20) + 12345)
    for spec in args.file:
        name, size = spec.split(":")
        write_pattern(os.path.join(run, "www", name), int(size))

    processes = []
    scripted = ScriptedServer()
    status = 1
    try:
        nginx, nginx_port = start("nginx", nginx_command(run), run)
        processes.append(nginx)
        proxy, proxy_port = start("tinyproxy", tinyproxy_command(run), run)
        processes.append(proxy)
        scripted_port = scripted.start()
        env = dict(os.environ,
                   SHRIKE_NGINX_PORT=str(nginx_port),
                   SHRIKE_PROXY_PORT=str(proxy_port),
                   SHRIKE_SCRIPTED_PORT=str(scripted_port),
                   SHRIKE_PEER_DIR=wine_path(run))
        status = subprocess.call(command, env=env, stdin=subprocess.DEVNULL)
    finally:
        for process in reversed(processes):
            stop(process)
        scripted.stop()
        if status == 0:
            shutil.rmtree(run, ignore_errors=True)
        else:
            print("peers: logs kept in " + run, file=sys.stderr)
    return status


if __name__ == "__main__":
    sys.exit(main())
