#!/usr/bin/env python3
"""The elevator (800 x 600): the brushed-steel cabin with the host and the button panel, the
24 stop buttons (four frames one below the other, as the buttons cut them: normal, hover, pressed,
disabled), the amber floor
strip (24 cells, the roof at the top) and its window, the two doors, the host's finger snap
(15 frames), his blinking eyelids, the speech balloon, the glow of a newly opened button and
the shine masks of the floor and room buttons.

The positions the scene definition uses are written here too, in PANEL."""

import math
import sys

from artlib import PALETTE, TEXT_FONT, f, run, svg, text

STEEL = PALETTE["steel"]
AMBER = PALETTE["amber"]
DARK_STEEL = "#4a5158"
DEEP = "#23272b"
INK = PALETTE["ink"]
JACKET = "#7a1f2b"
BRASS = PALETTE["brass"]
SKIN = "#e3b68c"

FLOOR_BUTTON = 48
ROOM_W, ROOM_H = 96, 34
STRIP_W, CELL_H = 112, 48
DISPLAY_W, DISPLAY_H = 112, 56
SNAP = 96
SNAP_FRAMES = 15
GLOW = 72
GLOW_FRAMES = 4
# The balloon ends 10 pixels short of the button panel (x 556) at the definition's x 256.
BALLOON_W, BALLOON_H = 290, 120
# The button panel stands on the wall between the ceiling and the floor, its rim clear of the
# 20-pixel edge (from x 780) that the open right door leaves on the screen.
PANEL_X, PANEL_Y, PANEL_W, PANEL_H = 556, 52, 218, 480
# A rivet 10 pixels in from each corner, clear of the buttons.
RIVET_INSET = 10

# The four frames differ in light only: normal, hover (brighter rim), pressed (sunk and lit),
# disabled (grey).
FRAMES = [
    {"face": "#b9c0c6", "rim": "#6d757c", "label": INK, "glow": None, "dy": 0},
    {"face": "#d3d9de", "rim": AMBER, "label": INK, "glow": AMBER, "dy": 0},
    {"face": "#a4abb1", "rim": AMBER, "label": "#5a2c00", "glow": AMBER, "dy": 1},
    {"face": "#8a8f93", "rim": "#74797d", "label": "#5d6265", "glow": None, "dy": 0},
]


def steel_gradient(name, light="#c3c9ce", dark="#7d858c", horizontal=True):
    x2, y2 = ("1", "0") if horizontal else ("0", "1")
    return ('<linearGradient id="%s" x1="0" y1="0" x2="%s" y2="%s">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.5" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient>\n'
            % (name, x2, y2, dark, light, dark))


def brushed(x, y, w, h, step=3, seed=7, opacity=0.10, vertical=True):
    """Fine lines of a brushed finish."""
    lines = []
    state = seed
    count = int((w if vertical else h) / step)
    for i in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        shade = "#ffffff" if state % 3 else "#000000"
        alpha = opacity * (0.4 + (state % 100) / 100)
        if vertical:
            px = x + i * step + 0.5
            lines.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-opacity="%s"/>'
                         % (f(px), f(y), f(px), f(y + h), shade, f(alpha)))
        else:
            py = y + i * step + 0.5
            lines.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-opacity="%s"/>'
                         % (f(x), f(py), f(x + w), f(py), shade, f(alpha)))
    return "\n".join(lines) + "\n"


def panel_layout():
    """Top-left corners of the stop buttons: floor n and the four rooms."""
    places = {}
    left = PANEL_X + RIVET_INSET
    for n in range(1, 21):
        row = (n - 1) // 4
        col = (n - 1) % 4
        places["BUTTON_FLOOR_%d" % n] = (left + col * 50, 374 - row * 52)
    places["BUTTON_LOBBY"] = (left, 434)
    places["BUTTON_CASINO"] = (left + ROOM_W + 6, 434)
    places["BUTTON_RECROOM"] = (left, 476)
    places["BUTTON_ROOF"] = (left + ROOM_W + 6, 476)
    return places


