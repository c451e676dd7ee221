#!/usr/bin/env python3
"""Runs a bench program of Google Benchmark once at its smallest (QUOVEL_BENCH_SMALLEST) and fails
when it no longer measures: it must end with status 0 and report every benchmark it lists, each
run at least once, in a time above zero, without an error, and every counter a number of at least
zero (a bench gives -1 for a figure it could not take).

    bench/check-bench.py BENCH [BENCHMARK FLAGS]
"""
import json
import math
import os
import subprocess
import sys
import tempfile

# What Google Benchmark itself writes for each run; every other number is a counter of the bench.
OWN_KEYS = {"family_index", "per_family_instance_index", "repetitions", "repetition_index",
            "threads", "iterations", "real_time", "cpu_time"}


def main():
    bench, flags = sys.argv[1], sys.argv[2:]
    env = dict(os.environ, QUOVEL_BENCH_SMALLEST="1")
    listed = subprocess.run([bench, "--benchmark_list_tests", *flags], env=env, check=True,
                            capture_output=True, text=True).stdout.split()
    with tempfile.TemporaryDirectory(prefix="check-bench-") as folder:
        out = os.path.join(folder, "runs.json")
        done = subprocess.run([bench, "--benchmark_min_time=0.001", f"--benchmark_out={out}",
                               "--benchmark_out_format=json", *flags], env=env)
        if done.returncode != 0:
            sys.exit(f"{bench} ended with status {done.returncode}")
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
    print("\n".join(faults) or f"{len(runs)} runs of {len(listed)} benchmarks measured")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
