"""What the Python benches share, as the programs share bench/BenchRun.h and bench/BenchSize.h.

A bench's main runs through `run`: a termination signal (SIGTERM, SIGINT, SIGHUP) ends it as
Ctrl-C does, and whatever ends it (the signal, a failure, its own end) every process it started
through `start` or handed to `adopt` is ended, its whole group with it, then every process that
those started and left behind (the bench takes in their orphans, such as a daemon
double-forked into a session of its own), and only then are the folders it made with `folder`
removed; a bench that a signal ended then ends by that signal. QUOVEL_BENCH_SMALLEST asks for
the smallest setting (`size`), at which a bench checks that it took every figure, never a goal,
so that load cannot fail it.

No wait here or in a script is bounded by a guess at how long its event takes: each waits for
the event, and only the entry's own limit (`wait_limit_s`) ends one that never comes.
"""
import contextlib
import ctypes
import importlib.util
import os
import shutil
import signal
import subprocess
import tempfile
import time

SMALLEST = bool(os.environ.get("QUOVEL_BENCH_SMALLEST"))
# The time limit of the CTest entry that runs the script (its TIMEOUT, handed over by CMake), or
# what a run by hand gets.
ENTRY_LIMIT_S = float(os.environ.get("QUOVEL_ENTRY_TIMEOUT_S") or 1500)
# How long before the entry's end a wait gives up, so that the script still prints what it found
# (`report_stuck`) and ends what it started before CTest kills it.
MARGIN_S = min(60.0, ENTRY_LIMIT_S / 10)
# What a process gets, once the limit has passed, to end by SIGTERM and then by SIGKILL: the
# margin's share of each ending. Before the limit, a process signalled is waited for until it.
KILLED_WITHIN_S = MARGIN_S / 6
# Where the limit is counted from: this module is imported as the script starts.
_BEGAN = time.monotonic()

_started = []
# The pids of those started in a group of their own, which they lead.
_leaders = set()
_folders = []
PR_SET_CHILD_SUBREAPER = 36


def wait_limit_s():
    """The seconds that a wait may still take: until MARGIN_S before the entry's limit, counted
    from the script's own start (a little after the entry's, which the margin covers). Only a
    hang reaches it."""
    return max(0.0, _BEGAN + ENTRY_LIMIT_S - MARGIN_S - time.monotonic())


def ending_limit_s():
    """The seconds that a process signalled to end is waited for: the rest of the limit, and
    KILLED_WITHIN_S once that has passed."""
    return max(wait_limit_s(), KILLED_WITHIN_S)


def report_stuck(pid, what):
    """Prints what a process that a wait gave up on does: its state, each thread's kernel wait
    (wchan), and its threads' stacks where gdb is installed."""
    lines = [f"{what}: process {pid} still runs at the limit"]
    with contextlib.suppress(OSError):
        for task in sorted(os.listdir(f"/proc/{pid}/task"), key=int):
            with contextlib.suppress(OSError):
                with open(f"/proc/{pid}/task/{task}/stat") as stat:
                    text = stat.read()
                with open(f"/proc/{pid}/task/{task}/wchan") as wchan:
                    waits_in = wchan.read().strip() or "-"
                name = text[text.index("(") + 1:text.rindex(")")]
                state = text.rsplit(")", 1)[1].split()[0]
                lines.append(f"  thread {task} ({name}): state {state}, wchan {waits_in}")
    if shutil.which("gdb"):
        # A diagnosis, bounded so that it fits the margin: gdb that cannot attach is given up.
        with contextlib.suppress(subprocess.TimeoutExpired, OSError):
            lines.append(subprocess.run(
                ["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt"],
                stdin=subprocess.DEVNULL, capture_output=True, text=True,
                timeout=KILLED_WITHIN_S).stdout.strip())
    print("\n".join(lines), flush=True)


def waited(process, what):
    """The process's exit status once it ends, or None when the limit came first: then what it
    did is printed (`report_stuck`) and it is ended."""
    try:
        return process.wait(wait_limit_s())
    except subprocess.TimeoutExpired:
        report_stuck(process.pid, what)
        end(process)
        return None


