#!/usr/bin/env python3
"""benchrun's ending of what a bench started: groups whose members ended unreaped (as a session
bus's launcher is left when it is orphaned to a parent that does not reap it at once), a member
that ignores SIGTERM, and a bench signalled while a stand-in for the game's session-bus launcher
runs, whose daemon was double-forked into a session of its own; and a bench signalled before its
main, while benchrun takes in orphans or sets its handlers, still ends by that signal; the
benches' own session bus can start no service (in the home of whoever runs them); a wait that
reaches its limit shows what the process does. Nothing here is timed: each case checks what
stood when benchrun returned."""
import contextlib
import io
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchrun  # noqa: E402

# Saves into its folder as it ends, as the game does when it quits, and starts a daemon as
# dbus-launch does: a child forks it, puts it in a session of its own and ends.
STAND_IN = """trap 'mkdir -p "$1/data" && echo saved > "$1/data/saved"; exit 0' TERM
(setsid sleep 300 </dev/null >/dev/null 2>&1 & echo $!)
sleep 300 &
wait"""


def stat(pid):
    """The process's state letter and session, or ("", 0) once it is reaped."""
    try:
        with open(f"/proc/{pid}/stat") as status:
            fields = status.read().rsplit(")", 1)[1].split()
        return fields[0], int(fields[3])
    except FileNotFoundError:
        return "", 0


def runs(pid):
    return stat(pid)[0] not in ("", "Z", "X")


def unreaped_leader(script):
    """A shell run in a group of its own, once it has ended unreaped, and what it printed."""
    leader = subprocess.Popen(["sh", "-c", script], start_new_session=True,
                              stdout=subprocess.PIPE, text=True)
    printed = leader.stdout.read()
    while stat(leader.pid)[0] != "Z":
        time.sleep(0.005)
    return leader, printed


def bench_main():
    """A bench's main: the stand-in in a folder of the bench's; says where, and the pids."""
    home = benchrun.folder("benchrun-test-")
    stand_in = benchrun.start(["sh", "-c", STAND_IN, "sh", home], stdout=subprocess.PIPE,
                              text=True)
    print(home, stand_in.pid, stand_in.stdout.readline().strip(), flush=True)
    stand_in.wait()


def signalled_bench_faults():
    bench = subprocess.Popen([sys.executable, __file__, "--bench"], stdout=subprocess.PIPE,
                             text=True)
    home, stand_in, daemon = bench.stdout.readline().split()
    stand_in, daemon = int(stand_in), int(daemon)
    # Signalled once the daemon has its session, while the stand-in still runs.
    while stat(daemon)[1] != daemon:
        time.sleep(0.005)
    bench.send_signal(signal.SIGTERM)
    code = bench.wait()
    faults = [] if code == -signal.SIGTERM else [f"the bench ended with {code}, not by SIGTERM"]
    for name, pid in (("stand-in", stand_in), ("daemon", daemon)):
        if runs(pid):
            faults.append(f"left running: the {name} ({pid})")
            os.kill(pid, signal.SIGKILL)
    if os.path.exists(home):
        faults.append(f"left: {os.listdir(home)} in the bench's folder")
    return faults


class SignalledOnItsEnd:
    """Sends the signal from its __del__, where Python ignores what the handler raises."""

    def __init__(self, number):
        self.number = number

    def __del__(self):
        os.kill(os.getpid(), self.number)
        len("")  # the handler runs here


def signalled_in(gap, number):
    """A bench's run in which the signal comes in the gap: as benchrun takes in orphans
    ("orphans"), once it has set its first handler ("handlers"), or where the interrupt is
    swallowed and main goes on to fail ("swallowed")."""
    if gap == "swallowed":
        def goes_on():
            SignalledOnItsEnd(number)
            sys.exit(1)
        benchrun.run(goes_on)
        return
    place = (benchrun, "take_in_orphans") if gap == "orphans" else (signal, "signal")
    real, sent = getattr(*place), []

    def then_signalled(*arguments):
        answer = real(*arguments)
        if not sent:
            sent.append(os.kill(os.getpid(), number))
        return answer
    setattr(*place, then_signalled)
    benchrun.run(lambda: None)


def gap_faults():
    faults = []
    for gap in ("orphans", "handlers", "swallowed"):
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            code = subprocess.run([sys.executable, __file__, "--gap", gap, str(number)],
                                  capture_output=True).returncode
            if code != -number:
                faults.append(f"signal {number} in the {gap} gap: the bench ended with {code}")
    return faults


