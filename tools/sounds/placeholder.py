"""Short interface sounds, synthesised: a click (a damped low knock with a bright tick), a hover
(a soft rising blip), and a dialog's show and hide (a soft swell of filtered noise rising or
falling in pitch), and the five slider steps (a short wooden tick, higher at each step).
16-bit mono 44.1 kHz WAV, peak -3 dBFS, faded at both ends.

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


def slider_tick(step):
    """Step 1 to 5 of the volume slider: the same tick a whole tone higher each step."""
    n = int(RATE * 0.05)
    pitch = 520 * 2 ** ((step - 1) * 2 / 12)
    out = []
    for i in range(n):
        t = i / RATE
        body = math.sin(2 * math.pi * pitch * t) * math.exp(-t * 70)
        overtone = math.sin(2 * math.pi * pitch * 2.76 * t) * math.exp(-t * 160) * 0.3
        out.append(body + overtone)
    return out


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, "click.wav"), click())
    write(os.path.join(folder, "hover.wav"), hover())
    write(os.path.join(folder, "dialog_show.wav"), swell(True))
    write(os.path.join(folder, "dialog_hide.wav"), swell(False))
    for step in range(1, 6):
        write(os.path.join(folder, "slider_%d.wav" % step), slider_tick(step))


if __name__ == "__main__":
    main()