def take_in_orphans():
    """Makes this process the one that the orphans of its descendants come to; False when the
    system refuses."""
    return ctypes.CDLL(None).prctl(PR_SET_CHILD_SUBREAPER, 1) == 0


def smoke_script():
    """The smoke test's script as a module, for its Xvfb, its window session and its probes."""
    source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    spec = importlib.util.spec_from_file_location(
        "smoke", os.path.join(source, "tests/smoke/game-under-xvfb.py"))
    smoke = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(smoke)
    return smoke


def folder(prefix):
    """A new folder of the bench's own, removed once everything the bench started has ended."""
    path = tempfile.mkdtemp(prefix=prefix)
    _folders.append(path)
    return path


def windowed_home(home, display):
    """The environment of the game on the X display with a home of its own, the windowed setting
    stored there: without a window manager, X gives no real full screen. The game has a session
    bus of its own there, as on a desktop (`session_bus`)."""
    store = os.path.join(home, "config/Brastel/Games/QuovelMahjong")
    os.makedirs(store, exist_ok=True)
    with open(os.path.join(store, "values.keystore"), "w") as keys:
        keys.write("quovel-keystore 1\ndword\tfullscreen\t0\nend\n")
    return dict(os.environ, HOME=home, DISPLAY=display, SDL_VIDEODRIVER="x11",
                SDL_AUDIODRIVER="dummy", DBUS_SESSION_BUS_ADDRESS=session_bus(home),
                XDG_DATA_HOME=os.path.join(home, "data"),
                XDG_CONFIG_HOME=os.path.join(home, "config"))


# A session bus that starts no service: none of the system's (desktop portals, dconf) may run in
# the home of whoever runs the benches.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def session_bus(folder):
    """The address of a session bus started with its socket in the folder, ended with the bench;
    "disabled:" where no bus can be started. Without one, libdbus would launch a bus for the X
    display whose socket goes to /tmp, left there when a signal ends it as it starts. The bus
    starts no service (BUS_CONFIG) and has the folder as its home."""
    if not shutil.which("dbus-daemon"):
        return "disabled:"
    config = os.path.join(folder, "bus.conf")
    with open(config, "w") as out:
        out.write(BUS_CONFIG.format(socket=os.path.join(folder, "bus")))
    bus = start(["dbus-daemon", f"--config-file={config}", "--nofork", "--print-address"],
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                env=dict(os.environ, HOME=folder, XDG_RUNTIME_DIR=folder,
                         XDG_CACHE_HOME=os.path.join(folder, "cache")))
    # Printed once it listens.
    return bus.stdout.readline().strip() or "disabled:"


def size(full, smallest=1):
    """`full`, or `smallest` at the smallest setting."""
    return smallest if SMALLEST else full


def adopt(process):
    """The Popen given, to be ended with the bench (with its group, when it leads one)."""
    _started.append(process)
    with contextlib.suppress(ProcessLookupError):
        if os.getpgid(process.pid) == process.pid:
            _leaders.add(process.pid)
    return process


def start(command, **options):
    """A process started in a group of its own, to be ended with the bench, whole."""
    return adopt(subprocess.Popen(command, start_new_session=True, **options))


def end(process):
    """Ends a process that still runs, and its group when it leads one (what is left of the group
    once it ended too); waits for its end."""
    leads = process.pid in _leaders
    for number in (signal.SIGTERM, signal.SIGKILL):
        if process.poll() is not None:
            break
        if number == signal.SIGKILL:
            report_stuck(process.pid, "ended by SIGTERM")
        try:
            if leads:
                os.killpg(process.pid, number)
            else:
                process.send_signal(number)
        except ProcessLookupError:
            pass
        with contextlib.suppress(subprocess.TimeoutExpired):
            process.wait(ending_limit_s() if number == signal.SIGTERM else KILLED_WITHIN_S)
    if leads:
        end_group(process.pid)


