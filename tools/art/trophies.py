#!/usr/bin/env python3
"""The trophy cabinet (800 x 600): the wall with four columns of shelves and, in the middle,
the building with one dark window per room; the lit and the starred window laid over a won
room; the twenty trophies, each a statuette whose medallion shows what it is for, in three
forms (on the shelf, its unclaimed silhouette, and the large one that spins up when awarded);
the gold cup the awards rise from (also the arcade's ship), the banner that slides in, the
fountain's star (also the arcade's bomb star) and the plate on top of the award panel.

The window grid is the one the cabinet's hit test uses: room columns from x = 298, 323, 393,
463 and 488, 20 pixels wide; floor f (1-20) from y = 490 - 24 (f - 1), 20 pixels high."""

import math
import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text

WOOD = PALETTE["wood"]
BRASS = PALETTE["brass"]
GOLD = PALETTE["gold"]
INK = PALETTE["ink"]
CREAM = PALETTE["cream"]
DUSK = PALETTE["dusk"]

ROOM_LEFT = (298, 323, 393, 463, 488)
WINDOW = 20
GROUND_ROW_Y = 490
ROW_STEP = 24
FLOORS = 20

# Shelf places (the trophies' centres, as the trophy file gives them).
COLUMNS = (75, 205, 595, 725)
ROWS = (110, 205, 300, 395, 490)

SMALL_W, SMALL_H = 96, 84
LARGE_SCALE = 2

# Metal of each trophy: the building's own trophies are gold, the rest by how hard they are.
METALS = {
    "gold": ("#f7dc6f", "#d4af37", "#8a6d1a"),
    "silver": ("#f2f4f6", "#b8c0c8", "#6c747c"),
    "bronze": ("#f0b27a", "#c07a3a", "#6e3f16"),
}


def star_points(cx, cy, outer, inner, points=5, turn=-90.0):
    out = []
    for k in range(points * 2):
        r = outer if k % 2 == 0 else inner
        a = math.radians(turn + k * 180.0 / points)
        out.append("%s,%s" % (f(cx + r * math.cos(a)), f(cy + r * math.sin(a))))
    return " ".join(out)


def star(cx, cy, outer, fill, stroke="none"):
    return ('<polygon points="%s" fill="%s" stroke="%s" stroke-width="1"/>\n'
            % (star_points(cx, cy, outer, outer * 0.45), fill, stroke))


# Emblems, drawn in a 40 x 40 box centred on (0, 0), in ink on the medallion.
def tile(x, y, w=12, h=16, face=CREAM, mark=None):
    body = ('<rect x="%s" y="%s" width="%s" height="%s" rx="2" fill="%s" stroke="%s" '
            'stroke-width="1.2"/>\n' % (f(x), f(y), f(w), f(h), face, INK))
    if mark:
        body += mark
    return body


def emblem_steady_hand():
    # An open hand, and a struck-out undo arrow beside it.
    hand = ('<path d="M-12,12 L-12,-2 Q-12,-6 -9,-6 L-9,-12 Q-9,-15 -6.5,-15 Q-4,-15 -4,-12 '
            'L-4,-14 Q-4,-17 -1.5,-17 Q1,-17 1,-14 L1,-12 Q1,-15 3.5,-15 Q6,-15 6,-12 L6,2 '
            'L9,-3 Q11,-6 13,-4 Q14,-2 12,1 L4,14 Z" fill="%s" stroke="%s" stroke-width="1.2"/>\n'
            % (CREAM, INK))
    undo = ('<path d="M8,-16 a6,6 0 1 1 0,10" fill="none" stroke="#b03a2e" stroke-width="2"/>'
            '<line x1="5" y1="-19" x2="17" y2="-3" stroke="#b03a2e" stroke-width="2.4"/>\n')
    return hand + undo


def emblem_split():
    return (tile(-15, -9, mark=text(-9, 3, 10, INK, "A", TEXT_FONT, "bold")) +
            tile(3, -9, mark=text(9, 3, 10, INK, "A", TEXT_FONT, "bold")) +
            '<line x1="0" y1="-16" x2="0" y2="16" stroke="#b03a2e" stroke-width="2" '
            'stroke-dasharray="3,2"/>\n')


