#!/usr/bin/python3
"""Abusive clients of the network server, one case per run; prints what happened as JSON.

    nut_abuse.py lines HOST PORT            over-long, binary and half lines on one connection
    nut_abuse.py idle HOST PORT             seconds until a silent client is closed
    nut_abuse.py crowd HOST PORT N          N clients at once: which were served, which closed
    nut_abuse.py idlers HOST PORT N [BIND]  N silent clients, then one more (from BIND): served?
    nut_abuse.py refused HOST PORT [BIND]   whether a client (from BIND) is closed at once
    nut_abuse.py guess HOST PORT USER N     N wrong passwords, then the right one ("RIGHT" env)
    nut_abuse.py burst HOST PORT USERS N    N wrong passwords at once for the comma-separated
                                            USERS, then RIGHTUSER's password ("RIGHT" env)
    nut_abuse.py deaf HOST PORT             a client that never reads its replies
    nut_abuse.py tlsgarbage HOST PORT N     N clients sending garbage after STARTTLS
"""
import json
import os
import socket
import sys
import time


def connect(host, port, bind=None, rcvbuf=None):
    s = socket.socket(socket.AF_INET6 if ":" in host else socket.AF_INET, socket.SOCK_STREAM)
    if rcvbuf:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
    if bind:
        s.bind((bind, 0))
    s.settimeout(10)
    s.connect((host, port))
    return s


def read_until(s, end, timeout=10, lines=None):
    """Reads until the data ends with `end` (or holds `lines` lines), EOF or the timeout."""
    s.settimeout(timeout)
    data = b""
    while not (data.count(b"\n") >= lines if lines else data.endswith(end)):
        try:
            chunk = s.recv(65536)
        except socket.timeout:
            break
        if not chunk:
            break
        data += chunk
    return data


def closed_within(s, timeout):
    """Seconds until the peer closes (EOF or reset), None if it stays open."""
    start = time.monotonic()
    s.settimeout(timeout)
    try:
        while True:
            chunk = s.recv(65536)
            if not chunk:
                return time.monotonic() - start
    except socket.timeout:
        return None
    except (ConnectionResetError, BrokenPipeError):
        return time.monotonic() - start


def lines(host, port):
    s = connect(host, port)
    out = {}
    s.sendall(b"GET VAR ups " + b"x" * 3000 + b"\nVER\n")
    out["long"] = read_until(s, None, lines=2).decode("latin-1")
    s.sendall(b"\x00\xff\xfe\x01\x02\n" + b"GET VAR ups ups.st\x00atus\n")
    out["binary"] = read_until(s, None, lines=2).decode("latin-1")
    s.sendall(b"GET VAR ups ups.")
    s.settimeout(0.3)
    try:
        early = s.recv(100)
    except socket.timeout:
        early = b""
    s.sendall(b"status\n")
    out["half"] = (early + read_until(s, b"\n")).decode("latin-1")
    s.sendall(b"LOGOUT\n")
    out["logout"] = read_until(s, b"\n").decode("latin-1")
    out["closedAfterLogout"] = closed_within(s, 10) is not None
    return out


def idle(host, port):
    s = connect(host, port)
    busy = connect(host, port)
    start = time.monotonic()
    # One client speaks every 0.2 s, the other says nothing.
    closed = None
    while time.monotonic() - start < 20 and closed is None:
        busy.sendall(b"NETVER\n")
        read_until(busy, b"\n")
        closed = closed_within(s, 0.2)
        if closed is not None:
            closed = time.monotonic() - start
    busy.sendall(b"NETVER\n")
    return {"silentClosedAfter": closed, "busyAnswer": read_until(busy, b"\n").decode()}


def crowd(host, port, n):
    clients = [connect(host, port) for _ in range(n)]
    time.sleep(0.3)  # every one taken in by the server before the first speaks
    served = []
    for c in clients:
        try:
            c.sendall(b"NETVER\n")
            served.append(read_until(c, b"\n", 5) == b"1.3\n")
        except OSError:
            served.append(False)
    return {"served": served}


