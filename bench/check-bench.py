#!/usr/bin/env python3
"""Runs a bench once at its smallest setting (QUOVEL_BENCH_SMALLEST) and fails when it no longer
measures; then at its full setting, sending SIGTERM, SIGINT and SIGHUP in turn SIGNAL_AFTER_S into
a run, and fails unless each ends it by that signal. No process the bench started may outlive a
run: its orphans come to the checker (a subreaper), which reaps them as they end. Nothing is
judged by the clock: the checker waits for each end, and only the entry's limit
(benchrun.wait_limit_s) ends a wait that the bench never answers, with what it was doing printed.

    bench/check-bench.py BENCH [BENCHMARK FLAGS]
    bench/check-bench.py --run COMMAND [ARGUMENTS]

BENCH is a program of Google Benchmark: it must end with status 0 and report every benchmark it
lists, each run at least once, in a time above zero, without an error, and every counter a
number of at least zero (a bench gives -1 for a figure it could not take). Any other bench (a
script, the bare loop) checks its own figures at its smallest setting and must end with 0.

So in `make test` a bench entry shows that the bench runs, takes every figure, ends by itself
with everything saved, and ends by each signal leaving nothing behind. Its goals are printed
there, met or missed, but judged only by a run at the full setting, which load may fail.
"""
import contextlib
import json
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchrun  # noqa: E402

SMOKE = benchrun.smoke_script()

# What Google Benchmark itself writes for each run; every other number is a counter of the bench.
OWN_KEYS = {"family_index", "per_family_instance_index", "repetitions", "repetition_index",
            "threads", "iterations", "real_time", "cpu_time"}
SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)
# How far into a run a signal is sent: a lower bound, so that the bench is at work, not a verdict.
SIGNAL_AFTER_S = 1.5
# How much of what a bench printed a failed signal run shows.
TAIL_CHARS = 3000


def left_behind():
    """Faults for the bench's orphans that still run at the limit (then shown and killed)."""
    deadline = time.monotonic() + benchrun.wait_limit_s()
    while True:
        with contextlib.suppress(ChildProcessError):
            while os.waitpid(-1, os.WNOHANG)[0]:
                pass
        running = subprocess.run(["pgrep", "-a", "-P", str(os.getpid())], capture_output=True,
                                 text=True).stdout.splitlines()
        if not running or time.monotonic() > deadline:
            break
        time.sleep(0.05)
    for line in running:
        benchrun.report_stuck(int(line.split()[0]), "left by the bench")
        os.kill(int(line.split()[0]), signal.SIGKILL)
    return [f"left running: {line}" for line in running]


def benchmark_faults(command, env):
    """The faults of one run of a program of Google Benchmark at its smallest."""
    listed = subprocess.run([*command, "--benchmark_list_tests"], env=env, check=True,
                            capture_output=True, text=True).stdout.split()
    with tempfile.TemporaryDirectory(prefix="check-bench-") as folder:
        out = os.path.join(folder, "runs.json")
        done = subprocess.run([*command, "--benchmark_min_time=0.001", f"--benchmark_out={out}",
                               "--benchmark_out_format=json"], env=env)
        if done.returncode != 0:
            return [f"ended with status {done.returncode}"]
        with open(out) as results:
            runs = [run for run in json.load(results)["benchmarks"]
                    if run.get("run_type") != "aggregate"]
    faults = [f"{name}: not run" for name in listed
              if name not in {run["run_name"] for run in runs}]
    for run in runs:
        if run.get("error_occurred") or run["iterations"] < 1 or not run["real_time"] > 0:
            faults.append(f"{run['name']}: measured nothing ({run.get('error_message', '')})")
        faults += [f"{run['name']}: {key} is {value}" for key, value in run.items()
                   if key not in OWN_KEYS and isinstance(value, (int, float))
                   and not (math.isfinite(value) and value >= 0)]
    print(f"{len(runs)} runs of {len(listed)} benchmarks measured")
    return faults


def wait_reaping(bench):
    """The bench's exit status once it ends, or None at the limit (what it does shown). The
    orphans that come to the checker meanwhile are reaped as they end: the bench waits for its
    groups to end, and an unreaped one would stand in the group as it waits."""
    deadline = time.monotonic() + benchrun.wait_limit_s()
    while time.monotonic() < deadline:
        ended = os.waitid(os.P_ALL, 0, os.WEXITED | os.WNOHANG | os.WNOWAIT)
        if ended is None:
            time.sleep(0.01)
        elif ended.si_pid == bench.pid:
            return bench.wait()
        else:
            os.waitpid(ended.si_pid, 0)
    benchrun.report_stuck(bench.pid, "signalled bench")
    return None


def tail(output):
    """The end of what the bench wrote to the file."""
    output.seek(0)
    return output.read()[-TAIL_CHARS:].decode(errors="replace").strip()


def signal_faults(command, env, number):
    """The faults of a run at the full setting that the signal should end, with the end of what
    the bench printed when there are any."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        faults = signal_run_faults(command, env, number, out, err)
        if faults:
            faults += [f"its output ended:\n{tail(out)}", f"its errors ended:\n{tail(err)}"]
    return faults


def signal_run_faults(command, env, number, out, err):
    bench = subprocess.Popen(command, env=env, stdout=out, stderr=err)
    with contextlib.suppress(subprocess.TimeoutExpired):
        return [f"ended with status {bench.wait(SIGNAL_AFTER_S)} before signal {number}"]
    # A script takes the signals once benchrun has set its handlers, SIGTERM's last; before, a
    # signal would end it before it started anything, not through benchrun's ending.
    script = "python" in os.path.basename(command[0])
    deadline = time.monotonic() + benchrun.wait_limit_s()
    while (script and not SMOKE.catches(bench.pid, signal.SIGTERM) and bench.poll() is None
           and time.monotonic() < deadline):
        time.sleep(0.01)
    sent = time.monotonic()
    bench.send_signal(number)
    code = wait_reaping(bench)
    if code is None:
        bench.kill()
        bench.wait()
        return [f"still running at the limit after signal {number}"]
    print(f"signal {number}: ended in {(time.monotonic() - sent) * 1000:.0f} ms")
    return [] if code == -number else [f"ended with status {code} after signal {number}, not by it"]


def main():
    script = sys.argv[1] == "--run"
    command = sys.argv[1 + script:]
    if not benchrun.take_in_orphans():
        sys.exit("the checker cannot take in the bench's orphans")
    # The bench's temporary files go to a folder of the checker's, removed once every process
    # is gone: a program of Google Benchmark that a signal ends leaves its own behind.
    scratch = tempfile.mkdtemp(prefix="check-bench-")
    try:
        smallest = dict(os.environ, QUOVEL_BENCH_SMALLEST="1", TMPDIR=scratch)
        full = {name: value for name, value in smallest.items() if name != "QUOVEL_BENCH_SMALLEST"}
        if script:
            code = subprocess.run(command, env=smallest).returncode
            faults = [f"ended with status {code}"] if code else []
        else:
            faults = benchmark_faults(command, smallest)
        faults += left_behind()
        for number in SIGNALS:
            faults += signal_faults(command, full, number) + left_behind()
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("\n".join(faults) or "measured, and ended by each signal with every process it started")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
