"""Shared pieces of the picture generators: the board geometry read from the game's property
file, the palette, SVG helpers and writing a file only when its text changed (so the build
renders again only the pictures whose source changed)."""

import os
import re
import sys

# One building, one palette: warm evening light.
PALETTE = {
    "wood": "#3b2414", "brass": "#c8a25a", "steel": "#8d969e", "amber": "#ffb347",
    "felt": "#0f5132", "gold": "#d4af37", "teal": "#1f6f78", "cream": "#f3e9d2",
    "dusk": "#2b2d5c", "coral": "#f08a5d", "paper": "#f6efe0", "ink": "#2a1c10",
    "light": "#fff4d6",
}

CJK_FONT = "AR PL UKai CN"
TEXT_FONT = "DejaVu Sans"

GEOMETRY_KEYS = (
    "RENDERER_TILE_FACE_WIDTH", "RENDERER_TILE_FACE_HEIGHT", "RENDERER_TILE_SIDE_WIDTH",
    "RENDERER_TILE_SIDE_HEIGHT", "RENDERER_SHADOW_OFFSETX", "RENDERER_SHADOW_OFFSETY",
    "TILE_FACE_WIDTH", "TILE_FACE_HEIGHT", "TILE_WIDTH", "TILE_HEIGHT",
    "PREVIEW_TILE_FACE_WIDTH", "PREVIEW_TILE_FACE_HEIGHT", "PREVIEW_WIDTH", "PREVIEW_HEIGHT",
    "SIDEBOARD_PADDING_X", "SIDEBOARD_PADDING_Y", "SIDEBOARD_SPEED_EXTRA_X",
    "SIDEBOARD_SPEED_EXTRA_Y", "SIDEBOARD_FREECELL_PADDING_X", "SIDEBOARD_FREECELL_PADDING_Y",
)


class Geometry:
    """The integer tuning constants the pictures must agree with."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as f:
            text = f.read()
        values = {}
        for match in re.finditer(r'<Integer\s+id="([A-Z0-9_]+)"\s+value="(-?\d+)"', text):
            values[match.group(1)] = int(match.group(2))
        missing = [key for key in GEOMETRY_KEYS if key not in values]
        if missing:
            sys.exit("art: %s lacks %s" % (path, ", ".join(missing)))
        self.values = values

    def __getattr__(self, name):
        try:
            return self.values[name]
        except KeyError:
            raise AttributeError(name)

    # Short names of the board geometry.
    @property
    def fw(self): return self.RENDERER_TILE_FACE_WIDTH
    @property
    def fh(self): return self.RENDERER_TILE_FACE_HEIGHT
    @property
    def sw(self): return self.RENDERER_TILE_SIDE_WIDTH
    @property
    def sh(self): return self.RENDERER_TILE_SIDE_HEIGHT
    @property
    def sx(self): return self.RENDERER_SHADOW_OFFSETX
    @property
    def sy(self): return self.RENDERER_SHADOW_OFFSETY


def svg(width, height, body, defs=""):
    head = ('<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:xlink="http://www.w3.org/1999/xlink" width="%d" height="%d" '
            'viewBox="0 0 %d %d">\n' % (width, height, width, height))
    if defs:
        head += "<defs>\n%s</defs>\n" % defs
    return head + body + "</svg>\n"


def f(value):
    """A number as short SVG text."""
    text = ("%.2f" % value).rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def text(x, y, size, fill, content, family=CJK_FONT, weight="normal", anchor="middle",
         extra=""):
    return ('<text x="%s" y="%s" font-family="%s" font-size="%s" font-weight="%s" fill="%s" '
            'text-anchor="%s"%s>%s</text>\n'
            % (f(x), f(y), family, f(size), weight, fill, anchor, extra, content))


def write_if_changed(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    try:
        with open(path, encoding="utf-8") as old:
            if old.read() == content:
                return
    except OSError:
        pass
    with open(path, "w", encoding="utf-8") as out:
        out.write(content)


def run(outputs, argv):
    """Command line of a generator whose `outputs` maps each relative SVG name to a function of
    the geometry giving its text: `generator GEOMETRY OUTDIR` writes them all, `generator
    --list` prints the names, one a line."""
    if len(argv) == 2 and argv[1] == "--list":
        for name in sorted(outputs):
            print(name)
        return 0
    if len(argv) != 3:
        sys.exit("usage: %s GEOMETRY.xml OUTDIR | --list" % argv[0])
    geometry = Geometry(argv[1])
    for name, make in outputs.items():
        write_if_changed(os.path.join(argv[2], name), make(geometry))
    return 0
