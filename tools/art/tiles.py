#!/usr/bin/env python3
"""The tile pictures: the blank tile, its shadow, the four symbol sheets, the layout
miniature's tile, the side-board racks, the tile-set previews and the window icon.

Symbol sheet layout (the renderer's rule): suit s, value v lies at column v (plus 4 for suits
4 and 6) and row 0, 1, 2 for suits 0-2, row 4 for suits 3-4 and row 3 for suits 5-6; cells are
one face large, rows one pixel apart. Suits: 0 characters, 1 circles, 2 bamboo, 3 winds,
4 dragons, 5 flowers, 6 seasons."""

import math
import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text

SUIT_SIZES = (9, 9, 9, 4, 3, 4, 4)
SUIT_NAMES = ("characters", "circles", "bamboo", "winds", "dragons", "flowers", "seasons")
SIDEBOARD_RACKS = ((1, 1), (2, 1), (3, 1), (4, 1), (2, 3), (2, 4), (2, 5))
NUMERALS = "一二三四五六七八九"
WINDS = "東南西北"

# The four sets: the colour of a frame inside the face's edge (none for the first), inks, and
# how circles, bamboo and the white dragon are drawn.
TILE_SETS = (
    {"name": "Ivory", "wash": None,
     "red": "#b3261e", "green": "#1e6b3c", "blue": "#1f3a78", "black": "#22201c",
     "flower": "#c8326e", "gold": "#d99a1e", "circles": "ring", "bamboo": "segment",
     "white": "double"},
    {"name": "Jade", "wash": "#b3dec0",
     "red": "#a8322a", "green": "#0f5132", "blue": "#1f6f78", "black": "#143a2c",
     "flower": "#b0306a", "gold": "#c98f12", "circles": "disc", "bamboo": "bar",
     "white": "thick"},
    {"name": "Amber", "wash": "#f0c47c",
     "red": "#8e2a1b", "green": "#5b6b1e", "blue": "#3b2414", "black": "#3b2414",
     "flower": "#a3324f", "gold": "#b8862e", "circles": "coin", "bamboo": "brush",
     "white": "corners"},
    {"name": "Dusk", "wash": "#c6ccf4",
     "red": "#d2522d", "green": "#1f6f78", "blue": "#2b2d5c", "black": "#2b2d5c",
     "flower": "#c2407a", "gold": "#e08a2e", "circles": "double", "bamboo": "outline",
     "white": "dashed"},
)


def sheet_cell(suit, value):
    """Column and row of a face in the symbol sheet."""
    column = value + (4 if suit in (4, 6) else 0)
    row = suit if suit <= 2 else (4 if suit in (3, 4) else 3)
    return column, row


# --- the blank tile ---------------------------------------------------------------------------

def tile_body(g):
    """The blank tile at the origin: face, right and bottom sides (no shadow)."""
    fw, fh, sw, sh = g.fw, g.fh, g.sw, g.sh
    hw, hh = sw / 2.0, sh / 2.0
    right_near = "%s,%s %s,%s %s,%s %s,%s" % (fw, 0, f(fw + hw), f(hh), f(fw + hw), f(fh + hh),
                                              fw, fh)
    right_far = "%s,%s %s,%s %s,%s %s,%s" % (f(fw + hw), f(hh), fw + sw, sh, fw + sw, fh + sh,
                                             f(fw + hw), f(fh + hh))
    bottom_near = "%s,%s %s,%s %s,%s %s,%s" % (0, fh, fw, fh, f(fw + hw), f(fh + hh), f(hw),
                                               f(fh + hh))
    bottom_far = "%s,%s %s,%s %s,%s %s,%s" % (f(hw), f(fh + hh), f(fw + hw), f(fh + hh),
                                              fw + sw, fh + sh, sw, fh + sh)
    return (
        '<polygon points="%s" fill="#d8cbab"/>\n' % right_near +
        '<polygon points="%s" fill="#2f6f55"/>\n' % right_far +
        '<polygon points="%s" fill="#c9b994"/>\n' % bottom_near +
        '<polygon points="%s" fill="#245a45"/>\n' % bottom_far +
        '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#173d2f" stroke-width="0.8"/>\n'
        % (f(fw + hw), f(fh + hh), fw + sw, fh + sh) +
        '<rect x="0.5" y="0.5" width="%s" height="%s" rx="2.5" fill="url(#face)" '
        'stroke="#b9a77f" stroke-width="1"/>\n' % (fw - 1, fh - 1) +
        '<path d="M1.5,%s V2.8 Q1.5,1.5 2.8,1.5 H%s" fill="none" stroke="#fffdf6" '
        'stroke-width="1"/>\n' % (fh - 3, fw - 3))