def hourglass(fill_top, fill_bottom):
    return ('<path d="M-10,-16 H10 M-10,16 H10" stroke="%s" stroke-width="3"/>'
            '<path d="M-8,-15 Q-8,-3 0,0 Q-8,3 -8,15 H8 Q8,3 0,0 Q8,-3 8,-15 Z" fill="#e8f4f8" '
            'stroke="%s" stroke-width="1.2"/>'
            '<path d="M-6,-13 H6 Q5,-5 0,-1 Q-5,-5 -6,-13 Z" fill="%s" opacity="%s"/>'
            '<path d="M-6,14 Q0,%s 6,14 Z" fill="#e0b050" opacity="%s"/>\n'
            % (WOOD, INK, "#e0b050", fill_top, f(14 - 10 * fill_bottom), "1" if fill_bottom else "0"))


def emblem_time_to_spare():
    return hourglass("1", 0.2)


def stopwatch(hand_angle, label, rim=INK):
    a = math.radians(hand_angle - 90)
    return ('<circle cx="0" cy="3" r="14" fill="%s" stroke="%s" stroke-width="2"/>'
            '<rect x="-3" y="-16" width="6" height="5" fill="%s"/>'
            '<line x1="0" y1="3" x2="%s" y2="%s" stroke="#b03a2e" stroke-width="2"/>\n'
            % (CREAM, rim, rim, f(11 * math.cos(a)), f(3 + 11 * math.sin(a))) +
            text(0, 13, 8, INK, label, TEXT_FONT, "bold"))


def emblem_quick_start():
    return stopwatch(30, "5s")


def emblem_bonus_hunter():
    out = ""
    for k, (x, y) in enumerate(((-10, 6), (10, 6), (0, -8))):
        out += star(x, y, 10, "#ffc83a", INK)
    return out + text(0, 19, 9, INK, "x10", TEXT_FONT, "bold")


def building(lit_rows, body="#6b5a8a", lit="#ffd966", flag=False, rows=5):
    out = '<rect x="-11" y="-16" width="22" height="32" fill="%s" stroke="%s" stroke-width="1.2"/>\n' % (body, INK)
    for row in range(rows):
        y = 10 - row * 6
        for col in range(3):
            on = row < lit_rows
            out += '<rect x="%s" y="%s" width="4" height="4" fill="%s"/>' % (
                f(-8 + col * 6), f(y), lit if on else "#2b2d3c")
    out += "\n"
    if flag:
        out += ('<line x1="0" y1="-16" x2="0" y2="-24" stroke="%s" stroke-width="1.2"/>'
                '<path d="M0,-24 L8,-21 L0,-18 Z" fill="#b03a2e"/>\n' % INK)
    return out


def emblem_moving_up():
    return building(1) + '<path d="M15,6 L15,-10 M11,-6 L15,-11 L19,-6" stroke="#2e7d32" stroke-width="2.4" fill="none"/>\n'


def emblem_halfway():
    return building(3) + text(0, 22, 7, INK, "10", TEXT_FONT, "bold")


def emblem_top_of_house():
    return building(5, flag=True)


def emblem_speed_freak():
    return ('<path d="M4,-18 L-10,3 L-1,3 L-5,18 L10,-4 L1,-4 Z" fill="#ffd23f" stroke="%s" '
            'stroke-width="1.3"/>\n' % INK)


def emblem_rec_room():
    # A billiard ball and a die: the games of the rec room.
    return ('<circle cx="-6" cy="4" r="10" fill="#1b1b1b"/><circle cx="-6" cy="4" r="4.5" fill="%s"/>'
            % CREAM + text(-6, 7, 7, INK, "8", TEXT_FONT, "bold") +
            '<rect x="3" y="-15" width="14" height="14" rx="2" fill="%s" stroke="%s" stroke-width="1.2"/>'
            '<circle cx="7" cy="-11" r="1.5" fill="%s"/><circle cx="10" cy="-8" r="1.5" fill="%s"/>'
            '<circle cx="13" cy="-5" r="1.5" fill="%s"/>\n' % (CREAM, INK, INK, INK, INK))