PANEL = panel_layout()
DISPLAY_AT = (PANEL_X + (PANEL_W - DISPLAY_W) // 2, 80)


def host():
    """The host, a bellhop in a burgundy jacket, standing left of centre."""
    return (
        # Shadow on the floor.
        '<ellipse cx="240" cy="586" rx="110" ry="14" fill="#000" opacity="0.35"/>\n'
        # Legs and shoes.
        '<rect x="196" y="470" width="36" height="112" rx="6" fill="#2b2024"/>\n'
        '<rect x="246" y="470" width="36" height="112" rx="6" fill="#2b2024"/>\n'
        '<ellipse cx="212" cy="584" rx="26" ry="9" fill="#111"/>\n'
        '<ellipse cx="266" cy="584" rx="26" ry="9" fill="#111"/>\n'
        # Jacket.
        '<path d="M170 300 Q240 270 310 300 L322 480 Q240 498 158 480 Z" fill="%s"/>\n'
        '<path d="M240 292 L226 330 L240 480 L254 330 Z" fill="#5e1520"/>\n'
        '<path d="M214 292 L240 330 L266 292 Z" fill="#f6efe0"/>\n'
        '<path d="M232 300 L240 312 L248 300 L240 296 Z" fill="%s"/>\n'
        % (JACKET, INK)
        + "".join('<circle cx="%d" cy="%d" r="4" fill="%s" stroke="#8a6a2c"/>\n'
                  % (x, y, BRASS) for x, y in
                  [(222, 360), (258, 360), (222, 400), (258, 400), (222, 440), (258, 440)])
        + '<path d="M170 300 L158 480 L176 482 Z" fill="#5e1520" opacity="0.6"/>\n'
        # Left arm hanging, white glove.
        '<path d="M172 304 Q146 380 150 452 L172 454 Q176 384 192 320 Z" fill="%s"/>\n'
        '<ellipse cx="160" cy="462" rx="14" ry="16" fill="#f4f1ea" stroke="#cfc8b8"/>\n'
        # Right arm raised toward the snap.
        '<path d="M306 304 Q344 330 352 372 L334 380 Q324 346 296 326 Z" fill="%s"/>\n'
        % (JACKET, JACKET)
        # Epaulettes.
        + '<rect x="166" y="294" width="34" height="10" rx="4" fill="%s"/>\n' % BRASS
        + '<rect x="280" y="294" width="34" height="10" rx="4" fill="%s"/>\n' % BRASS
        # Neck and head.
        + '<rect x="228" y="262" width="24" height="30" fill="%s"/>\n' % SKIN
        + '<ellipse cx="240" cy="226" rx="46" ry="52" fill="%s"/>\n' % SKIN
        + '<ellipse cx="194" cy="232" rx="8" ry="12" fill="%s"/>\n' % SKIN
        + '<ellipse cx="286" cy="232" rx="8" ry="12" fill="%s"/>\n' % SKIN
        # Eyes, brows, nose, moustache and smile.
        + '<ellipse cx="222" cy="222" rx="6" ry="7" fill="#fff"/>\n'
        '<ellipse cx="258" cy="222" rx="6" ry="7" fill="#fff"/>\n'
        '<circle cx="223" cy="223" r="4" fill="#3a2616"/>\n'
        '<circle cx="259" cy="223" r="4" fill="#3a2616"/>\n'
        '<path d="M212 208 Q222 202 232 208" stroke="#5a3a1e" stroke-width="3" fill="none"/>\n'
        '<path d="M248 208 Q258 202 268 208" stroke="#5a3a1e" stroke-width="3" fill="none"/>\n'
        '<path d="M240 226 Q236 240 242 244" stroke="#b98a62" stroke-width="3" fill="none"/>\n'
        '<path d="M222 252 Q240 246 258 252 Q250 258 240 254 Q230 258 222 252 Z" '
        'fill="#6b4526"/>\n'
        '<path d="M226 262 Q240 272 254 262" stroke="#8a3a2a" stroke-width="3" fill="none"/>\n'
        # Cap with a brass band and a peak.
        '<path d="M198 186 Q240 140 282 186 L280 194 L200 194 Z" fill="%s"/>\n' % JACKET
        + '<rect x="199" y="184" width="82" height="8" fill="%s"/>\n' % BRASS
        + '<path d="M198 193 Q240 200 286 193 L284 197 Q240 204 200 197 Z" fill="#2a1016"/>\n'
    )


def cabin(_geometry):
    defs = (steel_gradient("wall", "#aeb5bb", "#6f777e")
            + steel_gradient("panel", "#9aa2a9", "#5d656c")
            + '<linearGradient id="floor" x1="0" y1="0" x2="0" y2="1">'
              '<stop offset="0" stop-color="#3a3f44"/><stop offset="1" stop-color="#1e2225"/>'
              '</linearGradient>\n'
            + '<radialGradient id="lamp" cx="0.5" cy="0" r="0.9">'
              '<stop offset="0" stop-color="%s" stop-opacity="0.55"/>'
              '<stop offset="1" stop-color="%s" stop-opacity="0"/></radialGradient>\n'
            % (PALETTE["light"], PALETTE["light"]))
    body = ['<rect width="800" height="600" fill="url(#wall)"/>\n',
            brushed(0, 40, 800, 500, step=3, seed=11)]
    # Ceiling with its lamp, floor, and a handrail.
    body.append('<rect width="800" height="40" fill="%s"/>\n' % DEEP)
    body.append('<rect x="250" y="8" width="300" height="20" rx="8" fill="%s"/>\n'
                % PALETTE["light"])
    body.append('<rect width="800" height="360" fill="url(#lamp)"/>\n')
    body.append('<rect y="540" width="800" height="60" fill="url(#floor)"/>\n')
    body.append('<rect y="538" width="800" height="4" fill="%s"/>\n' % BRASS)
    body.append('<rect x="20" y="390" width="500" height="10" rx="5" fill="#d8dde1" '
                'stroke="#6d757c"/>\n')
    # Wall seams.
    for x in (140, 400):
        body.append('<line x1="%d" y1="40" x2="%d" y2="538" stroke="#5d656c" stroke-width="2"/>\n'
                    % (x, x))
    body.append(host())
    # The button panel with its display bezel.
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="10" fill="url(#panel)" '
                'stroke="%s" stroke-width="3"/>\n' % (PANEL_X, PANEL_Y, PANEL_W, PANEL_H, DEEP))
    # Faint enough that no stroke of the finish reads as a line a button sits on.
    body.append(brushed(PANEL_X + 4, PANEL_Y + 4, PANEL_W - 8, PANEL_H - 8, step=2, seed=5,
                        opacity=0.05, vertical=False))
    for sx in (PANEL_X + RIVET_INSET, PANEL_X + PANEL_W - RIVET_INSET):
        for sy in (PANEL_Y + RIVET_INSET, PANEL_Y + PANEL_H - RIVET_INSET):
            body.append('<circle cx="%d" cy="%d" r="4" fill="#cfd5da" stroke="#4a5158"/>\n'
                        % (sx, sy))
    dx, dy = DISPLAY_AT
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="8" fill="%s" stroke="%s" '
                'stroke-width="2"/>\n' % (dx - 8, dy - 8, DISPLAY_W + 16, DISPLAY_H + 16, DEEP,
                                          BRASS))
    body.append(text(dx + DISPLAY_W / 2, dy + DISPLAY_H + 24, 12, PALETTE["light"], "FLOOR",
                     family=TEXT_FONT, weight="bold", extra=' letter-spacing="3"'))
    return svg(800, 600, "".join(body), defs)


