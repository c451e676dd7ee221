#!/usr/bin/env python3
"""The hallway (800 x 600): two corridor pictures (one per hallway definition) with five doors
each, the masks of the area recoloured around each door, the medals, the room-number plates and
star numbers of the 100 rooms, the knob, two plants, the stars of the floor end, the floor-end
card, the four buttons of the bottom bar and the room preview's card.

The door rectangles here are the ones media/properties/hallway.xml gives the scene (DEFINITIONS);
`hallway.py --doors` prints them."""

import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text

WOOD = PALETTE["wood"]
BRASS = PALETTE["brass"]
CREAM = PALETTE["cream"]
INK = PALETTE["ink"]
GOLD = PALETTE["gold"]
# The doors' own colour: a saturated red wood, so that every hue shift reads clearly.
DOOR = "#b5452a"
DOOR_DARK = "#7a2a18"

# Per definition: the wall, the carpet and the five door rectangles (x, y, width, height).
DEFINITIONS = [
    {"wall": "#e9d3a8", "stripe": "#dcc08c", "carpet": "#6e1f2a", "trim": "#5a3a22",
     "doors": [(55, 220, 100, 220), (205, 220, 100, 220), (355, 220, 100, 220),
               (505, 220, 100, 220), (655, 220, 100, 220)]},
    {"wall": "#c9dcd2", "stripe": "#b3cbbf", "carpet": "#2b3a5c", "trim": "#3b2414",
     "doors": [(40, 230, 104, 214), (190, 215, 108, 226), (345, 200, 110, 240),
               (502, 215, 108, 226), (656, 230, 104, 214)]},
]
MEDAL = 44
PLATE_W, PLATE_H = 64, 26
STAR_NUMBER = 64
SMALL_STAR = 22
FLASH = 48
KNOB = 18
CARD_W, CARD_H = 560, 360
PREVIEW_W, PREVIEW_H = 280, 330
BAR_Y = 540


def star_path(cx, cy, outer, inner, points=5):
    import math
    coords = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / points
        coords.append("%s,%s" % (f(cx + r * math.cos(a)), f(cy + r * math.sin(a))))
    return "M" + " L".join(coords) + " Z"


def door_shape(x, y, w, h):
    """A panelled door with its frame; the knob is a button of its own."""
    out = ['<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>\n'
           % (x - 8, y - 8, w + 16, h + 8, DOOR_DARK),
           '<rect x="%d" y="%d" width="%d" height="%d" fill="url(#door)"/>\n' % (x, y, w, h)]
    inset = 12
    panel_h = (h - 3 * inset) / 2
    for row in range(2):
        py = y + inset + row * (panel_h + inset)
        out.append('<rect x="%s" y="%s" width="%s" height="%s" rx="3" fill="none" '
                   'stroke="%s" stroke-width="3"/>\n'
                   % (f(x + inset), f(py), f(w - 2 * inset), f(panel_h), DOOR_DARK))
        out.append('<rect x="%s" y="%s" width="%s" height="%s" rx="3" fill="#ffffff" '
                   'fill-opacity="0.08"/>\n'
                   % (f(x + inset + 3), f(py + 3), f(w - 2 * inset - 6), f(panel_h / 3)))
    return "".join(out)