def emblem_house_champion():
    return ('<path d="M-14,8 L-14,-10 L-7,-2 L0,-14 L7,-2 L14,-10 L14,8 Z" fill="#ffd23f" '
            'stroke="%s" stroke-width="1.3"/>' % INK + text(0, 6, 11, "#b03a2e", "1", TEXT_FONT, "bold") +
            '<rect x="-14" y="9" width="28" height="5" fill="#ffd23f" stroke="%s" stroke-width="1"/>\n' % INK)


def emblem_high_roller():
    out = ""
    colours = ("#b03a2e", "#1f6f78", "#2e7d32", "#1b1b1b", "#7a1f2b")
    for k, colour in enumerate(colours):
        y = 12 - k * 5
        out += ('<ellipse cx="0" cy="%s" rx="12" ry="4" fill="%s" stroke="%s" stroke-width="1"/>'
                % (f(y), colour, CREAM))
    return out + text(0, -12, 8, INK, "5", TEXT_FONT, "bold") + "\n"


def emblem_combo():
    out = ""
    for k in range(3):
        x = -12 + k * 12
        out += ('<ellipse cx="%s" cy="%s" rx="7" ry="4.5" fill="none" stroke="%s" stroke-width="2.6" '
                'transform="rotate(-30 %s %s)"/>' % (f(x), f(6 - k * 6), INK, f(x), f(6 - k * 6)))
    return out + '<path d="M10,-16 L14,-10 M16,-14 L12,-18" stroke="#ff7a00" stroke-width="2"/>\n'


def emblem_big_score():
    return (text(0, 2, 13, "#b03a2e", "100K", TEXT_FONT, "bold") +
            '<path d="M-16,8 H16" stroke="%s" stroke-width="2"/>' % INK +
            star(0, -12, 6, "#ffc83a", INK))


def emblem_silver_building():
    return building(5, body="#c0c6cc", lit="#ffffff") + star(12, -14, 6, "#dfe3e6", INK)


def emblem_golden_building():
    return building(5, body="#d4af37", lit="#fff3b0") + star(12, -14, 6, "#ffd23f", INK)


def emblem_pairs():
    return (tile(-14, -12, w=11, h=15) + tile(-10, -8, w=11, h=15) +
            tile(3, -12, w=11, h=15) + tile(7, -8, w=11, h=15) +
            text(0, 18, 8, INK, "10K", TEXT_FONT, "bold"))


def emblem_double_take():
    circle = lambda x: '<circle cx="%s" cy="0" r="3.5" fill="none" stroke="#1f6f78" stroke-width="1.6"/>' % f(x)
    return (tile(-14, -9, w=12, h=17, mark=circle(-8)) + tile(2, -9, w=12, h=17, mark=circle(8)) +
            '<path d="M-6,13 Q0,18 6,13" stroke="#2e7d32" stroke-width="1.8" fill="none"/>\n')


def emblem_close_call():
    return stopwatch(350, "0:01", rim="#b03a2e") + '<path d="M-17,-12 L-13,-8 M17,-12 L13,-8" stroke="#b03a2e" stroke-width="2"/>\n'


def emblem_well_stocked():
    bulb = ('<circle cx="-6" cy="-4" r="8" fill="#fff3b0" stroke="%s" stroke-width="1.2"/>'
            '<rect x="-9" y="4" width="6" height="5" fill="%s"/>' % (INK, "#8d969e"))
    shuffle = ('<path d="M3,6 C9,6 9,-6 16,-6 M3,-6 C9,-6 9,6 16,6" stroke="%s" stroke-width="2" fill="none"/>'
               '<path d="M14,-9 L17,-6 L14,-3 M14,3 L17,6 L14,9" stroke="%s" stroke-width="1.6" fill="none"/>\n'
               % (INK, INK))
    return bulb + shuffle + text(0, 19, 7, INK, "FULL", TEXT_FONT, "bold")


