#!/usr/bin/python3
"""Abusive clients of the web service, one case per run; prints what happened as JSON.

    web_abuse.py slow HOST PORT            a request sent a byte at a time, then one that stops
                                           half-way: the first answered, the second closed
    web_abuse.py crowd HOST PORT N [BIND]  N idle connections at once: how many the server
                                           keeps, whether a client (from BIND) is served
                                           meanwhile and once they are gone
    web_abuse.py odd HOST PORT             huge headers and bodies, ".." and NUL in paths,
                                           unknown methods: the status of each
    web_abuse.py heads HOST PORT N DRIP    a head sent a byte every DRIP s: when it is closed; then
                                           N half-sent heads from each of 127.0.0.1-4 while
                                           127.0.0.5 asks: its status
    web_abuse.py guess HOST PORT USER N    N wrong passwords over HTTPS (CA file in "CAFILE"),
                                           then the right one ("RIGHT"): [ms, status] each;
                                           with "ABANDON" (seconds) each wrong one is given up
                                           after that long (status 0)
"""
import http.client
import json
import os
import resource
import socket
import ssl
import sys
import time


def connect(host, port, bind=None):
    s = socket.socket(socket.AF_INET6 if ":" in host else socket.AF_INET, socket.SOCK_STREAM)
    if bind:
        s.bind((bind, 0))
    s.settimeout(10)
    s.connect((host, port))
    return s


def status_of(s, request, timeout=10):
    """Sends raw bytes and returns the reply's status (0 when the connection just closes)."""
    s.settimeout(timeout)
    try:
        s.sendall(request)
        data = b""
        while b"\r\n" not in data:
            chunk = s.recv(4096)
            if not chunk:
                break
            data += chunk
    except (ConnectionResetError, BrokenPipeError, socket.timeout):
        return 0
    parts = data.split(b" ")
    return int(parts[1]) if len(parts) > 1 and parts[1].isdigit() else 0


def closed_within(s, timeout):
    start = time.monotonic()
    s.settimeout(timeout)
    try:
        while s.recv(4096):
            pass
        return time.monotonic() - start
    except socket.timeout:
        return None
    except (ConnectionResetError, BrokenPipeError):
        return time.monotonic() - start


def healthz(host, port, bind=None, timeout=5):
    try:
        s = connect(host, port, bind)
        return status_of(s, b"GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
                         timeout)
    except OSError:
        return 0


def slow(host, port):
    s = connect(host, port)
    request = b"GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"
    for i in range(len(request) - 1):
        s.send(request[i:i + 1])
        time.sleep(0.02)  # a sender this slow is the case
    slow_status = status_of(s, request[-1:])
    half = connect(host, port)
    half.sendall(b"GET /api/v1/ups HTTP/1.1\r\nHost: x\r\nX-Half: ")
    return {"slowStatus": slow_status, "halfClosedAfter": closed_within(half, 30)}


def crowd(host, port, n, bind=None):
    sockets = []
    for _ in range(n):
        try:
            sockets.append(connect(host, port, bind))
        except OSError:
            break
    # The server closes what it will not keep as it takes them in, which the client sees only
    # by looking after a while.
    time.sleep(1.0)
    kept = 0
    for s in sockets:
        s.setblocking(False)
        try:
            kept += 1 if s.recv(1) else 0  # data: not ours to expect
        except BlockingIOError:
            kept += 1  # still open, nothing to read
        except OSError:
            pass  # closed by the server
    during = healthz(host, port, bind)
    for s in sockets:
        s.close()
    # The places come free as the server hears of the closes: asked again until served.
    end = time.monotonic() + 10
    after = healthz(host, port, bind)
    while after != 200 and time.monotonic() < end:
        time.sleep(0.05)
        after = healthz(host, port, bind)
    return {"opened": len(sockets), "kept": kept, "servedDuring": during, "servedAfter": after}