def stacked(frame, height, body):
    """Frame `frame` of a strip whose frames stand one below the other."""
    return '<g transform="translate(0 %d)">\n%s</g>\n' % (frame * height, body)


def button_face(fx, w, h, frame, label, size, round_face):
    look = FRAMES[frame]
    out = []
    cx, cy = fx + w / 2, h / 2 + look["dy"]
    if look["glow"]:
        out.append('<%s fill="%s" opacity="0.35"/>\n' % (
            ('circle cx="%s" cy="%s" r="%s"' % (f(cx), f(h / 2), f(w / 2 - 1))) if round_face else
            ('rect x="%s" y="1" width="%s" height="%s" rx="9"' % (f(fx + 1), f(w - 2), f(h - 2))),
            look["glow"]))
    if round_face:
        out.append('<circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="3"/>\n'
                   % (f(cx), f(cy), f(w / 2 - 4), look["face"], look["rim"]))
        out.append('<path d="M%s %s A%s %s 0 0 1 %s %s" stroke="#ffffff" stroke-opacity="0.5" '
                   'stroke-width="2" fill="none"/>\n'
                   % (f(cx - w / 2 + 9), f(cy), f(w / 2 - 9), f(w / 2 - 9), f(cx + w / 2 - 9),
                      f(cy)))
    else:
        out.append('<rect x="%s" y="%s" width="%s" height="%s" rx="8" fill="%s" stroke="%s" '
                   'stroke-width="3"/>\n'
                   % (f(fx + 3), f(3 + look["dy"]), f(w - 6), f(h - 6), look["face"], look["rim"]))
    out.append(text(cx, cy + size * 0.36, size, look["label"], label, family=TEXT_FONT,
                    weight="bold"))
    return "".join(out)


