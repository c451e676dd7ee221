#!/usr/bin/env python3
"""The program's first minute under X, measured. Run it through xvfb-run:

    xvfb-run -a -s "-screen 0 1024x768x24" bench/startup/idle-cpu.py GAME_FOLDER BARE_LOOP OUT

It starts the game from its folder, photographs the splash and the loading screen, clicks,
photographs the lobby, measures the processor share of the lobby left alone for 10 s and then
of the bare window loop (a window presenting every frame) for 10 s, asks the game to close as
the window's close box does, answers "yes" to its question, and reports the shares and the game's exit code. The photographs
go to OUT as PNG files.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts"))
from xwindow import XWindow, write_png  # noqa: E402


def screenshot(window, path):
    write_png(path, window.photograph(), window.width, window.height)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def share(pid, seconds):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


def main():
    game_folder, bare_loop, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    try:
        window = XWindow(800, 600)
    except OSError:
        sys.exit("no X display: run through xvfb-run")
    # A home of its own, with the windowed setting stored: without a window manager, X gives
    # no real full screen.
    home = tempfile.mkdtemp(prefix="quovel-idle-")
    store = os.path.join(home, "config/Brastel/Games/QuovelMahjong")
    os.makedirs(store)
    with open(os.path.join(store, "values.keystore"), "w") as keys:
        keys.write("quovel-keystore 1\ndword\tfullscreen\t0\nend\n")
    env = dict(os.environ, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy",
               XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"))
    game = subprocess.Popen(["./quovel-mahjong"], cwd=game_folder, env=env)
    time.sleep(1.5)
    if not window.find():
        sys.exit("no game window after 1.5 s")
    screenshot(window, os.path.join(out, "1-splash.png"))
    time.sleep(5.0)
    screenshot(window, os.path.join(out, "2-loading.png"))
    window.click(400, 300)
    time.sleep(3.0)
    screenshot(window, os.path.join(out, "3-lobby.png"))
    if os.environ.get("QUOVEL_PROFILE"):
        subprocess.run(["perf", "record", "-g", "-o", os.path.join(out, "perf.data"), "-p",
                        str(game.pid), "--", "sleep", "5"], check=False)
    lobby = share(game.pid, 10)
    loop = subprocess.Popen([bare_loop, "12"], env=env)
    time.sleep(1.0)
    bare = share(loop.pid, 10)
    loop.wait()
    # SDL turns SIGINT into its quit event, which the game takes as the window's close box.
    game.send_signal(signal.SIGINT)
    time.sleep(1.0)
    screenshot(window, os.path.join(out, "4-quit.png"))
    # "Yes" of the question, centred in the window.
    window.click(299, 346)
    try:
        code = game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        code = "still running"
    print(f"lobby left alone: {lobby:.2f} % of a core")
    print(f"bare loop presenting every frame: {bare:.2f} % of a core")
    print(f"game exit code after the close request: {code}")


if __name__ == "__main__":
    main()