def heads(host, port, n, drip):
    s = connect(host, port)
    s.sendall(b"GET /healthz HTTP/1.1\r\nHost: x\r\nX-Drip: ")
    start = time.monotonic()
    closed = None
    while closed is None and time.monotonic() - start < 12:
        s.settimeout(drip)
        try:
            s.send(b"a")
            if not s.recv(1):
                closed = time.monotonic() - start
        except socket.timeout:
            pass
        except OSError:
            closed = time.monotonic() - start
    s.close()
    resource.setrlimit(resource.RLIMIT_NOFILE, (resource.getrlimit(resource.RLIMIT_NOFILE)[1],) * 2)
    held = []
    for a in range(1, 5):
        for _ in range(n):
            try:
                h = connect(host, port, "127.0.0.%d" % a)
                h.sendall(b"GET /api/v1/ups HTTP/1.1\r\nHost: x\r\nX-Half: ")
                held.append(h)
            except OSError:
                break
    # Answered within a second: before the idle limit (2 s in the tests) frees a place.
    during = healthz(host, port, "127.0.0.5", 1)
    for h in held:
        h.close()
    return {"dripClosedAfter": closed, "held": len(held), "servedDuring": during}


def odd(host, port):
    out = {}
    out["hugeHeader"] = status_of(connect(host, port), b"GET /healthz HTTP/1.1\r\nHost: x\r\n" +
                                  b"X-Big: " + b"a" * 65536 + b"\r\n\r\n")
    out["hugeBody"] = status_of(connect(host, port),
                                b"POST /api/v1/login HTTP/1.1\r\nHost: x\r\nContent-Type: "
                                b"application/json\r\nContent-Length: 1048576\r\n\r\n" + b"{" * 4096)
    s = connect(host, port)
    try:
        s.sendall(b"POST /api/v1/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
                  b"Transfer-Encoding: chunked\r\n\r\n")
        for _ in range(64):
            s.sendall(b"400\r\n" + b"x" * 1024 + b"\r\n")
        out["chunkedBodyClosed"] = closed_within(s, 10) is not None
    except (ConnectionResetError, BrokenPipeError):
        out["chunkedBodyClosed"] = True
    for key, path in (("dots", b"/static/../../../etc/passwd"),
                      ("encodedDots", b"/static/%2e%2e/%2e%2e/etc/passwd"),
                      ("upsDots", b"/api/v1/ups/../../../etc/passwd")):
        out[key] = status_of(connect(host, port), b"GET " + path + b" HTTP/1.1\r\nHost: x\r\n\r\n")
    out["nulPath"] = status_of(connect(host, port),
                               b"GET /static/app.js%00.png HTTP/1.1\r\nHost: x\r\n\r\n")
    for method in (b"BREW", b"DELETE", b"OPTIONS"):
        out[method.decode()] = status_of(connect(host, port),
                                         method + b" /api/v1/ups HTTP/1.1\r\nHost: x\r\n\r\n")
    out["garbage"] = status_of(connect(host, port), b"\x00\x01\x02 \xff\xfe\r\n\r\n")
    return out


def guess(host, port, user, n):
    context = ssl.create_default_context(cafile=os.environ["CAFILE"])

    abandon = float(os.environ.get("ABANDON", "120"))

    def attempt(password, timeout=120):
        c = http.client.HTTPSConnection(host, port, context=context, timeout=timeout)
        start = time.monotonic()
        c.request("POST", "/api/v1/login", json.dumps({"user": user, "password": password}),
                  {"Content-Type": "application/json"})
        try:
            status = c.getresponse().status
        except socket.timeout:
            status = 0
        c.close()
        return [int((time.monotonic() - start) * 1000), status]

    wrong = [attempt("wrong-%d" % i, abandon) for i in range(n)]
    return {"wrong": wrong, "right": attempt(os.environ["RIGHT"])}


def main():
    case, host, port = sys.argv[1], sys.argv[2], int(sys.argv[3])
    args = sys.argv[4:]
    if case == "slow":
        result = slow(host, port)
    elif case == "crowd":
        result = crowd(host, port, int(args[0]), args[1] if len(args) > 1 else None)
    elif case == "heads":
        result = heads(host, port, int(args[0]), float(args[1]))
    elif case == "odd":
        result = odd(host, port)
    elif case == "guess":
        result = guess(host, port, args[0], int(args[1]))
    else:
        sys.exit("unknown case " + case)
    print(json.dumps(result))


main()
