#!/usr/bin/env python3
"""The processor share of the game's still screens under X, measured:

    bench/startup/idle-cpu.py GAME_FOLDER BARE_LOOP OUT

It starts an Xvfb of its own (as the smoke test does), then the game from its folder with a home of
its own and plays through X input as a person would: it leaves the loading screen (its glow and its
blinking "click") alone, clicks, gives the first-run name, closes the host's hint, leaves the lobby
alone, takes the elevator to the first floor, opens its first door and leaves level 1 alone (its
clock runs). Then it starts the game again in a second home, where the helper beside BARE_LOOP
(quovel-idle-player) has saved, through the game's own player files, a player with the floors up to
the 144-tile level open: it clicks through the loading screen, takes the elevator to that floor,
opens the level's door and leaves the level alone. On each still screen it measures, for SECONDS
seconds (QUOVEL_IDLE_SECONDS, 10 by default, 1 at the smallest setting), the game's share of one
core beside the X server's; then the bare window loop's (a window presenting every frame), and the
same loop as the least an animated screen costs here: each frame it fills and presents an area as
large as the loading screen's glow draws (ANIMATED_AREA). QUOVEL_IDLE_RUNS (1 by default) repeats
the whole sequence, each run's photographs in OUT/run-N, and reports each screen's median, lowest
and highest share. Each run ends as the window's close box asks, answered "yes"; it reports the
shares against the goal (the game at most 1 % of a core) and the game's exit codes; at the smallest
setting (QUOVEL_BENCH_SMALLEST) it checks instead that every share was taken and every run quit
with 0, and exits with 1 when not. Each screen is photographed to OUT (the second run's to OUT/144)
as a PNG; with QUOVEL_PROFILE set, perf records each still screen there as well, for QUOVEL_PROFILE
seconds when it is a number, else for 5 s. Widgets are aimed at and screens recognised as the smoke
test does, from the shipped definitions and pictures.
"""
import os
import subprocess
import sys
import time

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "../.."))
sys.path.insert(0, os.path.join(SOURCE, "bench"))
import benchrun  # noqa: E402
smoke = benchrun.smoke_script()

SECONDS = float(os.environ.get("QUOVEL_IDLE_SECONDS", benchrun.size(10)))
RUNS = max(1, int(os.environ.get("QUOVEL_IDLE_RUNS", "1")))
# QUOVEL_PROFILE: a number of seconds to record, any other word 5.
PROFILE_SECONDS = (int(os.environ["QUOVEL_PROFILE"]) if os.environ.get("QUOVEL_PROFILE", "").isdigit()
                   else 5 if os.environ.get("QUOVEL_PROFILE") else 0)
GOAL_PERCENT = 1.0
# Where the first door of a hallway is, in the window, and how far apart the doors stand.
FIRST_DOOR = (105, 300)
DOOR_STEP = 150
# Width and height of the area the bare loop changes each frame for the animated reference: as
# many pixels as a frame of the loading screen's fading glow draws again (96,160).
ANIMATED_AREA = (370, 260)
# The hallway's 144-tile level: floor 18, door 5 (Triple on the largest layout).
LARGEST_FLOOR = 18
LARGEST_DOOR = 5


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def shares(pids, seconds):
    """The share of one core each process took over the next seconds, in %."""
    start = {pid: cpu_seconds(pid) for pid in pids}
    began = time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - began
    return {pid: 100.0 * (cpu_seconds(pid) - used) / elapsed for pid, used in start.items()}


class Measurer:
    def __init__(self, session, game, xserver):
        self.session, self.game, self.xserver = session, game, xserver
        self.rows = []

    def measure(self, name):
        # The photographs before have settled: the screen is left alone from here.
        time.sleep(1.0)
        result = shares([self.game.pid, self.xserver], SECONDS)
        self.rows.append((name, result[self.game.pid], result[self.xserver]))
        if PROFILE_SECONDS:
            path = os.path.join(self.session.out, name.split()[0] + name.split()[1] + ".perf")
            subprocess.run(["perf", "record", "-F", "1000", "-e", "cpu-clock", "--call-graph",
                            "dwarf,16384", "-o", path, "-p", str(self.game.pid), "--", "sleep",
                            str(PROFILE_SECONDS)], check=False)


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2


def spread(values):
    """Median, lowest and highest of the values, as text."""
    if len(values) == 1:
        return f"{values[0]:.2f} %"
    return (f"{median(values):.2f} % (median of {len(values)}, {min(values):.2f} to "
            f"{max(values):.2f})")


