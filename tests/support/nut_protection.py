#!/usr/bin/python3
"""Quelta's protection against NUT's own upsmon, scenario by scenario.

A scenario is data: 1 to 3 supplies (UPSes played by dummy-ups behind Debian's upsd), how many
must still feed the computer (1 or 2), how Quelta watches them (one server per UPS, one server
for all, the whole server as one entry, or the single UPS as this computer's own link) and a
list of events, each a pause and what happens to one supply: OL, OB, OB LB, FSD, STALE (its
driver hangs), DOWN (its server ends), VANISH (taken off its server) or BACK (all of that
undone, mains back). Both judges watch the same servers: upsmon (MINSUPPLIES, DEADTIME,
SHUTDOWNCMD writing a marker) and queltad (watch/*, shutdown/supplies and minSupplies, a command
file writing its own marker, no power-off). The verdict compares whether each shut down and
when: Quelta's countdown (10 s) follows upsmon's immediate decision.

Once upsmon has shut down, nothing more happens: its computer would be off. Every
disagreement is either one of RULES (Quelta stricter on purpose; README lists them) or a fault.

    nut_protection.py fixed [--count 40] [--jobs N] [--queltad PATH]   the CI set, as JSON:
                                                                       seed 33 and PINNED
    nut_protection.py random [--count 500] [--seed S] [--jobs N]       the agreement table
    nut_protection.py show ID|--seed S --index I                       one scenario's data
    nut_protection.py run SCENARIO-JSON [--keep]                       one scenario, verbose
"""
import argparse
import json
import os
import random
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
NUT = "/lib/nut"
PRIVATE_RUN = os.path.join(HERE, "nut_private_run.sh")

COUNTDOWN = 10      # Quelta's battLowTime 0
DEADTIME = 3        # upsmon's, seconds
MAXAGE = 3          # upsd's: a driver silent this long serves stale data
EARLY = 3           # Quelta may act this much before upsmon (polls differ)
LATE = COUNTDOWN + 5  # and at most this much after it
FIXED_SEED = 33

EVENTS = ["OL", "OB", "OB LB", "FSD", "STALE", "DOWN", "VANISH", "BACK"]
# The kind of a scenario, for the table: its rarest event.
KINDS = ["VANISH", "DOWN", "STALE", "FSD", "OB LB", "OB"]
LAYOUTS = ["separate", "shared", "whole", "local"]
STATUS = {"OL": "OL", "OB": "OB DISCHRG", "OB LB": "OB DISCHRG LB"}

# Scenarios a random run found, kept in the fixed set so CI walks them too.
PINNED = [
    # A supply in FSD whose data then goes stale: upsmon keeps counting it critical.
    {"id": "fsd-then-stale", "layout": "separate", "supplies": 2, "minimum": 1,
     "steps": [[1.0, "FSD", 1], [3.0, "STALE", 1], [1.0, "OB LB", 0]], "kind": "STALE"},
    # Taken off a server watched whole while on battery, then a second supply low.
    {"id": "7-132", "layout": "whole", "supplies": 3, "minimum": 2,
     "steps": [[1.0, "OB", 2], [3.0, "VANISH", 2], [10.0, "OB LB", 1]], "kind": "VANISH"},
]

# Where Quelta is stricter than upsmon on purpose, so one shuts down and the other does not:
# (name, test on the scenario and its outcome), each a row of README's table of deliberate
# differences. None yet: the rows there now (the countdown, acting before DEADTIME) are
# differences of time that the window EARLY..LATE allows for.
RULES = []


def device_text(status, charge):
    return (f"ups.status: {status}\nbattery.charge: {charge}\nbattery.runtime: 600\n"
            f"input.voltage: {0 if 'OB' in status else 230}\noutput.voltage: 230\n"
            "ups.load: 20\n")


# --- generation ----------------------------------------------------------------------------