# Index: (emblem, metal), in the order of the trophy file.
TROPHIES = [
    (emblem_steady_hand, "silver"),
    (emblem_split, "bronze"),
    (emblem_time_to_spare, "bronze"),
    (emblem_quick_start, "bronze"),
    (emblem_bonus_hunter, "silver"),
    (emblem_moving_up, "bronze"),
    (emblem_halfway, "silver"),
    (emblem_top_of_house, "gold"),
    (emblem_speed_freak, "silver"),
    (emblem_rec_room, "silver"),
    (emblem_house_champion, "gold"),
    (emblem_high_roller, "gold"),
    (emblem_combo, "silver"),
    (emblem_big_score, "gold"),
    (emblem_silver_building, "silver"),
    (emblem_golden_building, "gold"),
    (emblem_pairs, "gold"),
    (emblem_double_take, "bronze"),
    (emblem_close_call, "bronze"),
    (emblem_well_stocked, "silver"),
]


GREY_FILTER = ('<filter id="grey"><feColorMatrix type="saturate" values="0"/></filter>\n')


def metal_defs(metal):
    light, mid, dark = METALS[metal]
    return ('<linearGradient id="metal" x1="0" y1="0" x2="1" y2="0">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.35" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient>\n' % (mid, light, dark))


def statuette(index, unclaimed):
    """A medallion held up by a column on a two-step plinth, in the trophy's metal; the
    unclaimed form is its dark silhouette with the emblem faint and grey."""
    emblem, metal = TROPHIES[index]
    _, _, dark = METALS[metal]
    fill = "#3a3530" if unclaimed else "url(#metal)"
    edge = "#25211d" if unclaimed else dark
    cx = SMALL_W / 2
    body = ('<g stroke="%s" stroke-width="1.5">'
            '<rect x="%s" y="70" width="56" height="11" rx="2" fill="%s"/>'
            '<rect x="%s" y="62" width="40" height="9" rx="2" fill="%s"/>'
            '<path d="M%s,62 L%s,46 L%s,46 L%s,62 Z" fill="%s"/>'
            '<path d="M%s,48 Q%s,40 %s,38 L%s,38 Q%s,40 %s,48 Z" fill="%s"/>'
            '<circle cx="%s" cy="22" r="21" fill="%s"/></g>\n'
            % (edge, f(cx - 28), fill, f(cx - 20), fill,
               f(cx - 6), f(cx - 4), f(cx + 4), f(cx + 6), fill,
               f(cx - 12), f(cx - 10), f(cx - 6), f(cx + 6), f(cx + 10), f(cx + 12), fill,
               f(cx), fill))
    if unclaimed:
        # The emblem shows faintly, in grey, engraved in the dark medallion.
        body += ('<circle cx="%s" cy="22" r="16" fill="#2a2622"/>' % f(cx) +
                 '<g transform="translate(%s 22) scale(0.72)" filter="url(#grey)" '
                 'opacity="0.35">\n%s</g>\n' % (f(cx), emblem()))
        # A plate on the plinth, blank until won.
        body += '<rect x="%s" y="73" width="30" height="5" fill="#2a2622"/>\n' % f(cx - 15)
        return body
    body += ('<circle cx="%s" cy="22" r="16" fill="%s" stroke="%s" stroke-width="1"/>\n'
             % (f(cx), CREAM, dark))
    body += ('<g transform="translate(%s 22) scale(0.72)">\n%s</g>\n' % (f(cx), emblem()))
    body += ('<path d="M%s,8 Q%s,4 %s,10" stroke="#ffffff" stroke-width="2" fill="none" '
             'opacity="0.7"/>\n' % (f(cx - 14), f(cx - 8), f(cx - 3)))
    body += '<rect x="%s" y="73" width="30" height="5" fill="%s"/>\n' % (f(cx - 15), CREAM)
    return body


def trophy_small(index, unclaimed=False):
    def make(_):
        defs = GREY_FILTER if unclaimed else metal_defs(TROPHIES[index][1])
        return svg(SMALL_W, SMALL_H, statuette(index, unclaimed), defs)
    return make


def trophy_large(index):
    def make(_):
        w, h = SMALL_W * LARGE_SCALE, SMALL_H * LARGE_SCALE
        body = '<g transform="scale(%d)">\n%s</g>\n' % (LARGE_SCALE, statuette(index, False))
        return svg(w, h, body, metal_defs(TROPHIES[index][1]))
    return make


