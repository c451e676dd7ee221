#!/usr/bin/env python3
"""The shipped game in a real X window, played through X input.

    game-under-xvfb.py GAME_BINARY SOURCE_FOLDER OUT_FOLDER

Starts its own Xvfb, runs the game binary from its folder with the media the build shipped
there and per-user folders of its own under OUT_FOLDER, and plays through X input events (the
XTest extension), which reach the game as SDL events through its event source: the maker's
logo shows when the shipped branding file plays it, the first-run name input gets "Ann", in the
lobby no OpenGL library may be loaded, the lobby's elevator button is clicked, the window's
close box is pressed and the quit question is answered "yes"; the game must end with code 0
and have saved the player; run again on a damaged player list, it must tell so and keep Ann
(with her floor) current without asking her name again; a box about a damaged profile must go
with the game, killed or ended by a signal, and no box may hold a signal's quit. Windows are
told apart by the process that shows them. Widgets are aimed at from the definitions in
SOURCE_FOLDER/media/properties and found on the screen by their own pictures; every wait polls
the screen or the process with a time limit. Each step is photographed to OUT_FOLDER as a PNG.
A box naming a data folder of 3,900 characters must fit an 800 x 600 screen, its OK clickable.
Fails, not skips, when Xvfb is missing or cannot start.
"""
import ctypes
import os
import pathlib
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree
import zlib

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../bench"))
import benchrun  # noqa: E402
from xwindow import XWindow, write_png  # noqa: E402

WIDTH, HEIGHT = 800, 600
POLL_S = 0.05
# How far the dialog frame's rounding may move a widget from the place its definition gives.
SLACK = 6
PR_SET_PDEATHSIG = 1


def fail(message):
    sys.exit(f"FAILED: {message}")


def ending_with_this(then=None, number=signal.SIGKILL):
    """Popen's preexec_fn for a process this script starts: it gets the signal as the script ends,
    by its own end or by any signal (a time-out's SIGKILL too); `then` runs after."""
    parent, prctl = os.getpid(), ctypes.CDLL(None).prctl

    def request():
        if prctl(PR_SET_PDEATHSIG, number) != 0 or os.getppid() != parent:
            os._exit(125)
        if then:
            then()
    return request


def scramble(data):
    """Player files are XORed with a permutation that the game's generator draws: both ways."""
    multiplier, mask, key = 0x5DEECE66D, (1 << 48) - 1, []
    state = (0x2F6B91C3 ^ multiplier) & mask
    while len(key) < 256:
        state = (state * multiplier + 11) & mask
        key += [(state >> (16 + 8 * k)) & 0xFF for k in range(4)]
    table, j = list(range(256)), 0
    for i in range(256):
        j = (j + key[i] + table[i]) & 0xFF
        table[i], table[j] = table[j], table[i]
    return bytes(b ^ (table[i & 0xFF] & 0x7F) for i, b in enumerate(data))


def start_xvfb(log_path):
    """A new Xvfb and its display name; fails when none can start."""
    if not shutil.which("Xvfb"):
        fail("Xvfb is not installed")
    read_end, write_end = os.pipe()
    with open(log_path, "wb") as log:
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                   "1024x768x24", "-nolisten", "tcp"],
                                  pass_fds=(write_end,), stdout=log, stderr=log,
                                  preexec_fn=ending_with_this(number=signal.SIGTERM))
    os.close(write_end)
    # The number ends with a line feed, written once the server is ready (after passing over
    # the displays in use); the pipe stays open until then, or until the server ends.
    text = b""
    while not text.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], benchrun.wait_limit_s())
        part = os.read(read_end, 64) if ready else b""
        if not ready:
            benchrun.report_stuck(server.pid, "Xvfb, before it gave its display")
        if not part:
            break
        text += part
    os.close(read_end)
    number = text.decode().strip() if text.endswith(b"\n") else ""
    if not number:
        # Ended by SIGTERM, however early, so that it removes its socket.
        server.terminate()
        server.wait()
        with open(log_path, errors="replace") as log:
            fail("Xvfb cannot start: " + (log.read().strip()[-600:] or "no display"))
    return server, ":" + number


def read_png(path):
    """Width, height and RGBA rows of an 8-bit RGB or RGBA PNG without interlacing."""
    with open(path, "rb") as file:
        data = file.read()
    position, chunks, header = 8, [], None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError(f"{path}: unsupported PNG form")
    step = 4 if colour == 6 else 3
    raw = zlib.decompress(b"".join(chunks))
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc
                                      else corner)) & 255
        rows.append(bytes(line) if step == 4 else
                    b"".join(bytes(line[i:i + 3]) + b"\xff" for i in range(0, stride, 3)))
        previous = line
    return width, height, rows


