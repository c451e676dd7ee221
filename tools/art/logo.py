#!/usr/bin/env python3
"""The maker's animated logo of the splash scene: a round badge and the word mark beside it,
cut into the layers the scene reveals one after another, with a mask for each layer that is
wiped in.

The badge, from the centre out (radii at full size; the white disc is shown at 0.68):
the emblem on the white disc (r 44), a dark border with a brass pinstripe (r 44-50), a green
band with a ring of beads (r 48-62), a lighter green rim (r 59-65.5), the white ring
(r 63-70) and a dark bezel with a brass edge (r 68-75.5) that pops in with a burst of light.
The layers are stacked by the scene so that each covers the inner edge of the one below.

A mask holds the order of its layer's wipe in its alpha: a pixel shows once the rising
threshold passes its value, so low values come first and 255 never shows. Swept masks are
cut into thin sectors drawn without smoothing, so that no pixel falls between two of them."""

import math
import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg

BRASS = PALETTE["brass"]
GOLD = PALETTE["gold"]
FELT = PALETTE["felt"]
LIGHT = PALETTE["light"]
IVORY = "#fffdf6"
BAND = "#2fa463"
RIM_DARK = "#16120d"
SERIF = "DejaVu Serif"

CIRCLE = 140
INSIDE = 88
BORDER = 100
GREEN = 124
OVERLAY = 132
BEZEL = 152
BEAM = 320
BEAM_SMALL = 64
SIGN = 16
WORD_W, WORD_H = 176, 64

RING_INNER = 62.5
SECTORS = 720
# The first and last values of a wipe: every pixel of a layer shows by the wipe's end.
FIRST, LAST = 4, 250


def ring_path(cx, cy, outer, inner):
    """An annulus as one path, filled even-odd."""
    def circle(r):
        return ("M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z"
                % (f(cx - r), f(cy), f(r), f(r), f(2 * r), f(r), f(r), f(-2 * r)))
    return circle(outer) + " " + circle(inner)


def ring(cx, cy, outer, inner, fill, extra=""):
    return ('<path d="%s" fill-rule="evenodd" fill="%s"%s/>\n'
            % (ring_path(cx, cy, outer, inner), fill, extra))


def radial(name, stops, cx, cy, r):
    out = ('<radialGradient id="%s" gradientUnits="userSpaceOnUse" cx="%s" cy="%s" r="%s">\n'
           % (name, f(cx), f(cy), f(r)))
    for offset, colour, opacity in stops:
        out += ('<stop offset="%s" stop-color="%s" stop-opacity="%s"/>\n'
                % (f(offset), colour, f(opacity)))
    return out + "</radialGradient>\n"


def linear(name, x1, y1, x2, y2, stops):
    out = ('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" '
           'y2="%s">\n' % (name, f(x1), f(y1), f(x2), f(y2)))
    for offset, colour, opacity in stops:
        out += ('<stop offset="%s" stop-color="%s" stop-opacity="%s"/>\n'
                % (f(offset), colour, f(opacity)))
    return out + "</linearGradient>\n"


# The layers.

def white_circle(_):
    c = CIRCLE / 2
    return svg(CIRCLE, CIRCLE,
               '<circle cx="%s" cy="%s" r="%s" fill="%s"/>\n' % (f(c), f(c), f(c - 0.5), IVORY))


def inside(_):
    """The emblem on the white disc: a green serif B crossed by a golden swoosh, a spark above,
    on a field of the disc's own ivory that hides the burst of light behind the badge."""
    c = INSIDE / 2
    defs = linear("ink", 0, 14, 0, 74, [(0, "#1d7a45", 1), (1, FELT, 1)])
    defs += linear("swoosh", 14, 0, 76, 0, [(0, GOLD, 0), (0.35, GOLD, 1), (1, "#f7dc6f", 1)])
    body = '<circle cx="%s" cy="%s" r="%s" fill="%s"/>\n' % (f(c), f(c), f(c), IVORY)
    body += ('<text x="%s" y="65" font-family="%s" font-size="60" font-weight="bold" '
             'fill="url(#ink)" text-anchor="middle">B</text>\n' % (f(c - 2), SERIF))
    body += ('<path d="M12,62 C30,76 58,74 78,52 C60,68 34,70 12,62 Z" fill="url(#swoosh)"/>\n')
    body += sparkle(67, 18, 9, 2.2, GOLD)
    return svg(INSIDE, INSIDE, body, defs)


def border_black(_):
    c = BORDER / 2
    return svg(BORDER, BORDER,
               ring(c, c, 49.75, 44, RIM_DARK)
               + '<circle cx="%s" cy="%s" r="47" fill="none" stroke="%s" stroke-width="1"/>\n'
               % (f(c), f(c), BRASS))


