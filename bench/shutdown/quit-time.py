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

    bench/shutdown/quit-time.py QUIT_BENCH [RUNS] statistics

times instead whole runs, from the start of the process to its end, of the program started and
quit as soon as its first frame has run: RUNS times (15 by default, 1 at the smallest setting)
for a new player, for a
player whose statistics file holds 400 sessions, and for one whose file of 400 sessions was
written with their events by an earlier version (about 35 kB a session; that first start
rewrites it without them, and the start after it is timed too). Each run has fresh folders.
Reports the medians and the files' sizes before and after against the goal: a player of 400
sessions starts and quits within 1.2 times a new player's time, also after the start that
rewrote an earlier version's file, and every session kept.

At the smallest setting (QUOVEL_BENCH_SMALLEST, as the suite runs it) RUNS is 2 in the first form,
which then only checks that the bench still measures a quit, whatever the machine's load: every
run ended by its quit with status 0 and saved everything; the second form then checks only that
every session was kept. The goals are printed there, met or missed, but not judged: only a run
at the full setting judges them. A program that never gets to its place or never ends is
waited for until the entry's limit (benchrun.wait_limit_s), then shown and ended.
"""
import os
import queue
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import benchrun  # noqa: E402

MEDIAN_GOAL_MS = 300
SLOWEST_GOAL_MS = 500
# The files a quit writes, under the data and the settings folders.
SAVED_FILES = ("players/players.plrs.!", "players/scores.xml.!", "values.keystore")


def read_lines(process):
    """A queue of the program's lines as they come, None at their end."""
    lines = queue.Queue()

    def read():
        for line in process.stdout:
            lines.put(line)
        lines.put(None)
    threading.Thread(target=read, daemon=True).start()
    return lines