def still_open(s):
    try:
        return s.recv(1, socket.MSG_PEEK | socket.MSG_DONTWAIT) != b""
    except BlockingIOError:
        return True
    except OSError:
        return False


def idlers(host, port, n, bind=None):
    clients = [connect(host, port) for _ in range(n)]
    time.sleep(0.5)  # all taken in and counted by the server, which the client cannot see
    late = connect(bind, port, bind) if bind else connect(host, port)
    late.sendall(b"NETVER\n")
    served = read_until(late, b"\n", 5) == b"1.3\n"
    return {"served": served, "open": sum(1 for c in clients if still_open(c))}


def refused(host, port, bind=None):
    s = connect(host, port, bind)
    closed = closed_within(s, 5)
    return {"closedAfter": closed}


def guess(host, port, user, n):
    def attempt(password):
        s = connect(host, port)
        s.sendall(b"USERNAME %s\nPASSWORD %s\n" % (user.encode(), password.encode()))
        read_until(s, b"OK\nOK\n")
        start = time.monotonic()
        s.sendall(b"LOGIN ups\n")
        reply = read_until(s, b"\n", 30)
        s.close()
        return [round((time.monotonic() - start) * 1000), reply.decode()]

    wrong = [attempt("wrong%d" % i) for i in range(n)]
    return {"wrong": wrong, "right": attempt(os.environ["RIGHT"])}


def burst(host, port, users, n):
    names = users.split(",")
    held = []
    for i in range(n):
        s = connect(host, port)
        s.sendall(b"USERNAME %s\nPASSWORD wrong%d\nLOGIN ups\n" % (names[i % len(names)].encode(), i))
        held.append(s)
    time.sleep(0.3)  # read by the server; their verdicts are held back
    s = connect(host, port)
    s.sendall(b"USERNAME %s\nPASSWORD %s\n" % (os.environ["RIGHTUSER"].encode(),
                                               os.environ["RIGHT"].encode()))
    read_until(s, b"OK\nOK\n")
    start = time.monotonic()
    s.sendall(b"LOGIN ups\n")
    reply = read_until(s, b"\n", 60)
    return {"right": [round((time.monotonic() - start) * 1000), reply.decode()]}


def tlsgarbage(host, port, n):
    closed = 0
    for _ in range(n):
        s = connect(host, port)
        s.sendall(b"STARTTLS\n")
        if read_until(s, b"\n") != b"OK STARTTLS\n":
            break
        s.sendall(b"this is no handshake\r\n" * 4)
        if closed_within(s, 5) is not None:
            closed += 1
        s.close()
    return {"closed": closed}


def deaf(host, port):
    s = connect(host, port, rcvbuf=4096)
    s.settimeout(0.5)
    start = time.monotonic()
    sent = 0
    request = b"LIST VAR ups\n" * 200
    while time.monotonic() - start < 30:
        try:
            s.sendall(request)
            sent += 200
        except socket.timeout:
            pass
        except (ConnectionResetError, BrokenPipeError):
            return {"closed": True, "requests": sent}
    return {"closed": False, "requests": sent}


def main():
    cases = {
        "lines": lambda h, p: lines(h, p),
        "idle": lambda h, p: idle(h, p),
        "crowd": lambda h, p, n: crowd(h, p, int(n)),
        "idlers": lambda h, p, n, bind=None: idlers(h, p, int(n), bind),
        "refused": refused,
        "guess": lambda h, p, user, n: guess(h, p, user, int(n)),
        "burst": lambda h, p, users, n: burst(h, p, users, int(n)),
        "tlsgarbage": lambda h, p, n: tlsgarbage(h, p, int(n)),
        "deaf": lambda h, p: deaf(h, p),
    }
    case, host, port = sys.argv[1], sys.argv[2], int(sys.argv[3])
    if case not in cases:
        raise SystemExit("unknown case " + case)
    print(json.dumps(cases[case](host, port, *sys.argv[4:])))


if __name__ == "__main__":
    main()