def floor_button(n):
    def make(_geometry):
        w = FLOOR_BUTTON
        return svg(w, 4 * w, "".join(stacked(i, w, button_face(0, w, w, i, str(n), 18, True))
                                     for i in range(4)))
    return make


def room_button(label):
    def make(_geometry):
        return svg(ROOM_W, 4 * ROOM_H, "".join(
            stacked(i, ROOM_H, button_face(0, ROOM_W, ROOM_H, i, label, 14, False))
            for i in range(4)))
    return make


def stop_label(stop):
    return {0: "L", 21: "C", 22: "RR", 23: "R"}.get(stop, str(stop))


def floor_numbers(_geometry):
    defs = ('<filter id="glow" x="-20%" y="-20%" width="140%" height="140%">'
            '<feGaussianBlur stdDeviation="2"/></filter>\n')
    body = []
    for k in range(24):
        stop = 23 - k
        y = k * CELL_H + CELL_H / 2 + 13
        label = stop_label(stop)
        body.append(text(STRIP_W / 2, y, 36, AMBER, label, family=TEXT_FONT, weight="bold",
                         extra=' filter="url(#glow)" opacity="0.8"'))
        body.append(text(STRIP_W / 2, y, 36, "#ffd9a0", label, family=TEXT_FONT, weight="bold"))
    return svg(STRIP_W, 24 * CELL_H, "".join(body), defs)


def floor_display(_geometry):
    body = ('<rect width="%d" height="%d" rx="4" fill="#1a0e04"/>\n' % (DISPLAY_W, DISPLAY_H)
            + "".join('<line x1="0" y1="%d" x2="%d" y2="%d" stroke="%s" stroke-opacity="0.07"/>\n'
                      % (y, DISPLAY_W, y, AMBER) for y in range(2, DISPLAY_H, 3)))
    return svg(DISPLAY_W, DISPLAY_H, body)