def report(runs):
    """Each screen's share over the runs beside the goal, the median judged against it; at the
    smallest setting, the figures that were not taken."""
    missing = [f"{name} in run {number + 1}" for number, run in enumerate(runs)
               for name, *figures in [*run["rows"], ("bare loop", run["bare"], run["bare_server"]),
                                      ("animated loop", run["animated"], run["animated_server"])]
               if any(figure is None or not figure >= 0 for figure in figures)]
    missing += [f"a quit ended with {code}" for run in runs for code in run["codes"] if code != 0]
    for index, (name, _, _) in enumerate(runs[0]["rows"]):
        games = [run["rows"][index][1] for run in runs]
        servers = [run["rows"][index][2] for run in runs]
        verdict = "within" if median(games) <= GOAL_PERCENT else "OVER"
        print(f"{name}: game {spread(games)} of a core (goal {GOAL_PERCENT:.0f} %: {verdict}), "
              f"X server {spread(servers)}")
    print(f"bare loop presenting every frame: {spread([run['bare'] for run in runs])} of a core, "
          f"X server {spread([run['bare_server'] for run in runs])}")
    width, height = ANIMATED_AREA
    print(f"bare loop filling and presenting {width} x {height} pixels every frame: "
          f"{spread([run['animated'] for run in runs])} of a core, "
          f"X server {spread([run['animated_server'] for run in runs])}")
    codes = [code for run in runs for code in run["codes"]]
    print(f"game exit codes after the close requests: {', '.join(str(c) for c in codes)}")
    if benchrun.SMALLEST:
        print("\n".join(f"not measured: {what}" for what in missing) or "every figure taken")
        sys.exit(1 if missing else 0)


def reach_lobby(session, defs):
    session.wait_for("game window", session.find)
    session.save("splash", session.wait_for("first picture", lambda: (
        lambda screen: screen if screen.rgb.strip(b"\x00") else None)(session.photograph())))
    loaded, click_point = smoke.loading_probe(session, defs)
    session.save("loading", session.wait_for("\"click\" on the loading screen", loaded))
    return click_point


