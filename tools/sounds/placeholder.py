"""Short interface sounds, synthesised: a click (a damped low knock with a bright tick), a hover
(a soft rising blip), and a dialog's show and hide (a soft swell of filtered noise rising or
falling in pitch). 16-bit mono 44.1 kHz WAV, peak -3 dBFS, faded at both ends.

With "game" after the folder it writes the game's tile sounds instead: a tile's select (a bright
tap), deselect (a lower tap), blocked (a dull double knock), ten combo chimes rising a whole tone
each, the level start (a rising three-note arpeggio) and the time warning (a short tick).

usage: placeholder.py OUTPUT_FOLDER [ui|game]
"""
import math
import os
import struct
import sys
import wave

RATE = 44100
PEAK = 10 ** (-3 / 20)


def write(path, samples):
    top = max(abs(s) for s in samples) or 1.0
    fade = int(RATE * 0.003)
    frames = bytearray()
    for i, s in enumerate(samples):
        gain = min(1.0, i / fade, (len(samples) - 1 - i) / fade)
        frames += struct.pack("<h", int(round(s / top * PEAK * gain * 32767)))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def click():
    n = int(RATE * 0.045)
    out = []
    for i in range(n):
        t = i / RATE
        knock = math.sin(2 * math.pi * 180 * t) * math.exp(-t * 90)
        tick = math.sin(2 * math.pi * 2400 * t) * math.exp(-t * 400) * 0.5
        out.append(knock + tick)
    return out


def hover():
    n = int(RATE * 0.06)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        phase += 2 * math.pi * (900 + 500 * t / 0.06) / RATE
        envelope = math.sin(math.pi * t / 0.06)
        out.append(math.sin(phase) * envelope)
    return out


def swell(rising):
    """A breath of noise through a moving resonance."""
    n = int(RATE * 0.22)
    seed = 12345
    low = band = 0.0
    out = []
    for i in range(n):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        noise = seed / 0x3FFFFFFF - 1.0
        t = i / n
        centre = 500 + 1300 * (t if rising else 1 - t)
        f = 2 * math.sin(math.pi * centre / RATE)
        low += f * band
        high = noise - low - 0.35 * band
        band += f * high
        envelope = math.sin(math.pi * t) ** 2
        out.append(band * envelope)
    return out


def tap(frequency, length=0.07, decay=60.0):
    n = int(RATE * length)
    return [math.sin(2 * math.pi * frequency * i / RATE) * math.exp(-i / RATE * decay)
            + 0.3 * math.sin(4 * math.pi * frequency * i / RATE) * math.exp(-i / RATE * decay * 2)
            for i in range(n)]


def chime(frequency, length=0.35):
    """A bell-like tone: a few inharmonic partials dying away."""
    n = int(RATE * length)
    partials = ((1.0, 1.0), (2.76, 0.4), (5.4, 0.15))
    return [sum(a * math.sin(2 * math.pi * frequency * r * i / RATE) * math.exp(-i / RATE * 7 * r)
                for r, a in partials) for i in range(n)]


def game_sounds(folder):
    write(os.path.join(folder, "tile_select.wav"), tap(1320))
    write(os.path.join(folder, "tile_deselect.wav"), tap(880))
    write(os.path.join(folder, "tile_blocked.wav"), tap(150, 0.06, 80) + tap(130, 0.08, 80))
    for k in range(1, 11):
        write(os.path.join(folder, "combo%d.wav" % k), chime(523.25 * 2 ** ((k - 1) * 2 / 12)))
    write(os.path.join(folder, "level_start.wav"),
          chime(523.25, 0.12) + chime(659.25, 0.12) + chime(783.99, 0.4))
    write(os.path.join(folder, "time.wav"), tap(2000, 0.03, 200))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    if len(sys.argv) > 2 and sys.argv[2] == "game":
        game_sounds(folder)
        return
    write(os.path.join(folder, "click.wav"), click())
    write(os.path.join(folder, "hover.wav"), hover())
    write(os.path.join(folder, "dialog_show.wav"), swell(True))
    write(os.path.join(folder, "dialog_hide.wav"), swell(False))


if __name__ == "__main__":
    main()
