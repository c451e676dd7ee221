#!/usr/bin/env python3
"""How long the game takes to end once it is told to quit, and where the time goes:

    bench/shutdown/quit-time.py QUIT_BENCH [RUNS]

QUIT_BENCH is build/bench/quovel-quit-bench: the real program on SDL's dummy video and audio
drivers (sound and music running), driven into the lobby, then into a 144-tile level. In each
place it is quit RUNS times (20 by default), from a start of its own each time, alternately by
SIGTERM (as a system shut-down ends it) and by the answered quit question (where the window's
close box and the game's own quit lead), and timed from the quit to the end of the process. Reports the median and the slowest run of
each place against the goals (median at most 0.3 s, slowest at most 0.5 s), the median time of
each step of the shut-down, and whether every run left its players, high scores and settings
saved. Each place keeps one data and settings folder of its own across its runs: the first run
is a first start, the others ordinary ones. Exits with 1 when a goal is missed.
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

MEDIAN_GOAL_MS = 300
SLOWEST_GOAL_MS = 500
# Longest wait for the program to reach its place, and then to end.
READY_LIMIT_S = 120
END_LIMIT_S = 30
# The files a quit writes, under the data and the settings folders.
SAVED_FILES = ("players/players.plrs.!", "players/scores.xml.!", "values.keystore")


def read_line(process, deadline):
    line = process.stdout.readline()
    if not line or time.monotonic() > deadline:
        return None
    stamp, _, what = line.decode().strip().partition(" ")
    return float(stamp), what


def saved_since(home, since_s):
    """The files of SAVED_FILES that were not written after `since_s` (wall clock)."""
    written = {}
    for root, _, files in os.walk(home):
        for name in files:
            path = os.path.join(root, name)
            written[path] = max(written.get(path, 0), os.path.getmtime(path))
    missing = []
    for wanted in SAVED_FILES:
        if not any(path.endswith("/" + wanted) and stamp >= since_s
                   for path, stamp in written.items()):
            missing.append(wanted)
    return missing


def run_once(bench, place, way, home):
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"))
    env.setdefault("SDL_VIDEODRIVER", "dummy")
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    process = subprocess.Popen([bench, place, way], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + READY_LIMIT_S
    steps = []
    try:
        entry = read_line(process, deadline)
        if not entry or entry[1] != "ready":
            raise RuntimeError(f"{place}: the program never got there")
        wall_quit = time.time()
        if way == "signal":
            quit_ms = time.monotonic() * 1000.0
            process.send_signal(signal.SIGTERM)
        else:
            entry = read_line(process, deadline)
            if not entry or entry[1] != "quit":
                raise RuntimeError(f"{place}: the program did not answer its quit question")
            quit_ms = entry[0]
        while entry := read_line(process, time.monotonic() + END_LIMIT_S):
            steps.append(entry)
        process.wait(END_LIMIT_S)
        end_ms = time.monotonic() * 1000.0
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if process.returncode != 0:
        raise RuntimeError(f"{place}: the program ended with {process.returncode}")
    # Each step's own time: from the one before it (the quit for the first) to its end.
    durations = {}
    before = quit_ms
    for stamp, what in steps:
        durations[what] = stamp - before
        before = stamp
    durations["process end"] = end_ms - before
    return end_ms - quit_ms, durations, saved_since(home, wall_quit - 1.0)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bench = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    missed = False
    for place in ("lobby", "level"):
        with tempfile.TemporaryDirectory(prefix=f"quit-{place}-") as home:
            totals = []
            steps = {}
            unsaved = 0
            for run in range(runs):
                way = "signal" if run % 2 == 0 else "answer"
                total, durations, missing = run_once(bench, place, way, home)
                totals.append(total)
                for what, ms in durations.items():
                    steps.setdefault(what, []).append(ms)
                if missing:
                    unsaved += 1
                    print(f"  {place} run {run + 1} ({way}): not saved: {', '.join(missing)}")
        median = statistics.median(totals)
        slowest = max(totals)
        ok = median <= MEDIAN_GOAL_MS and slowest <= SLOWEST_GOAL_MS and unsaved == 0
        missed = missed or not ok
        print(f"{place}: quit to process end median {median:.0f} ms (goal {MEDIAN_GOAL_MS}), "
              f"fastest {min(totals):.0f}, slowest {slowest:.0f} (goal {SLOWEST_GOAL_MS}) in "
              f"{runs} runs; {runs - unsaved} of {runs} saved everything"
              f"{'' if ok else '  <-- missed'}")
        for what, values in steps.items():
            print(f"  {what:28} median {statistics.median(values):7.1f} ms, "
                  f"slowest {max(values):7.1f}")
    sys.exit(1 if missed else 0)


if __name__ == "__main__":
    main()
