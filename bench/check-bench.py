#!/usr/bin/env python3
"""Runs a bench once at its smallest setting (QUOVEL_BENCH_SMALLEST) and fails when it no longer
measures; then three times at its full setting, sending SIGTERM, SIGINT and SIGHUP in turn
SIGNAL_AFTER_S into each run, and fails unless the bench then ends by that signal within
END_LIMIT_S. However a run ends, no process the bench started may outlive it: the checker takes
in the bench's orphans (as a subreaper) and fails when any of them still runs END_LIMIT_S after.

    bench/check-bench.py BENCH [BENCHMARK FLAGS]

BENCH is a program of Google Benchmark: it must end with status 0 and report every benchmark it
lists, each run at least once, in a time above zero, without an error, and every counter a
number of at least zero (a bench gives -1 for a figure it could not take).

    bench/check-bench.py --run COMMAND [ARGUMENTS]

runs any other bench (a script, the bare loop), which checks its own figures at its smallest
setting: it must end with status 0.
"""
import ctypes
import json
import math
import os
import signal
import subprocess
import sys
import tempfile
import time

# What Google Benchmark itself writes for each run; every other number is a counter of the bench.
OWN_KEYS = {"family_index", "per_family_instance_index", "repetitions", "repetition_index",
            "threads", "iterations", "real_time", "cpu_time"}
SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)
SIGNAL_AFTER_S = 1.5
END_LIMIT_S = 5.0
PR_SET_CHILD_SUBREAPER = 36


def orphans():
    """The processes the bench left behind, now children of this one: running ones by number
    and command line; ended ones are reaped."""
    running = {}
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            if int(fields[1]) != os.getpid():
                continue
            if fields[0] == "Z":
                os.waitpid(int(entry), os.WNOHANG)
                continue
            with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                running[int(entry)] = cmdline.read().replace(b"\0", b" ").decode(errors="replace")
        except (OSError, ValueError, IndexError):
            continue
    return running


def left_behind():
    """Faults for the processes that still run END_LIMIT_S after the bench ended (then killed)."""
    deadline = time.monotonic() + END_LIMIT_S
    while (running := orphans()) and time.monotonic() < deadline:
        time.sleep(0.05)
    for pid in running:
        os.kill(pid, signal.SIGKILL)
    return [f"left running: {command}" for command in running.values()]


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


def signal_faults(command, env, number):
    """The faults of a run at the full setting that the signal should end."""
    bench = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        bench.wait(SIGNAL_AFTER_S)
        return [f"ended with status {bench.returncode} before signal {number}"]
    except subprocess.TimeoutExpired:
        pass
    sent = time.monotonic()
    bench.send_signal(number)
    try:
        bench.wait(END_LIMIT_S)
    except subprocess.TimeoutExpired:
        bench.kill()
        bench.wait()
        return [f"still running {END_LIMIT_S:.0f} s after signal {number}"]
    print(f"signal {number}: ended in {(time.monotonic() - sent) * 1000:.0f} ms")
    if bench.returncode != -number:
        return [f"ended with status {bench.returncode} after signal {number}, not by it"]
    return []


def main():
    script = sys.argv[1] == "--run"
    command = sys.argv[1 + script:]
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1)
    smallest = dict(os.environ, QUOVEL_BENCH_SMALLEST="1")
    full = {name: value for name, value in smallest.items() if name != "QUOVEL_BENCH_SMALLEST"}
    if script:
        code = subprocess.run(command, env=smallest).returncode
        faults = [f"ended with status {code}"] if code else []
    else:
        faults = benchmark_faults(command, smallest)
    faults += left_behind()
    for number in SIGNALS:
        faults += signal_faults(command, full, number) + left_behind()
    print("\n".join(faults) or "measured, and ended by each signal with every process it started")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
