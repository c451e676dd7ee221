#!/usr/bin/env python3
"""The rec room (800 x 600) in teal and cream: the room with its lamps, dart board and pool
cue rack, the column of five game-type switches on the left (eight frames each: off normal,
over, pressed, disabled, then the same four on), the pieces of the selection glow, the host's
picture, the room's buttons (four frames), the shine mask of a switch, and the layout
preview's panel and entry frame.

The positions the scene and dialog definitions use are listed in PLACES."""

import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text
from elevator import hand, host, stacked

TEAL = PALETTE["teal"]
CREAM = PALETTE["cream"]
DEEP_TEAL = "#123f45"
LIGHT_TEAL = "#3f9aa3"
GLOW = "#bff3f0"
INK = PALETTE["ink"]

SWITCH_W, SWITCH_H = 150, 52
SWITCH_X, SWITCH_Y, SWITCH_STEP = 24, 130, 72
COLUMN_X, COLUMN_W = 184, 16
GLOW_CAP_H, GLOW_MIDDLE_H = 24, 40
GLOW_TOP_Y, GLOW_BOTTOM_Y = 64, 540
FILL_H = 16
HALO_W, HALO_H = 190, 72
# The room's buttons: two narrow ones side by side (Menu the narrower, so that "Trophies" keeps
# clear of its rim), two wide ones below them, in the switch column's width (SWITCH_X to the
# glow groove), clear of the plaque's rim.
MENU_W, TROPHIES_W, WIDE_BUTTON_W, BUTTON_H = 64, 88, 154, 32
# The layout page, below the full-screen frame buttons (0 to 28 high).
PANEL_X, PANEL_Y, PANEL_W, PANEL_H = 210, 32, 580, 556
# The switch column's backing plaque; its rim runs 6 pixels inside.
PLAQUE_X, PLAQUE_Y, PLAQUE_W, PLAQUE_H = 10, 40, 200, 550
SLOT_W, SLOT_H = 168, 128
HOST_W, HOST_H = 260, 440
# Where the lift's definition puts the finger-snap sprite over the cabin (default.xml).
SNAP_X, SNAP_Y = 300, 318

NAMES = ["Classic", "FreeCell", "Split", "Triple", "River"]

PLACES = {
    "SWITCH_%d" % g: (SWITCH_X, SWITCH_Y + g * SWITCH_STEP) for g in range(5)
}
PLACES.update({
    "GLOW_TOP_NORMAL": (COLUMN_X, GLOW_TOP_Y), "GLOW_BOTTOM_NORMAL": (COLUMN_X, GLOW_BOTTOM_Y),
    "GLOW_MIDDLE": (COLUMN_X, 0), "GLOW_BUTTON": (SWITCH_X - 10, 0),
    "GLOW_DIALOG": (PANEL_X - 12, PANEL_Y - 12), "MR_D": (400, 140),
    "DIALOG_LAYOUTPREVIEW": (PANEL_X, PANEL_Y),
})

# Switch frames: light differs, layout does not. The lamp on the left is lit when on.
SWITCH_LOOKS = [
    {"face": CREAM, "rim": TEAL, "label": DEEP_TEAL, "lamp": "#7c8f91", "dy": 0},
    {"face": "#fbf5e6", "rim": LIGHT_TEAL, "label": DEEP_TEAL, "lamp": "#9fb2b4", "dy": 0},
    {"face": "#e5d9bd", "rim": DEEP_TEAL, "label": DEEP_TEAL, "lamp": "#7c8f91", "dy": 1},
    {"face": "#c9c6bf", "rim": "#8c9291", "label": "#7a7d7c", "lamp": "#a3a6a5", "dy": 0},
]