FACE_GRADIENT = ('<linearGradient id="face" x1="0" y1="0" x2="1" y2="1">'
                 '<stop offset="0" stop-color="#fffaee"/><stop offset="0.6" stop-color="#f6ecd6"/>'
                 '<stop offset="1" stop-color="#eadcbc"/></linearGradient>\n')


def tile_svg(g):
    return svg(g.TILE_WIDTH, g.TILE_HEIGHT, tile_body(g), FACE_GRADIENT)


def shadow_svg(g):
    """The shadow template: a band above the face (rows 0 to 2 SY) and one left of it (columns
    0 to 2 SX), darkest at the face edge and fading out past the face's far ends. The square
    where the bands meet is drawn by both strips, so it holds only part of the darkness."""
    sx, sy, fw, fh = g.sx, g.sy, g.fw, g.fh
    width, height = fw + 2 * sx, 2 * fh + sy
    strength = 0.42

    def soft(position, start, margin):  # 0 before `start`, rising to 1 over `margin`
        return min(1.0, max(0.0, (position - start + 0.5) / margin)) ** 1.5

    def darkness(x, y):
        across = soft(x, 0, sx) * (1.0 - soft(x, fw + sx, sx))
        down = soft(y, 0, sy) * (1.0 - soft(y, fh + sy, sy + 2))
        return strength * across * down

    body = []
    for y in range(height):
        for x in range(width):
            if y >= 2 * sy and x >= 2 * sx:
                continue
            a = darkness(x, y)
            if x < 2 * sx and y < 2 * sy:
                a = 1.0 - math.sqrt(1.0 - a)
            if a > 0.004:
                body.append('<rect x="%d" y="%d" width="1" height="1" fill-opacity="%s"/>'
                            % (x, y, f(a)))
    return svg(width, height, '<g fill="#1a0d04" shape-rendering="crispEdges">\n' +
               "\n".join(body) + "\n</g>\n")


def preview_tile_svg(g):
    w, h = g.PREVIEW_TILE_FACE_WIDTH, g.PREVIEW_TILE_FACE_HEIGHT
    body = ('<rect width="%d" height="%d" fill="#2f6f55"/>\n' % (w, h) +
            '<rect width="%d" height="%d" fill="#d8cbab"/>\n' % (w - 1, h - 1) +
            '<rect width="%d" height="%d" fill="#f6ecd6"/>\n' % (w - 2, h - 2) +
            '<rect width="%d" height="1" fill="#fffdf6"/><rect width="1" height="%d" '
            'fill="#fffdf6"/>\n' % (w - 2, h - 2))
    return svg(w, h, '<g shape-rendering="crispEdges">\n' + body + "</g>\n")


# --- symbols ----------------------------------------------------------------------------------

