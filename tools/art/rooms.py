#!/usr/bin/env python3
"""The casino (green felt and gold) and the roof (a rooftop at dusk), 800 x 600 each: their
backgrounds, high-score boards, choice switches (eight frames one below the other: off normal,
hover, pressed, disabled, then the same four on), the pieces of the glow column that links the
chosen switch to the board, the shine mask of a game-type switch, the croupier who greets the
player, the roof's picture of its two games shown until one is chosen, and the buttons and
difficulty switches both rooms share (four frames one below the other).

The positions the scene definitions use are written in the comments of default.xml; the three
painted spots of the casino's felt (chips, cards, dice) are where its hidden sequence is
clicked."""

import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text

FELT = PALETTE["felt"]
GOLD = PALETTE["gold"]
DUSK = PALETTE["dusk"]
CORAL = PALETTE["coral"]
LIGHT = PALETTE["light"]
INK = PALETTE["ink"]
CREAM = PALETTE["cream"]

BOARD_W, BOARD_H = 372, 320
SWITCH_W, SWITCH_H = 200, 52
DIFF_W, DIFF_H = 100, 36
BUTTON_W, BUTTON_H = 160, 44
START_W, START_H = 180, 52
GLOW_W = 20

# Per theme: body, rim, text and glow colours of the switches and buttons.
THEMES = {
    "casino": {"face": "#14623e", "dark": "#0a3a24", "rim": GOLD, "text": LIGHT, "glow": "#ffe58a"},
    "roof": {"face": "#3b3f7a", "dark": "#1d1f45", "rim": CORAL, "text": LIGHT, "glow": "#ffc59a"},
    "shared": {"face": "#5a3a22", "dark": "#2e1b0e", "rim": PALETTE["brass"], "text": LIGHT,
               "glow": "#ffe0a0"},
}


def gradient(name, top, bottom, horizontal=False):
    x2, y2 = ("1", "0") if horizontal else ("0", "1")
    return ('<linearGradient id="%s" x1="0" y1="0" x2="%s" y2="%s"><stop offset="0" '
            'stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>\n'
            % (name, x2, y2, top, bottom))


def felt_texture(x, y, w, h, seed=3):
    """A faint speckle that reads as cloth."""
    out = []
    state = seed
    for _ in range(int(w * h / 900)):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        px = x + state % w
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        py = y + state % h
        shade = "#ffffff" if state % 2 else "#000000"
        out.append('<circle cx="%d" cy="%d" r="1" fill="%s" opacity="0.05"/>' % (px, py, shade))
    return "\n".join(out) + "\n"


def frame_strip(w, h, frames, body_of):
    """A strip of `frames` frames one below the other; body_of(frame) draws frame `frame` in
    a box of w x h at the origin."""
    parts = []
    for frame in range(frames):
        parts.append('<g transform="translate(0 %d)">\n%s</g>\n' % (frame * h, body_of(frame)))
    return svg(w, h * frames, "".join(parts))


def face(w, h, theme, frame, label, size, on=False):
    """One frame of a button or switch: the state (0 normal, 1 hover, 2 pressed, 3 disabled)
    changes the light, `on` a lit rim and a lamp."""
    t = THEMES[theme]
    state = frame % 4
    fill = {0: t["face"], 1: t["face"], 2: t["dark"], 3: "#6d6d6d"}[state]
    rim = "#9a9a9a" if state == 3 else (t["glow"] if on else t["rim"])
    label_colour = "#cfcfcf" if state == 3 else t["text"]
    dy = 1 if state == 2 else 0
    out = []
    if state == 1 or (on and state != 3):
        out.append('<rect x="1" y="1" width="%d" height="%d" rx="10" fill="%s" opacity="0.45"/>\n'
                   % (w - 2, h - 2, t["glow"]))
    out.append('<rect x="3" y="%d" width="%d" height="%d" rx="8" fill="%s" stroke="%s" '
               'stroke-width="%s"/>\n' % (3 + dy, w - 6, h - 6, fill, rim, "3" if on else "2"))
    out.append('<rect x="7" y="%d" width="%d" height="%s" rx="5" fill="#ffffff" opacity="%s"/>\n'
               % (6 + dy, w - 14, f((h - 12) / 2), "0.10" if state != 2 else "0.04"))
    if on and state != 3:
        out.append('<circle cx="%d" cy="%s" r="5" fill="%s" stroke="%s"/>\n'
                   % (16, f(h / 2 + dy), t["glow"], t["rim"]))
    out.append(text(w / 2 + (6 if on else 0), h / 2 + size * 0.36 + dy, size, label_colour, label,
                    family=TEXT_FONT, weight="bold"))
    return "".join(out)