def group_runs(group):
    """Whether a process of the group still runs. A member that ended but is not reaped yet (an
    orphan whose new parent has not got to it) still lets signals reach the group: it counts as
    ended."""
    try:
        os.killpg(group, 0)
    except ProcessLookupError:
        return False
    for entry in os.scandir("/proc"):
        with contextlib.suppress(OSError, ValueError):
            with open(f"/proc/{int(entry.name)}/stat") as stat:
                state, _, member_of = stat.read().rsplit(")", 1)[1].split()[:3]
            if int(member_of) == group and state not in "ZX":
                return True
    return False


def end_group(group):
    """Ends what is left of a group whose leader ended, as the leader was ended: a helper left in
    it (a session bus's launcher) is let end what it started in turn before the rest is killed;
    returns once no member runs."""
    for number in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(group, number)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + (
            ending_limit_s() if number == signal.SIGTERM else KILLED_WITHIN_S)
        while group_runs(group):
            if time.monotonic() > deadline:
                break
            time.sleep(0.02)
        else:
            return


def children():
    """The processes whose parent is this one: pid and whether it still runs (not a zombie)."""
    found = {}
    own = os.getpid()
    for entry in os.scandir("/proc"):
        with contextlib.suppress(OSError, ValueError):
            with open(f"/proc/{int(entry.name)}/stat") as stat:
                state, parent = stat.read().rsplit(")", 1)[1].split()[:2]
            if int(parent) == own:
                found[int(entry.name)] = state not in "ZX"
    return found


def end_orphans():
    """Ends every child left, the orphans taken in (`take_in_orphans`) among them, and those
    that come in turn: by SIGTERM, then by SIGKILL once `ending_limit_s` passed; reaps them."""
    signalled, killed = set(), set()
    deadline = time.monotonic() + ending_limit_s()
    while True:
        found = children()
        for pid, runs in found.items():
            if not runs:
                with contextlib.suppress(ChildProcessError):
                    os.waitpid(pid, os.WNOHANG)
        running = {pid for pid, runs in found.items() if runs}
        if not running:
            return
        killing = time.monotonic() > deadline
        for pid in running - killed if killing else ():
            report_stuck(pid, "an orphan ended by SIGTERM")
            killed.add(pid)
        for pid in running if killing else running - signalled:
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL if killing else signal.SIGTERM)
        signalled |= running
        time.sleep(0.02)


def run(main):
    """Runs the bench's main; see above."""
    came = []
    running = [True]

    def on_signal(number, _):
        # Only the first, and only into main: the ending that follows is not cut short.
        if not came:
            came.append(number)
            if running[0]:
                raise KeyboardInterrupt

    try:
        try:
            if not take_in_orphans():
                print("cannot take in the orphans of the processes started: some may outlive the "
                      "bench", flush=True)
            # SIGTERM's last: a checker signals the bench once it sees SIGTERM caught. Python's
            # own SIGINT handler raises too until then.
            for number in (signal.SIGHUP, signal.SIGINT, signal.SIGTERM):
                signal.signal(number, on_signal)
            main()
        finally:
            running[0] = False
    except KeyboardInterrupt:
        # Raised by on_signal, which noted the signal, or by Python's SIGINT handler before it
        # was replaced; what ends after main has returned is caught here as well.
        if not came:
            came.append(signal.SIGINT)
    finally:
        began = time.monotonic()
        for process in reversed(_started):
            end(process)
        end_orphans()
        for path in _folders:
            shutil.rmtree(path, ignore_errors=True)
        # Whatever main raised or returned: the interrupt may have been swallowed where Python
        # ignores exceptions (a __del__ runs the handler), and main gone on to sys.exit.
        if came:
            print(f"ended by signal {came[0]}; its processes ended in "
                  f"{(time.monotonic() - began) * 1000:.0f} ms", flush=True)
            signal.signal(came[0], signal.SIG_DFL)
            os.kill(os.getpid(), came[0])
