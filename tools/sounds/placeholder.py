"""Short interface sounds, synthesised: a click (a damped low knock with a bright tick), a hover
(a soft rising blip), and a dialog's show and hide (a soft swell of filtered noise rising or
falling in pitch); for the elevator a looping hum, the doors' slide, the arrival bell, the
chime of an opened button and the host's hint blip. 16-bit mono 44.1 kHz WAV, peak -3 dBFS, faded at both ends.

usage: placeholder.py OUTPUT_FOLDER
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


def bell(notes, length, decay):
    """Struck notes (frequency, start in seconds) with a few partials each."""
    n = int(RATE * length)
    out = [0.0] * n
    for freq, start in notes:
        first = int(RATE * start)
        for i in range(first, n):
            t = (i - first) / RATE
            env = math.exp(-t * decay) * min(1.0, t / 0.004)
            out[i] += env * (math.sin(2 * math.pi * freq * t)
                             + 0.4 * math.sin(2 * math.pi * freq * 2.76 * t) * math.exp(-t * 6))
    return out


def hum():
    """One second of a low motor hum: whole cycles of every partial, so it loops seamlessly."""
    n = RATE
    out = []
    for i in range(n):
        t = i / RATE
        out.append(math.sin(2 * math.pi * 55 * t) + 0.5 * math.sin(2 * math.pi * 110 * t)
                   + 0.2 * math.sin(2 * math.pi * 165 * t) * (1 + 0.3 * math.sin(2 * math.pi * 2 * t)))
    return out


def write_loop(path, samples):
    """As write, without the fades: the loop's ends already meet."""
    top = max(abs(s) for s in samples) or 1.0
    frames = bytearray()
    for s in samples:
        frames += struct.pack("<h", int(round(s / top * PEAK * 32767)))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, "click.wav"), click())
    write(os.path.join(folder, "hover.wav"), hover())
    write(os.path.join(folder, "dialog_show.wav"), swell(True))
    write(os.path.join(folder, "dialog_hide.wav"), swell(False))
    write_loop(os.path.join(folder, "elevator_moving.wav"), hum())
    write(os.path.join(folder, "elevator_door_open.wav"), swell(False) + swell(False))
    write(os.path.join(folder, "elevator_arrived.wav"), bell([(880, 0), (698.5, 0.28)], 1.2, 4))
    write(os.path.join(folder, "button_unlocked.wav"),
          bell([(784, 0), (988, 0.08), (1175, 0.16), (1568, 0.24)], 0.9, 7))
    write(os.path.join(folder, "dorrick_hint.wav"), bell([(660, 0), (990, 0.1)], 0.5, 9))


if __name__ == "__main__":
    main()