def generate(seed, index):
    """Scenario `index` of `seed`: the same data on every machine."""
    rng = random.Random(f"{seed}/{index}")
    kind = KINDS[index % len(KINDS)]
    layout = LAYOUTS[(index // len(KINDS)) % len(LAYOUTS)]
    supplies = 1 if layout == "local" else rng.randint(1, 3)
    minimum = rng.randint(1, min(2, supplies))
    steps = []
    # Before a supply can be lost it is on battery, mostly.
    count = rng.randint(2, 5)
    forced = rng.randrange(count)
    for i in range(count):
        target = rng.randrange(supplies)
        if i == forced:
            event = kind
        else:
            event = rng.choices(EVENTS, weights=[1, 4, 3, 1, 1, 1, 1, 2])[0]
        if event in ("STALE", "DOWN", "VANISH") and rng.random() < 0.6:
            # Mostly on battery first: the case where the difference shows.
            steps.append([3.0, "OB", target])
        steps.append([0.0, event, target])
    # The pause before each event: after a loss of contact long enough for upsmon's DEADTIME
    # to run out, or short enough that it never can; otherwise long enough for both to poll.
    for i, step in enumerate(steps):
        previous = steps[i - 1][1] if i else None
        if previous in ("STALE", "DOWN", "VANISH"):
            step[0] = rng.choice([1.0, MAXAGE + DEADTIME + 4.0])
        elif i:
            step[0] = rng.choice([3.0, 4.0])
        else:
            step[0] = 1.0
    scenario = {"id": f"{seed}-{index}", "seed": seed, "index": index,
            "layout": layout, "supplies": supplies, "minimum": minimum, "steps": steps}
    scenario["kind"] = scenario_kind(scenario)
    return scenario


def fixed_set(count=40):
    return [generate(FIXED_SEED, i) for i in range(count - len(PINNED))] + PINNED


def by_id(name):
    pinned = [s for s in PINNED if s["id"] == name]
    return pinned[0] if pinned else generate(*map(int, name.rsplit("-", 1)))


def scenario_kind(scenario):
    events = {step[1] for step in scenario["steps"]}
    return next((kind for kind in KINDS if kind in events), "OL")


# --- the peers -----------------------------------------------------------------------------

_port_lock = threading.Lock()
_ports_taken = set()


def free_port():
    with _port_lock:
        while True:
            s = socket.socket()
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
            s.close()
            if port not in _ports_taken:
                _ports_taken.add(port)
                return port


def write(path, text, mode=0o600):
    with open(path + ".new", "w") as f:
        f.write(text)
    os.chmod(path + ".new", mode)
    os.replace(path + ".new", path)


def root_option():
    # As root the programs would switch to the user "nut", which cannot enter our folder.
    return ["-u", "root"] if os.geteuid() == 0 else []


class Process:
    """A child in a process group of its own, ended with everything it forked."""

    def __init__(self, argv, env, log, cwd):
        self.log = log
        with open(log, "ab") as out:
            self.popen = subprocess.Popen(argv, env=env, cwd=cwd, stdout=out,
                                          stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                          start_new_session=True)

    def running(self):
        return self.popen.poll() is None

    def signal(self, sig):
        try:
            os.killpg(self.popen.pid, sig)
        except ProcessLookupError:
            pass

    def stop(self):
        self.signal(signal.SIGCONT)
        self.signal(signal.SIGTERM)
        try:
            self.popen.wait(3)
        except subprocess.TimeoutExpired:
            pass
        # What it left behind in its group (upsmon's forks) goes too.
        self.signal(signal.SIGKILL)
        try:
            self.popen.wait(2)
        except subprocess.TimeoutExpired:
            pass


def nut_ask(port, line, timeout=2.0):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
            s.sendall(line.encode() + b"\n")
            data = b""
            while not data.endswith(b"\n"):
                chunk = s.recv(4096)
                if not chunk:
                    break
                data += chunk
            return data.decode(errors="replace").strip()
    except OSError:
        return ""


class Server:
    """One upsd with its dummy-ups drivers, in a folder of its own."""

    def __init__(self, folder, upses):
        self.dir = folder
        os.makedirs(folder, mode=0o700)
        self.port = free_port()
        self.upses = list(upses)   # served now
        self.drivers = {}
        self.upsd = None
        self.env = dict(os.environ, NUT_CONFPATH=folder, NUT_STATEPATH=folder,
                        NUT_ALTPIDPATH=folder)
        write(os.path.join(folder, "nut.conf"), "MODE=netserver\n")
        self.write_upsd_conf()
        write(os.path.join(folder, "upsd.users"),
              "[mon]\n  password = pw\n  upsmon secondary\n")
        self.write_ups_conf()

    def write_upsd_conf(self):
        write(os.path.join(self.dir, "upsd.conf"),
              f"LISTEN 127.0.0.1 {self.port}\nMAXAGE {MAXAGE}\n")

    def write_ups_conf(self):
        text = "".join(f"[{u}]\n  driver = dummy-ups\n  port = {u}.dev\n  mode = dummy-once\n"
                       "  pollinterval = 1\n" for u in self.upses)
        write(os.path.join(self.dir, "ups.conf"), text)

    def set_status(self, ups, status, charge):
        path = os.path.join(self.dir, ups + ".dev")
        write(path, device_text(status, charge))
        # dummy-ups reads the file again when its time stamp moves on, in whole seconds.
        stamp = max(getattr(self, "_stamp", 0) + 1, int(time.time()))
        self._stamp = stamp
        os.utime(path, (stamp, stamp))

    def start_driver(self, ups):
        socket_path = os.path.join(self.dir, f"dummy-ups-{ups}")
        if os.path.exists(socket_path):
            os.unlink(socket_path)
        self.drivers[ups] = Process([f"{NUT}/dummy-ups", "-a", ups, "-F"] + root_option(),
                                    self.env, os.path.join(self.dir, f"{ups}.log"), self.dir)
        deadline = time.time() + 10
        while not os.path.exists(socket_path):
            if time.time() > deadline or not self.drivers[ups].running():
                raise RuntimeError(f"dummy-ups {ups} did not start")
            time.sleep(0.05)

    def start(self):
        for ups in self.upses:
            self.start_driver(ups)
        # Another program may take the free port first: then another one.
        for attempt in range(3):
            try:
                return self.start_server(self.upses)
            except RuntimeError:
                self.stop_server()
                if attempt == 2:
                    raise
                self.port = free_port()
                self.write_upsd_conf()

    def start_server(self, served=()):
        """Waits until it answers, and serves a status for each of `served`."""
        self.upsd = Process([f"{NUT}/upsd", "-F"] + root_option(), self.env,
                            os.path.join(self.dir, "upsd.log"), self.dir)
        deadline = time.time() + 10
        for ups in list(served) or [None]:
            while True:
                answer = nut_ask(self.port, f"GET VAR {ups or 'none'} ups.status")
                if answer.startswith("VAR") or (ups is None and answer):
                    break
                if time.time() > deadline or not self.upsd.running():
                    raise RuntimeError(f"upsd did not serve {ups or 'at all'}")
                time.sleep(0.1)

    def stop_server(self):
        if self.upsd:
            self.upsd.stop()
            self.upsd = None

    def pause(self, ups, paused):
        driver = self.drivers.get(ups)
        if driver:
            driver.signal(signal.SIGSTOP if paused else signal.SIGCONT)

    def remove(self, ups):
        self.upses.remove(ups)
        self.write_ups_conf()
        self.drivers.pop(ups).stop()
        if self.upsd:
            self.upsd.signal(signal.SIGHUP)

    def add(self, ups):
        self.upses.append(ups)
        self.write_ups_conf()
        self.start_driver(ups)
        if self.upsd:
            self.upsd.signal(signal.SIGHUP)

    def stop(self):
        self.stop_server()
        for driver in self.drivers.values():
            driver.stop()


def read_marker(path):
    try:
        with open(path) as f:
            first = f.readline().strip()
        return float(first) if first else None
    except (OSError, ValueError):
        return None


def marker_script(folder, name):
    script = os.path.join(folder, name + ".sh")
    write(script, f"#!/bin/sh\ndate +%s.%N >> '{os.path.join(folder, name)}'\n", 0o700)
    return script


class Run:
    """One scenario through both judges."""

    def __init__(self, scenario, queltad, folder, verbose=False):
        self.s = scenario
        self.queltad = queltad
        self.dir = folder
        self.verbose = verbose
        self.servers = []
        self.where = []   # supply -> (server, ups name)
        self.state = []   # supply -> {"status", "stale", "down", "vanished"}
        self.upsmon = None
        self.quelta = None
        self.events = []  # (seconds from the start, event, supply)

    def note(self, text):
        if self.verbose:
            print(f"{time.time() - getattr(self, 't0', time.time()):7.2f} {text}", flush=True)

    def build_servers(self):
        n = self.s["supplies"]
        names = [f"u{i + 1}" for i in range(n)]
        if self.s["layout"] == "separate":
            self.servers = [Server(os.path.join(self.dir, f"server{i + 1}"), [names[i]])
                            for i in range(n)]
            self.where = [(self.servers[i], names[i]) for i in range(n)]
        else:
            self.servers = [Server(os.path.join(self.dir, "server1"), names)]
            self.where = [(self.servers[0], names[i]) for i in range(n)]
        for server, ups in self.where:
            server.set_status(ups, "OL", 100)
        self.state = [{"status": "OL", "stale": False, "vanished": False} for _ in range(n)]
        for server in self.servers:
            server.start()

    def supply_names(self):
        n = self.s["supplies"]
        layout = self.s["layout"]
        if layout == "whole":
            return [f"lab/u{i + 1}" for i in range(n)]
        if layout == "local":
            return ["local"]
        return [f"S{i + 1}" for i in range(n)]

    def quelta_settings(self):
        home = os.path.join(self.dir, "quelta")
        script = marker_script(self.dir, "quelta-off")
        sets = [("shutdown/enable", "true"), ("shutdown/battLowTime", "0"),
                ("shutdown/mainFaultTime", "0"), ("shutdown/execEnable", "true"),
                ("shutdown/execFile", f"/bin/sh {script}"), ("shutdown/execTime", "1"),
                ("shutdown/osOff", "false")]
        layout = self.s["layout"]
        if layout == "local":
            server, ups = self.where[0]
            sets += [("ups/commType", "2"), ("ups/nutHost", "127.0.0.1"),
                     ("ups/nutPort", str(server.port)), ("ups/nutUps", ups),
                     ("ups/nutAllowPlain", "true")]
        else:
            # This computer's own link leads nowhere (no USB scan); it is no supply here.
            sets += [("ups/commType", "2"), ("ups/nutHost", "127.0.0.1"),
                     ("ups/nutPort", "1"), ("ups/nutAllowPlain", "true")]
            entries = []
            if layout == "whole":
                entries.append(("lab", self.servers[0].port, "*"))
            else:
                for i, (server, ups) in enumerate(self.where):
                    entries.append((f"S{i + 1}", server.port, ups))
            sets.append(("watch/size", str(len(entries))))
            for i, (name, port, ups) in enumerate(entries, 1):
                sets += [(f"watch/{i}/name", name), (f"watch/{i}/host", "127.0.0.1"),
                         (f"watch/{i}/port", str(port)), (f"watch/{i}/ups", ups),
                         (f"watch/{i}/allowPlain", "true")]
            sets += [("shutdown/supplies", ", ".join(self.supply_names())),
                     ("shutdown/minSupplies", str(self.s["minimum"]))]
        for key, value in sets:
            done = subprocess.run([self.queltad, "--home", home, "config", "set", key, value],
                                  capture_output=True, text=True, timeout=30)
            if done.returncode != 0:
                raise RuntimeError(f"config set {key} {value}: {done.stderr.strip()}")
        return home

    def start_judges(self):
        # upsmon: one MONITOR line a supply, each worth one supply.
        folder = os.path.join(self.dir, "upsmon")
        os.makedirs(folder, mode=0o700)
        script = marker_script(self.dir, "upsmon-off")
        lines = [f"MONITOR {ups}@127.0.0.1:{server.port} 1 mon pw secondary"
                 for server, ups in self.where]
        lines += [f"MINSUPPLIES {self.s['minimum']}", f"SHUTDOWNCMD \"/bin/sh {script}\"",
                  "POLLFREQ 1", "POLLFREQALERT 1", f"DEADTIME {DEADTIME}", "FINALDELAY 0",
                  # No primary here to set FSD: a secondary that sees OB LB acts at its next
                  # poll instead of waiting for one.
                  "HOSTSYNC 0", "RBWARNTIME 3600", "NOCOMMWARNTIME 3600",
                  f"POWERDOWNFLAG {folder}/killpower"]
        write(os.path.join(folder, "upsmon.conf"), "\n".join(lines) + "\n")
        env = dict(os.environ, NUT_CONFPATH=folder, NUT_STATEPATH=folder, NUT_ALTPIDPATH=folder)
        self.upsmon = Process([PRIVATE_RUN, folder, f"{NUT}/upsmon", "-DD", "-p"], env,
                              os.path.join(self.dir, "upsmon.log"), folder)
        home = self.quelta_settings()
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
        self.quelta = Process([self.queltad, "--home", home, "--headless"], env,
                              os.path.join(self.dir, "queltad.log"), home)
        self.home = home

    def quelta_ready(self):
        done = subprocess.run([self.queltad, "--home", self.home, "status", "--json"],
                              capture_output=True, text=True, timeout=10)
        try:
            document = json.loads(done.stdout)
        except ValueError:
            return False
        health = {ups.get("name"): ups.get("health") for ups in document.get("ups", [])}
        if self.s["layout"] == "local":
            return list(health.values()) == ["on-mains"]
        return all(health.get(name) == "on-mains" for name in self.supply_names())

    def upsmon_ready(self):
        try:
            with open(self.upsmon.log) as f:
                return f.read().count("parse_status: [OL]") >= 2 * self.s["supplies"]
        except OSError:
            return False

    def wait_ready(self, limit=30):
        deadline = time.time() + limit
        while time.time() < deadline:
            if not self.upsmon.running():
                raise RuntimeError("upsmon ended at its start")
            if not self.quelta.running():
                raise RuntimeError("queltad ended at its start")
            if self.upsmon_ready() and self.quelta_ready():
                return
            time.sleep(0.3)
        raise RuntimeError("the judges did not see every supply on mains in time")

    def apply(self, event, supply):
        server, ups = self.where[supply]
        state = self.state[supply]
        if event in STATUS or event == "FSD":
            status = STATUS.get(event) or "FSD " + STATUS.get(state["status"], "OB DISCHRG LB")
            if event != "FSD":
                state["status"] = event
            server.set_status(ups, status, 8 if "LB" in status else 60 if "OB" in status
                              else 100)
        elif event == "STALE":
            state["stale"] = True
            server.pause(ups, True)
        elif event == "DOWN":
            server.stop_server()
        elif event == "VANISH":
            if not state["vanished"]:
                state["vanished"] = True
                server.remove(ups)
        elif event == "BACK":
            state["status"] = "OL"
            server.set_status(ups, "OL", 100)
            if state["stale"]:
                state["stale"] = False
                server.pause(ups, False)
            if state["vanished"]:
                state["vanished"] = False
                server.add(ups)
            if server.upsd is None:
                server.start_server()

    def play(self):
        self.t0 = time.time()
        upsmon_marker = os.path.join(self.dir, "upsmon-off")
        quelta_marker = os.path.join(self.dir, "quelta-off")
        last = self.t0
        for delay, event, supply in self.s["steps"]:
            end = time.time() + delay
            while time.time() < end:
                if read_marker(upsmon_marker):
                    break
                time.sleep(0.1)
            if read_marker(upsmon_marker):
                break
            self.note(f"{event} on supply {supply + 1}")
            self.apply(event, supply)
            last = time.time()
            self.events.append([round(last - self.t0, 2), event, supply])
        # Long enough for upsmon's DEADTIME after the last event, and for Quelta's countdown
        # after whichever judged first.
        deadline = last + COUNTDOWN + DEADTIME + MAXAGE + 3
        while time.time() < deadline:
            tu = read_marker(upsmon_marker)
            tq = read_marker(quelta_marker)
            if tu and tq:
                break
            if tu:
                deadline = min(deadline, max(tu + LATE + 1, last + LATE + 1))
            time.sleep(0.2)
        tu = read_marker(upsmon_marker)
        tq = read_marker(quelta_marker)
        return (round(tu - self.t0, 2) if tu else None, round(tq - self.t0, 2) if tq else None)

    def run(self):
        try:
            self.build_servers()
            self.start_judges()
            self.wait_ready()
            upsmon, quelta = self.play()
            return {"upsmon": upsmon, "quelta": quelta, "played": self.events}
        finally:
            for process in (self.quelta, self.upsmon):
                if process:
                    process.stop()
            for server in self.servers:
                server.stop()


def judge(scenario, outcome):
    """agree, deliberate (one of RULES) or disagree, with why."""
    if "error" in outcome:
        return "error", outcome["error"]
    tu, tq = outcome["upsmon"], outcome["quelta"]
    if tu is None and tq is None:
        return "agree", "neither shut down"
    if tu is not None and tq is not None:
        offset = tq - tu
        if -EARLY <= offset <= LATE:
            return "agree", f"both shut down, Quelta {offset:+.1f} s after upsmon"
        return "disagree", (f"Quelta shut down {offset:+.1f} s after upsmon, outside "
                            f"{-EARLY}..{LATE} s")
    for name, test in RULES:
        if test(scenario, outcome):
            return "deliberate", name
    if tu is not None:
        return "disagree", f"upsmon shut down at {tu:.1f} s, Quelta never"
    return "disagree", f"Quelta shut down at {tq:.1f} s, upsmon never"


def trace(folder):
    """What each judge said about the supplies, for a disagreement's report."""
    lines = []
    marks = {"queltad.log": ("Supply ", "countdown", "cancelled", "forced shutdown"),
             "upsmon.log": ("Critical UPS", "Giving up", "dead UPS", "Executing")}
    for name, words in marks.items():
        try:
            with open(os.path.join(folder, name), errors="replace") as f:
                for line in f:
                    if any(word in line for word in words):
                        lines.append(f"{name.split('.')[0]}: {line.strip()[:160]}")
        except OSError:
            pass
    return lines[:40]


def run_one(scenario, queltad, keep=False, verbose=False, keep_disagreements=True):
    folder = tempfile.mkdtemp(prefix="quelta-vs-upsmon-")
    os.chmod(folder, 0o700)
    try:
        outcome = Run(scenario, queltad, folder, verbose).run()
    except Exception as error:  # a peer that would not start: told, not a verdict
        outcome = {"error": f"{type(error).__name__}: {error}"}
    verdict, why = judge(scenario, outcome)
    result = dict(scenario, **outcome, verdict=verdict, why=why)
    if verdict in ("disagree", "error"):
        result["trace"] = trace(folder)
    if keep or (keep_disagreements and verdict in ("disagree", "error")):
        result["folder"] = folder  # kept for a look
    else:
        subprocess.run(["rm", "-rf", folder])
    return result


def run_many(scenarios, queltad, jobs, progress=None, keep_disagreements=True):
    results = [None] * len(scenarios)
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = {pool.submit(run_one, s, queltad, keep_disagreements=keep_disagreements): i
                   for i, s in enumerate(scenarios)}
        for future in futures:
            i = futures[future]
            results[i] = future.result()
            if progress:
                progress(results[i])
    return results


def table(results):
    rows = {}
    for r in results:
        for key in (scenario_kind(r), "layout " + r["layout"], "all"):
            row = rows.setdefault(key, {"agree": 0, "deliberate": 0, "disagree": 0,
                                        "error": 0})
            row[r["verdict"]] += 1
    order = KINDS + ["OL"] + ["layout " + layout for layout in LAYOUTS] + ["all"]
    lines = [f"{'scenarios':<18}{'agree':>7}{'stricter':>10}{'disagree':>10}{'error':>7}"]
    for key in order:
        if key in rows:
            row = rows[key]
            lines.append(f"{key:<18}{row['agree']:>7}{row['deliberate']:>10}"
                         f"{row['disagree']:>10}{row['error']:>7}")
    return "\n".join(lines)


def default_queltad():
    return os.path.join(TOP, "build", "bin", "queltad")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["fixed", "random", "show", "run"])
    parser.add_argument("scenario", nargs="?")
    parser.add_argument("--count", type=int)
    parser.add_argument("--seed", type=int)
    parser.add_argument("--index", type=int)
    parser.add_argument("--jobs", type=int, default=8)
    parser.add_argument("--queltad", default=default_queltad())
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()

    if args.mode == "show":
        print(json.dumps(by_id(args.scenario) if args.scenario else
                         generate(args.seed, args.index)))
        return 0
    if args.mode == "run":
        scenario = json.loads(args.scenario) if args.scenario.startswith("{") else \
            by_id(args.scenario)
        print(json.dumps(scenario))
        result = run_one(scenario, args.queltad, keep=args.keep, verbose=True)
        print(json.dumps(result, indent=1))
        return 0
    if args.mode == "fixed":
        scenarios = fixed_set(args.count or 40)
        started = time.time()
        # The known faults would leave their folders behind at every CI run.
        results = run_many(scenarios, args.queltad, args.jobs, keep_disagreements=args.keep)
        print(json.dumps({"seconds": round(time.time() - started, 1), "results": results}))
        return 0
    seed = args.seed if args.seed is not None else int(time.time())
    count = args.count or 500
    print(f"{count} random scenarios of seed {seed}, {args.jobs} at a time", flush=True)
    started = time.time()

    def progress(result):
        if result["verdict"] in ("disagree", "error"):
            print(f"  {result['id']} {result['verdict']}: {result['why']} "
                  f"({result.get('folder', '')})", flush=True)
    results = run_many([generate(seed, i) for i in range(count)], args.queltad, args.jobs,
                       progress)
    print(table(results))
    print(f"{time.time() - started:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