def door(left):
    def make(_geometry):
        defs = steel_gradient("door", "#c6ccd1", "#80888f")
        edge = 392 if left else 0
        body = ['<rect width="400" height="600" fill="url(#door)"/>\n',
                brushed(0, 0, 400, 600, step=3, seed=3 if left else 9, opacity=0.12),
                '<rect x="%d" width="8" height="600" fill="%s"/>\n' % (edge, DARK_STEEL),
                '<rect x="%d" width="2" height="600" fill="#e9edf0"/>\n'
                % (edge - 2 if left else 8),
                '<rect x="30" y="60" width="340" height="480" rx="6" fill="none" '
                'stroke="#6d757c" stroke-width="3"/>\n',
                '<rect x="32" y="62" width="336" height="476" rx="5" fill="none" '
                'stroke="#e4e8eb" stroke-opacity="0.6"/>\n']
        return svg(400, 600, "".join(body), defs)
    return make


def hand(frame):
    """The right glove in frame `frame` of the snap: fingers press (0-5), snap (6), a burst
    of amber sparks that grows and fades (7-13), rest again (14)."""
    cx, cy = 48, 52
    out = []
    press = min(frame, 5) / 5 if frame < 7 else 0
    # The palm, at the end of the raised sleeve of the cabin picture.
    out.append('<ellipse cx="%s" cy="%s" rx="17" ry="19" fill="#f4f1ea" stroke="#b9b2a2" '
               'stroke-width="1.5"/>\n' % (f(cx - 8), f(cy + 4)))
    # Thumb and middle finger: they meet while pressing, the finger flicks down on the snap.
    thumb_tip = (cx + 10 - 6 * press, cy - 12 + 4 * press)
    out.append('<path d="M%s %s Q%s %s %s %s" stroke="#f4f1ea" stroke-width="9" '
               'stroke-linecap="round" fill="none"/>\n'
               % (f(cx - 2), f(cy + 4), f(cx + 10), f(cy), f(thumb_tip[0]), f(thumb_tip[1])))
    if 6 <= frame <= 13:
        finger = [(cx - 10, cy - 16), (cx - 4, cy + 12)]
    else:
        finger = [(cx - 10, cy - 16), (thumb_tip[0] - 2, thumb_tip[1] - 14 + 6 * press)]
    out.append('<path d="M%s %s L%s %s" stroke="#f4f1ea" stroke-width="9" '
               'stroke-linecap="round"/>\n'
               % (f(finger[0][0]), f(finger[0][1]), f(finger[1][0]), f(finger[1][1])))
    out.append('<path d="M%s %s L%s %s" stroke="#b9b2a2" stroke-width="1" '
               'stroke-linecap="round"/>\n'
               % (f(finger[0][0] + 4), f(finger[0][1] + 2), f(finger[1][0] + 3),
                  f(finger[1][1])))
    if 6 <= frame <= 13:
        t = (frame - 6) / 7
        radius = 14 + 28 * t
        alpha = 1 - t
        for i in range(8):
            a = i * math.pi / 4 + 0.2
            x1, y1 = cx + 8 + math.cos(a) * radius * 0.5, cy - 14 + math.sin(a) * radius * 0.5
            x2, y2 = cx + 8 + math.cos(a) * radius, cy - 14 + math.sin(a) * radius
            out.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="3" '
                       'stroke-linecap="round" stroke-opacity="%s"/>\n'
                       % (f(x1), f(y1), f(x2), f(y2), AMBER, f(alpha)))
    return "".join(out)


def snap_fingers(_geometry):
    return svg(SNAP, SNAP * SNAP_FRAMES,
               "".join(stacked(i, SNAP, hand(i)) for i in range(SNAP_FRAMES)))


def eyelids(_geometry):
    """Three frames of a blink: half shut, shut, half shut; drawn over the host's eyes."""
    body = []
    for frame, shut in enumerate((0.6, 1.0, 0.6)):
        lids = []
        for ex in (12, 48):
            h = 16 * shut
            lids.append('<path d="M%s 2 Q%s 0 %s 2 L%s %s Q%s %s %s %s Z" fill="%s"/>\n'
                        % (f(ex - 8), f(ex), f(ex + 8), f(ex + 8), f(2 + h), f(ex), f(4 + h),
                           f(ex - 8), f(2 + h), SKIN))
            lids.append('<path d="M%s %s Q%s %s %s %s" stroke="#5a3a1e" stroke-width="2" '
                        'fill="none"/>\n' % (f(ex - 8), f(2 + h), f(ex), f(4 + h), f(ex + 8),
                                             f(2 + h)))
        body.append(stacked(frame, 20, "".join(lids)))
    return svg(60, 60, "".join(body))