def circle(style, x, y, r, ink, accent, s):
    if style == "ring":
        return ('<circle cx="%s" cy="%s" r="%s" fill="#fffaf0" stroke="%s" stroke-width="%s"/>'
                '<circle cx="%s" cy="%s" r="%s" fill="%s"/>\n'
                % (f(x), f(y), f(r * 0.82), ink, f(max(1.1, r * 0.36)), f(x), f(y),
                   f(r * 0.32), accent))
    if style == "disc":
        return ('<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                '<circle cx="%s" cy="%s" r="%s" fill="#ffffff" fill-opacity="0.85"/>\n'
                % (f(x), f(y), f(r), ink, f(x - r * 0.3), f(y - r * 0.3), f(r * 0.28)))
    if style == "coin":
        hole = r * 0.34
        return ('<circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="0.8"/>'
                '<rect x="%s" y="%s" width="%s" height="%s" fill="#fbf3e2"/>\n'
                % (f(x), f(y), f(r * 0.95), ink, s["gold"], f(x - hole), f(y - hole),
                   f(2 * hole), f(2 * hole)))
    # cog: a ring cut into eight segments round a dot in the accent colour
    ring = r * 0.72
    dash = 2 * math.pi * ring / 16
    return ('<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-dasharray="%s %s"/>'
            '<circle cx="%s" cy="%s" r="%s" fill="%s"/>\n'
            % (f(x), f(y), f(ring), ink, f(r * 0.56), f(dash * 1.3), f(dash * 0.7), f(x), f(y),
               f(r * 0.3), accent))


CIRCLE_LAYOUTS = {
    1: [(13, 18, 8.6)],
    2: [(13, 10.5, 5.6), (13, 25.5, 5.6)],
    3: [(6.8, 8, 4.5), (13, 18, 4.5), (19.2, 28, 4.5)],
    4: [(8, 11, 4.6), (18, 11, 4.6), (8, 25, 4.6), (18, 25, 4.6)],
    5: [(7.4, 8.8, 4.1), (18.6, 8.8, 4.1), (13, 18, 4.1), (7.4, 27.2, 4.1), (18.6, 27.2, 4.1)],
    6: [(8, 8, 4.2), (18, 8, 4.2), (8, 18, 4.2), (18, 18, 4.2), (8, 28, 4.2), (18, 28, 4.2)],
    7: [(6.4, 5.8, 3.2), (13, 9.4, 3.2), (19.6, 13, 3.2), (8.4, 21.6, 3.5), (17.6, 21.6, 3.5),
        (8.4, 29.6, 3.5), (17.6, 29.6, 3.5)],
    8: [(8.4, 6.2, 3.5), (17.6, 6.2, 3.5), (8.4, 14, 3.5), (17.6, 14, 3.5), (8.4, 22, 3.5),
        (17.6, 22, 3.5), (8.4, 29.8, 3.5), (17.6, 29.8, 3.5)],
    9: [(6.4, 8, 3.3), (13, 8, 3.3), (19.6, 8, 3.3), (6.4, 18, 3.3), (13, 18, 3.3),
        (19.6, 18, 3.3), (6.4, 28, 3.3), (13, 28, 3.3), (19.6, 28, 3.3)],
}

# Ink of each circle by value: b blue, g green, r red.
CIRCLE_INKS = {1: "g", 2: "gb", 3: "brg", 4: "bggb", 5: "bgrgb", 6: "ggrrrr", 7: "gggrrrr",
               8: "bbbbbbbb", 9: "bbbrrrggg"}


def circles(value, s):
    out = []
    for (x, y, r), ink in zip(CIRCLE_LAYOUTS[value], CIRCLE_INKS[value]):
        colour = {"b": s["blue"], "g": s["green"], "r": s["red"]}[ink]
        accent = s["red"] if ink != "r" else s["blue"]
        if value == 1:
            accent = s["red"]
        out.append(circle(s["circles"], x, y, r, colour, accent, s))
    return "".join(out)