def corridor(index):
    d = DEFINITIONS[index]

    def make(_geometry):
        defs = ('<linearGradient id="door" x1="0" y1="0" x2="1" y2="0">'
                '<stop offset="0" stop-color="%s"/><stop offset="0.5" stop-color="#cf5a37"/>'
                '<stop offset="1" stop-color="%s"/></linearGradient>\n' % (DOOR, DOOR)
                + '<linearGradient id="carpet" x1="0" y1="0" x2="0" y2="1">'
                '<stop offset="0" stop-color="#000000" stop-opacity="0.35"/>'
                '<stop offset="1" stop-color="#000000" stop-opacity="0"/></linearGradient>\n'
                + '<radialGradient id="lamp" cx="0.5" cy="0" r="0.8">'
                '<stop offset="0" stop-color="#fff4d6" stop-opacity="0.55"/>'
                '<stop offset="1" stop-color="#fff4d6" stop-opacity="0"/></radialGradient>\n')
        body = ['<rect width="800" height="600" fill="%s"/>\n' % d["wall"]]
        for x in range(0, 800, 28):
            body.append('<rect x="%d" y="60" width="12" height="380" fill="%s"/>\n'
                        % (x, d["stripe"]))
        # Ceiling, cornice and lamps.
        body.append('<rect width="800" height="60" fill="#f5ead2"/>\n')
        body.append('<rect y="56" width="800" height="10" fill="%s"/>\n' % d["trim"])
        for x in range(80, 800, 160):
            body.append('<ellipse cx="%d" cy="64" rx="120" ry="150" fill="url(#lamp)"/>\n' % x)
            body.append('<path d="M%d 66 h36 l-6 14 h-24 z" fill="%s"/>\n' % (x - 18, BRASS))
        # Wainscot and skirting.
        body.append('<rect y="400" width="800" height="60" fill="%s" fill-opacity="0.35"/>\n'
                    % d["trim"])
        body.append('<rect y="398" width="800" height="4" fill="%s"/>\n' % d["trim"])
        # Carpet in perspective.
        body.append('<rect y="440" width="800" height="160" fill="%s"/>\n' % d["carpet"])
        body.append('<rect y="440" width="800" height="60" fill="url(#carpet)"/>\n')
        for i in range(-8, 9):
            body.append('<line x1="%d" y1="440" x2="%d" y2="600" stroke="%s" stroke-width="2" '
                        'stroke-opacity="0.5"/>\n' % (400 + i * 60, 400 + i * 150, GOLD))
        body.append('<rect y="436" width="800" height="6" fill="%s"/>\n' % WOOD)
        for (x, y, w, h) in d["doors"]:
            body.append(door_shape(x, y, w, h))
        # The bottom bar behind the buttons.
        body.append('<rect y="%d" width="800" height="%d" fill="%s" fill-opacity="0.85"/>\n'
                    % (BAR_Y, 600 - BAR_Y, WOOD))
        body.append('<rect y="%d" width="800" height="3" fill="%s"/>\n' % (BAR_Y, BRASS))
        return svg(800, 600, "".join(body), defs)
    return make


def hue_mask(index, door):
    x, y, w, h = DEFINITIONS[index]["doors"][door]

    def make(_geometry):
        return svg(800, 600, '<rect x="%d" y="%d" width="%d" height="%d" fill="#ffffff"/>\n'
                   % (x - 8, y - 8, w + 16, h + 8))
    return make


def medal(face, rim, ribbon):
    def make(_geometry):
        c = MEDAL / 2
        body = ('<path d="M%s 0 L%s 16 L%s 16 L%s 0 Z" fill="%s"/>\n'
                % (f(c - 12), f(c - 4), f(c + 4), f(c + 12), ribbon)
                + '<circle cx="%s" cy="%s" r="%s" fill="%s"/>\n' % (f(c), f(c + 6), f(c - 6), rim)
                + '<circle cx="%s" cy="%s" r="%s" fill="%s"/>\n' % (f(c), f(c + 6), f(c - 10), face)
                + '<path d="%s" fill="%s" fill-opacity="0.8"/>\n'
                % (star_path(c, c + 6, 9, 4), rim)
                + '<ellipse cx="%s" cy="%s" rx="8" ry="4" fill="#ffffff" fill-opacity="0.45"/>\n'
                % (f(c - 5), f(c - 1)))
        return svg(MEDAL, MEDAL, body)
    return make


