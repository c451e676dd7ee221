#!/usr/bin/env python3
"""The board backgrounds (800 x 600): one per game type and ten the player may choose; their
previews for the selection dialog; and the six backgrounds of the layout miniatures.

Every background is a function of an id prefix giving (defs, body) drawn at 800 x 600, so a
preview can draw the same picture scaled, and the first choice's preview (each game type's
own) six of them on named cards."""

import math
import random
import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text

WIDTH, HEIGHT = 800, 600
# The selection dialog greys (5, 4, 218, 163) of a locked preview: the picture fills exactly
# that, inside a brass frame.
PREVIEW_W, PREVIEW_H = 228, 172
INNER_X, INNER_Y, INNER_W, INNER_H = 5, 4, 218, 163


def gradient(pid, name, stops, x2=0, y2=1, radial=False):
    stop_text = "".join('<stop offset="%s" stop-color="%s"/>' % (f(o), c) for o, c in stops)
    if radial:
        return ('<radialGradient id="%s%s" cx="0.45" cy="0.45" r="0.75">%s</radialGradient>\n'
                % (pid, name, stop_text))
    return ('<linearGradient id="%s%s" x1="0" y1="0" x2="%s" y2="%s">%s</linearGradient>\n'
            % (pid, name, f(x2), f(y2), stop_text))


def vignette(pid):
    defs = gradient(pid, "vig", [(0, "#000000"), (1, "#000000")], radial=True).replace(
        '<stop offset="0" stop-color="#000000"/>',
        '<stop offset="0.55" stop-color="#000000" stop-opacity="0"/>').replace(
        '<stop offset="1" stop-color="#000000"/>',
        '<stop offset="1" stop-color="#000000" stop-opacity="0.45"/>')
    return defs, '<rect width="800" height="600" fill="url(#%svig)"/>\n' % pid


def inlay(colour, inset=12, width=2):
    return ('<rect x="%d" y="%d" width="%d" height="%d" rx="10" fill="none" stroke="%s" '
            'stroke-width="%d" stroke-opacity="0.7"/>\n'
            % (inset, inset, WIDTH - 2 * inset, HEIGHT - 2 * inset, colour, width))


def finish(pid, defs, body, frame=None):
    vdefs, vbody = vignette(pid)
    return defs + vdefs, body + vbody + (inlay(frame) if frame else "")


# --- the six game types ----------------------------------------------------------------------