def window_top(floor):
    return GROUND_ROW_Y - ROW_STEP * (floor - 1)


def background(_):
    defs = ('<linearGradient id="wall" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#4a2c18"/><stop offset="1" stop-color="#24140a"/>'
            '</linearGradient>'
            '<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#141638"/><stop offset="1" stop-color="%s"/>'
            '</linearGradient>'
            '<linearGradient id="plank" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#8a5a32"/><stop offset="1" stop-color="#4e2f17"/>'
            '</linearGradient>\n' % DUSK)
    body = '<rect width="800" height="600" fill="url(#wall)"/>\n'
    # Wood grain on the wall.
    for k in range(0, 800, 16):
        body += '<line x1="%d" y1="0" x2="%d" y2="600" stroke="#000" stroke-opacity="0.08"/>' % (k, k)
    body += "\n"
    # The shelves: two columns each side, five rows; a plank under each trophy.
    for side_left in (10, 530):
        body += ('<rect x="%d" y="52" width="260" height="500" fill="#1c0f07" stroke="%s" '
                 'stroke-width="4"/>\n' % (side_left, BRASS))
        for row_y in ROWS:
            body += ('<rect x="%d" y="%d" width="252" height="9" fill="url(#plank)"/>'
                     % (side_left + 4, row_y + 42))
        body += "\n"
    # The night sky behind the building, and the building with its rows of windows.
    body += '<rect x="280" y="10" width="240" height="530" fill="url(#sky)"/>\n'
    for k, (x, y) in enumerate(((300, 20), (505, 60), (360, 16), (440, 28), (285, 90))):
        body += '<circle cx="%d" cy="%d" r="1.2" fill="#fff4d6"/>' % (x, y)
    body += "\n"
    left, right = 290, 516
    top = window_top(FLOORS) - 10
    body += ('<rect x="%d" y="%d" width="%d" height="%d" fill="#5a4a6e" stroke="%s" '
             'stroke-width="2"/>\n' % (left, top, right - left, 516 - top, INK))
    # The lift shaft between rooms 2 and 3, the stairs between rooms 3 and 4.
    body += ('<rect x="350" y="%d" width="36" height="%d" fill="#4a3d5c"/>'
             '<rect x="420" y="%d" width="36" height="%d" fill="#4a3d5c"/>\n'
             % (top + 4, 510 - top - 4, top + 4, 510 - top - 4))
    # The roof under the top edge of the picture: the cornice, the lift's machine house over
    # the shaft and the rail of the roof garden.
    body += ('<rect x="%d" y="%d" width="%d" height="6" fill="%s"/>'
             % (left - 6, top - 6, right - left + 12, BRASS))
    body += ('<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="%s" stroke-width="1.5"/>'
             % (left, top - 11, right, top - 11, BRASS))
    for post in range(left + 2, right, 14):
        body += ('<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="%s"/>'
                 % (post, top - 11, post, top - 6, BRASS))
    body += ('<rect x="352" y="%d" width="32" height="10" fill="#5a4a6e" stroke="%s"/>'
             '<rect x="362" y="%d" width="12" height="6" fill="#232437"/>'
             % (top - 16, INK, top - 12))
    body += "\n"
    # The name runs down a sign on the lift shaft, below the roof and the room box over it.
    body += ('<rect x="357" y="%d" width="22" height="92" rx="3" fill="#2b1a0e" stroke="%s" '
             'stroke-width="2"/>\n' % (top + 22, BRASS))
    for k, letter in enumerate("QUOVEL"):
        body += text(368, top + 37 + 14 * k, 12, BRASS, letter, TEXT_FONT, "bold")
    for floor in range(1, FLOORS + 1):
        y = window_top(floor)
        for x in ROOM_LEFT:
            body += ('<rect x="%d" y="%d" width="%d" height="%d" fill="#232437" '
                     'stroke="#16161f" stroke-width="1"/>' % (x, y, WINDOW, WINDOW))
        body += "\n"
    # The entrance and the street.
    body += ('<rect x="386" y="514" width="34" height="26" fill="#2b1a0e" stroke="%s" '
             'stroke-width="2"/>\n' % BRASS)
    body += '<rect x="280" y="540" width="240" height="12" fill="#3d3d45"/>\n'
    # The legend's two sample windows (the labels beside them are texts of the dialog).
    body += ('<rect x="20" y="562" width="20" height="20" fill="#ffd966" stroke="%s"/>'
             '<rect x="100" y="562" width="20" height="20" fill="#ffd966" stroke="%s"/>'
             % (INK, INK) + star(110, 572, 8, "#d4af37", INK))
    return svg(800, 600, body, defs)