def room_number(floor, door):
    def make(_geometry):
        body = ('<rect x="1" y="1" width="%d" height="%d" rx="5" fill="%s" stroke="%s" '
                'stroke-width="2"/>\n' % (PLATE_W - 2, PLATE_H - 2, BRASS, WOOD)
                + text(PLATE_W / 2, 19, 16, INK, "%d%d" % (floor, door), TEXT_FONT, "bold"))
        return svg(PLATE_W, PLATE_H, body)
    return make


def star_number(floor, door):
    def make(_geometry):
        c = STAR_NUMBER / 2
        body = ('<path d="%s" fill="%s" stroke="%s" stroke-width="2"/>\n'
                % (star_path(c, c + 2, c - 1, c * 0.5), GOLD, WOOD)
                + text(c, c + 8, 14, INK, "%d%d" % (floor, door), TEXT_FONT, "bold"))
        return svg(STAR_NUMBER, STAR_NUMBER, body)
    return make


def small_star(full):
    def make(_geometry):
        c = SMALL_STAR / 2
        fill = GOLD if full else "#5c5854"
        return svg(SMALL_STAR, SMALL_STAR, '<path d="%s" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
                   % (star_path(c, c + 1, c - 1, c * 0.45), fill, WOOD))
    return make


def star_flash(_geometry):
    c = FLASH / 2
    defs = ('<radialGradient id="g" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#ffffff"/>'
            '<stop offset="0.4" stop-color="#ffe9a8" stop-opacity="0.8"/>'
            '<stop offset="1" stop-color="#ffb347" stop-opacity="0"/></radialGradient>\n')
    return svg(FLASH, FLASH, '<circle cx="%s" cy="%s" r="%s" fill="url(#g)"/>\n'
               '<path d="%s" fill="#ffffff"/>\n' % (f(c), f(c), f(c), star_path(c, c, c - 2, 4, 4)),
               defs)


def knob(_geometry):
    frames = []
    for i, face in enumerate(("#d9b86a", "#f2d58a", "#a8843f", "#8a8580")):
        cy = i * KNOB + KNOB / 2
        frames.append('<circle cx="9" cy="%s" r="7.5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
                      '<circle cx="7" cy="%s" r="2.5" fill="#ffffff" fill-opacity="0.6"/>\n'
                      % (f(cy), face, WOOD, f(cy - 2)))
    return svg(KNOB, KNOB * 4, "".join(frames))


def plant(kind):
    def make(_geometry):
        pot = ('<path d="M10 110 H50 L44 150 H16 Z" fill="#8a4b2a" stroke="%s" stroke-width="2"/>\n'
               % WOOD)
        leaves = []
        if kind == 0:
            for i, (dx, h) in enumerate(((-18, 70), (-8, 95), (4, 105), (14, 88), (22, 64))):
                leaves.append('<path d="M30 112 Q%d %d %d %d Q%d %d 30 112 Z" fill="%s"/>\n'
                              % (30 + dx * 2, 112 - h / 2, 30 + dx, 112 - h, 30 + dx / 2,
                                 112 - h / 2, "#2f7d3a" if i % 2 else "#3f9a4a"))
        else:
            for i in range(7):
                a = -80 + i * 26
                leaves.append('<ellipse cx="30" cy="75" rx="8" ry="34" fill="%s" '
                              'transform="rotate(%d 30 110)"/>\n'
                              % ("#2c6e46" if i % 2 else "#4a9a5e", a))
        return svg(60, 152, "".join(leaves) + pot)
    return make


def floor_end(_geometry):
    body = ('<rect x="2" y="2" width="%d" height="%d" rx="18" fill="%s" stroke="%s" '
            'stroke-width="4"/>\n' % (CARD_W - 4, CARD_H - 4, PALETTE["paper"], BRASS)
            + '<rect x="14" y="14" width="%d" height="%d" rx="12" fill="none" stroke="%s" '
            'stroke-width="1.5" stroke-opacity="0.6"/>\n' % (CARD_W - 28, CARD_H - 28, WOOD)
            + '<rect x="40" y="84" width="%d" height="110" rx="10" fill="%s" fill-opacity="0.12"/>\n'
            % (CARD_W - 80, WOOD))
    return svg(CARD_W, CARD_H, body)