def classic(pid):
    """Dark wood with its grain and a brass inlay."""
    rnd = random.Random(1)
    defs = gradient(pid, "bg", [(0, "#5a3920"), (0.5, "#3b2414"), (1, "#24150a")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for i in range(60):
        y = i * 10 + rnd.uniform(-3, 3)
        amp = rnd.uniform(2, 7)
        body.append('<path d="M-10,%s C200,%s 400,%s 810,%s" fill="none" stroke="%s" '
                    'stroke-opacity="%s" stroke-width="%s"/>\n'
                    % (f(y), f(y - amp), f(y + amp), f(y + rnd.uniform(-4, 4)),
                       "#1a0d04" if i % 3 else "#7a5230", f(rnd.uniform(0.15, 0.35)),
                       f(rnd.uniform(0.8, 2.4))))
    return finish(pid, defs, "".join(body), PALETTE["brass"])


def lattice(pid, base, light, line):
    """A diamond lattice over a gradient."""
    defs = gradient(pid, "bg", [(0, light), (1, base)]) + (
        '<pattern id="%slat" width="40" height="40" patternUnits="userSpaceOnUse">'
        '<path d="M0,20 L20,0 L40,20 L20,40 Z" fill="none" stroke="%s" stroke-opacity="0.18" '
        'stroke-width="1.5"/><circle cx="20" cy="0" r="2" fill="%s" fill-opacity="0.25"/>'
        '<circle cx="20" cy="40" r="2" fill="%s" fill-opacity="0.25"/></pattern>\n'
        % (pid, line, line, line))
    body = ('<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid +
            '<rect width="800" height="600" fill="url(#%slat)"/>\n' % pid)
    return finish(pid, defs, body, line)


def freecell(pid):
    return lattice(pid, "#0c3439", "#1f6f78", PALETTE["cream"])


def scales(pid, base, light, line):
    """Overlapping wave scales."""
    rings = "".join('<circle cx="%d" cy="%d" r="%d" fill="none" stroke="%s" '
                    'stroke-opacity="0.22" stroke-width="1.6"/>' % (cx, cy, r, line)
                    for cx, cy in ((0, 40), (60, 40), (30, 20), (30, 60))
                    for r in (28, 20, 12))
    defs = gradient(pid, "bg", [(0, light), (1, base)]) + (
        '<pattern id="%ssc" width="60" height="40" patternUnits="userSpaceOnUse">%s</pattern>\n'
        % (pid, rings))
    body = ('<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid +
            '<rect width="800" height="600" fill="url(#%ssc)"/>\n' % pid)
    return finish(pid, defs, body, line)


def split(pid):
    return scales(pid, "#3a0f18", "#7a2233", PALETTE["gold"])


def triple(pid):
    """Green felt under a lamp, with a gold rim."""
    defs = (gradient(pid, "bg", [(0, "#1d7a4c"), (0.6, "#0f5132"), (1, "#072a1a")],
                     radial=True) +
            '<pattern id="%snap" width="6" height="6" patternUnits="userSpaceOnUse">'
            '<circle cx="1" cy="1" r="0.7" fill="#000000" fill-opacity="0.12"/>'
            '<circle cx="4" cy="4" r="0.7" fill="#ffffff" fill-opacity="0.05"/></pattern>\n'
            % pid)
    body = ('<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid +
            '<rect width="800" height="600" fill="url(#%snap)"/>\n' % pid)
    return finish(pid, defs, body, PALETTE["gold"])


def river(pid):
    """A night river: flowing bands of blue under a moon."""
    defs = gradient(pid, "bg", [(0, "#0f1a3a"), (1, "#12395a")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid,
            '<circle cx="640" cy="110" r="46" fill="#fff4d6" fill-opacity="0.85"/>\n',
            '<circle cx="640" cy="110" r="70" fill="#fff4d6" fill-opacity="0.08"/>\n']
    for i in range(14):
        y = 180 + i * 32
        body.append('<path d="M-20,%s C150,%s 300,%s 420,%s S680,%s 820,%s" fill="none" '
                    'stroke="%s" stroke-opacity="%s" stroke-width="%s"/>\n'
                    % (f(y), f(y - 18), f(y + 18), f(y), f(y - 20), f(y + 6),
                       "#7fb3d9" if i % 2 else "#3c6f9c", f(0.18 + 0.02 * i), f(3 + i * 0.3)))
    return finish(pid, defs, "".join(body), "#a9c6e8")


def speed(pid):
    """The roof at dusk: sky from indigo to coral, first stars, the skyline below."""
    rnd = random.Random(6)
    defs = gradient(pid, "bg", [(0, "#1b1c44"), (0.55, "#2b2d5c"), (0.85, "#b8607a"),
                                (1, "#f08a5d")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for _ in range(70):
        body.append('<circle cx="%s" cy="%s" r="%s" fill="#fff4d6" fill-opacity="%s"/>'
                    % (f(rnd.uniform(0, 800)), f(rnd.uniform(0, 300)), f(rnd.uniform(0.6, 1.6)),
                       f(rnd.uniform(0.3, 0.9))))
    x, skyline = 0, ["M0,600"]
    while x < 800:
        w, h = rnd.randint(30, 80), rnd.randint(40, 150)
        skyline.append("L%d,%d L%d,%d" % (x, 600 - h, x + w, 600 - h))
        x += w
    skyline.append("L800,600 Z")
    body.append('\n<path d="%s" fill="#14142e"/>\n' % " ".join(skyline))
    return finish(pid, defs, "".join(body), PALETTE["coral"])


GAME_TYPES = (classic, freecell, split, triple, river, speed)


# --- ten backgrounds to choose -------------------------------------------------------------

def lacquer(pid):
    """Red lacquer with gold cloud scrolls."""
    cloud = ('<path d="M10,40 q10,-18 26,-8 q8,-16 24,-4 q14,-6 18,10 q-10,-6 -18,2 '
             'q-6,-10 -20,-2 q-10,-8 -30,2 z" fill="none" stroke="%s" stroke-opacity="0.35" '
             'stroke-width="2"/>' % PALETTE["gold"])
    defs = (gradient(pid, "bg", [(0, "#8e1b1b"), (1, "#3e0808")]) +
            '<pattern id="%scl" width="140" height="90" patternUnits="userSpaceOnUse">%s'
            '<g transform="translate(70 45)">%s</g></pattern>\n' % (pid, cloud, cloud))
    body = ('<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid +
            '<rect width="800" height="600" fill="url(#%scl)"/>\n' % pid)
    return finish(pid, defs, body, PALETTE["gold"])


def blossom(pid):
    """Cherry blossoms drifting over dusk blue."""
    rnd = random.Random(2)
    defs = gradient(pid, "bg", [(0, "#2b2d5c"), (1, "#5b3d6e")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid,
            '<path d="M-10,120 C150,160 260,90 420,140 S700,110 820,60" fill="none" '
            'stroke="#2a1a12" stroke-width="14" stroke-linecap="round"/>\n']
    for _ in range(55):
        x, y, r = rnd.uniform(0, 800), rnd.uniform(0, 600), rnd.uniform(4, 11)
        petals = "".join('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#f7c6d9" '
                         'transform="rotate(%d %s %s)"/>'
                         % (f(x), f(y - r * 0.6), f(r * 0.45), f(r * 0.62), a, f(x), f(y))
                         for a in range(0, 360, 72))
        body.append('<g fill-opacity="%s">%s<circle cx="%s" cy="%s" r="%s" fill="#e0607e"/>'
                    '</g>\n' % (f(rnd.uniform(0.35, 0.9)), petals, f(x), f(y), f(r * 0.22)))
    return finish(pid, defs, "".join(body), "#f7c6d9")


def grove(pid):
    """A bamboo grove in green shade."""
    rnd = random.Random(3)
    defs = gradient(pid, "bg", [(0, "#a9c98a"), (0.5, "#3f7a3a"), (1, "#163a1c")], x2=1, y2=0)
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for layer, (alpha, colour) in enumerate(((0.35, "#1d4a22"), (0.6, "#2a5e2a"),
                                             (0.9, "#16381a"))):
        for _ in range(9):
            x, w = rnd.uniform(-20, 820), rnd.uniform(10, 22) * (1 + layer * 0.3)
            body.append('<rect x="%s" y="-5" width="%s" height="610" fill="%s" '
                        'fill-opacity="%s"/>' % (f(x), f(w), colour, f(alpha)))
            for y in range(rnd.randint(20, 80), 600, rnd.randint(90, 140)):
                body.append('<rect x="%s" y="%d" width="%s" height="3" fill="#0c2410" '
                            'fill-opacity="%s"/>' % (f(x - 1), y, f(w + 2), f(alpha)))
        body.append("\n")
    return finish(pid, defs, "".join(body), "#d8e8b0")


def mountains(pid):
    """Layered mountains at sunset."""
    defs = gradient(pid, "bg", [(0, "#f6c27a"), (0.45, "#f08a5d"), (1, "#6b2f4a")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid,
            '<circle cx="560" cy="250" r="60" fill="#fff0c8" fill-opacity="0.8"/>\n']
    rnd = random.Random(4)
    for i, colour in enumerate(("#9b4a5e", "#6e3552", "#472540", "#2b1a30")):
        base = 300 + i * 70
        points = ["M0,600", "L0,%d" % base]
        for x in range(0, 801, 50):
            points.append("L%d,%s" % (x, f(base - rnd.uniform(0, 110) + (i * 10))))
        points.append("L800,600 Z")
        body.append('<path d="%s" fill="%s"/>\n' % (" ".join(points), colour))
    return finish(pid, defs, "".join(body), "#fff0c8")


def goboard(pid):
    """Pale wood ruled like a board of the game of stones."""
    defs = gradient(pid, "bg", [(0, "#e2b872"), (1, "#b9843f")], x2=1, y2=1)
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for x in range(40, 800, 40):
        body.append('<line x1="%d" y1="0" x2="%d" y2="600" stroke="#3b2414" '
                    'stroke-opacity="0.35"/>' % (x, x))
    for y in range(20, 600, 40):
        body.append('<line x1="0" y1="%d" x2="800" y2="%d" stroke="#3b2414" '
                    'stroke-opacity="0.35"/>' % (y, y))
    for x, y in ((160, 140), (400, 140), (640, 140), (160, 460), (400, 460), (640, 460),
                 (400, 300)):
        body.append('<circle cx="%d" cy="%d" r="4" fill="#3b2414" fill-opacity="0.5"/>' % (x, y))
    return finish(pid, defs, "".join(body), PALETTE["wood"])


def starry(pid):
    """A deep night sky full of stars."""
    rnd = random.Random(5)
    defs = gradient(pid, "bg", [(0, "#070b22"), (0.7, "#1b1f4a"), (1, "#2b2d5c")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for _ in range(260):
        body.append('<circle cx="%s" cy="%s" r="%s" fill="#fff4d6" fill-opacity="%s"/>'
                    % (f(rnd.uniform(0, 800)), f(rnd.uniform(0, 600)), f(rnd.uniform(0.4, 1.8)),
                       f(rnd.uniform(0.25, 1))))
    return finish(pid, defs, "".join(body), "#9aa3e0")


def lanterns(pid):
    """Red paper lanterns glowing in the dark."""
    rnd = random.Random(7)
    defs = (gradient(pid, "bg", [(0, "#1a0c10"), (1, "#3a1414")]) +
            '<radialGradient id="%sglow"><stop offset="0" stop-color="#ffb347" '
            'stop-opacity="0.55"/><stop offset="1" stop-color="#ffb347" stop-opacity="0"/>'
            '</radialGradient>\n' % pid)
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for row in range(3):
        for col in range(6):
            x = 60 + col * 136 + rnd.uniform(-20, 20) + (68 if row % 2 else 0)
            y = 90 + row * 190 + rnd.uniform(-20, 20)
            body.append('<circle cx="%s" cy="%s" r="70" fill="url(#%sglow)"/>'
                        '<line x1="%s" y1="%s" x2="%s" y2="-5" stroke="#000" '
                        'stroke-opacity="0.5"/>'
                        '<ellipse cx="%s" cy="%s" rx="24" ry="30" fill="#c8281e"/>'
                        '<ellipse cx="%s" cy="%s" rx="11" ry="30" fill="none" stroke="#8e1414" '
                        'stroke-width="1.5"/>'
                        '<rect x="%s" y="%s" width="16" height="6" fill="%s"/>'
                        '<rect x="%s" y="%s" width="16" height="6" fill="%s"/>\n'
                        % (f(x), f(y), pid, f(x), f(y - 30), f(x), f(x), f(y), f(x), f(y),
                           f(x - 8), f(y - 33), PALETTE["gold"], f(x - 8), f(y + 27),
                           PALETTE["gold"]))
    return finish(pid, defs, "".join(body), PALETTE["gold"])


def maple(pid):
    """Autumn leaves on warm brown."""
    rnd = random.Random(8)
    defs = gradient(pid, "bg", [(0, "#5a2e14"), (1, "#2a1408")])
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for _ in range(60):
        x, y, r = rnd.uniform(0, 800), rnd.uniform(0, 600), rnd.uniform(10, 26)
        colour = rnd.choice(("#d2522d", "#e08a2e", "#a8322a", "#c8a25a"))
        body.append('<g transform="rotate(%d %s %s)" fill-opacity="%s">'
                    '<path d="M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" fill="%s"/>'
                    '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#2a1408" '
                    'stroke-opacity="0.5"/></g>\n'
                    % (rnd.randint(0, 359), f(x), f(y), f(rnd.uniform(0.4, 0.9)),
                       f(x), f(y - r), f(x + r * 0.8), f(y), f(x), f(y + r),
                       f(x - r * 0.8), f(y), f(x), f(y - r), colour,
                       f(x), f(y - r * 0.8), f(x), f(y + r * 1.3)))
    return finish(pid, defs, "".join(body), PALETTE["brass"])


def marble(pid):
    """Jade stone with pale veins."""
    rnd = random.Random(9)
    defs = gradient(pid, "bg", [(0, "#2f8a6a"), (0.5, "#1c5e47"), (1, "#0d3326")], x2=1, y2=1)
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for _ in range(26):
        y0 = rnd.uniform(-100, 700)
        slope = rnd.uniform(-0.3, 0.3)
        d = "M-20,%s Q20,%s 60,%s" % (f(y0), f(y0 + rnd.uniform(-30, 30)), f(y0))
        for x in range(140, 900, 80):
            d += " T%d,%s" % (x, f(y0 + rnd.uniform(-25, 25) + x * slope))
        body.append('<path d="%s" fill="none" stroke="#d8f0e0" stroke-opacity="%s" '
                    'stroke-width="%s"/>\n' % (d, f(rnd.uniform(0.05, 0.2)),
                                                f(rnd.uniform(0.6, 3))))
    return finish(pid, defs, "".join(body), "#d8f0e0")


def sunburst(pid):
    """Golden rays from the centre."""
    defs = gradient(pid, "bg", [(0, "#f2c14e"), (0.6, "#c8862a"), (1, "#6b3a12")], radial=True)
    body = ['<rect width="800" height="600" fill="url(#%sbg)"/>\n' % pid]
    for i in range(24):
        a0, a1 = i * math.pi / 12, i * math.pi / 12 + math.pi / 24
        body.append('<path d="M400,300 L%s,%s L%s,%s Z" fill="#fff4d6" fill-opacity="0.12"/>'
                    % (f(400 + 700 * math.cos(a0)), f(300 + 700 * math.sin(a0)),
                       f(400 + 700 * math.cos(a1)), f(300 + 700 * math.sin(a1))))
    return finish(pid, defs, "".join(body), PALETTE["wood"])


CUSTOM = (lacquer, blossom, grove, mountains, goboard, starry, lanterns, maple, marble,
          sunburst)


# --- pictures ---------------------------------------------------------------------------------

def full(painter):
    defs, body = painter("b")
    return svg(WIDTH, HEIGHT, body, defs)


FRAME_DEFS = ('<linearGradient id="frame" x1="0" y1="0" x2="1" y2="1"><stop offset="0" '
              'stop-color="#e7c98a"/><stop offset="0.5" stop-color="#c8a25a"/><stop offset="1" '
              'stop-color="#8a6a32"/></linearGradient>\n')


def framed(body):
    """The brass frame of a preview around its picture area."""
    return ('<rect width="%d" height="%d" rx="5" fill="url(#frame)"/>\n' % (PREVIEW_W, PREVIEW_H)
            + body)


def scaled(painter, pid, x, y, width, height):
    """The painter's picture scaled to the box's height and centred in it, cut to the box."""
    defs, body = painter(pid)
    scale = height / float(HEIGHT)
    return defs, ('<svg x="%s" y="%s" width="%s" height="%s"><g transform="translate(%s 0) '
                  'scale(%s)">\n%s</g></svg>\n'
                  % (f(x), f(y), f(width), f(height), f((width - WIDTH * scale) / 2.0),
                     f(scale), body))


def preview(painter):
    """One background scaled into the frame's picture area."""
    defs, body = scaled(painter, "p", INNER_X, INNER_Y, INNER_W, INNER_H)
    return svg(PREVIEW_W, PREVIEW_H, framed(body), FRAME_DEFS + defs)


TYPE_NAMES = ("Classic", "FreeCell", "Split", "Triple", "River", "Speed")


def own_preview():
    """The first choice, no background of the player's: each game type on a card of its own,
    named, so the picture says that every game keeps its own background."""
    columns, rows, gap, caption = 3, 2, 3, 20
    defs = [FRAME_DEFS]
    body = ['<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>\n'
            % (INNER_X, INNER_Y, INNER_W, INNER_H, PALETTE["wood"])]
    card_w = (INNER_W - (columns + 1) * gap) / float(columns)
    card_h = (INNER_H - (rows + 1) * gap) / float(rows)
    for i, painter in enumerate(GAME_TYPES):
        x = INNER_X + gap + (i % columns) * (card_w + gap)
        y = INNER_Y + gap + (i // columns) * (card_h + gap)
        d, b = scaled(painter, "o%d" % i, x, y, card_w, card_h)
        defs.append(d)
        body.append(b)
        body.append('<rect x="%s" y="%s" width="%s" height="%d" fill="%s" fill-opacity="0.85"/>\n'
                    % (f(x), f(y + card_h - caption), f(card_w), caption, PALETTE["ink"]))
        body.append(text(x + card_w / 2.0, y + card_h - 5, 14, PALETTE["light"], TYPE_NAMES[i],
                         family=TEXT_FONT, weight="bold"))
    return svg(PREVIEW_W, PREVIEW_H, framed("".join(body)), "".join(defs))


TYPE_COLOURS = (("#5a3920", "#2e1b0e", PALETTE["brass"]), ("#1f6f78", "#0c3439", PALETTE["cream"]),
                ("#7a2233", "#3a0f18", PALETTE["gold"]), ("#1d7a4c", "#0a3321", PALETTE["gold"]),
                ("#1f4f7a", "#0f1a3a", "#a9c6e8"), ("#5b3d6e", "#2b2d5c", PALETTE["coral"]))


def miniature_background(g, game_type):
    """The panel a layout miniature is drawn on, in the colours of its game type."""
    w, h = g.PREVIEW_WIDTH, g.PREVIEW_HEIGHT
    light, dark, rim = TYPE_COLOURS[game_type]
    defs = gradient("m", "bg", [(0, light), (1, dark)], radial=True)
    body = ('<rect x="1" y="1" width="%d" height="%d" rx="8" fill="url(#mbg)" stroke="%s" '
            'stroke-width="2"/>\n' % (w - 2, h - 2, rim) +
            '<rect x="5" y="5" width="%d" height="%d" rx="5" fill="none" stroke="%s" '
            'stroke-opacity="0.35"/>\n' % (w - 10, h - 10, rim))
    return svg(w, h, body, defs)


def outputs():
    out = {}
    for i, painter in enumerate(GAME_TYPES):
        out["images/backgrounds/board%d.svg" % (i + 1)] = lambda g, p=painter: full(p)
        out["images/previews/previewbackground%d.svg" % (i + 1)] = \
            lambda g, t=i: miniature_background(g, t)
    out["images/backgrounds/preview0.svg"] = lambda g: own_preview()
    for i, painter in enumerate(CUSTOM):
        out["images/backgrounds/custom%d.svg" % (i + 1)] = lambda g, p=painter: full(p)
        out["images/backgrounds/preview%d.svg" % (i + 1)] = lambda g, p=painter: preview(p)
    return out


if __name__ == "__main__":
    sys.exit(run(outputs(), sys.argv))