def green(_):
    """The green band with a ring of cream beads."""
    c = GREEN / 2
    defs = radial("band", [(0.75, BAND, 1), (0.88, "#1d7a45", 1), (1, FELT, 1)], c, c, c)
    body = ring(c, c, 61.75, 48, "url(#band)")
    beads = 24
    for k in range(beads):
        a = 2 * math.pi * k / beads
        body += ('<circle cx="%s" cy="%s" r="1.7" fill="%s"/>\n'
                 % (f(c + 55 * math.sin(a)), f(c - 55 * math.cos(a)), LIGHT))
    return svg(GREEN, GREEN, body, defs)


def green_overlay(_):
    """The lighter rim around the band, lit from the top left."""
    c = OVERLAY / 2
    defs = linear("rim", 10, 10, OVERLAY - 10, OVERLAY - 10,
                  [(0, "#a8ecc0", 1), (0.45, "#4cbf7c", 1), (1, "#17683b", 1)])
    return svg(OVERLAY, OVERLAY, ring(c, c, 65.75, 59.5, "url(#rim)"), defs)


def circle_black(_):
    """The dark bezel behind the white ring, edged in brass."""
    c = BEZEL / 2
    return svg(BEZEL, BEZEL,
               ring(c, c, 75.5, 68, RIM_DARK)
               + '<circle cx="%s" cy="%s" r="74.8" fill="none" stroke="%s" stroke-width="1.3"/>\n'
               % (f(c), f(c), BRASS))


def rays(cx, cy, count, long_r, short_r, width_deg, fill):
    out = ""
    for k in range(count):
        a = 2 * math.pi * k / count
        r = long_r if k % 2 == 0 else short_r
        half = math.radians(width_deg if k % 2 == 0 else width_deg * 0.7) / 2
        points = [(cx + 6 * math.sin(a - math.pi / 2), cy - 6 * math.cos(a - math.pi / 2)),
                  (cx + r * math.sin(a - half), cy - r * math.cos(a - half)),
                  (cx + r * 1.02 * math.sin(a), cy - r * 1.02 * math.cos(a)),
                  (cx + r * math.sin(a + half), cy - r * math.cos(a + half)),
                  (cx + 6 * math.sin(a + math.pi / 2), cy - 6 * math.cos(a + math.pi / 2))]
        out += ('<polygon points="%s" fill="%s"/>\n'
                % (" ".join("%s,%s" % (f(x), f(y)) for x, y in points), fill))
    return out


def beam(_):
    """The burst of light behind the badge: warm rays round a bright core."""
    c = BEAM / 2
    defs = radial("ray", [(0, "#ffffff", 1), (0.45, "#ffe9a8", 0.85), (1, GOLD, 0)], c, c, c)
    defs += radial("core", [(0, "#ffffff", 1), (0.35, "#fff4d6", 0.9), (1, "#ffd98a", 0)],
                   c, c, 96)
    body = rays(c, c, 24, 158, 118, 5.0, "url(#ray)")
    body += '<circle cx="%s" cy="%s" r="96" fill="url(#core)"/>\n' % (f(c), f(c))
    return svg(BEAM, BEAM, body, defs)


def sparkle(cx, cy, r, waist, fill):
    """A four-pointed star."""
    points = []
    for k in range(8):
        a = math.pi * k / 4
        d = r if k % 2 == 0 else waist
        points.append("%s,%s" % (f(cx + d * math.sin(a)), f(cy - d * math.cos(a))))
    return '<polygon points="%s" fill="%s"/>\n' % (" ".join(points), fill)


def beam_small(_):
    """The glint on the registered sign."""
    c = BEAM_SMALL / 2
    defs = radial("glow", [(0, "#ffffff", 1), (0.3, "#fff4d6", 0.7), (1, "#ffd98a", 0)],
                  c, c, c)
    body = '<circle cx="%s" cy="%s" r="%s" fill="url(#glow)"/>\n' % (f(c), f(c), f(c))
    body += '<g transform="rotate(45 %s %s)">%s</g>\n' % (f(c), f(c), sparkle(c, c, 16, 2, LIGHT))
    body += sparkle(c, c, 31, 2.6, "#ffffff")
    return svg(BEAM_SMALL, BEAM_SMALL, body, defs)


def sign(_):
    c = SIGN / 2
    return svg(SIGN, SIGN,
               '<circle cx="%s" cy="%s" r="6.6" fill="none" stroke="%s" stroke-width="1.3"/>\n'
               '<text x="%s" y="11.3" font-family="%s" font-size="9" font-weight="bold" '
               'fill="%s" text-anchor="middle">R</text>\n'
               % (f(c), f(c), LIGHT, f(c), TEXT_FONT, LIGHT))


