#!/usr/bin/python3
"""Checks the two Debian packages as a user and an administrator meet them.

    tests/packaging/check_package.py build/quelta-server_<version>_<arch>.deb \
        build/quelta_<version>_<arch>.deb --bin-dir build/bin

Without installing: the control fields (dependencies found by dpkg-shlibdeps, polkitd; the
service's package, its program and everything its dependencies pull in free of graphical
libraries; the desktop package on the service's of the same version), the layouts (dpkg -c),
lintian (no error, no warning that is not overridden with a reason, no unfortified program),
both programs built with Debian's hardening (fortified functions, stack protector), the desktop
entry, the AppStream metainfo, the systemd unit (systemd-analyze verify) and the udev rule (its
form, and the USB ids against the shipped usb.cfg).

Installed (as root only, and only when no quelta package is on the machine): the service's
package alone as on a server: dpkg -i, the system user and its home, `queltad --version`, the
installed unit and udev rule as systemd reads them, `queltad config` without --home writing the
service's settings and leaving them the service user's, `queltad --home DIR` recording a mains
failure of the simulated UPS that `queltad status` reports and ending cleanly on SIGTERM; then
the desktop package on top (`quelta --version`, root's own folder) and off again; then dpkg -r
keeping DIR and /var/lib/quelta, a reinstall starting the service the administrator enabled
(under a stand-in systemctl that records what it is asked), and dpkg --purge removing
/var/lib/quelta but not the user. Whatever the outcome, the packages are purged and a user they
created is removed again, so the check can run any number of times.
"""

import argparse
import fcntl
import json
import os
import pwd
import re
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

SERVER = "quelta-server"
MAINS_FAULT = 2  # Alarm::MainsFault
failures = []
DESKTOP = "quelta"
USER = "quelta"
UNIT = "/usr/lib/systemd/system/quelta.service"
RULE = "/usr/lib/udev/rules.d/70-quelta.rules"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)
PROGRAMS = {SERVER: "/usr/bin/queltad", DESKTOP: "/usr/bin/quelta"}
EXPECTED_FILES = {
    SERVER: {
        "/usr/bin/queltad",
        "/usr/lib/quelta/quelta-bus.so",
        "/usr/share/quelta/usb.cfg",
        "/usr/share/quelta/translations/en.qm",
        "/usr/share/quelta/translations/fr_FR.qm",
        "/usr/share/quelta/translations/zh_CN.qm",
        "/usr/share/quelta/translations/zh_TW.qm",
        RULE,
        UNIT,
        "/usr/share/polkit-1/rules.d/50-quelta.rules",
        "/usr/share/man/man1/queltad.1.gz",
        "/usr/share/doc/quelta-server/copyright",
        "/usr/share/doc/quelta-server/changelog.gz",
    },
    DESKTOP: {
        "/usr/bin/quelta",
        "/usr/share/applications/quelta.desktop",
        "/usr/share/metainfo/org.example.quelta.metainfo.xml",
        "/usr/share/icons/hicolor/scalable/apps/quelta.svg",
        "/usr/share/man/man1/quelta.1.gz",
        "/usr/share/doc/quelta/copyright",
        "/usr/share/doc/quelta/changelog.gz",
    } | {f"/usr/share/icons/hicolor/{s}x{s}/apps/quelta.png" for s in ICON_SIZES},
}
# The web page's own files go with the service (share/quelta/web), every one the tree has.
WEB_PREFIX = "/usr/share/quelta/web/"
WEB_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web")
EXPECTED_FILES[SERVER] |= {WEB_PREFIX + name for name in
                           (os.listdir(WEB_SOURCE) if os.path.isdir(WEB_SOURCE) else [])}
# What a program without a window must not pull in: Qt's graphical modules, QML, X11, OpenGL,
# Wayland and what draws for them.
GRAPHICAL = re.compile(r"^(libqt5(gui|widgets|quick|qml|qmlmodels|charts|svg|opengl|xcbqpa)5"
                       r"(-gles)?|qml-module-.*|libx11-.*|libxcb.*|libxext.*|libxrender.*|"
                       r"libgl1.*|libglx.*|libglvnd.*|libgles.*|libglapi.*|libegl.*|libgbm.*|"
                       r"libdrm.*|libwayland-.*|libllvm.*|mesa-.*|libvulkan.*|libfontconfig.*|"
                       r"libfreetype.*|libharfbuzz.*)$")


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def run(*args, **kwargs):
    kwargs.setdefault("capture_output", True)
    kwargs.setdefault("text", True)
    kwargs.setdefault("timeout", 600)
    return subprocess.run(list(args), **kwargs)