def enter_name(session, defs, click_at):
    session.click(*click_at)
    name_left, name_top = defs.dialog_origin("DIALOG_NEWPLAYER")
    field_node = defs.node("DIALOG_NEWPLAYER", "INPUT_NAME")
    field = defs.picture(field_node.attrib["image"])

    def name_input():
        screen = session.photograph()
        return screen.find(field, name_left + int(field_node.attrib["x"]), name_top,
                           smoke.HEIGHT - field.height)

    place = session.wait_for("name input", name_input)
    session.click(place[0] + field.width // 2, place[1] + field.height // 2)
    session.type("Ann")
    session.key("Return")
    lobby_or_hint, hint_ok = smoke.lobby_probe(session, defs)

    screen, hint_place = session.wait_for("lobby", lobby_or_hint)
    if hint_place:
        session.click(hint_place[0] + hint_ok.width // 2, hint_place[1] + hint_ok.height // 2)
        screen, hint_place = session.wait_for("lobby without the hint", lobby_or_hint)
    session.save("lobby", screen)
    # The pointer leaves the buttons, whose hover would otherwise be measured.
    session.move(400, 590)


def hint_closer(session, defs):
    """A probe that closes the host's hint on the screen with its OK; True when it did."""
    hint_left, hint_top = defs.dialog_origin("DIALOG_DORRICK_HINT")
    hint_ok_node = defs.node("DIALOG_DORRICK_HINT", "BUTTON_OK")
    hint_ok = defs.picture(hint_ok_node.attrib["image"], frames=4)

    def close():
        place = session.photograph().find(hint_ok, hint_left + int(hint_ok_node.attrib["x"]),
                                          hint_top, smoke.HEIGHT - hint_ok.height)
        if place:
            session.save("hint")
            session.click(place[0] + hint_ok.width // 2, place[1] + hint_ok.height // 2)
        return place is not None

    return close


def close_hints(session, defs, seconds):
    """Closes the host's hints that come up within the given seconds."""
    close = hint_closer(session, defs)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if close():
            deadline = time.monotonic() + seconds
        time.sleep(smoke.POLL_S)


def shows_node(session, defs, scene, widget, frames=1):
    node = defs.node(scene, widget)
    picture = defs.picture(node.attrib["image"], frames)

    def probe():
        screen = session.photograph()
        return screen if screen.shows(picture, int(node.attrib["x"]),
                                      int(node.attrib["y"])) else None

    return probe


def click_node(session, defs, scene, widget, frames=4):
    node = defs.node(scene, widget)
    width, height = defs.size(node.attrib["image"], frames)
    session.click(int(node.attrib["x"]) + width // 2, int(node.attrib["y"]) + height // 2)


def enter_level(session, defs, floor, door, name):
    """From the lobby through the lift to the floor's hallway and in at its door (1-5)."""
    click_node(session, defs, "SCENE_LOBBY", "BUTTON_ELEVATOR")
    session.save("elevator", session.wait_for("elevator", shows_node(
        session, defs, "SCENE_ELEVATOR", "FLOOR_DISPLAY_SPRITE")))
    # A new player's floor button unlocks with a show of its own: it is pressed again every
    # two seconds while the lift shows, until the hallway does; the host's hint about the lift
    # may come up on the way.
    in_elevator = shows_node(session, defs, "SCENE_ELEVATOR", "FLOOR_DISPLAY_SPRITE")
    in_hallway = shows_node(session, defs, "SCENE_HALLWAY", "BUTTON_ELEVATOR", 4)
    close_hint = hint_closer(session, defs)
    pressed = [0.0]

    def hallway():
        screen = in_hallway()
        if screen or close_hint():
            return screen
        if time.monotonic() - pressed[0] > 2.0 and in_elevator():
            click_node(session, defs, "SCENE_ELEVATOR", f"BUTTON_FLOOR_{floor}")
            pressed[0] = time.monotonic()
        return None

    session.wait_for("hallway", hallway)
    close_hints(session, defs, 3)
    session.save("hallway")
    session.click(FIRST_DOOR[0] + DOOR_STEP * (door - 1), FIRST_DOOR[1])
    session.wait_for(name, shows_node(session, defs, "SCENE_GAME", "HUD_TOP"))
    # The first level hands out a trophy once its tiles are dealt.
    close_hints(session, defs, 8)
    session.move(400, 590)
    session.save(name.replace(" ", "-"))


def quit_game(session, defs, game):
    """Asks the game to close as the window's close box does and answers "yes" once the question
    shows (found as the smoke test finds it); the exit code, or "still running"."""
    session.press_close_box(game.pid)
    question_left, _ = defs.dialog_origin("DIALOG_YESNO")
    yes_node = defs.node("DIALOG_YESNO", "BUTTON_YES")
    yes = defs.picture(yes_node.attrib["image"], frames=4)
    screen, place = session.wait_for("quit question", session.finding(
        yes, question_left + int(yes_node.attrib["x"]), 0, smoke.HEIGHT - yes.height))
    session.save("quit-question", screen)
    session.click(place[0] + yes.width // 2, place[1] + yes.height // 2)
    code = benchrun.waited(game, "the game after its quit question's yes")
    return "still running" if code is None else code


def start_game(game_folder, out, home, display):
    """The game started from its folder on the display with the given home (windowed), its
    session and its screens' definitions."""
    os.makedirs(out, exist_ok=True)
    env = benchrun.windowed_home(home, display)
    session = smoke.Session(display, out, os.path.join(game_folder, "quovel-mahjong"), env)
    game = benchrun.adopt(session.start(start_new_session=True))
    return game, session, smoke.Definitions(SOURCE, game_folder), env


def bare_shares(bare_loop, env, xserver, *area):
    """The bare loop's share and the X server's while the loop runs."""
    loop = benchrun.start([bare_loop, str(int(SECONDS) + 2)] + [str(n) for n in area], env=env)
    time.sleep(1.0)
    measured = shares([loop.pid, xserver], SECONDS)
    loop.wait()
    return measured[loop.pid], measured[xserver]


def run_once(game_folder, bare_loop, out, xserver, display):
    """One pass over the still screens: their rows, the bare loop's shares, the exit codes."""
    homes = [benchrun.folder("quovel-idle-") for _ in range(2)]
    codes = []
    # A first start: the loading screen, the name, the lobby and level 1.
    game, session, defs, env = start_game(game_folder, out, homes[0], display)
    try:
        measurer = Measurer(session, game, xserver)
        click_at = reach_lobby(session, defs)
        measurer.measure("loading screen left alone")
        enter_name(session, defs, click_at)
        measurer.measure("lobby left alone")
        enter_level(session, defs, 1, 1, "level 1")
        measurer.measure("level 1 left alone")
        bare = bare_shares(bare_loop, env, xserver)
        animated = bare_shares(bare_loop, env, xserver, *ANIMATED_AREA)
        codes.append(quit_game(session, defs, game))
    finally:
        benchrun.end(game)
    # A player the helper beside the bare loop saved with the floors below LARGEST_FLOOR
    # open, in the largest level there.
    prepared = dict(os.environ, XDG_DATA_HOME=os.path.join(homes[1], "data"))
    subprocess.run([os.path.join(os.path.dirname(os.path.abspath(bare_loop)),
                                 "quovel-idle-player"), str(LARGEST_FLOOR + 1)],
                   env=prepared, check=True)
    game, session, defs, env = start_game(game_folder, os.path.join(out, "144"), homes[1],
                                          display)
    try:
        measurer.session, measurer.game = session, game
        click_at = reach_lobby(session, defs)
        session.click(*click_at)
        lobby, _ = smoke.lobby_probe(session, defs)
        session.save("lobby", session.wait_for("lobby", lobby)[0])
        enter_level(session, defs, LARGEST_FLOOR, LARGEST_DOOR, "144-tile level")
        measurer.measure("144-tile level left alone")
        codes.append(quit_game(session, defs, game))
    finally:
        benchrun.end(game)
    return {"rows": measurer.rows, "bare": bare[0], "bare_server": bare[1],
            "animated": animated[0], "animated_server": animated[1], "codes": codes}


def main():
    game_folder, bare_loop, out = (os.path.abspath(path) for path in sys.argv[1:4])
    os.makedirs(out, exist_ok=True)
    xserver, display = smoke.start_xvfb(os.path.join(out, "xvfb.log"))
    benchrun.adopt(xserver)
    runs = []
    for run in range(RUNS):
        folder = out if RUNS == 1 else os.path.join(out, f"run-{run + 1}")
        runs.append(run_once(game_folder, bare_loop, folder, xserver.pid, display))
    report(runs)


if __name__ == "__main__":
    benchrun.run(main)