class Picture:
    """The opaque pixels of one frame of a shipped picture, sampled for matching."""

    def __init__(self, path, frames=1):
        width, height, rows = read_png(path)
        self.width, self.height = width, height // frames
        opaque = [(x, y, rows[y][4 * x:4 * x + 3]) for y in range(self.height)
                  for x in range(width) if rows[y][4 * x + 3] == 255]
        if not opaque:
            raise ValueError(f"{path}: no opaque pixel")
        self.samples = opaque[::max(1, len(opaque) // 1500)]
        self.quick = opaque[::max(1, len(opaque) // 60)]


class Screen:
    """One photograph of the game window."""

    def __init__(self, rgb):
        self.rgb = rgb

    def pixel(self, x, y):
        offset = 3 * (y * WIDTH + x)
        return self.rgb[offset:offset + 3]

    def share_matching(self, picture, left, top, samples=None):
        hits = total = 0
        for x, y, colour in samples or picture.samples:
            sx, sy = left + x, top + y
            if 0 <= sx < WIDTH and 0 <= sy < HEIGHT:
                total += 1
                shown = self.pixel(sx, sy)
                hits += all(abs(shown[i] - colour[i]) <= 6 for i in range(3))
        return hits / total if total else 0.0

    def shows(self, picture, left, top):
        return self.share_matching(picture, left, top) >= 0.9

    def find(self, picture, left, top_from, top_to, slack=SLACK):
        """The top-left corner at which the picture shows, its left edge within slack of the
        given one and its top between the given ones, or None."""
        for top in range(top_from, top_to + 1):
            for x in range(left - slack, left + slack + 1):
                if (self.share_matching(picture, x, top, picture.quick) >= 0.9 and
                        self.shows(picture, x, top)):
                    return x, top
        return None

    def write_png(self, path):
        write_png(path, self.rgb, WIDTH, HEIGHT)


def catches(pid, number):
    """Whether the process has a handler of its own for the signal (its SigCgt mask); false once
    it has ended."""
    try:
        status = pathlib.Path(f"/proc/{pid}/status").read_text()
    except OSError:
        return False
    return int(re.search(r"SigCgt:\s*(\w+)", status)[1], 16) >> (number - 1) & 1


def box_processes(pid):
    """The game's descendants: the processes that show its message boxes."""
    found = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout
    return [child for pid in found.split() for child in [int(pid)] + box_processes(int(pid))]


class Definitions:
    """Widget places from the shipped scene and dialog definitions, pictures by resource key."""

    def __init__(self, source, game_folder):
        properties = os.path.join(source, "media/properties")
        self.game_folder = game_folder
        self.files = {}
        for node in ElementTree.parse(os.path.join(properties, "resources.xml")).iter():
            if "id" in node.attrib and "file" in node.attrib:
                self.files[node.attrib["id"]] = node.attrib["file"]
        self.nodes = {}
        for name in ("default.xml", "dialogs.xml"):
            for node in ElementTree.parse(os.path.join(properties, name)).iter():
                self.nodes.setdefault(node.attrib.get("id"), []).append(node)

    def logo_shown(self):
        """Whether the shipped branding file plays the maker's logo before the splash picture."""
        branding = os.path.join(self.game_folder, "splash/branding.xml")
        for node in ElementTree.parse(branding).iter("Boolean"):
            if node.attrib.get("id") == "SHOW_BRASTEL_ANIMATION":
                return node.attrib.get("value") == "true"
        return True

    def node(self, parent_id, widget_id):
        for parent in self.nodes.get(parent_id, []):
            for node in parent.iter():
                if node.attrib.get("id") == widget_id:
                    return node
        fail(f"no widget {widget_id} in {parent_id}")

    def picture(self, key, frames=1):
        return Picture(os.path.join(self.game_folder, self.files[key]), frames)

    def size(self, key, frames=1):
        """Width and height of one frame of a picture, from its PNG header."""
        with open(os.path.join(self.game_folder, self.files[key]), "rb") as file:
            width, height = struct.unpack(">II", file.read(24)[16:24])
        return width, height // frames

    def dialog_origin(self, dialog_id):
        """Where a dialog centred in the window puts its top-left corner at its least size."""
        node = self.nodes[dialog_id][0]
        return ((WIDTH - int(node.attrib["minwidth"])) // 2,
                (HEIGHT - int(node.attrib["minheight"])) // 2)


class Session(XWindow):
    """The game's window, photographed step by step into the output folder."""

    def __init__(self, display_name, out, binary, env):
        super().__init__(WIDTH, HEIGHT, display_name)
        self.out, self.binary, self.env, self.game, self.step = out, binary, env, None, 0

    def start(self, binary=None, preexec_fn=None, **options):
        """Runs the game (the shipped binary unless another is given) from its own folder; it
        ends with this script."""
        binary = binary or self.binary
        self.game = subprocess.Popen([binary], cwd=os.path.dirname(binary),
                                     preexec_fn=ending_with_this(preexec_fn),
                                     **{"env": self.env, **options})
        return self.game

    def expect_end(self, code_expected, what, signal_sent=None):
        """Sends the signal, if any; fails unless the game then ends with the code."""
        if signal_sent:
            self.game.send_signal(signal_sent)
        try:
            code = self.game.wait(timeout=benchrun.wait_limit_s())
        except subprocess.TimeoutExpired:
            benchrun.report_stuck(self.game.pid, f"the game after {what}")
            fail(f"the game still runs at the limit after {what}")
        if code != code_expected:
            fail(f"the game ended with code {code} after {what}")

    def find(self):
        """The game's own window, once it shows."""
        return super().find(self.game.pid)

    def boxes(self):
        """The game's message boxes on the screen, or None: the viewable windows of the
        processes it started to show them (SDL draws an X box from a process of its own)."""
        return [window for pid in box_processes(self.game.pid)
                for window in self.shown_by(pid)] or None

    def photograph(self):
        return Screen(super().photograph())

    def finding(self, picture, left, top_from, top_to):
        """A probe for the picture on the screen, placed as Screen.find takes it: the screen and
        the picture's place, or None."""
        def probe():
            screen = self.photograph()
            place = screen.find(picture, left, top_from, top_to)
            return (screen, place) if place else None
        return probe

    def save(self, name, screen=None):
        self.step += 1
        path = os.path.join(self.out, f"{self.step}-{name}.png")
        (screen or self.photograph()).write_png(path)
        print(f"step {self.step}: {name} -> {path}")

    def wait_for(self, what, probe, game_may_end=False, poll=POLL_S):
        """Polls probe until it answers something other than None; fails when the game ends
        meanwhile (unless it may), or at the limit, which only a hang reaches
        (benchrun.wait_limit_s), leaving a photograph of the screen it gave up on and what the
        game was doing."""
        deadline = time.monotonic() + benchrun.wait_limit_s()
        while True:
            answer = probe()
            if answer is not None:
                return answer
            if not game_may_end and self.game.poll() is not None:
                fail(f"the game ended with code {self.game.returncode} while waiting for {what}")
            if time.monotonic() > deadline:
                self.save("gave-up")
                benchrun.report_stuck(self.game.pid, f"the game, waited on for {what}")
                fail(f"no {what} by the limit")
            time.sleep(poll)


def loading_probe(session, defs):
    """A probe for the loading screen's "click" text (the screen when it shows, else None) and
    the point to click."""
    click_node = defs.node("SCENE_LOAD", "CLICK_TEXT")
    click_text = defs.picture(click_node.attrib["image"])
    click_left = int(click_node.attrib["x"]) - click_text.width // 2
    click_top = int(click_node.attrib["y"]) - click_text.height // 2

    def loaded():
        screen = session.photograph()
        return screen if screen.shows(click_text, click_left, click_top) else None
    return loaded, (click_left + click_text.width // 2, click_top + click_text.height // 2)


def lobby_probe(session, defs):
    """A probe for the lobby, undimmed, or the host's hint over it, and the hint's OK picture.
    The probe gives (screen, None) for the lobby, (screen, place of the OK) for the hint, and
    None while neither shows."""
    foreground_node = defs.node("SCENE_LOBBY", "FOREGROUND")
    foreground = defs.picture(foreground_node.attrib["image"])
    hint_left, hint_top = defs.dialog_origin("DIALOG_DORRICK_HINT")
    hint_ok_node = defs.node("DIALOG_DORRICK_HINT", "BUTTON_OK")
    hint_ok = defs.picture(hint_ok_node.attrib["image"], frames=4)

    def lobby_or_hint():
        screen = session.photograph()
        if screen.shows(foreground, int(foreground_node.attrib["x"]),
                        int(foreground_node.attrib["y"])):
            return screen, None
        place = screen.find(hint_ok, hint_left + int(hint_ok_node.attrib["x"]), hint_top,
                            HEIGHT - hint_ok.height)
        return (screen, place) if place else None
    return lobby_or_hint, hint_ok


def play(session, defs):
    session.wait_for("game window", session.find)

    def nonblack():
        screen = session.photograph()
        return screen if screen.rgb.strip(b"\x00") else None

    def logo():
        """The screen once the maker's word mark shows, right of its badge, in gilt."""
        screen = session.photograph()
        gilt = 0
        for y in range(215, 295):
            for x in range(400, 590):
                red, green, blue = screen.pixel(x, y)
                gilt += red > 150 and green > 100 and blue < red - 40
        return screen if gilt > 1000 else None

    if defs.logo_shown():
        session.save("logo", session.wait_for("the maker's logo", logo))
    else:
        session.save("splash", session.wait_for("first picture", nonblack))

    loaded, click_point = loading_probe(session, defs)
    session.save("loading-done",
                 session.wait_for("\"click\" on the loading screen", loaded))
    session.click(*click_point)

    # The first run asks for a name: the field shows in its column of the centred dialog,
    # lower by the height of the explanation above it.
    name_left, name_top = defs.dialog_origin("DIALOG_NEWPLAYER")
    field_node = defs.node("DIALOG_NEWPLAYER", "INPUT_NAME")
    field = defs.picture(field_node.attrib["image"])
    screen, field_place = session.wait_for("name input", session.finding(
        field, name_left + int(field_node.attrib["x"]), name_top, HEIGHT - field.height))
    session.save("name-input", screen)

    # OK stands alone in the middle of the first run's dialog, between its two defined places,
    # and is enabled once the field holds a name.
    ok_node = defs.node("DIALOG_NEWPLAYER", "BUTTON_OK")
    cancel_node = defs.node("DIALOG_NEWPLAYER", "BUTTON_CANCEL")
    ok = defs.picture(ok_node.attrib["image"], frames=4)
    ok_left = name_left + (int(ok_node.attrib["x"]) + int(cancel_node.attrib["x"])) // 2
    ok_top = name_top + int(ok_node.attrib["y"])
    ok_enabled = session.finding(ok, ok_left, ok_top - SLACK, ok_top + SLACK)
    if ok_enabled():
        fail("OK is enabled before a name was typed")
    session.click(field_place[0] + field.width // 2, field_place[1] + field.height // 2)
    session.type("Ann")
    screen, ok_place = session.wait_for("OK enabled after typing", ok_enabled)
    session.save("name-typed", screen)
    session.click(ok_place[0] + ok.width // 2, ok_place[1] + ok.height // 2)
    play_lobby(session, defs)


def play_lobby(session, defs):
    # The lobby, undimmed: its surround shows as drawn. A new player may first get the host's
    # hint, closed with its OK.
    lobby_or_hint, hint_ok = lobby_probe(session, defs)

    screen, hint_place = session.wait_for("lobby", lobby_or_hint)
    if hint_place:
        session.save("lobby-hint", screen)
        session.click(hint_place[0] + hint_ok.width // 2, hint_place[1] + hint_ok.height // 2)
        screen, hint_place = session.wait_for("lobby without the hint", lobby_or_hint)
        if hint_place:
            fail("the hint stays open after its OK")
    session.save("lobby", screen)
    # Xvfb offers no direct rendering, so OpenGL could only rasterise on the processor: the
    # game draws with SDL's software renderer and must never have loaded a GL library.
    with open(f"/proc/{session.game.pid}/maps") as maps:
        gl = {line.split()[-1] for line in maps
              if re.search(r"lib(GLX|EGL|LLVM)|_dri\.so", line)}
    if gl:
        fail(f"OpenGL libraries loaded under Xvfb: {sorted(gl)}")

    # Into the lift: the elevator's floor display shows once its scene has arrived.
    elevator_node = defs.node("SCENE_LOBBY", "BUTTON_ELEVATOR")
    # The button is a bare hit area over the doors: its picture gives only its size.
    width, height = defs.size(elevator_node.attrib["image"], frames=4)
    session.click(int(elevator_node.attrib["x"]) + width // 2,
                  int(elevator_node.attrib["y"]) + height // 2)
    display_node = defs.node("SCENE_ELEVATOR", "FLOOR_DISPLAY_SPRITE")
    display = defs.picture(display_node.attrib["image"])

    def elevator():
        screen = session.photograph()
        return screen if screen.shows(display, int(display_node.attrib["x"]),
                                      int(display_node.attrib["y"])) else None

    session.save("elevator", session.wait_for("elevator", elevator))

    # The close box asks; "yes" ends the game. The question grows with its message, so "yes"
    # is looked for down its column.
    session.press_close_box(session.game.pid)
    question_left, question_top = defs.dialog_origin("DIALOG_YESNO")
    yes_node = defs.node("DIALOG_YESNO", "BUTTON_YES")
    yes = defs.picture(yes_node.attrib["image"], frames=4)
    screen, yes_place = session.wait_for("quit question", session.finding(
        yes, question_left + int(yes_node.attrib["x"]), 0, HEIGHT - yes.height))
    session.save("quit-question", screen)
    session.click(yes_place[0] + yes.width // 2, yes_place[1] + yes.height // 2)
    session.expect_end(0, "\"yes\"")


def main():
    binary, source, out = (os.path.abspath(path) for path in sys.argv[1:4])
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    server, display_name = start_xvfb(os.path.join(out, "xvfb.log"))
    session = None
    try:
        # A home of its own, windowed: the game's pixels lie 1:1 at the window's place.
        home = os.path.join(out, "home")
        store = pathlib.Path(home, "config/Brastel/Games/QuovelMahjong")
        store.mkdir(parents=True)
        (store / "values.keystore").write_text("quovel-keystore 1\ndword\tfullscreen\t0\nend\n")
        env = dict(os.environ, DISPLAY=display_name, SDL_VIDEODRIVER="x11",
                   SDL_AUDIODRIVER="dummy", XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CONFIG_HOME=os.path.join(home, "config"))
        defs = Definitions(source, os.path.dirname(binary))
        try:
            session = Session(display_name, out, binary, env)
        except OSError as error:
            fail(f"Xvfb started, but {error}")
        session.start()
        play(session, defs)
        # Profile files are named after their players, capitals written as "-XX-" in hex.
        players = os.path.join(home, "data/Brastel/Games/Quovel Mahjong/players")
        names = [re.sub(r"-([0-9a-f]{2})-", lambda code: chr(int(code[1], 16)), name)
                 for name in (os.listdir(players) if os.path.isdir(players) else [])]
        if not any(name.startswith("Ann.plr") for name in names):
            fail(f"no profile of \"Ann\" was saved (the players folder holds {names})")
        print("the game ran to the lobby and the elevator and quit with code 0")

        # Ann has reached floor 7 (the lift raises a new player's 0 to 1); the list is damaged.
        profile = pathlib.Path(players, "-41-nn.plr.!")
        text = scramble(profile.read_bytes()).replace(b'floorReached="1"', b'floorReached="7"')
        profile.write_bytes(scramble(text))
        pathlib.Path(players, "players.plrs.!").write_bytes(b"\x00 not a player list")
        with open(os.path.join(out, "stderr-again.txt"), "w+") as errors:
            session.start(env=dict(env, QUOVEL_HEADLESS="1"), stderr=errors)  # boxes to stderr
            session.wait_for("game window again", session.find)
            loaded, click_point = loading_probe(session, defs)
            session.save("again-loading-done", session.wait_for("loading again", loaded))
            session.click(*click_point)
            play_lobby(session, defs)  # no name asked: the lobby shows at once
            errors.seek(0)
            told = "The player list could not be read." in errors.read()
        kept = b'floorReached="7"' in scramble(profile.read_bytes())
        if not (told and kept):
            fail(f"on a damaged list: damage told {told}, Ann's floor 7 kept {kept}")
        print("on a damaged player list the player was told, and Ann kept her floor")

        # A box naming a data folder of 3,900 characters (its player list damaged) fits an
        # 800 x 600 screen; its OK button, found by its colour, closes it. The folder's length does
        # not follow the build folder's: the game's files under it stay within the longest path.
        deep = os.path.join(out, "deep")
        while len(deep) < 3900:
            deep = os.path.join(deep, "d" * max(1, min(99, 3900 - len(deep) - 1)))
        listed = pathlib.Path(deep, "Brastel/Games/Quovel Mahjong/players")
        listed.mkdir(parents=True)
        (listed / "players.plrs.!").write_bytes(b"\x00 not a player list")
        session.start(env=dict(env, XDG_DATA_HOME=deep))
        _, width, height = session.wait_for("the box naming the long folder", session.boxes)[0]
        box = XWindow(width, height, display_name)
        if not any(box.find(pid) for pid in box_processes(session.game.pid)) or \
                width > 800 or height > 600 or min(box.left, box.top) < 0 or \
                box.left + width > 1024 or box.top + height > 768:
            fail(f"the box naming the long folder ({width} x {height} at {box.left}, {box.top}) "
                 "does not fit an 800 x 600 screen")
        rgb = box.photograph()
        write_png(os.path.join(out, "long-folder-box.png"), rgb, width, height)
        button = [(i % width, i // width) for i in range(width * height)
                  if rgb[3 * i:3 * i + 3] == bytes((105, 102, 99))] or fail("no OK button")
        box.click(*(sum(place) // len(button) for place in zip(*button)))
        session.wait_for("the box gone after its OK", lambda: not session.boxes() or None)
        session.wait_for("the game window after the box", session.find)
        session.expect_end(0, "a termination signal after the box", signal.SIGTERM)

        # Ann's profile cut short: her box goes with the game, however the game ends (killed,
        # then a termination signal, which ends it as its quit does).
        whole_profile = profile.read_bytes()
        for signal_sent, code_expected in ((signal.SIGKILL, -9), (signal.SIGTERM, 0)):
            profile.write_bytes(whole_profile[:2000])
            session.start()
            session.wait_for("the box about the profile", session.boxes)
            boxes = box_processes(session.game.pid)
            # SDL forks to show a box: a thread beside that fork could leave its child hanging.
            if any(len(os.listdir(f"/proc/{pid}/task")) != 1 for pid in boxes):
                fail("a process of the profile's box runs more than one thread")
            session.expect_end(code_expected, f"signal {signal_sent} over the profile's box",
                               signal_sent)
            session.wait_for(f"end of the box after signal {signal_sent}", lambda: not any(
                os.path.isdir(f"/proc/{pid}") for pid in boxes) or None, game_may_end=True)

        # The box's own process killed from outside: the helper process drawing the box goes too.
        profile.write_bytes(whole_profile[:2000])
        session.start()
        session.wait_for("the box about the profile", session.boxes)
        boxes = box_processes(session.game.pid)
        os.kill(boxes[0], signal.SIGKILL)
        session.wait_for("the box gone with its process", lambda: not any(
            session.shown_by(pid) for pid in boxes) or None)
        session.expect_end(0, "a signal after the box's process was killed", signal.SIGTERM)
        # Each signal, at moments across the box's start (just after the note of the profile set
        # aside), ends the game as its quit does; default actions before the handlers (not nohup's).
        notes = pathlib.Path(out, "box-start.txt")
        signals = (signal.SIGHUP, signal.SIGINT, signal.SIGTERM)
        for run, signal_sent in enumerate(signals * 5):
            profile.write_bytes(whole_profile[:2000])
            with open(notes, "w") as errors:
                session.start(stderr=errors, preexec_fn=lambda: [
                    signal.signal(number, signal.SIG_DFL) for number in signals])
            noted = session.wait_for("the note", lambda: "kept as" in notes.read_text() and
                                     catches(session.game.pid, signal_sent) and time.monotonic()
                                     or None, poll=0)
            while time.monotonic() < noted + run * 0.00015:
                pass
            session.expect_end(0, f"signal {signal_sent} {run * 0.15:.2f} ms after the note",
                               signal_sent)

        # A termination signal whose quit cannot save (the players' folder turned into a file),
        # and one over the box of the program without its data file: their messages go to
        # stderr, once, and nothing holds the game.
        alone = os.path.join(out, "alone")
        os.makedirs(alone)
        shutil.copy(binary, alone)
        for folder, code_expected, words in ((os.path.dirname(binary), 0, "could not be saved"),
                                             (alone, 2, "media.dat is missing")):
            with open(os.path.join(out, "stderr-signal.txt"), "w+") as errors:
                session.start(os.path.join(folder, os.path.basename(binary)), stderr=errors)
                if code_expected == 0:
                    session.wait_for("game window for the failing quit", session.find)
                    shutil.rmtree(players)
                    pathlib.Path(players).write_text("not a folder")
                else:
                    session.wait_for("the box about the data file", session.boxes)
                session.expect_end(code_expected, f"a termination signal ({words})", signal.SIGTERM)
                errors.seek(0)
                if " ".join(errors.read().split()).count(words) != 1:
                    fail(f"\"{words}\" was not told once on stderr after a termination signal")
        print("boxes went with their game; termination signals ended the game, never held")
    finally:
        if session and session.game and session.game.poll() is None:
            session.game.kill()
            session.game.wait()
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