def stick(style, x, y, w, h, ink, s):
    left, top = x - w / 2.0, y - h / 2.0
    if style == "segment":
        return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"/>'
                '<rect x="%s" y="%s" width="%s" height="1" fill="#fffaf0" fill-opacity="0.9"/>'
                '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#ffffff" stroke-opacity="0.45" '
                'stroke-width="0.8"/>\n'
                % (f(left), f(top), f(w), f(h), f(w / 2.5), ink, f(left), f(y - 0.5), f(w),
                   f(x - w * 0.15), f(top + 1.2), f(x - w * 0.15), f(top + h - 1.2)))
    if style == "bar":
        return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"/>'
                '<rect x="%s" y="%s" width="%s" height="%s" rx="0.6" fill="#ffffff" '
                'fill-opacity="0.35"/>\n'
                % (f(left), f(top), f(w), f(h), f(w / 2.0), ink, f(left + w * 0.2),
                   f(top + 1.5), f(w * 0.25), f(h - 3)))
    if style == "brush":
        return ('<path d="M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" fill="%s"/>'
                '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="1.2"/>\n'
                % (f(x), f(top), f(x + w * 1.05), f(y), f(x), f(top + h), f(x - w * 1.05),
                   f(y), f(x), f(top), ink, f(x - w * 0.5), f(y), f(x + w * 0.5), f(y),
                   s["gold"]))
    # outline
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="1" fill="#ffffff" '
            'fill-opacity="0.6" stroke="%s" stroke-width="1.1"/>'
            '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="1"/>\n'
            % (f(left + 0.5), f(top + 0.5), f(w - 1), f(h - 1), ink, f(x), f(top + 2), f(x),
               f(top + h - 2), ink))


BAMBOO_LAYOUTS = {
    2: [(13, 10, 5.4, 13), (13, 26, 5.4, 13)],
    3: [(13, 10, 5.4, 13), (8, 26, 5.4, 13), (18, 26, 5.4, 13)],
    4: [(8, 10, 5.4, 13), (18, 10, 5.4, 13), (8, 26, 5.4, 13), (18, 26, 5.4, 13)],
    5: [(6.5, 10, 5, 13), (19.5, 10, 5, 13), (13, 18, 5, 13), (6.5, 26, 5, 13),
        (19.5, 26, 5, 13)],
    6: [(6.5, 10, 5, 13), (13, 10, 5, 13), (19.5, 10, 5, 13), (6.5, 26, 5, 13),
        (13, 26, 5, 13), (19.5, 26, 5, 13)],
    7: [(13, 7.5, 4.8, 9.5), (6.5, 18, 4.8, 9.5), (13, 18, 4.8, 9.5), (19.5, 18, 4.8, 9.5),
        (6.5, 28.5, 4.8, 9.5), (13, 28.5, 4.8, 9.5), (19.5, 28.5, 4.8, 9.5)],
    8: [(4.9, 10, 4.2, 13), (10.3, 10, 4.2, 13), (15.7, 10, 4.2, 13), (21.1, 10, 4.2, 13),
        (4.9, 26, 4.2, 13), (10.3, 26, 4.2, 13), (15.7, 26, 4.2, 13), (21.1, 26, 4.2, 13)],
    9: [(6.5, 7.5, 4.8, 9.5), (13, 7.5, 4.8, 9.5), (19.5, 7.5, 4.8, 9.5), (6.5, 18, 4.8, 9.5),
        (13, 18, 4.8, 9.5), (19.5, 18, 4.8, 9.5), (6.5, 28.5, 4.8, 9.5), (13, 28.5, 4.8, 9.5),
        (19.5, 28.5, 4.8, 9.5)],
}
BAMBOO_RED = {5: {2}, 7: {0}, 9: {1, 4, 7}}


def bamboo(value, s):
    if value == 1:  # one tall stalk with two leaves
        leaf = s["green"]
        return ('<path d="M13,31 C11.5,24 14.5,14 13,5" fill="none" stroke="%s" '
                'stroke-width="3.2" stroke-linecap="round"/>\n' % s["green"] +
                '<ellipse cx="8" cy="13" rx="5" ry="2.1" transform="rotate(-35 8 13)" '
                'fill="%s"/>\n' % leaf +
                '<ellipse cx="18.2" cy="19" rx="5.2" ry="2.1" transform="rotate(30 18.2 19)" '
                'fill="%s"/>\n' % leaf +
                '<circle cx="13.3" cy="11" r="1.5" fill="%s"/><circle cx="13" cy="23.5" r="1.5" '
                'fill="%s"/>\n' % (s["red"], s["red"]) +
                '<circle cx="13" cy="5" r="2.2" fill="%s"/>\n' % s["red"])
    red = BAMBOO_RED.get(value, set())
    return "".join(stick(s["bamboo"], x, y, w, h, s["red"] if i in red else s["green"], s)
                   for i, (x, y, w, h) in enumerate(BAMBOO_LAYOUTS[value]))


