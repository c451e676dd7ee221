#!/usr/bin/env python3
"""The program's first minute under X, measured. Run it through xvfb-run:

    xvfb-run -a -s "-screen 0 1024x768x24" bench/startup/idle-cpu.py GAME_FOLDER BARE_LOOP OUT

It starts the game from its folder, photographs the splash and the loading screen, clicks,
photographs the lobby, measures the processor share of the lobby left alone for 10 s and then
of the bare window loop (a window presenting every frame) for 10 s, asks the game to close as
the window's close box does, answers "yes" to its question, and reports the shares and the game's exit code. The photographs
go to OUT as PNG files.
"""
import ctypes
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

X11 = ctypes.cdll.LoadLibrary("libX11.so.6")
XTST = ctypes.cdll.LoadLibrary("libXtst.so.6")
X11.XOpenDisplay.restype = ctypes.c_void_p
X11.XOpenDisplay.argtypes = [ctypes.c_char_p]
X11.XDefaultRootWindow.restype = ctypes.c_ulong
X11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
X11.XGetImage.restype = ctypes.c_void_p
X11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
X11.XFlush.argtypes = [ctypes.c_void_p]
XTST.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_int, ctypes.c_ulong]
XTST.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                      ctypes.c_ulong]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def screenshot(display, path, width=1024, height=768):
    root = X11.XDefaultRootWindow(display)
    image = XImage.from_address(X11.XGetImage(display, root, 0, 0, width, height,
                                              0xFFFFFFFF, 2))
    data = ctypes.string_at(image.data, image.bytes_per_line * image.height)
    rows = bytearray()
    for y in range(image.height):
        row = data[y * image.bytes_per_line:y * image.bytes_per_line + 4 * image.width]
        rows.append(0)
        for x in range(image.width):
            b, g, r = row[4 * x], row[4 * x + 1], row[4 * x + 2]
            rows += bytes((r, g, b))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(bytes(rows), 6)))
        out.write(chunk(b"IEND", b""))


def click(display, x, y):
    XTST.XTestFakeMotionEvent(display, -1, x, y, 0)
    X11.XFlush(display)
    time.sleep(0.1)
    XTST.XTestFakeButtonEvent(display, 1, 1, 0)
    XTST.XTestFakeButtonEvent(display, 1, 0, 0)
    X11.XFlush(display)


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
    display = X11.XOpenDisplay(None)
    if not display:
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
    screenshot(display, os.path.join(out, "1-splash.png"))
    time.sleep(5.0)
    screenshot(display, os.path.join(out, "2-loading.png"))
    click(display, 512, 384)
    time.sleep(3.0)
    screenshot(display, os.path.join(out, "3-lobby.png"))
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
    screenshot(display, os.path.join(out, "4-quit.png"))
    # "Yes" of the question, centred in the window centred on the 1024 x 768 screen.
    click(display, 411, 430)
    try:
        code = game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        code = "still running"
    print(f"lobby left alone: {lobby:.2f} % of a core")
    print(f"bare loop presenting every frame: {bare:.2f} % of a core")
    print(f"game exit code after the close request: {code}")


if __name__ == "__main__":
    main()