def window(starred):
    def make(_):
        body = ('<rect x="0.5" y="0.5" width="19" height="19" fill="#ffd966" stroke="#6e4f00"/>'
                '<rect x="2" y="2" width="16" height="16" fill="#ffe9a0"/>'
                '<line x1="10" y1="2" x2="10" y2="18" stroke="#c9a13a"/>'
                '<line x1="2" y1="10" x2="18" y2="10" stroke="#c9a13a"/>\n')
        if starred:
            body += star(10, 10, 8.5, GOLD, INK)
        return svg(WINDOW, WINDOW, body)
    return make


# The cup is drawn in its top CUP_ART rows; the rows below stay empty, because the arcade
# places the ship's bottom edge 25 pixels below the screen, and the whole cup must show, also
# while it swells by a tenth at each shot.
CUP_W, CUP_H, CUP_ART = 80, 98, 70


def gold_cup(_):
    defs = metal_defs("gold")
    _, _, dark = METALS["gold"]
    cx = CUP_W / 2
    body = ('<g stroke="%s" stroke-width="1.5">'
            # The handles behind the bowl.
            '<path d="M18,11 C3,10 3,31 22,32" fill="none" stroke="%s" stroke-width="7"/>'
            '<path d="M62,11 C77,10 77,31 58,32" fill="none" stroke="%s" stroke-width="7"/>'
            '<path d="M18,11 C3,10 3,31 22,32" fill="none" stroke="url(#metal)" '
            'stroke-width="4"/>'
            '<path d="M62,11 C77,10 77,31 58,32" fill="none" stroke="url(#metal)" '
            'stroke-width="4"/>'
            # The bowl, its rim, the stem with a knot and the two-step plinth.
            '<path d="M15,6 L65,6 C65,29 55,39 40,41 C25,39 15,29 15,6 Z" fill="url(#metal)"/>'
            '<ellipse cx="%s" cy="6" rx="25" ry="4.5" fill="#fff3b0"/>'
            '<path d="M36,40 L44,40 L47,54 L33,54 Z" fill="url(#metal)"/>'
            '<ellipse cx="%s" cy="47" rx="7" ry="3" fill="url(#metal)"/>'
            '<rect x="25" y="54" width="30" height="6" rx="1.5" fill="url(#metal)"/>'
            '<rect x="18" y="60" width="44" height="%s" rx="2" fill="url(#metal)"/></g>\n'
            % (dark, dark, dark, f(cx), f(cx), f(CUP_ART - 61)))
    body += star(cx, 21, 9, "#fff3b0", dark)
    body += ('<path d="M21,11 Q22,25 30,33" stroke="#ffffff" stroke-width="2.5" fill="none" '
             'opacity="0.6"/>\n')
    body += '<rect x="29" y="63" width="22" height="5" fill="%s"/>\n' % CREAM
    return svg(CUP_W, CUP_H, body, defs)


def banner(_):
    defs = ('<linearGradient id="ribbon" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#c0392b"/><stop offset="1" stop-color="#7a1f2b"/>'
            '</linearGradient>\n')
    body = ('<path d="M0,18 L40,18 L40,62 L0,62 L14,40 Z" fill="#7a1f2b"/>'
            '<path d="M420,18 L380,18 L380,62 L420,62 L406,40 Z" fill="#7a1f2b"/>'
            '<rect x="30" y="6" width="360" height="52" rx="4" fill="url(#ribbon)" stroke="%s" '
            'stroke-width="3"/>\n' % GOLD)
    body += star(62, 32, 13, "#ffd23f", INK) + star(358, 32, 13, "#ffd23f", INK)
    body += text(210, 44, 30, CREAM, "New Trophy!", TEXT_FONT, "bold")
    return svg(420, 66, body, defs)