def glyph(x, y, size, ink, content):
    """A brush glyph, thickened by a hairline of its own ink so it stays solid at tile size."""
    return text(x, y, size, ink, content,
                extra=' stroke="%s" stroke-width="0.45" stroke-linejoin="round"' % ink)


def character(value, s):
    return (glyph(13, 16.2, 15, s["black"], NUMERALS[value - 1]) +
            glyph(13, 32.6, 17, s["red"], "萬"))


def wind(value, s):
    return glyph(13, 26.5, 22, s["black"], WINDS[value])


def dragon(value, s):
    if value == 0:
        return glyph(13, 27, 24, s["red"], "中")
    if value == 1:
        return glyph(13, 27, 23, s["green"], "發")
    style, ink = s["white"], s["blue"]
    if style == "double":
        return ('<rect x="4.5" y="5.5" width="17" height="25" rx="1.5" fill="none" stroke="%s" '
                'stroke-width="1.6"/><rect x="7.5" y="8.5" width="11" height="19" fill="none" '
                'stroke="%s" stroke-width="1"/>\n' % (ink, ink))
    if style == "thick":
        return ('<rect x="5" y="6" width="16" height="24" rx="3" fill="none" stroke="%s" '
                'stroke-width="3"/>\n' % ink)
    if style == "corners":
        return "".join('<path d="%s" fill="none" stroke="%s" stroke-width="2.2"/>\n' % (d, ink)
                       for d in ("M5,12 V6 H11", "M15,6 H21 V12", "M21,24 V30 H15",
                                 "M11,30 H5 V24")) + \
            '<rect x="9" y="14" width="8" height="8" fill="none" stroke="%s" ' \
            'stroke-width="1.2" transform="rotate(45 13 18)"/>\n' % s["gold"]
    return ('<rect x="5" y="6" width="16" height="24" rx="2" fill="none" stroke="%s" '
            'stroke-width="1.8" stroke-dasharray="3.2 1.8"/>\n' % ink)


def corner_number(value, ink):
    return text(4.6, 9.2, 7.5, ink, str(value + 1), family=TEXT_FONT, weight="bold")


def flower(value, s):
    pink, gold, green = s["flower"], s["gold"], s["green"]
    if value == 0:  # plum: five round petals on a twig
        petals = "".join('<circle cx="%s" cy="%s" r="3.4" fill="%s"/>'
                         % (f(14 + 4.3 * math.sin(a)), f(19 - 4.3 * math.cos(a)), pink)
                         for a in (i * 2 * math.pi / 5 for i in range(5)))
        art = ('<path d="M5,31 Q10,26 12,22" stroke="#6b4423" stroke-width="1.6" fill="none"/>' +
               petals + '<circle cx="14" cy="19" r="1.8" fill="%s"/>' % gold)
    elif value == 1:  # orchid: three long petals over two leaves
        art = ('<path d="M4,32 Q10,24 13,21 M22,32 Q16,25 13,21" stroke="%s" stroke-width="1.6" '
               'fill="none"/>' % green +
               "".join('<ellipse cx="13" cy="13.5" rx="2.6" ry="6" fill="%s" '
                       'transform="rotate(%d 13 19)"/>' % (pink, a) for a in (-55, 0, 55)) +
               '<circle cx="13" cy="19" r="1.7" fill="%s"/>' % gold)
    elif value == 2:  # chrysanthemum: many thin petals
        art = ("".join('<ellipse cx="13" cy="12.5" rx="1.3" ry="5.2" fill="%s" '
                       'transform="rotate(%d 13 19)"/>' % (gold, a) for a in range(0, 360, 30)) +
               '<circle cx="13" cy="19" r="2.6" fill="%s"/>' % s["red"])
    else:  # lotus: a cup of petals on a pad
        art = ('<ellipse cx="13" cy="28" rx="8.5" ry="2.6" fill="%s"/>' % green +
               '<path d="M13,11 Q18,18 13,26 Q8,18 13,11 Z" fill="%s"/>' % pink +
               '<path d="M6,16 Q12,20 12.5,26 Q6,24 6,16 Z" fill="%s" fill-opacity="0.8"/>' % pink +
               '<path d="M20,16 Q14,20 13.5,26 Q20,24 20,16 Z" fill="%s" fill-opacity="0.8"/>'
               % pink)
    return art + "\n" + corner_number(value, s["red"])