def bus_faults():
    """Faults for a service that the benches' session bus could start."""
    if not shutil.which("dbus-daemon") or not shutil.which("dbus-send"):
        print("no dbus-daemon or dbus-send: the session bus is not checked")
        return []
    folder = tempfile.mkdtemp(prefix="benchrun-test-bus-")
    try:
        bus = benchrun.session_bus(folder)
        listed = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.ListActivatableNames"],
            env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus), capture_output=True,
            text=True).stdout
        for process in benchrun._started:
            benchrun.end(process)
    finally:
        shutil.rmtree(folder)
    names = set(re.findall(r'string "([^"]*)"', listed)) - {"org.freedesktop.DBus"}
    return [f"the benches' session bus can start {name}" for name in sorted(names)] + \
        ([] if "org.freedesktop.DBus" in listed else [f"no answer from the bus: {listed}"])


def stuck_faults():
    """Faults for a wait that reaches the limit: it shows each thread's state and kernel wait,
    then ends the process."""
    sleeper = benchrun.start(["sleep", "300"])
    # Shown once it sleeps: run, or not yet the program, it would show otherwise.
    while stat(sleeper.pid)[0] != "S" or open(f"/proc/{sleeper.pid}/comm").read() != "sleep\n":
        time.sleep(0.005)
    shown = io.StringIO()
    with contextlib.redirect_stdout(shown):
        code = benchrun.waited(sleeper, "a sleeper")
    found = re.search(r"thread \d+ \(sleep\): state S, wchan (\S+)", shown.getvalue())
    return ([] if found else [f"the stuck sleeper was shown as: {shown.getvalue()!r}"]) + \
        ([] if code is None and sleeper.returncode == -signal.SIGTERM else
         [f"the stuck sleeper's wait gave {code}, its end {sleeper.returncode}"])


def slow_xvfb_faults():
    """Faults for an X server slow to start (a stand-in that gives its display after 16 s): it is
    waited for until it gives its number."""
    folder = tempfile.mkdtemp(prefix="benchrun-test-xvfb-")
    try:
        with open(os.path.join(folder, "Xvfb"), "w") as stand_in:
            stand_in.write('#!/bin/sh\nsleep 16\neval "echo 99 >&$2"\n')
        os.chmod(os.path.join(folder, "Xvfb"), 0o755)
        os.environ["PATH"] = folder + os.pathsep + os.environ["PATH"]
        try:
            server, display = benchrun.smoke_script().start_xvfb(os.path.join(folder, "log"))
            server.wait()
        except SystemExit as failed:
            return [f"a slow X server was not waited for: {failed}"]
        finally:
            os.environ["PATH"] = os.environ["PATH"].split(os.pathsep, 1)[1]
    finally:
        shutil.rmtree(folder)
    return [] if display == ":99" else [f"a slow X server gave {display}"]


def main():
    limit_s = benchrun.wait_limit_s
    benchrun.wait_limit_s = lambda: 0.0
    faults = stuck_faults()
    benchrun.wait_limit_s = limit_s
    faults += gap_faults() + bus_faults() + slow_xvfb_faults()
    # A group of one unreaped process counts as ended at the first look.
    looks = []
    group_runs = benchrun.group_runs
    benchrun.group_runs = lambda group: looks.append(group) or group_runs(group)
    leader, _ = unreaped_leader("exit 0")
    benchrun.end_group(leader.pid)
    if len(looks) != 1:
        faults.append(f"a group of one unreaped process was looked at {len(looks)} times")
    benchrun.group_runs = group_runs
    leader.wait()

    # A member that ignores SIGTERM still runs beside the unreaped leader: it is killed.
    benchrun.wait_limit_s, benchrun.KILLED_WITHIN_S = lambda: 0.0, 0.2
    leader, printed = unreaped_leader("trap '' TERM; sleep 30 >/dev/null & echo $!")
    member = int(printed)
    benchrun.end_group(leader.pid)
    if runs(member):
        faults.append(f"end_group returned while a member still ran (state {stat(member)[0]})")
        os.kill(member, signal.SIGKILL)
    leader.wait()

    faults += signalled_bench_faults()
    print("\n".join(faults) or "groups ended, and the signalled bench left nothing")
    return 1 if faults else 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--bench"]:
        benchrun.run(bench_main)
    elif sys.argv[1:2] == ["--gap"]:
        signalled_in(sys.argv[2], int(sys.argv[3]))
    else:
        sys.exit(main())
