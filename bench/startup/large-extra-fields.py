#!/usr/bin/env python3
"""How long the game takes to start and quit when the records of its archive's directory carry
extra fields of the largest size:

    bench/startup/large-extra-fields.py GAME_FOLDER [RUNS]

GAME_FOLDER is build/game. Three copies of it are made in a temporary folder, the loose files
linked, each with a media.dat rewritten from the folder's own: every directory
record (817 in the shipped archive), then the first 100 records alone, carry a 65,535-byte extra
field of empty 4-byte blocks (minizip seeks past each block) and one 7-byte block; the members
themselves are the same. In the third, every record is grown and the end record claims one
record more than the directory holds, as a damaged archive may. A fourth holds the folder's own
archive with 4,096 bytes in front of it, which zip files may carry (a self-extracting stub), and
a fifth the same bytes in front of the third. The game is started in each folder RUNS times (15
by default, 1 at the smallest setting), each start right after one in GAME_FOLDER itself, each
with a home of its own, on SDL's dummy drivers, and quit after 10 frames
(QUOVEL_QUIT_AFTER_FRAMES); every start must end with status 0. Reports the median wall and
processor times of each folder, and judges each against the goal (at most 1.5 times the plain
archive) by wall time, as a player waits: by the median of its starts' ratios to the plain start
just before each, so that a machine whose load changes meanwhile weighs on both starts of a
pair alike. Exits with 1 when the goal is missed, but at the smallest setting
(QUOVEL_BENCH_SMALLEST), where only the figures are checked.
"""
import os
import resource
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

# The shared helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import benchrun  # noqa: E402

GOAL = 1.5
EXTRA_SIZE = 65535


def with_large_extra_fields(data, count, claimed_more=0):
    """The zip `data` with the first `count` directory records' extra fields grown to
    EXTRA_SIZE bytes; the directory's size in the end record follows, its record counts are
    `claimed_more` over."""
    end = data.rfind(b"PK\x05\x06")
    fields = list(struct.unpack("<IHHHHIIH", data[end:end + 22]))
    entries, start = fields[4], fields[6]
    position, records = start, []
    for index in range(entries):
        fixed = data[position:position + 46]
        name_length, extra_length, comment_length = struct.unpack("<HHH", fixed[28:34])
        name_end = position + 46 + name_length
        extra = data[name_end:name_end + extra_length]
        rest = data[name_end + extra_length:name_end + extra_length + comment_length]
        if index < count:
            room = EXTRA_SIZE - len(extra)
            blocks = (room - 7) // 4
            last = room - 4 * blocks  # 7 to 10 bytes: a block with data
            extra += b"\0" * (4 * blocks) + struct.pack("<HH", 0xCAFE, last - 4) + b"x" * (last - 4)
        records.append(fixed[:30] + struct.pack("<H", len(extra)) + fixed[32:] +
                       data[position + 46:name_end] + extra + rest)
        position = name_end + extra_length + comment_length
    directory = b"".join(records)
    fields[5] = len(directory)
    fields[3] += claimed_more
    fields[4] += claimed_more
    return data[:start] + directory + struct.pack("<IHHHHIIH", *fields) + data[end + 22:]


def game_copy(folder, into, archive):
    """A folder like `folder` whose media.dat holds `archive`. The program is copied (it finds
    its folder through its own path), the loose files linked."""
    os.makedirs(into)
    for name in os.listdir(folder):
        if name == "quovel-mahjong":
            shutil.copy2(os.path.join(folder, name), into)
        elif name != "media.dat":
            os.symlink(os.path.join(folder, name), os.path.join(into, name))
    with open(os.path.join(into, "media.dat"), "wb") as out:
        out.write(archive)
    return into


def start_and_quit(folder, scratch):
    """Wall and processor seconds of one start and quit of the game in `folder`."""
    home = tempfile.mkdtemp(dir=scratch)
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy",
               XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"), QUOVEL_QUIT_AFTER_FRAMES="10")
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    began = time.monotonic()
    code = benchrun.waited(benchrun.start([os.path.join(folder, "quovel-mahjong")], cwd=folder,
                                          env=env, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL), "the game")
    if code != 0:
        raise RuntimeError(f"the game in {folder} ended with {code}")
    wall = time.monotonic() - began
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    shutil.rmtree(home)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else benchrun.size(15)
    with open(os.path.join(folder, "media.dat"), "rb") as archive:
        plain = archive.read()
    scratch = benchrun.folder("quovel-extra-fields-")
    entries = struct.unpack("<H", plain[plain.rfind(b"PK\x05\x06") + 10:][:2])[0]
    kinds = [("plain", folder)]
    front = bytes(range(256)) * 16
    for count, more, before in ((entries, 0, b""), (100, 0, b""), (entries, 1, b""),
                                (0, 0, front), (entries, 1, front)):
        name = (f"{count} large records" if count else "plain") + \
            (f", {more} more claimed" if more else "") + \
            (f", {len(before)} bytes in front" if before else "")
        where = os.path.join(scratch, f"{count}-{more}-{len(before)}")
        kinds.append((name, game_copy(folder, where,
                                      before + with_large_extra_fields(plain, count, more))))
    times = {name: [] for name, _ in kinds}
    ratios = {name: [] for name, _ in kinds}
    for _ in range(runs):
        for name, where in kinds[1:]:
            plain_run = start_and_quit(folder, scratch)
            times["plain"].append(plain_run)
            times[name].append(start_and_quit(where, scratch))
            ratios[name].append(times[name][-1][0] / plain_run[0])
    missed = False
    for name, _ in kinds:
        wall = statistics.median(w for w, _ in times[name])
        processor = statistics.median(p for _, p in times[name])
        line = f"{name:54s} wall {wall:.3f} s, processor {processor:.3f} s"
        if ratios[name]:
            ratio = statistics.median(ratios[name])
            missed = missed or ratio > GOAL
            line += f", {ratio:.2f} times plain"
        print(line)
    print(f"goal: at most {GOAL} times plain by wall time, each start against the plain start just "
          f"before it (median of {runs} pairs): {'missed' if missed else 'met'}")
    sys.exit(1 if missed and not benchrun.SMALLEST else 0)


if __name__ == "__main__":
    benchrun.run(main)