def crescent(cx, cy, r, ix, iy, ir):
    """The part of circle (cx, cy, r) outside circle (ix, iy, ir), as a path."""
    d = math.hypot(ix - cx, iy - cy)
    along = (r * r - ir * ir + d * d) / (2 * d)
    half = math.sqrt(r * r - along * along)
    ux, uy = (ix - cx) / d, (iy - cy) / d
    mx, my = cx + along * ux, cy + along * uy
    p1 = (mx - half * uy, my + half * ux)
    p2 = (mx + half * uy, my - half * ux)
    return "M%s,%s A%s,%s 0 1 1 %s,%s A%s,%s 0 0 0 %s,%s Z" % (
        f(p1[0]), f(p1[1]), f(r), f(r), f(p2[0]), f(p2[1]), f(ir), f(ir), f(p1[0]), f(p1[1]))


def season(value, s):
    if value == 0:  # spring: a sprout
        art = ('<path d="M13,31 V17" stroke="%s" stroke-width="1.8"/>' % s["green"] +
               '<ellipse cx="8.6" cy="16" rx="5" ry="2.4" fill="%s" '
               'transform="rotate(-30 8.6 16)"/>' % s["green"] +
               '<ellipse cx="17.4" cy="13" rx="5" ry="2.4" fill="%s" '
               'transform="rotate(30 17.4 13)"/>' % s["green"] +
               '<ellipse cx="13" cy="31" rx="6" ry="1.6" fill="#6b4423"/>')
    elif value == 1:  # summer: the sun
        rays = "".join('<path d="M13,%s L%s,%s L%s,%s Z" fill="%s" transform="rotate(%d 13 19)"/>'
                       % (f(19 - 11), f(13 - 1.8), f(19 - 6.5), f(13 + 1.8), f(19 - 6.5),
                          s["gold"], a) for a in range(0, 360, 45))
        art = rays + '<circle cx="13" cy="19" r="5.2" fill="%s"/>' % s["red"]
    elif value == 2:  # autumn: the harvest moon over a cloud
        art = ('<path d="%s" fill="%s"/>' % (crescent(12, 17.5, 8.5, 16.5, 14.5, 7.2), s["gold"]) +
               '<path d="M6,29 Q9,25 12,28 Q15,24 19,28 Q22,26 23,29" fill="none" '
               'stroke="%s" stroke-width="1.6" stroke-linecap="round"/>' % s["red"])
    else:  # winter: a snowflake
        arms = "".join('<g transform="rotate(%d 13 19)"><line x1="13" y1="10" x2="13" y2="28"/>'
                       '<path d="M10.6,12 L13,14.4 L15.4,12" fill="none"/>'
                       '<path d="M10.6,26 L13,23.6 L15.4,26" fill="none"/></g>' % a
                       for a in (0, 60, 120))
        art = '<g stroke="%s" stroke-width="1.5" stroke-linecap="round">%s</g>' % (s["blue"], arms)
    return art + "\n" + corner_number(value, s["blue"])