def switch(w, h, theme, label, size):
    return lambda _g: frame_strip(w, h, 8, lambda fr: face(w, h, theme, fr, label, size,
                                                           on=fr >= 4))


def button(w, h, theme, label, size):
    return lambda _g: frame_strip(w, h, 4, lambda fr: face(w, h, theme, fr, label, size))


def board(theme):
    t = THEMES[theme]
    inner = "#0b3f27" if theme == "casino" else "#202350"
    defs = gradient("b", inner, "#06251a" if theme == "casino" else "#14163a")
    body = ('<rect x="2" y="2" width="%d" height="%d" rx="16" fill="%s"/>\n'
            % (BOARD_W - 4, BOARD_H - 4, t["rim"])
            + '<rect x="8" y="8" width="%d" height="%d" rx="12" fill="url(#b)" stroke="%s" '
              'stroke-width="2"/>\n' % (BOARD_W - 16, BOARD_H - 16, t["dark"]))
    # Corner studs. The rules of the record table are sprites of their own, shown with it.
    for x, y in [(16, 16), (BOARD_W - 16, 16), (16, BOARD_H - 16), (BOARD_W - 16, BOARD_H - 16)]:
        body += '<circle cx="%d" cy="%d" r="4" fill="%s" stroke="%s"/>\n' % (x, y, t["rim"], INK)
    return svg(BOARD_W, BOARD_H, body, defs)


def board_rule(theme):
    """A rule of the record table, under its column headings and under its last row."""
    return lambda _g: svg(BOARD_W - 32, 2, '<rect width="%d" height="2" fill="%s" opacity="0.7"/>\n'
                          % (BOARD_W - 32, THEMES[theme]["rim"]))