def balloon(_geometry):
    w, h = BALLOON_W, BALLOON_H - 22
    body = ('<path d="M12 2 H%d Q%d 2 %d 12 V%d Q%d %d %d %d H70 L34 %d L46 %d H12 Q2 %d 2 %d '
            'V12 Q2 2 12 2 Z" fill="%s" stroke="%s" stroke-width="3"/>\n'
            % (w - 12, w - 2, w - 2, h - 10, w - 2, h, w - 12, h, BALLOON_H - 2, h, h, h - 10,
               PALETTE["paper"], PALETTE["wood"]))
    return svg(w, BALLOON_H, body)


def unlock_glow(_geometry):
    defs = ""
    body = []
    for i in range(GLOW_FRAMES):
        defs += ('<radialGradient id="g%d" cx="0.5" cy="0.5" r="0.5">'
                 '<stop offset="%s" stop-color="%s" stop-opacity="0.9"/>'
                 '<stop offset="1" stop-color="%s" stop-opacity="0"/></radialGradient>\n'
                 % (i, f(0.45 + 0.1 * math.sin(i * math.pi / 2)), AMBER, AMBER))
        body.append(stacked(i, GLOW, '<rect width="%d" height="%d" fill="url(#g%d)"/>\n'
                            '<circle cx="%d" cy="%d" r="%s" fill="none" stroke="#fff4d6" '
                            'stroke-opacity="0.7" stroke-width="2"/>\n'
                            % (GLOW, GLOW, i, GLOW // 2, GLOW // 2,
                               f(26 + 2 * math.sin(i * math.pi / 2)))))
    return svg(GLOW, GLOW * GLOW_FRAMES, "".join(body), defs)


def shine_mask(w, h, round_face):
    def make(_geometry):
        shape = ('<circle cx="%s" cy="%s" r="%s" fill="#fff"/>' % (f(w / 2), f(h / 2), f(w / 2 - 4))
                 if round_face else
                 '<rect x="3" y="3" width="%d" height="%d" rx="8" fill="#fff"/>' % (w - 6, h - 6))
        return svg(w, h, shape + "\n")
    return make


def outputs():
    out = {
        "images/elevator/background.svg": cabin,
        "images/elevator/floor_numbers.svg": floor_numbers,
        "images/elevator/floor_display.svg": floor_display,
        "images/elevator/door_left.svg": door(True),
        "images/elevator/door_right.svg": door(False),
        "images/elevator/snap_fingers.svg": snap_fingers,
        "images/elevator/eyelids.svg": eyelids,
        "images/elevator/balloon.svg": balloon,
        "images/elevator/unlock_glow.svg": unlock_glow,
        "images/elevator/shine_mask_floor.svg": shine_mask(FLOOR_BUTTON, FLOOR_BUTTON, True),
        "images/elevator/shine_mask_room.svg": shine_mask(ROOM_W, ROOM_H, False),
        "images/elevator/button_lobby.svg": room_button("Lobby"),
        "images/elevator/button_casino.svg": room_button("Casino"),
        "images/elevator/button_recroom.svg": room_button("Rec Room"),
        "images/elevator/button_roof.svg": room_button("Roof"),
    }
    for n in range(1, 21):
        out["images/elevator/button_floor%d.svg" % n] = floor_button(n)
    return out


if __name__ == "__main__":
    if len(sys.argv) == 2 and sys.argv[1] == "--panel":
        for name, (x, y) in sorted(PANEL.items()):
            print(name, x, y)
        sys.exit(0)
    sys.exit(run(outputs(), sys.argv))