def symbol(suit, value, s):
    if suit == 0:
        return character(value + 1, s)
    if suit == 1:
        return circles(value + 1, s)
    if suit == 2:
        return bamboo(value + 1, s)
    if suit == 3:
        return wind(value, s)
    if suit == 4:
        return dragon(value, s)
    if suit == 5:
        return flower(value, s)
    return season(value, s)


def face_symbol(g, suit, value, s):
    """One face's symbol drawn for a face cell at the origin (the art is drawn for 26 x 36 and
    scaled to the face)."""
    # The set's colour is a thin frame, not a fill: the board paints selection, hover and hint
    # tints into the tile under the symbol, and a fill over the face would hide half of them.
    wash = ""
    if s["wash"]:
        wash = ('<rect x="2.5" y="2.5" width="%d" height="%d" rx="1.5" fill="none" stroke="%s" '
                'stroke-width="1.5"/>\n' % (g.fw - 5, g.fh - 5, s["wash"]))
    scale = "" if (g.fw, g.fh) == (26, 36) else ' transform="scale(%s %s)"' % (
        f(g.fw / 26.0), f(g.fh / 36.0))
    return wash + "<g%s>\n%s</g>\n" % (scale, symbol(suit, value, s))


def symbols_svg(g, s):
    tw, th = g.TILE_FACE_WIDTH, g.TILE_FACE_HEIGHT
    body = []
    for suit, size in enumerate(SUIT_SIZES):
        for value in range(size):
            column, row = sheet_cell(suit, value)
            body.append('<g transform="translate(%d %d)">\n%s</g>\n'
                        % (column * tw, row * (th + 1), face_symbol(g, suit, value, s)))
    return svg(9 * tw, 5 * (th + 1) - 1, "".join(body))


# --- whole tiles: previews and the icon ------------------------------------------------------

def whole_tile(g, suit, value, s, x, y):
    return ('<g transform="translate(%s %s)">\n%s%s</g>\n'
            % (f(x), f(y), tile_body(g), face_symbol(g, suit, value, s)))


PREVIEW_FACES = ((0, 0), (1, 4), (2, 2), (3, 0), (4, 0), (5, 0), (6, 1))


def tileset_preview_svg(g, s):
    """A row of seven tiles on a wooden plaque with a brass rim, 228 x 94."""
    width, height = 228, 94
    step = g.fw
    row_width = len(PREVIEW_FACES) * step + g.sw
    x0 = 16 + (196 - row_width) / 2.0
    y0 = 17 + (60 - (g.fh + g.sh)) / 2.0
    body = [plaque(width, height)]
    for i, (suit, value) in enumerate(PREVIEW_FACES):
        body.append(whole_tile(g, suit, value, s, x0 + i * step, y0))
    return svg(width, height, "".join(body), FACE_GRADIENT + PLAQUE_DEFS)


PLAQUE_DEFS = ('<linearGradient id="plaque" x1="0" y1="0" x2="0" y2="1">'
               '<stop offset="0" stop-color="#5a3a22"/><stop offset="1" stop-color="#2e1b0e"/>'
               '</linearGradient>\n')


def plaque(width, height):
    return ('<rect x="1" y="1" width="%d" height="%d" rx="7" fill="url(#plaque)" stroke="%s" '
            'stroke-width="2"/>\n' % (width - 2, height - 2, PALETTE["brass"]) +
            '<rect x="6" y="6" width="%d" height="%d" rx="4" fill="#1f120a" fill-opacity="0.55" '
            'stroke="#8a6a32" stroke-width="1"/>\n' % (width - 12, height - 12))


def icon_svg(g):
    scale = 1.45
    tw, th = g.TILE_WIDTH * scale, g.TILE_HEIGHT * scale
    x, y = (64 - tw) / 2.0 + 1, (64 - th) / 2.0
    return svg(64, 64, '<g transform="translate(%s %s) scale(%s)">\n%s%s</g>\n'
               % (f(x), f(y), f(scale), tile_body(g), face_symbol(g, 4, 0, TILE_SETS[0])),
               FACE_GRADIENT)