def read_line(lines, process):
    """The next line's stamp and word; None at the end, or at the limit (what the process does
    then shown)."""
    try:
        line = lines.get(timeout=benchrun.wait_limit_s())
    except queue.Empty:
        benchrun.report_stuck(process.pid, "the quit bench, awaiting its next line")
        return None
    if not line:
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
    process = benchrun.start([bench, place, way], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    lines = read_lines(process)
    steps = []
    try:
        entry = read_line(lines, process)
        if not entry or entry[1] != "ready":
            raise RuntimeError(f"{place}: the program never got there")
        wall_quit = time.time()
        if way == "signal":
            quit_ms = time.monotonic() * 1000.0
            process.send_signal(signal.SIGTERM)
        else:
            entry = read_line(lines, process)
            if not entry or entry[1] != "quit":
                raise RuntimeError(f"{place}: the program did not answer its quit question")
            quit_ms = entry[0]
        while entry := read_line(lines, process):
            steps.append(entry)
        if benchrun.waited(process, "the quit bench after its quit") is None:
            raise RuntimeError(f"{place}: the program had not ended at the limit after its "
                               f"quit ({way})")
        end_ms = time.monotonic() * 1000.0
    finally:
        benchrun.end(process)
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


STATISTICS_SESSIONS = 400
STATISTICS_GOAL = 1.2
# The statistics file under the data folder.
STATISTICS_FILE = "data/Brastel/Games/Quovel Mahjong/_temp/gd.xml"
# The events of a session as earlier versions wrote them: a floor shown, a level built, a level
# played and stopped; repeated to about 35 kB a session.
SESSION_EVENTS = (
    '<Node id="QVCustomEvent" playerName="Ann" floorNumber="3" />'
    '<QVCustomEvent><String id="playerName" value="Ann" /><Integer id="numNotSolvable" '
    'value="0" /><Integer id="numStackingProblem" value="0" /><Boolean id="levelBuildProblem" '
    'value="false" /></QVCustomEvent><QVLevelSession><String id="playerName" value="Ann" />'
    '<String id="LevelName" value="floor03-room2.xml" /><Integer id="GameType" value="1" />'
    '<Integer id="GameMode" value="1" /><Integer id="Difficulty" value="3" />'
    '<Boolean id="gameStopped" value="true" /></QVLevelSession>')


def statistics_text(with_events):
    events = SESSION_EVENTS * (35 * 1024 // len(SESSION_EVENTS))
    sessions = []
    for number in range(STATISTICS_SESSIONS):
        start = 1_700_000_000 + number * 86_400
        values = (f'StartTime="{start}" EndTime="{start + 3600}" GameMode="0" NumOfPlayers="1" '
                  'FullScreen="false" BitDepth="32" ScreenWidth="1920" ScreenHeight="1080"')
        sessions.append(f'<PlayingSession {values}><Vector id="Events">{events}</Vector>'
                        '</PlayingSession>' if with_events else f'<PlayingSession {values} />')
    return ('<root><DataGathering id="DataGathering"><SystemInfo id="SystemInfo" '
            'GameId="QuovelMahjong" /><Vector id="PlayingSessions">' + "".join(sessions) +
            '</Vector></DataGathering></root>')


def start_and_quit(bench, home):
    """Milliseconds from the start of the process to its end."""
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"))
    env.setdefault("SDL_VIDEODRIVER", "dummy")
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    began = time.monotonic()
    code = benchrun.waited(benchrun.start([bench, "start"], env=env, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL), "the quit bench's start")
    if code != 0:
        raise RuntimeError(f"the program ended with {code}")
    return (time.monotonic() - began) * 1000.0


def statistics_main(bench, runs):
    with_events = "400 sessions with events"
    texts = {"new player": None, "400 sessions": statistics_text(False),
             with_events: statistics_text(True)}
    after_events = with_events + ", the start after"
    times = {name: [] for name in [*texts, after_events]}
    sizes = {}
    # Each run's folders, inside the bench's own: each removed once its program has ended, and
    # by benchrun, after the program, when a signal or a failure cuts the run short (removed
    # while the program still wrote there, it would fail in place of the signal's ending).
    homes = benchrun.folder("quit-statistics-")
    for _ in range(runs):
        for name, text in texts.items():
            home = tempfile.mkdtemp(dir=homes)
            path = os.path.join(home, STATISTICS_FILE)
            if text is not None:
                os.makedirs(os.path.dirname(path))
                with open(path, "w") as out:
                    out.write(text)
            before = len(text or "")
            for timed in [name, after_events] if name == with_events else [name]:
                times[timed].append(start_and_quit(bench, home))
                with open(path) as written:
                    after = written.read()
                sizes[timed] = (before, len(after), after.count("<PlayingSession "))
                before = len(after)
            shutil.rmtree(home)
    base = statistics.median(times["new player"])
    missed = False
    for name, values in times.items():
        median = statistics.median(values)
        before, after, kept = sizes[name]
        line = (f"{name}: start to end median {median:.0f} ms ({median / base:.2f} of a new "
                f"player's), fastest {min(values):.0f}, slowest {max(values):.0f} in {runs} runs; "
                f"file {before / 1024:.0f} kB before, {after / 1024:.0f} kB and {kept} sessions "
                "after")
        if name in ("400 sessions", after_events):
            ok = (benchrun.SMALLEST or median <= STATISTICS_GOAL * base) and \
                kept == STATISTICS_SESSIONS
            missed = missed or not ok
            line += f" (goal {STATISTICS_GOAL:.1f}){'' if ok else '  <-- missed'}"
        print(line)
    sys.exit(1 if missed else 0)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bench = os.path.abspath(sys.argv[1])
    if sys.argv[-1] == "statistics":
        statistics_main(bench, int(sys.argv[2]) if len(sys.argv) > 3 else benchrun.size(15))
    check = benchrun.SMALLEST
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else benchrun.size(20, 2)
    missed = False
    for place in ("lobby", "level"):
        home = benchrun.folder(f"quit-{place}-")
        totals = []
        steps = {}
        unsaved = 0
        for run in range(runs):
            way = "signal" if run % 2 == 0 else "answer"
            try:
                total, durations, missing = run_once(bench, place, way, home)
            except RuntimeError as error:
                sys.exit(str(error))
            totals.append(total)
            for what, ms in durations.items():
                steps.setdefault(what, []).append(ms)
            if missing:
                unsaved += 1
                print(f"  {place} run {run + 1} ({way}): not saved: {', '.join(missing)}")
        median = statistics.median(totals)
        slowest = max(totals)
        met = median <= MEDIAN_GOAL_MS and slowest <= SLOWEST_GOAL_MS
        goals = f"(goals: median {MEDIAN_GOAL_MS}, slowest {SLOWEST_GOAL_MS}: " + \
            ("met" if met else "missed") + \
            (", not judged at the smallest setting)" if check else ")")
        ok = (met or check) and unsaved == 0
        missed = missed or not ok
        print(f"{place}: quit to process end median {median:.0f} ms, fastest {min(totals):.0f}, "
              f"slowest {slowest:.0f} {goals} in {runs} runs; {runs - unsaved} of {runs} saved "
              f"everything{'' if ok else '  <-- missed'}")
        for what, values in steps.items():
            print(f"  {what:28} median {statistics.median(values):7.1f} ms, "
                  f"slowest {max(values):7.1f}")
    sys.exit(1 if missed else 0)


if __name__ == "__main__":
    benchrun.run(main)