def wait_for(predicate, timeout, step=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(step)
    return predicate()


# ---- without installing


def control_field(deb, name):
    fields = run("dpkg-deb", "-f", deb).stdout
    return (re.search(rf"^{name}: (.*)$", fields, re.M) or [None, ""])[1]


def names_in(relations):
    """Every package named in a relation field, alternatives included, without versions."""
    return [re.sub(r"[ (:].*", "", alt.strip()) for group in relations.split(",")
            for alt in group.split("|") if alt.strip()]


def check_control(debs, version):
    for package, deb in debs.items():
        check(control_field(deb, "Package") == package and control_field(deb, "Version") == version,
              f"control: package {package} version {version}")
    # dpkg-shlibdeps found the libraries; the run-time plug-ins and modules are named by hand.
    # polkitd answers logind's question whether the service may power the machine off.
    needed = {SERVER: ("libqt5core5a", "libhidapi-hidraw0", "libxlsxwriter4", "libssl3",
                       "libqt5sql5-sqlite", "adduser", "polkitd", "libjs-chart.js"),
              DESKTOP: (SERVER, "libqt5gui5", "qml-module-qtquick-controls", "libqt5svg5",
                        "libxcb1")}
    for package, deb in debs.items():
        depends = names_in(control_field(deb, "Depends"))
        missing = [d for d in needed[package] if d not in depends]
        check(not missing, f"control: {package} depends on the linked libraries and run-time "
              "modules" + (f" (missing {missing})" if missing else ""))
    # The libraries opened only when their feature is used: recommended or suggested, never
    # needed, so a minimal server goes without them.
    optional = {"Recommends": ("libcurl4", "libmicrohttpd12"), "Suggests": ("snmpd", "libsnmp40")}
    depends = names_in(control_field(debs[SERVER], "Depends"))
    for field, names in optional.items():
        listed = names_in(control_field(debs[SERVER], field))
        check(all(n in listed and n not in depends for n in names),
              f"control: {SERVER} {field.lower()} {', '.join(names)} without depending on them")
    check(re.search(rf"(^|, ){SERVER} \(= {re.escape(version)}\)",
                    control_field(debs[DESKTOP], "Depends")),
          f"control: {DESKTOP} depends on {SERVER} of its own version")
    # Nothing graphical, neither named nor pulled in by what is named (every alternative).
    depends = names_in(control_field(debs[SERVER], "Depends"))
    closure = run("apt-cache", "depends", "--recurse", "--no-recommends", "--no-suggests",
                  "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances", *depends)
    pulled = sorted({l.strip("<> ") for l in closure.stdout.splitlines() if not l.startswith(" ")})
    graphical = [p for p in pulled if GRAPHICAL.match(p)]
    check(closure.returncode == 0 and len(pulled) > len(depends) and not graphical,
          f"control: {SERVER} pulls in no graphical library ({len(pulled)} packages at most)"
          + (f": {graphical}" if graphical else ""))


def check_service_program(program):
    """The service program links no graphical library (readelf: what it names itself)."""
    needed = re.findall(r"\(NEEDED\)\s+Shared library: \[(.*)\]",
                        run("readelf", "--dynamic", "--wide", program).stdout)
    graphical = [n for n in needed
                 if re.match(r"lib(Qt5(Gui|Widgets|Quick|Qml|Charts|Svg|OpenGL)|X11|xcb|GL|EGL)", n)]
    check("libQt5Core.so.5" in needed and not graphical,
          f"queltad links no graphical library ({len(needed)} libraries)"
          + (f": {graphical}" if graphical else ""))


def check_layout(package, deb):
    listing = run("dpkg-deb", "-c", deb).stdout.splitlines()
    files, bad_modes = set(), []
    for line in listing:
        mode, owner, _size, _day, _time, path = line.split(None, 5)
        path = path[1:].split(" -> ")[0]
        if mode.startswith("d"):
            continue
        files.add(path)
        want = "-rwxr-xr-x" if path in PROGRAMS.values() else "-rw-r--r--"
        if mode != want or owner != "root/root":
            bad_modes.append(f"{path} {mode} {owner}")
    expected = EXPECTED_FILES[package]
    extra = {f for f in files - expected if not (package == SERVER and f.startswith(WEB_PREFIX))}
    check(expected <= files and not extra, f"layout of {package} (dpkg -c) is the expected one"
          + (f": missing {sorted(expected - files)}, extra {sorted(extra)}"
             if extra or not expected <= files else ""))
    check(not bad_modes, f"layout of {package}: root-owned, program 0755, files 0644" +
          (f" ({bad_modes})" if bad_modes else ""))


def check_lintian(debs):
    out = run("lintian", "--display-info", "--tag-display-limit", "0", *debs).stdout
    problems = [l for l in out.splitlines() if l[:2] in ("E:", "W:")]
    infos = [l for l in out.splitlines() if l.startswith("I:")]
    for line in infos:
        print("     " + line)
    check(not problems, "lintian: no errors or warnings" +
          ("".join("\n     " + p for p in problems) if problems else ""))
    check(not [l for l in infos if "hardening-no-fortify-functions" in l],
          "lintian: no hardening-no-fortify-functions")


def check_hardening(program):
    """Built with dpkg-buildflags: fortified calls and the stack protector in the program."""
    name = os.path.basename(program)
    symbols = run("readelf", "--dyn-syms", "--wide", program).stdout
    fortified = sorted(set(re.findall(r"\b(__\w+_chk)@", symbols)) - {"__stack_chk_fail"})
    check("__stack_chk_fail@" in symbols, f"hardening: the stack protector is in {name}")
    check(len(fortified) >= 2, f"hardening: {name} calls fortified functions ({fortified})")
    headers = run("readelf", "--program-headers", "--dynamic", "--wide", program).stdout
    check("GNU_RELRO" in headers and "BIND_NOW" in headers,
          f"hardening: {name} has read-only relocations, bound at start")


def check_menu_and_metainfo(tree):
    desktop = os.path.join(tree, "usr/share/applications/quelta.desktop")
    r = run("desktop-file-validate", desktop)
    check(r.returncode == 0 and not r.stdout.strip(),
          "desktop entry: desktop-file-validate accepts it " + r.stdout.strip())
    text = open(desktop, encoding="utf-8").read()
    check("\nCategories=System;Monitor;Qt;\n" in text and "\nExec=quelta\n" in text
          and "\nIcon=quelta\n" in text, "desktop entry: categories, command and icon")
    r = run("appstreamcli", "validate-tree", "--no-net", "--pedantic", tree)
    check(r.returncode == 0, "metainfo: appstreamcli validate-tree (pedantic) passes"
          + ("" if r.returncode == 0 else "\n" + r.stdout + r.stderr))


def check_unit(unit_file, executable):
    # systemd-analyze insists that ExecStart's program exists; before installing it is the
    # unpacked one.
    text = open(unit_file).read()
    with tempfile.TemporaryDirectory() as d:
        copy = os.path.join(d, "quelta.service")
        with open(copy, "w") as f:
            f.write(text.replace("/usr/bin/queltad", executable))
        r = run("systemd-analyze", "verify", "--man=no", copy)
        check(r.returncode == 0 and not r.stderr.strip(),
              "unit: systemd-analyze verify is silent " + r.stderr.strip())
        r = run("systemd-analyze", "security", "--offline=true", copy)
        level = re.search(r"Overall exposure level for quelta.service: ([0-9.]+)", r.stdout)
        print(f"     systemd-analyze security: exposure {level[1] if level else '?'}")
    # The working directory is the program folder too (the service's command file runs there).
    for line in ("ExecStart=/usr/bin/queltad --home %S/quelta",
                 "WorkingDirectory=%S/quelta", "User=quelta",
                 "StateDirectory=quelta", "SupplementaryGroups=dialout",
                 "WantedBy=multi-user.target"):
        check(f"\n{line}\n" in text, f"unit: {line}")
    # A device list (DeviceAllow=, or ProtectClock= and PrivateDevices= that imply one) would
    # shut the service out of the UPS's node.
    check(not re.search(r"^(DeviceAllow|DevicePolicy|PrivateDevices|ProtectClock)=", text, re.M),
          "unit: no device list that would hide the UPS")


def check_rule_form(rule_file, usb_cfg):
    """udev's rule grammar: comma-separated KEY[{attr}]OP"value" pairs, every GOTO landing."""
    pair = re.compile(r'^([A-Z]+)(\{[^}]+\})?(==|!=|\+=|-=|:=|=)"([^"]*)"$')
    match_keys = {"ACTION", "SUBSYSTEM", "ATTRS", "KERNEL"}
    assign_keys = {"GROUP", "MODE", "TAG", "GOTO", "LABEL"}
    labels, gotos, ids, errors = set(), set(), [], []
    for number, line in enumerate(open(rule_file), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        values = {}
        for item in (p.strip() for p in line.split(",")):
            m = pair.match(item)
            if not m:
                errors.append(f"{number}: {item!r}")
                continue
            key, attr, op, value = m.groups()
            if key in match_keys and op not in ("==", "!="):
                errors.append(f"{number}: {key} needs == or !=")
            elif key in assign_keys and op in ("==", "!="):
                errors.append(f"{number}: {key} is an assignment")
            elif key not in match_keys | assign_keys:
                errors.append(f"{number}: unknown key {key}")
            values[key + (attr or "")] = value
            if key == "LABEL":
                labels.add(value)
            if key == "GOTO":
                gotos.add(value)
        if "ATTRS{idVendor}" in values:
            ids.append((int(values["ATTRS{idVendor}"], 16), int(values["ATTRS{idProduct}"], 16)))
            if values.get("TAG") != "uaccess" or values.get("GROUP") != "quelta" \
                    or not re.fullmatch(r"0[0-7]{3}", values.get("MODE", "")):
                errors.append(f"{number}: uaccess, group quelta and a mode belong together")
    check(not errors and gotos <= labels, "udev rule: well formed"
          + (f" ({errors}, GOTO without LABEL: {gotos - labels})" if errors or gotos - labels
             else ""))
    shipped = [tuple(p) for p in json.load(open(usb_cfg))["usb"]]
    check(ids == shipped, f"udev rule: the ids of the shipped usb.cfg ({len(shipped)})")


# ---- installed


def dpkg(*args):
    """dpkg, waiting out another dpkg or apt (other developers share the machine)."""
    end = time.monotonic() + 900
    while True:
        r = run("dpkg", *args, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        locked = "lock" in r.stderr and r.returncode == 2
        if not locked or time.monotonic() > end:
            return r
        time.sleep(2)


def package_state(package):
    r = run("dpkg-query", "-W", "-f", "${db:Status-Status}", package)
    return r.stdout.strip() if r.returncode == 0 else "not-installed"


def user_exists(name):
    try:
        pwd.getpwnam(name)
        return True
    except KeyError:
        return False


def headless_run(bin_dir, home):
    """The installed service program watches the simulated UPS with no display at all, and
    tells its state to `queltad status`."""
    link = os.path.join(home, "ups")
    os.makedirs(os.path.join(home, "cfg"))
    with open(os.path.join(home, "cfg/config.cfg"), "w") as f:
        f.write(f"[ups]\ncommType=1\ncomPort={link}\nbaudRate=2400\nsaveCycle=1\n")
    sim = subprocess.Popen([os.path.join(bin_dir, "upssim"), "--instant", "--link", link,
                            "--exit-with-parent"],
                           stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    tmp = os.path.join(home, "tmp")
    os.mkdir(tmp)
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QUELTA_HOME")}
    env["TMPDIR"] = tmp  # a private temporary folder, as the service has
    err = open(os.path.join(home, "stderr.txt"), "w+")
    program = None
    try:
        check(wait_for(lambda: os.path.islink(link), 30), "upssim announced its line")
        program = subprocess.Popen(["/usr/bin/queltad", "--home", home],
                                   env=env, stdout=subprocess.DEVNULL, stderr=err)
        status = os.path.join(home, "log/output/upsstatus.txt")
        # time, operating mode, communication lost, ...
        field = lambda i: (open(status).read().strip().split(",") + [""] * 3)[i] \
            if os.path.exists(status) else ""
        check(wait_for(lambda: field(2) == "0", 60), "headless: the UPS is watched")
        sim.stdin.write("mains fail\n")
        sim.stdin.flush()
        database = os.path.join(home, "data/quelta.db")

        def mains_fault_stored():
            try:
                with sqlite3.connect(f"file:{database}?mode=ro", uri=True, timeout=5) as db:
                    return db.execute("select count(*) from alarm where alarm = ?",
                                      (MAINS_FAULT,)).fetchone()[0] > 0
            except sqlite3.Error:
                return False

        check(wait_for(mains_fault_stored, 60), "headless: the mains failure is in the alarm table")
        check(wait_for(lambda: field(1) == "2", 30), "headless: the status file says on battery")
        r = run("/usr/bin/queltad", "--home", home, "status", env=env)
        check(r.returncode == 1 and r.stdout.startswith("ups: on battery\n")
              and "\nups.status: OB\n" in r.stdout,
              f"headless: queltad status says on battery, exit status 1 ({r.returncode}, "
              f"{r.stdout[:40]!r}{r.stderr})")
        program.send_signal(signal.SIGTERM)
        code = program.wait(60)
        check(code == 0, f"headless: SIGTERM ends it with exit code 0 (got {code})")
        check(not [f for f in ("quelta.lock", "quelta.sock") if os.path.exists(os.path.join(home, f))]
              and not os.listdir(tmp),
              "headless: the single-instance lock and socket in the program folder are gone")
        with sqlite3.connect(database) as db:
            check(db.execute("pragma integrity_check").fetchone()[0] == "ok"
                  and mains_fault_stored(), "headless: the database is intact")
        err.seek(0)
        check("Quelta" in err.read(), "headless: log lines on standard error")
        check(open(os.path.join(home, "cfg/usb.cfg")).read()
              == open("/usr/share/quelta/usb.cfg").read(),
              "headless: usb.cfg seeded from /usr/share/quelta")
    finally:
        for p in (program, sim):
            if p and p.poll() is None:
                p.kill()
                p.wait()
        err.close()


def user_folder_run(home):
    """Root without --home: the desktop program uses its per-user folder, never /usr/bin."""
    share = os.path.join(home, "share")
    env = {k: v for k, v in os.environ.items() if k != "QUELTA_HOME"}
    env.update(HOME=home, XDG_DATA_HOME=share)
    r = run("/usr/bin/quelta", "--nut-user", "list", env=env)
    check(r.returncode == 0 and os.path.isdir(os.path.join(share, "ORVAK/QUELTA/cfg"))
          and not [f for f in ("cfg", "data", "log") if os.path.exists("/usr/bin/" + f)],
          "quelta as root without --home keeps its files in its own data folder, not in /usr/bin")


def service_folder_run():
    """Root without --home: the service program sets up the service's folder and watches from
    it, and its files stay the service user's, so the service can still read and replace
    them."""
    env = {k: v for k, v in os.environ.items() if k != "QUELTA_HOME"}
    r = run("/usr/bin/queltad", "config", "set", "network/upsName", "cupboard", env=env)
    config = "/var/lib/quelta/cfg/config.cfg"
    owner = pwd.getpwnam(USER).pw_uid
    check(r.returncode == 0 and os.path.exists(config)
          and all(os.stat(p).st_uid == owner for p in ("/var/lib/quelta/cfg", config))
          and not os.stat(config).st_mode & 0o077,
          "queltad config as root without --home writes the service's settings, its user's, "
          "private " + r.stderr.strip())
    r = run("/usr/bin/queltad", "config", "get", "network/upsName", env=env)
    check(r.returncode == 0 and r.stdout == "cupboard\n", "queltad config get reads it back")
    r = run("/usr/bin/queltad", "status", env=env)
    check(r.returncode == 3 and "does not run on the program folder /var/lib/quelta" in r.stderr,
          f"queltad status with no service running: exit status 3 ({r.returncode})")

    # Watching by hand (sudo queltad): it becomes the service's user, so whatever it leaves in
    # the folder is that user's and the service can still store its history and log.
    with tempfile.TemporaryDirectory(prefix="quelta-tmp-") as tmp:
        os.chmod(tmp, 0o1777)
        program = subprocess.Popen(["/usr/bin/queltad"], env=dict(env, TMPDIR=tmp),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        running = wait_for(lambda: os.path.exists("/var/lib/quelta/quelta.sock")
                           and os.path.exists("/var/lib/quelta/data/quelta.db"), 30)
        program.send_signal(signal.SIGTERM)
        program.wait(30)
    foreign = [os.path.join(folder, name)
               for folder, folders, files in os.walk("/var/lib/quelta")
               for name in folders + files
               if os.lstat(os.path.join(folder, name)).st_uid != owner]
    check(running and program.returncode == 0 and not foreign,
          "sudo queltad runs as the service's user and leaves its folder that user's "
          f"({program.returncode}, {foreign})")


RECORDER = """#!/bin/sh
# systemctl for the maintainer scripts: what changes the system is recorded, not done; whether
# a unit is enabled is read from the unit files (no systemd runs here), and nothing is active.
echo "$*" >> "$QUELTA_SYSTEMCTL_LOG"
case " $* " in
*" is-enabled "*) exec /usr/bin/systemctl --root=/ "$@" ;;
*" is-active "*) exit 3 ;;
esac
exit 0
"""


def reinstall_under_systemd(deb):
    """dpkg -i after dpkg -r of an enabled service, with /run/systemd/system present in a
    private /run, systemctl recording and services allowed to start (a container's
    policy-rc.d forbids it; only in the private mount namespace); the systemctl calls."""
    with tempfile.TemporaryDirectory(prefix="quelta-systemctl-") as stubs:
        recorder = os.path.join(stubs, "systemctl")
        with open(recorder, "w") as f:
            f.write(RECORDER)
        os.chmod(recorder, 0o755)
        allow = os.path.join(stubs, "policy-rc.d")
        with open(allow, "w") as f:
            f.write("#!/bin/sh\nexit 0\n")
        os.chmod(allow, 0o755)
        log = os.path.join(stubs, "calls")
        env = dict(os.environ, PATH=stubs + ":" + os.environ["PATH"], QUELTA_SYSTEMCTL_LOG=log,
                   DEBIAN_FRONTEND="noninteractive")
        r = run("unshare", "--mount", "sh", "-c",
                "mount -t tmpfs tmpfs /run && mkdir -p /run/systemd/system && "
                "{ [ ! -e /usr/sbin/policy-rc.d ] || mount --bind \"$1\" /usr/sbin/policy-rc.d; } && "
                "dpkg -i \"$0\"", deb, allow, env=env)
        if r.returncode != 0:
            return None, r.stderr
        return (open(log).read().splitlines() if os.path.exists(log) else []), ""


def check_installed(debs, bin_dir, version):
    if os.geteuid() != 0:
        print("skip installed checks: they need root")
        return
    states = {p: package_state(p) for p in debs}
    if any(state != "not-installed" for state in states.values()):
        print(f"skip installed checks: a quelta package is on this machine ({states}); "
              "they leave it alone")
        return
    had_user = user_exists(USER)
    had_state = os.path.exists("/var/lib/quelta")
    wants = "/etc/systemd/system/multi-user.target.wants/quelta.service"
    try:
        # A server: the service's package alone.
        r = dpkg("-i", debs[SERVER])
        if not check(r.returncode == 0, f"dpkg -i installs {SERVER}" + r.stderr):
            return
        r = run("/usr/bin/queltad", "--version")
        check(r.returncode == 0 and r.stdout == f"queltad v{version}\n",
              f"queltad --version says {version}")
        st = os.stat("/var/lib/quelta")
        check(user_exists(USER) and pwd.getpwnam(USER).pw_dir == "/var/lib/quelta"
              and st.st_uid == pwd.getpwnam(USER).pw_uid,
              "the system user quelta owns its home /var/lib/quelta")
        r = run("systemd-analyze", "verify", "--man=no", UNIT)
        check(r.returncode == 0 and not r.stderr.strip(),
              "installed unit: systemd-analyze verify is silent " + r.stderr.strip())
        check(not os.path.exists(wants), "installed unit: not enabled")
        # udev's own parser, in a private /run so no device database is left behind.
        r = run("unshare", "--mount", "sh", "-c",
                "mount -t tmpfs tmpfs /run && udevadm test --action=add /sys/class/net/lo")
        if r.returncode == 0:
            complaints = [l for l in r.stderr.splitlines() if l.startswith(RULE + ":")]
            check(f"Reading rules file: {RULE}" in r.stderr and not complaints,
                  "installed udev rule: udevadm reads it without complaint " + str(complaints))
        else:
            print("skip udevadm test: no private mount namespace here")
        service_folder_run()

        # A desktop: the window's package on top, and off again.
        r = dpkg("-i", debs[DESKTOP])
        if check(r.returncode == 0, f"dpkg -i installs {DESKTOP} beside {SERVER}" + r.stderr):
            r = run("/usr/bin/quelta", "--version")
            check(r.returncode == 0 and r.stdout == f"quelta v{version}\n",
                  f"quelta --version says {version}")
            with tempfile.TemporaryDirectory(prefix="quelta-package-") as home:
                user_folder_run(home)
            r = dpkg("-r", DESKTOP)
            check(r.returncode == 0 and not os.path.exists("/usr/bin/quelta")
                  and os.path.exists("/usr/bin/queltad"),
                  f"dpkg -r {DESKTOP} leaves the service's package" + r.stderr)

        with tempfile.TemporaryDirectory(prefix="quelta-package-") as home:
            headless_run(bin_dir, home)
            # The administrator switches the service on; a remove and a reinstall must not
            # leave it off until the next boot.
            r = run("systemctl", "enable", "quelta.service")
            check(r.returncode == 0, "systemctl enable quelta.service " + r.stderr.strip())
            r = dpkg("-r", SERVER)
            check(r.returncode == 0 and not os.path.exists("/usr/bin/queltad"),
                  "dpkg -r removes the service program" + r.stderr)
            check(os.path.exists(os.path.join(home, "data/quelta.db")),
                  "dpkg -r keeps the program folder of a run")
            check(os.path.isdir("/var/lib/quelta") and user_exists(USER),
                  "dpkg -r keeps /var/lib/quelta and the user")
        calls, why = reinstall_under_systemd(debs[SERVER])
        if calls is None:
            print("skip the reinstall under systemd: " + why.strip())
        else:
            check(any(re.search(r"(^|\s)(start|restart) quelta\.service$", c) for c in calls),
                  f"reinstall: postinst starts the enabled service again ({calls})")
        r = dpkg("--purge", SERVER)
        check(r.returncode == 0 and not os.path.exists("/var/lib/quelta"),
              "dpkg --purge removes /var/lib/quelta" + r.stderr)
        check(user_exists(USER), "dpkg --purge keeps the user quelta")
        check(not os.path.exists(wants), "dpkg --purge removes the service's links")
    finally:
        for package in (DESKTOP, SERVER):
            if package_state(package) != "not-installed":
                dpkg("--purge", package)
        if os.path.lexists(wants):
            os.remove(wants)
        if not had_user and user_exists(USER):
            run("deluser", "--system", "--quiet", USER)
        if not had_user and run("getent", "group", USER).returncode == 0:
            run("delgroup", "--system", "--quiet", USER)
        if not had_state and os.path.exists("/var/lib/quelta"):
            run("rm", "-rf", "/var/lib/quelta")
        check(all(package_state(p) == "not-installed" for p in debs)
              and user_exists(USER) == had_user, "the machine is as it was")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("debs", nargs=2, help="the service's package and the desktop package")
    parser.add_argument("--bin-dir", required=True, help="where upssim is")
    parser.add_argument("--no-install", action="store_true", help="skip the installed checks")
    args = parser.parse_args()
    debs = {control_field(deb, "Package"): deb for deb in args.debs}
    if set(debs) != {SERVER, DESKTOP}:
        sys.exit(f"check_package: give the packages {SERVER} and {DESKTOP}, not {sorted(debs)}")
    version = control_field(debs[SERVER], "Version")

    trees = {}
    with tempfile.TemporaryDirectory() as top:
        for package, deb in debs.items():
            trees[package] = os.path.join(top, package)
            run("dpkg-deb", "-x", deb, trees[package], check=True)
        check_control(debs, version)
        for package, deb in debs.items():
            check_layout(package, deb)
            check_hardening(trees[package] + PROGRAMS[package])
        check_lintian(list(debs.values()))
        check_service_program(trees[SERVER] + PROGRAMS[SERVER])
        check_menu_and_metainfo(trees[DESKTOP])
        check_unit(trees[SERVER] + UNIT, trees[SERVER] + PROGRAMS[SERVER])
        check_rule_form(trees[SERVER] + RULE, trees[SERVER] + "/usr/share/quelta/usb.cfg")

    if not args.no_install:
        # One installed check at a time on a machine shared by several test runs.
        with open("/tmp/quelta-package-check.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            check_installed(debs, args.bin_dir, version)

    print(f"\npackage checks: {len(failures)} failed" if failures else "\npackage checks: all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