def switch_frame(frame, name):
    look = SWITCH_LOOKS[frame % 4]
    on = frame >= 4
    dy = look["dy"]
    out = ['<rect x="2" y="%d" width="%d" height="%d" rx="10" fill="%s" stroke="%s" '
           'stroke-width="3"/>\n' % (2 + dy, SWITCH_W - 4, SWITCH_H - 4, look["face"], look["rim"])]
    lamp = GLOW if on and frame != 7 else look["lamp"]
    if on and frame != 7:
        out.append('<circle cx="24" cy="%d" r="13" fill="%s" opacity="0.45"/>\n'
                   % (SWITCH_H // 2 + dy, GLOW))
    out.append('<circle cx="24" cy="%d" r="8" fill="%s" stroke="%s" stroke-width="2"/>\n'
               % (SWITCH_H // 2 + dy, lamp, DEEP_TEAL if frame != 7 else "#8c9291"))
    if on and frame != 7:
        out.append('<rect x="2" y="%d" width="%d" height="%d" rx="10" fill="none" stroke="%s" '
                   'stroke-width="2" stroke-opacity="0.9"/>\n'
                   % (5 + dy, SWITCH_W - 4, SWITCH_H - 10, GLOW))
    out.append(text(88, SWITCH_H / 2 + 6 + dy, 17, look["label"], name, family=TEXT_FONT,
                    weight="bold"))
    return "".join(out)


def game_switch(name):
    def make(_geometry):
        return svg(SWITCH_W, 8 * SWITCH_H,
                   "".join(stacked(i, SWITCH_H, switch_frame(i, name)) for i in range(8)))
    return make


BUTTON_LOOKS = [
    {"face": TEAL, "rim": CREAM, "label": CREAM, "dy": 0},
    {"face": LIGHT_TEAL, "rim": "#ffffff", "label": "#ffffff", "dy": 0},
    {"face": DEEP_TEAL, "rim": CREAM, "label": CREAM, "dy": 1},
    {"face": "#7d8a8b", "rim": "#b9bdbc", "label": "#c9ccca", "dy": 0},
]


def room_button(label, width):
    def make(_geometry):
        body = []
        for i, look in enumerate(BUTTON_LOOKS):
            body.append(stacked(i, BUTTON_H,
                                '<rect x="2" y="%d" width="%d" height="%d" rx="8" fill="%s" '
                                'stroke="%s" stroke-width="2"/>\n'
                                % (2 + look["dy"], width - 4, BUTTON_H - 4, look["face"],
                                   look["rim"])
                                + text(width / 2, BUTTON_H / 2 + 5 + look["dy"], 14,
                                       look["label"], label, family=TEXT_FONT, weight="bold")))
        return svg(width, 4 * BUTTON_H, "".join(body))
    return make


def room(_geometry):
    defs = ('<linearGradient id="wall" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
            '</linearGradient>\n' % (LIGHT_TEAL, TEAL)
            + '<radialGradient id="lamp" cx="0.5" cy="0" r="0.8">'
              '<stop offset="0" stop-color="%s" stop-opacity="0.5"/>'
              '<stop offset="1" stop-color="%s" stop-opacity="0"/></radialGradient>\n'
            % (CREAM, CREAM))
    body = ['<rect width="800" height="600" fill="url(#wall)"/>\n']
    # Cream stripes of the wallpaper and a wainscot with a rail.
    for x in range(0, 800, 40):
        body.append('<rect x="%d" y="0" width="14" height="430" fill="%s" opacity="0.12"/>\n'
                    % (x, CREAM))
    body.append('<rect y="430" width="800" height="170" fill="%s"/>\n' % CREAM)
    for x in range(0, 800, 50):
        body.append('<rect x="%d" y="446" width="40" height="140" rx="4" fill="none" '
                    'stroke="%s" stroke-opacity="0.35" stroke-width="2"/>\n' % (x + 5, TEAL))
    body.append('<rect y="424" width="800" height="10" fill="%s"/>\n' % DEEP_TEAL)
    # Two hanging lamps.
    for cx in (300, 620):
        body.append('<line x1="%d" y1="0" x2="%d" y2="40" stroke="%s" stroke-width="3"/>\n'
                    % (cx, cx, DEEP_TEAL))
        body.append('<path d="M%d 40 L%d 40 L%d 70 L%d 70 Z" fill="%s"/>\n'
                    % (cx - 14, cx + 14, cx + 40, cx - 40, DEEP_TEAL))
        body.append('<ellipse cx="%d" cy="240" rx="170" ry="200" fill="url(#lamp)"/>\n' % cx)
    # A dart board and a cue rack on the wall behind the preview.
    body.append('<circle cx="720" cy="130" r="42" fill="%s"/>\n' % INK)
    for r, c in ((36, CREAM), (28, "#b23a3a"), (20, CREAM), (12, TEAL), (5, "#b23a3a")):
        body.append('<circle cx="720" cy="130" r="%d" fill="%s"/>\n' % (r, c))
    body.append('<rect x="260" y="120" width="80" height="12" rx="3" fill="%s"/>\n' % DEEP_TEAL)
    for i in range(4):
        x = 270 + i * 20
        body.append('<line x1="%d" y1="90" x2="%d" y2="420" stroke="#c9a77a" stroke-width="5" '
                    'stroke-linecap="round"/>\n' % (x, x + 4))
    # The switch column's backing plaque and its sign.
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="14" fill="%s" '
                'opacity="0.85"/>\n' % (PLAQUE_X, PLAQUE_Y, PLAQUE_W, PLAQUE_H, DEEP_TEAL))
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="10" fill="none" stroke="%s" '
                'stroke-opacity="0.6" stroke-width="2"/>\n'
                % (PLAQUE_X + 6, PLAQUE_Y + 6, PLAQUE_W - 12, PLAQUE_H - 12, CREAM))
    body.append(text(96, 100, 24, CREAM, "Rec Room", family=TEXT_FONT, weight="bold"))
    # The glow column's dark groove from top to bottom.
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="8" fill="#0b2a2e"/>\n'
                % (COLUMN_X, GLOW_TOP_Y, COLUMN_W, GLOW_BOTTOM_Y + GLOW_CAP_H - GLOW_TOP_Y))
    return svg(800, 600, "".join(body), defs)


def glow_gradient(name, horizontal=True):
    x2, y2 = ("1", "0") if horizontal else ("0", "1")
    return ('<linearGradient id="%s" x1="0" y1="0" x2="%s" y2="%s">'
            '<stop offset="0" stop-color="%s" stop-opacity="0.2"/>'
            '<stop offset="0.5" stop-color="#ffffff" stop-opacity="0.95"/>'
            '<stop offset="1" stop-color="%s" stop-opacity="0.2"/></linearGradient>\n'
            % (name, x2, y2, GLOW, GLOW))


def glow_cap(top):
    def make(_geometry):
        w, h = COLUMN_W, GLOW_CAP_H
        shape = ('<path d="M0 %d L0 10 Q8 0 16 10 L16 %d Z" fill="url(#g)"/>\n' % (h, h) if top
                 else '<path d="M0 0 L0 14 Q8 24 16 14 L16 0 Z" fill="url(#g)"/>\n')
        return svg(w, h, shape, glow_gradient("g"))
    return make


def glow_fill(_geometry):
    return svg(COLUMN_W, FILL_H, '<rect width="%d" height="%d" fill="url(#g)"/>\n'
               % (COLUMN_W, FILL_H), glow_gradient("g"))


def glow_middle(_geometry):
    w, h = COLUMN_W, GLOW_MIDDLE_H
    return svg(w, h, '<rect width="%d" height="%d" fill="url(#g)"/>\n'
               '<ellipse cx="8" cy="20" rx="8" ry="16" fill="#ffffff" opacity="0.9"/>\n'
               % (w, h), glow_gradient("g"))


def glow_button(_geometry):
    defs = ('<radialGradient id="halo" cx="0.5" cy="0.5" r="0.5">'
            '<stop offset="0.55" stop-color="%s" stop-opacity="0.85"/>'
            '<stop offset="1" stop-color="%s" stop-opacity="0"/></radialGradient>\n' % (GLOW, GLOW))
    body = ('<rect x="0" y="0" width="%d" height="%d" rx="30" fill="url(#halo)"/>\n'
            '<rect x="150" y="30" width="%d" height="12" fill="%s" opacity="0.9"/>\n'
            % (HALO_W, HALO_H, HALO_W - 150, GLOW))
    return svg(HALO_W, HALO_H, body, defs)


def glow_dialog(_geometry):
    w, h = PANEL_W + 24, PANEL_H + 24
    defs = ('<filter id="blur" x="-5%" y="-5%" width="110%" height="110%">'
            '<feGaussianBlur stdDeviation="5"/></filter>\n')
    body = ('<rect x="6" y="6" width="%d" height="%d" rx="18" fill="none" stroke="%s" '
            'stroke-width="8" filter="url(#blur)"/>\n' % (w - 12, h - 12, GLOW))
    return svg(w, h, body, defs)


def host_picture(_geometry):
    # The same host as in the elevator, cut out of the cabin's coordinates. The cabin draws the
    # glove of his raised arm as the finger-snap sprite; here it is part of the picture, at rest.
    return svg(HOST_W, HOST_H, '<g transform="translate(-110 -160)">\n%s'
               '<g transform="translate(%d %d)">\n%s</g>\n</g>\n' % (host(), SNAP_X, SNAP_Y, hand(0)))


def shine_mask(_geometry):
    return svg(SWITCH_W, SWITCH_H, '<rect x="3" y="3" width="%d" height="%d" rx="9" '
               'fill="#fff"/>\n' % (SWITCH_W - 6, SWITCH_H - 6))


def preview_panel(_geometry):
    body = ('<rect x="0" y="0" width="%d" height="%d" rx="16" fill="%s"/>\n'
            '<rect x="6" y="6" width="%d" height="%d" rx="12" fill="%s"/>\n'
            '<rect x="14" y="52" width="%d" height="2" fill="%s" opacity="0.5"/>\n'
            % (PANEL_W, PANEL_H, TEAL, PANEL_W - 12, PANEL_H - 12, CREAM, PANEL_W - 28, TEAL))
    return svg(PANEL_W, PANEL_H, body)


SLOT_LOOKS = [("#ffffff", TEAL, 2), ("#ffffff", LIGHT_TEAL, 4), ("#efe6cf", DEEP_TEAL, 4),
              ("#e2ded6", "#9aa09f", 2)]


def slot(_geometry):
    body = []
    for i, (face, rim, width) in enumerate(SLOT_LOOKS):
        body.append(stacked(i, SLOT_H, '<rect x="%s" y="%s" width="%s" height="%s" rx="8" '
                            'fill="%s" stroke="%s" stroke-width="%d"/>\n'
                            % (f(width / 2), f(width / 2), f(SLOT_W - width), f(SLOT_H - width),
                               face, rim, width)))
    return svg(SLOT_W, 4 * SLOT_H, "".join(body))


def outputs():
    out = {
        "images/recroom/background.svg": room,
        "images/recroom/glow_top.svg": glow_cap(True),
        "images/recroom/glow_bottom.svg": glow_cap(False),
        "images/recroom/glow_middle.svg": glow_middle,
        "images/recroom/glow_button.svg": glow_button,
        "images/recroom/glow_dialog.svg": glow_dialog,
        "images/recroom/glow_fill.svg": glow_fill,
        "images/recroom/host.svg": host_picture,
        "images/recroom/shine_mask_gamemode.svg": shine_mask,
        "images/recroom/preview_panel.svg": preview_panel,
        "images/recroom/slot.svg": slot,
        "images/recroom/button_menu.svg": room_button("Menu", MENU_W),
        "images/recroom/button_elevator.svg": room_button("Elevator", WIDE_BUTTON_W),
        "images/recroom/button_customize.svg": room_button("Board &amp; tiles", WIDE_BUTTON_W),
        "images/recroom/button_trophies.svg": room_button("Trophies", TROPHIES_W),
    }
    for g, name in enumerate(NAMES):
        out["images/recroom/switch_%s.svg" % name.lower()] = game_switch(name)
    return out


if __name__ == "__main__":
    if len(sys.argv) == 2 and sys.argv[1] == "--places":
        for name, (x, y) in sorted(PLACES.items()):
            print(name, x, y)
        sys.exit(0)
    sys.exit(run(outputs(), sys.argv))