def preview_card(_geometry):
    # Opaque: the doors and their plates behind the card do not show through its texts.
    body = ('<rect x="2" y="2" width="%d" height="%d" rx="14" fill="%s" '
            'stroke="%s" stroke-width="3"/>\n' % (PREVIEW_W - 4, PREVIEW_H - 4, PALETTE["paper"], BRASS))
    return svg(PREVIEW_W, PREVIEW_H, body)


def preview_line(_geometry):
    return svg(PREVIEW_W - 40, 2, '<rect width="%d" height="2" fill="%s" fill-opacity="0.5"/>\n'
               % (PREVIEW_W - 40, WOOD))


def bar_button(label):
    """Four frames of 36 pixels, one below the other: normal, over, pressed, disabled."""
    def make(_geometry):
        w, h = 150, 36
        looks = [("#c8a25a", "#6b4426", "#fff4d6", 0), ("#e2be72", "#8a5a32", "#ffffff", 0),
                 ("#a8843f", "#2e1b0e", "#e8d9b8", 1), ("#7a7570", "#5c5854", "#b8b2aa", 0)]
        frames = []
        for i, (rim, face, ink, dy) in enumerate(looks):
            frames.append('<g transform="translate(0,%d)"><rect x="1" y="1" width="%d" height="%d" '
                          'rx="8" fill="%s"/><rect x="3" y="%d" width="%d" height="%d" rx="6" '
                          'fill="%s"/>%s</g>\n'
                          % (i * h, w - 2, h - 2, rim, 3 + dy, w - 6, h - 6 - dy, face,
                             text(w / 2, 24 + dy, 15, ink, label, TEXT_FONT, "bold").strip()))
        return svg(w, h * 4, "".join(frames))
    return make


def outputs():
    out = {
        "images/hallway/medal_gold.svg": medal("#f4d77a", GOLD, "#2b6cb0"),
        "images/hallway/medal_silver.svg": medal("#e4e7ea", "#9aa3ab", "#2f7d3a"),
        "images/hallway/medal_bronze.svg": medal("#e0a070", "#a0603a", "#8a2432"),
        "images/hallway/star_full.svg": small_star(True),
        "images/hallway/star_empty.svg": small_star(False),
        "images/hallway/star_flash.svg": star_flash,
        "images/hallway/knob.svg": knob,
        "images/hallway/plant0.svg": plant(0),
        "images/hallway/plant1.svg": plant(1),
        "images/hallway/floor_end.svg": floor_end,
        "images/hallway/room_preview.svg": preview_card,
        "images/hallway/preview_line.svg": preview_line,
        "images/hallway/button_menu.svg": bar_button("Room menu"),
        "images/hallway/button_elevator.svg": bar_button("Elevator"),
        "images/hallway/button_customize.svg": bar_button("Board &amp; tiles"),
        "images/hallway/button_trophies.svg": bar_button("Trophies"),
    }
    for index in range(len(DEFINITIONS)):
        out["images/hallway/hallway%d.svg" % index] = corridor(index)
        for door in range(5):
            out["images/hallway/huemask%d%d.svg" % (index, door + 1)] = hue_mask(index, door)
    for floor in range(1, 21):
        for door in range(1, 6):
            out["images/hallway/room_number%d_%d.svg" % (floor, door)] = room_number(floor, door)
            out["images/hallway/star_number%d_%d.svg" % (floor, door)] = star_number(floor, door)
    return out


if __name__ == "__main__":
    if len(sys.argv) == 2 and sys.argv[1] == "--doors":
        for index, d in enumerate(DEFINITIONS):
            print(index, d["doors"])
        sys.exit(0)
    sys.exit(run(outputs(), sys.argv))