# 28 pixels: the arcade's bomb star hits with its picture less 10 pixels on each side.
STAR_SIZE = 28


def fountain_star(_):
    defs = ('<radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">'
            '<stop offset="0" stop-color="#ffffff" stop-opacity="0.95"/>'
            '<stop offset="1" stop-color="#ff9f1c" stop-opacity="0"/></radialGradient>\n')
    half = STAR_SIZE / 2
    body = ('<circle cx="%s" cy="%s" r="%s" fill="url(#glow)"/>' % (f(half), f(half), f(half)) +
            star(half, half, 10, "#fff3b0", "#ff9f1c"))
    return svg(STAR_SIZE, STAR_SIZE, body, defs)


def panel_plate(_):
    body = ('<path d="M1,10 L11,1 L109,1 L119,10 L109,19 L11,19 Z" fill="%s" stroke="%s" '
            'stroke-width="2"/>' % (BRASS, WOOD) + star(60, 10, 7.5, "#fff3b0", WOOD))
    return svg(120, 20, body)


def panel_foot(_):
    body = ('<path d="M0,0 L60,0 L50,10 L10,10 Z" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            % (BRASS, WOOD))
    return svg(60, 10, body)


# The thin frame of the cabinet's text boxes: 6-pixel pieces, dark wood with a brass line
# inside, rounded outer corners; the paper is the painter's centre colour.
FRAME = 6


def info_corner(flip_x, flip_y):
    def make(_):
        transform = "translate(%d %d) scale(%d %d)" % (
            FRAME if flip_x else 0, FRAME if flip_y else 0, -1 if flip_x else 1, -1 if flip_y else 1)
        body = ('<g transform="%s"><path d="M0,6 L0,4 Q0,0 4,0 L6,0 L6,6 Z" fill="%s"/>'
                '<path d="M4.5,6 L4.5,5.5 Q4.5,4.5 5.5,4.5 L6,4.5" stroke="%s" fill="none"/>'
                '</g>\n' % (transform, WOOD, BRASS))
        return svg(FRAME, FRAME, body)
    return make


def info_edge(horizontal, far):
    def make(_):
        w, h = (1, FRAME) if horizontal else (FRAME, 1)
        line = FRAME - 1.5 if not far else 1.5
        if horizontal:
            body = ('<rect width="1" height="6" fill="%s"/><rect y="%s" width="1" height="1" '
                    'fill="%s"/>\n' % (WOOD, f(line - 0.5), BRASS))
        else:
            body = ('<rect width="6" height="1" fill="%s"/><rect x="%s" width="1" height="1" '
                    'fill="%s"/>\n' % (WOOD, f(line - 0.5), BRASS))
        return svg(w, h, body)
    return make


def outputs():
    out = {
        "images/trophy/background.svg": background,
        "images/trophy/window_light.svg": window(False),
        "images/trophy/window_star.svg": window(True),
        "images/trophy/trophy_gold.svg": gold_cup,
        "images/trophy/won_header.svg": banner,
        "images/trophy/trophy_star.svg": fountain_star,
        "images/trophy/panel_plate.svg": panel_plate,
        "images/trophy/panel_foot.svg": panel_foot,
        "images/trophy/info_tl.svg": info_corner(False, False),
        "images/trophy/info_tr.svg": info_corner(True, False),
        "images/trophy/info_bl.svg": info_corner(False, True),
        "images/trophy/info_br.svg": info_corner(True, True),
        "images/trophy/info_t.svg": info_edge(True, False),
        "images/trophy/info_b.svg": info_edge(True, True),
        "images/trophy/info_l.svg": info_edge(False, False),
        "images/trophy/info_r.svg": info_edge(False, True),
    }
    for i in range(len(TROPHIES)):
        out["images/trophy/trophy_%02d.svg" % i] = trophy_small(i)
        out["images/trophy/trophy_%02d_unclaimed.svg" % i] = trophy_small(i, True)
        out["images/trophy/trophy_%02d_large.svg" % i] = trophy_large(i)
    return out


if __name__ == "__main__":
    sys.exit(run(outputs(), sys.argv))