# --- side-board racks -------------------------------------------------------------------------

def tray(width, height, inner):
    """A dark wooden tray with a brass rim and a recessed bed inside `inner` (x, y, w, h)."""
    x, y, w, h = inner
    return ('<rect x="0.5" y="0.5" width="%s" height="%s" rx="6" fill="url(#wood)" stroke="%s" '
            'stroke-width="1.5"/>\n' % (f(width - 1), f(height - 1), PALETTE["brass"]) +
            '<rect x="%s" y="%s" width="%s" height="%s" rx="2.5" fill="#1c2a22" '
            'stroke="#120b05" stroke-width="1"/>\n' % (f(x), f(y), f(w), f(h)) +
            '<path d="M%s,%s H%s" stroke="#e3c27c" stroke-opacity="0.7" stroke-width="1"/>\n'
            % (f(6), f(1.8), f(width - 6)))


WOOD_DEFS = ('<linearGradient id="wood" x1="0" y1="0" x2="1" y2="1">'
             '<stop offset="0" stop-color="#6b4526"/><stop offset="0.5" stop-color="#4a2e18"/>'
             '<stop offset="1" stop-color="#2e1b0e"/></linearGradient>\n')


def slot_hollow(g, x, y):
    """The engraved outline of an empty slot's tile."""
    return ('<rect x="%s" y="%s" width="%d" height="%d" rx="2.5" fill="#24382d" '
            'stroke="#4d6b58" stroke-width="1" stroke-dasharray="2 2"/>\n'
            % (f(x + 1.5), f(y + 1.5), g.fw - 3, g.fh - 3))


def rack_svg(g, columns, rows, speed):
    px = g.SIDEBOARD_PADDING_X + (g.SIDEBOARD_SPEED_EXTRA_X if speed else 0)
    py = g.SIDEBOARD_PADDING_Y + (g.SIDEBOARD_SPEED_EXTRA_Y if speed else 0)
    width = 2 * px + columns * g.fw + g.sw
    height = 2 * py + rows * g.fh + g.sh
    body = [tray(width, height, (px - 2, py - 2, columns * g.fw + g.sw + 4,
                                 rows * g.fh + g.sh + 4))]
    for c in range(columns):
        for r in range(rows):
            body.append(slot_hollow(g, px + c * g.fw, py + r * g.fh))
    return svg(width, height, "".join(body), WOOD_DEFS)


def freecell_slot_svg(g):
    px, py = g.SIDEBOARD_FREECELL_PADDING_X, g.SIDEBOARD_FREECELL_PADDING_Y
    width, height = 2 * px + g.fw + g.sw, 2 * py + g.fh + g.sh
    body = tray(width, height, (px - 2, py - 2, g.fw + g.sw + 4, g.fh + g.sh + 4))
    return svg(width, height, body + slot_hollow(g, px, py), WOOD_DEFS)


# --- the list of pictures ---------------------------------------------------------------------

def outputs():
    out = {
        "images/tiles/tile.svg": tile_svg,
        "images/tiles/shadow.svg": shadow_svg,
        "images/tiles/tile_preview.svg": preview_tile_svg,
        "images/icon.svg": icon_svg,
        "images/sideboard/freecell_slot.svg": freecell_slot_svg,
    }
    for i, s in enumerate(TILE_SETS):
        out["images/tiles/symbols%d.svg" % (i + 1)] = lambda g, s=s: symbols_svg(g, s)
        out["images/tilesets/tileset%d.svg" % i] = lambda g, s=s: tileset_preview_svg(g, s)
    for columns, rows in SIDEBOARD_RACKS:
        out["images/sideboard/sideboard_%dx%d.svg" % (columns, rows)] = \
            lambda g, c=columns, r=rows: rack_svg(g, c, r, (c, r) == (1, 1))
    return out


if __name__ == "__main__":
    sys.exit(run(outputs(), sys.argv))
