#!/usr/bin/env python3
"""How long until the game's window is mapped, against the bare window loop on the same
renderer, and whether either process has an OpenGL stack loaded:

    bench/startup/window-mapped.py GAME_FOLDER BARE_LOOP [RUNS]

Starts an Xvfb of its own (as the smoke test does), then the two programs in turn RUNS times (5
by default, 1 at the smallest setting), each from nothing, and times from the start of the
process until X reports its 800 x 600 window viewable (polled every millisecond). Reports the
median, minimum and maximum of each, their ratio (goal: at most 1.6) and the OpenGL libraries
found in each process's memory map a second after its window showed; at the smallest setting
(QUOVEL_BENCH_SMALLEST) it exits with 1 unless every window was mapped and every process still
ran to be looked at.
"""
import math
import os
import statistics
import subprocess
import sys
import time

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import benchrun  # noqa: E402
smoke = benchrun.smoke_script()

GOAL_RATIO = 1.6
GL_LIBRARIES = ("libGL", "libGLX", "libEGL", "_dri.so", "libLLVM", "libgallium")


def gl_libraries(pid):
    with open(f"/proc/{pid}/maps") as maps:
        names = {line.split()[-1] for line in maps if "/" in line}
    return sorted({os.path.basename(name) for name in names
                   if any(part in os.path.basename(name) for part in GL_LIBRARIES)})


def time_to_mapped(window, command, cwd, env):
    start = time.monotonic()
    process = benchrun.start(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    mapped, limit_s = None, benchrun.wait_limit_s()
    while process.poll() is None:
        if window.find(process.pid):
            mapped = 1000.0 * (time.monotonic() - start)
            break
        if time.monotonic() - start > limit_s:
            benchrun.report_stuck(process.pid, "a program whose window is not mapped")
            break
        time.sleep(0.001)
    # Looked at a while after the window showed, once what it loads late is in.
    time.sleep(1.0)
    loaded = gl_libraries(process.pid) if process.poll() is None else ["(ended)"]
    benchrun.end(process)
    # The next run must not find this window.
    while window.find(process.pid):
        time.sleep(0.01)
    return mapped, loaded


def describe(name, values):
    return (f"{name}: median {statistics.median(values):.1f} ms, min {min(values):.1f}, "
            f"max {max(values):.1f} ({len(values)} runs)")


def main():
    game_folder, bare_loop = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else benchrun.size(5)
    measure(game_folder, bare_loop, runs, benchrun.folder("quovel-mapped-"))


def measure(game_folder, bare_loop, runs, home):
    server, display = smoke.start_xvfb(os.path.join(home, "xvfb.log"))
    benchrun.adopt(server)
    window = smoke.XWindow(800, 600, display)
    env = benchrun.windowed_home(home, display)
    game_times, bare_times, game_gl, bare_gl = [], [], set(), set()
    for _ in range(runs):
        mapped, loaded = time_to_mapped(window, [bare_loop, "4"], None, env)
        bare_times.append(mapped if mapped is not None else float("nan"))
        bare_gl.update(loaded)
        mapped, loaded = time_to_mapped(window, ["./quovel-mahjong"], game_folder, env)
        game_times.append(mapped if mapped is not None else float("nan"))
        game_gl.update(loaded)
    print(describe("bare loop window mapped", bare_times))
    print(describe("game window mapped", game_times))
    ratio = statistics.median(game_times) / statistics.median(bare_times)
    print(f"ratio of medians: {ratio:.2f} (goal: at most {GOAL_RATIO})")
    print("OpenGL libraries in the bare loop:", ", ".join(sorted(bare_gl)) or "none")
    print("OpenGL libraries in the game:", ", ".join(sorted(game_gl)) or "none")
    if benchrun.SMALLEST and (any(math.isnan(ms) for ms in game_times + bare_times) or
                              "(ended)" in game_gl | bare_gl):
        sys.exit("not every window was mapped, or a program ended before it was looked at")


if __name__ == "__main__":
    benchrun.run(main)