def glow_piece(w, h, colour, rounded=True):
    defs = ('<radialGradient id="g" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="%s" '
            'stop-opacity="0.95"/><stop offset="1" stop-color="%s" stop-opacity="0"/>'
            '</radialGradient>\n' % (colour, colour))
    return svg(w, h, '<rect width="%d" height="%d" rx="%d" fill="url(#g)"/>\n'
               % (w, h, min(w, h) // 2 if rounded else 0), defs)


def glow_rail(colour):
    """One slice of the lit column: a bright core with soft edges, repeated downwards."""
    defs = gradient("r", colour, colour, horizontal=True).replace(
        '<stop offset="1"', '<stop offset="0.5" stop-color="#ffffff"/><stop offset="1"')
    return lambda _g: svg(GLOW_W, 4, '<rect x="6" width="8" height="4" fill="url(#r)" '
                          'opacity="0.9"/>\n<rect x="2" width="16" height="4" fill="%s" '
                          'opacity="0.25"/>\n' % colour, defs)


def glow_cap(colour, top):
    y = 4 if top else 0
    return lambda _g: svg(GLOW_W, 12, '<rect x="6" y="%d" width="8" height="8" rx="4" fill="%s"/>'
                          '\n<circle cx="10" cy="6" r="5" fill="#ffffff" opacity="0.6"/>\n'
                          % (y - 2, colour))


def glow_middle(colour):
    # The junction beside the chosen switch, with a small arrow towards the board.
    return lambda _g: svg(GLOW_W, 36, '<rect x="2" y="2" width="16" height="32" rx="8" fill="%s" '
                          'opacity="0.5"/>\n<rect x="6" y="6" width="8" height="24" rx="4" '
                          'fill="#ffffff" opacity="0.85"/>\n<path d="M4 18 L0 14 L0 22 Z" '
                          'fill="%s"/>\n' % (colour, colour))


def glow_ring(w, h, colour, width):
    def draw(_g):
        return svg(w, h, '<rect x="%s" y="%s" width="%s" height="%s" rx="14" fill="none" '
                   'stroke="%s" stroke-width="%d" opacity="0.55"/>\n<rect x="%s" y="%s" '
                   'width="%s" height="%s" rx="12" fill="none" stroke="#ffffff" '
                   'stroke-width="2" opacity="0.5"/>\n'
                   % (f(width / 2), f(width / 2), f(w - width), f(h - width), colour, width,
                      f(width), f(width), f(w - 2 * width), f(h - 2 * width)))
    return draw


def chips(x, y):
    out = []
    for i, colour in enumerate(["#b22222", "#1c3f8f", "#f6efe0", "#b22222", GOLD]):
        cy = y + 48 - i * 7
        out.append('<ellipse cx="%d" cy="%d" rx="24" ry="8" fill="%s" stroke="%s"/>\n'
                   % (x + 30, cy, colour, INK))
        out.append('<ellipse cx="%d" cy="%d" rx="14" ry="4" fill="none" stroke="#ffffff" '
                   'stroke-dasharray="4 3" opacity="0.7"/>\n' % (x + 30, cy))
    return "".join(out)


def cards(x, y):
    out = []
    for i, angle in enumerate((-18, 0, 18)):
        out.append('<g transform="rotate(%d %d %d)"><rect x="%d" y="%d" width="40" height="60" '
                   'rx="4" fill="#fbf7ee" stroke="%s"/><text x="%d" y="%d" font-family="%s" '
                   'font-size="20" fill="%s" text-anchor="middle">%s</text></g>\n'
                   % (angle, x + 30, y + 76, x + 10, y + 12, INK, x + 30, y + 50, TEXT_FONT,
                      "#b22222" if i != 1 else INK, ("A", "K", "Q")[i]))
    return "".join(out)


def dice(x, y):
    out = []
    for dx, dy, pips in ((4, 10, (1, 5, 9)), (32, 20, (1, 3, 7, 9))):
        out.append('<rect x="%d" y="%d" width="26" height="26" rx="5" fill="#fbf7ee" '
                   'stroke="%s"/>\n' % (x + dx, y + dy, INK))
        for p in pips:
            px = x + dx + 6 + ((p - 1) % 3) * 7
            py = y + dy + 6 + ((p - 1) // 3) * 7
            out.append('<circle cx="%d" cy="%d" r="2.2" fill="%s"/>\n' % (px, py, INK))
    return "".join(out)


def casino_background(_g):
    defs = ('<radialGradient id="felt" cx="0.45" cy="0.45" r="0.75"><stop offset="0" '
            'stop-color="#16714a"/><stop offset="1" stop-color="%s"/></radialGradient>\n'
            % "#08301d") + gradient("top", "#2a1a0c", "#140c05")
    body = ['<rect width="800" height="600" fill="url(#felt)"/>\n', felt_texture(0, 48, 800, 552)]
    # The gilded banner along the top.
    body.append('<rect width="800" height="48" fill="url(#top)"/>\n')
    body.append('<rect y="46" width="800" height="3" fill="%s"/>\n' % GOLD)
    # The room's name is the scene's own label (TITLE), between the two diamonds.
    for x in (200, 600):
        body.append('<path d="M%d 24 l8 -8 l8 8 l-8 8 Z" fill="%s"/>\n' % (x - 8, GOLD))
    # A gold rail round the table and the panel behind the game types.
    body.append('<rect x="396" y="56" width="396" height="56" rx="12" fill="#000" '
                'opacity="0.18"/>\n')
    body.append('<rect x="520" y="112" width="264" height="344" rx="14" fill="#000" '
                'opacity="0.18" stroke="%s" stroke-opacity="0.5"/>\n' % GOLD)
    body.append('<rect x="4" y="524" width="792" height="72" rx="10" fill="#000" opacity="0.22" '
                'stroke="%s" stroke-opacity="0.6"/>\n' % GOLD)
    # The three painted spots of the felt.
    body.append(chips(410, 440))
    body.append(cards(300, 400))
    body.append(dice(720, 464))
    return svg(800, 600, "".join(body), defs)


def roof_background(_g):
    defs = (gradient("sky", "#1b1c45", CORAL) +
            '<radialGradient id="sun" cx="0.5" cy="0.5" r="0.5"><stop offset="0" '
            'stop-color="#ffd39a"/><stop offset="1" stop-color="%s" stop-opacity="0"/>'
            '</radialGradient>\n' % CORAL)
    body = ['<rect width="800" height="420" fill="url(#sky)"/>\n']
    body.append('<circle cx="520" cy="390" r="120" fill="url(#sun)"/>\n')
    # Stars in the upper sky.
    state = 9
    for _ in range(40):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        x = state % 800
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        y = state % 160
        body.append('<circle cx="%d" cy="%d" r="1.2" fill="#fff4d6" opacity="0.7"/>\n' % (x, y))
    # The city skyline against the dusk.
    x = 0
    state = 5
    while x < 800:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        w = 30 + state % 50
        h = 60 + (state >> 8) % 140
        body.append('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>\n'
                    % (x, 420 - h, w, h, DUSK))
        for wy in range(420 - h + 8, 410, 14):
            for wx in range(x + 6, x + w - 6, 10):
                state = (state * 1103515245 + 12345) & 0x7FFFFFFF
                if state % 4 == 0:
                    body.append('<rect x="%d" y="%d" width="4" height="6" fill="#ffc46b" '
                                'opacity="0.8"/>\n' % (wx, wy))
        x += w + 2
    # The roof deck, its parapet and a water tank.
    body.append('<rect y="420" width="800" height="180" fill="#3a3550"/>\n')
    body.append('<rect y="410" width="800" height="14" fill="#57506e"/>\n')
    for x in range(0, 800, 40):
        body.append('<rect x="%d" y="424" width="2" height="176" fill="#2b2740"/>\n' % x)
    body.append('<rect x="680" y="300" width="80" height="110" rx="6" fill="#5b4636"/>\n'
                '<path d="M676 300 L720 270 L764 300 Z" fill="#4a382b"/>\n')
    # String lights across the top.
    body.append('<path d="M0 60 Q200 110 400 60 T800 60" stroke="#222" fill="none"/>\n')
    for i in range(16):
        # On the wire: two quadratic halves, sagging then lifting.
        half, t = divmod(i, 8)
        t = (t + 0.5) / 8
        control = 110 if half == 0 else 10
        x = 400 * half + 400 * t
        y = 60 + 2 * (1 - t) * t * (control - 60)
        body.append('<circle cx="%s" cy="%s" r="4" fill="#ffd27a"/>\n' % (f(x), f(y + 5)))
    # The room's name is the scene's own label (TITLE), above the chosen board's halo.
    body.append('<rect x="4" y="524" width="792" height="72" rx="10" fill="#000" opacity="0.25" '
                'stroke="%s" stroke-opacity="0.6"/>\n' % CORAL)
    return svg(800, 600, "".join(body), defs)


def croupier(_g):
    """The casino's host in a waistcoat and bow tie, with a deck of cards."""
    skin = "#e3b68c"
    body = (
        '<ellipse cx="130" cy="232" rx="90" ry="10" fill="#000" opacity="0.3"/>\n'
        '<path d="M50 236 Q60 150 130 140 Q200 150 210 236 Z" fill="#f6efe0"/>\n'
        '<path d="M62 236 Q70 160 112 146 L130 236 Z" fill="#7a1f2b"/>\n'
        '<path d="M198 236 Q190 160 148 146 L130 236 Z" fill="#7a1f2b"/>\n'
        '<path d="M112 150 L130 162 L112 174 Z M148 150 L130 162 L148 174 Z" fill="%s"/>\n'
        '<circle cx="130" cy="162" r="5" fill="%s"/>\n'
        '<rect x="118" y="116" width="24" height="28" fill="%s"/>\n'
        '<ellipse cx="130" cy="86" rx="44" ry="50" fill="%s"/>\n'
        '<path d="M86 78 Q90 30 130 32 Q172 30 176 78 Q160 52 130 56 Q100 52 86 78 Z" '
        'fill="#3a2616"/>\n'
        '<circle cx="114" cy="86" r="4" fill="%s"/><circle cx="146" cy="86" r="4" fill="%s"/>\n'
        '<path d="M112 110 Q130 122 148 110" stroke="#8a3a2a" stroke-width="3" fill="none"/>\n'
        '<path d="M106 74 Q114 70 122 74 M138 74 Q146 70 154 74" stroke="#3a2616" '
        'stroke-width="3" fill="none"/>\n'
        '<g transform="rotate(-12 214 190)"><rect x="196" y="166" width="34" height="48" rx="4" '
        'fill="#fbf7ee" stroke="%s"/><text x="213" y="198" font-family="%s" font-size="18" '
        'fill="#b22222" text-anchor="middle">A</text></g>\n'
        % (INK, GOLD, skin, skin, INK, INK, INK, TEXT_FONT))
    body += text(130, 262, 15, LIGHT, "Pick a game on the right", family=TEXT_FONT, weight="bold")
    return svg(260, 272, body)


def roof_welcome(_g):
    """What the roof's board shows before a choice: a stopwatch for Speed, two tiles turning
    over for Mixed, and where to choose."""
    body = '<ellipse cx="130" cy="232" rx="100" ry="10" fill="#000" opacity="0.3"/>\n'
    # The stopwatch: crown, case, dial, ticks and a hand at speed.
    body += ('<rect x="62" y="70" width="16" height="14" rx="3" fill="%s"/>\n'
             '<rect x="56" y="62" width="28" height="10" rx="4" fill="%s"/>\n'
             '<circle cx="70" cy="150" r="66" fill="%s" stroke="%s" stroke-width="6"/>\n'
             '<circle cx="70" cy="150" r="54" fill="%s"/>\n' % (CORAL, CORAL, DUSK, CORAL, LIGHT))
    for i in range(12):
        body += ('<rect x="68" y="100" width="4" height="%d" fill="%s" '
                 'transform="rotate(%d 70 150)"/>\n' % (12 if i % 3 == 0 else 7, INK, i * 30))
    body += ('<path d="M70 150 L106 118" stroke="%s" stroke-width="5" stroke-linecap="round"/>\n'
             '<circle cx="70" cy="150" r="6" fill="%s"/>\n' % (CORAL, INK))
    # Two tiles, one face up and one turning, with the arrow of the draw between them.
    body += ('<g transform="rotate(-8 178 150)"><rect x="150" y="104" width="52" height="70" '
             'rx="6" fill="%s" stroke="%s" stroke-width="2"/>\n' % (CREAM, INK)
             + text(176, 154, 40, "#b22222", "?", family=TEXT_FONT, weight="bold") + '</g>\n'
             '<g transform="rotate(10 220 176)"><rect x="196" y="134" width="52" height="70" '
             'rx="6" fill="%s" stroke="%s" stroke-width="2"/>\n' % ("#3b3f7a", CORAL)
             + '<rect x="204" y="142" width="36" height="54" rx="3" fill="none" stroke="%s" '
             'stroke-opacity="0.7"/></g>\n' % CORAL)
    body += ('<path d="M156 64 Q200 40 236 86" stroke="%s" stroke-width="5" fill="none" '
             'stroke-linecap="round"/>\n<path d="M240 70 L238 94 L218 84 Z" fill="%s"/>\n'
             % (CORAL, CORAL))
    body += text(130, 262, 15, LIGHT, "Pick a game on the right", family=TEXT_FONT, weight="bold")
    return svg(260, 272, body)


def shine_mask(_g):
    return svg(SWITCH_W, SWITCH_H, '<rect x="3" y="3" width="%d" height="%d" rx="8" fill="#fff"/>\n'
               % (SWITCH_W - 6, SWITCH_H - 6))


OUTPUTS = {
    "images/casino/background.svg": casino_background,
    "images/casino/board.svg": lambda _g: board("casino"),
    "images/casino/board_rule.svg": board_rule("casino"),
    "images/casino/host.svg": croupier,
    "images/casino/glow_fill.svg": glow_rail(GOLD),
    "images/casino/glow_top.svg": glow_cap(GOLD, True),
    "images/casino/glow_bottom.svg": glow_cap(GOLD, False),
    "images/casino/glow_middle.svg": glow_middle(GOLD),
    "images/casino/glow_button.svg": glow_ring(SWITCH_W + 12, SWITCH_H + 12, GOLD, 6),
    "images/casino/glow_dialog.svg": glow_ring(BOARD_W + 16, BOARD_H + 16, GOLD, 8),
    "images/casino/shine_mask_gamemode.svg": shine_mask,
    "images/roof/background.svg": roof_background,
    "images/roof/board.svg": lambda _g: board("roof"),
    "images/roof/board_rule.svg": board_rule("roof"),
    "images/roof/welcome.svg": roof_welcome,
    "images/roof/glow_fill.svg": glow_rail(CORAL),
    "images/roof/glow_top.svg": glow_cap(CORAL, True),
    "images/roof/glow_bottom.svg": glow_cap(CORAL, False),
    "images/roof/glow_middle.svg": glow_middle(CORAL),
    "images/roof/glow_button.svg": glow_ring(SWITCH_W + 12, SWITCH_H + 12, CORAL, 6),
    "images/roof/glow_dialog.svg": glow_ring(BOARD_W + 16, BOARD_H + 16, CORAL, 8),
    "images/roof/switch_speed.svg": switch(SWITCH_W, SWITCH_H, "roof", "Speed", 20),
    "images/roof/switch_mixed.svg": switch(SWITCH_W, SWITCH_H, "roof", "Mixed", 20),
    "images/rooms/switch_normal.svg": switch(DIFF_W, DIFF_H, "shared", "Normal", 15),
    "images/rooms/switch_hard.svg": switch(DIFF_W, DIFF_H, "shared", "Hard", 15),
    "images/rooms/switch_expert.svg": switch(DIFF_W, DIFF_H, "shared", "Expert", 15),
    "images/rooms/button_start.svg": button(START_W, START_H, "shared", "Play", 22),
    "images/rooms/button_menu.svg": button(BUTTON_W, BUTTON_H, "shared", "Menu", 17),
    "images/rooms/button_elevator.svg": button(BUTTON_W, BUTTON_H, "shared", "Elevator", 17),
    "images/rooms/button_trophies.svg": button(BUTTON_W, BUTTON_H, "shared", "Trophies", 17),
    "images/rooms/button_customize.svg": button(BUTTON_W, BUTTON_H, "shared", "Board &amp; tiles", 17),
}
for _type, _label in enumerate(["Classic", "FreeCell", "Split", "Triple", "River"]):
    OUTPUTS["images/casino/switch_%s.svg" % _label.lower()] = switch(
        SWITCH_W, SWITCH_H, "casino", _label, 20)

if __name__ == "__main__":
    sys.exit(run(OUTPUTS, sys.argv))