def word(_):
    """The maker's name in gold-lit serif capitals over a green rule and a spaced "GAMES"."""
    c = WORD_W / 2
    defs = linear("gilt", 0, 9, 0, 32, [(0, "#fffaf0", 1), (0.5, "#f3dc9a", 1), (1, GOLD, 1)])
    body = ('<text x="%s" y="31" font-family="%s" font-size="29" font-weight="bold" '
            'letter-spacing="1" fill="url(#gilt)" text-anchor="middle">BRASTEL</text>\n'
            % (f(c), SERIF))
    body += '<rect x="14" y="38" width="%s" height="1.6" rx="0.8" fill="%s"/>\n' % (
        f(WORD_W - 28), BAND)
    body += ('<text x="%s" y="54" font-family="%s" font-size="11" font-weight="bold" '
             'letter-spacing="7" fill="%s" text-anchor="middle">GAMES</text>\n'
             % (f(c + 3.5), TEXT_FONT, BRASS))
    return svg(WORD_W, WORD_H, body, defs)


# The masks.

def level(value):
    return f(value / 255.0)


def sectors(size, order, inner=0.0):
    """A mask of `size` whose sectors about the centre take the value order(angle), the angle
    measured clockwise from the top in [0, 1); pixels nearer than `inner` are never shown."""
    c = size / 2
    outer = size  # past the corners
    step = 2 * math.pi / SECTORS
    # Each sector reaches a little into the next, so that no pixel is left between two.
    overlap = 0.0
    body = '<g shape-rendering="crispEdges">\n'
    for k in range(SECTORS):
        a0, a1 = k * step, (k + 1) * step + overlap
        value = round(FIRST + (LAST - FIRST) * order(k / SECTORS))
        if inner > 0:
            points = [(c + inner * math.sin(a0), c - inner * math.cos(a0)),
                      (c + outer * math.sin(a0), c - outer * math.cos(a0)),
                      (c + outer * math.sin(a1), c - outer * math.cos(a1)),
                      (c + inner * math.sin(a1), c - inner * math.cos(a1))]
        else:
            points = [(c, c), (c + outer * math.sin(a0), c - outer * math.cos(a0)),
                      (c + outer * math.sin(a1), c - outer * math.cos(a1))]
        body += ('<polygon points="%s" fill="#000" fill-opacity="%s"/>\n'
                 % (" ".join("%s,%s" % (f(x), f(y)) for x, y in points), level(value)))
    if inner > 0:
        body += '<circle cx="%s" cy="%s" r="%s" fill="#000"/>\n' % (f(c), f(c), f(inner))
    return svg(size, size, body + "</g>\n")


def clockwise(t):
    return t


def from_top(t):
    """Both sides at once, from the top down to the bottom."""
    return 1 - abs(1 - 2 * t)


def from_bottom(t):
    return abs(1 - 2 * t)


def swept(width, height, x1, y1, x2, y2):
    """A mask that opens along the line from (x1, y1) to (x2, y2)."""
    defs = linear("order", x1, y1, x2, y2,
                  [(0, "#000", FIRST / 255.0), (1, "#000", LAST / 255.0)])
    return svg(width, height, '<rect width="%d" height="%d" fill="url(#order)"/>\n'
               % (width, height), defs)


def outputs():
    return {
        "images/splash/white_circle.svg": white_circle,
        "images/splash/inside.svg": inside,
        "images/splash/inside_mask.svg": lambda _: swept(INSIDE, INSIDE, 6, 10, INSIDE - 6,
                                                         INSIDE - 4),
        "images/splash/border_black.svg": border_black,
        "images/splash/border_black_mask.svg": lambda _: sectors(BORDER, clockwise),
        "images/splash/green.svg": green,
        "images/splash/green_mask.svg": lambda _: sectors(GREEN, from_top),
        "images/splash/green_overlay.svg": green_overlay,
        "images/splash/circle_black_mask.svg": lambda _: sectors(OVERLAY, from_bottom),
        "images/splash/border_white_mask.svg": lambda _: sectors(CIRCLE, clockwise, RING_INNER),
        "images/splash/circle_black.svg": circle_black,
        "images/splash/beam.svg": beam,
        "images/splash/beam_small.svg": beam_small,
        "images/splash/word.svg": word,
        "images/splash/word_mask.svg": lambda _: swept(WORD_W, WORD_H, 0, WORD_H, WORD_W, 24),
        "images/splash/sign.svg": sign,
    }


if __name__ == "__main__":
    sys.exit(run(outputs(), sys.argv))
