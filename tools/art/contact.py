#!/usr/bin/env python3
"""Contact sheet of one built tile set: every face of every suit on the built blank tile,
a row per suit, each tile as the board draws it (tile picture, then the face's cell of the
symbol sheet), on the board's wood.

    contact.py GEOMETRY.xml TILE.png SYMBOLS.png SET OUT.svg   (SET counts from 1)

The sheet is an SVG that embeds the built pictures; the build renders it to PNG."""

import base64
import sys

from artlib import PALETTE, TEXT_FONT, Geometry, svg, text, write_if_changed
from tiles import SUIT_NAMES, SUIT_SIZES, TILE_SETS, sheet_cell


def data_uri(path):
    with open(path, "rb") as picture:
        return "data:image/png;base64," + base64.b64encode(picture.read()).decode("ascii")


def main(argv):
    if len(argv) != 6:
        sys.exit("usage: contact.py GEOMETRY.xml TILE.png SYMBOLS.png SET OUT.svg")
    g = Geometry(argv[1])
    tile, symbols = data_uri(argv[2]), data_uri(argv[3])
    title = "Tile set %s: %s" % (argv[4], TILE_SETS[int(argv[4]) - 1]["name"])
    tw, th = g.TILE_FACE_WIDTH, g.TILE_FACE_HEIGHT
    sheet_w, sheet_h = 9 * tw, 5 * (th + 1) - 1
    pitch_x, pitch_y = g.TILE_WIDTH + 8, g.TILE_HEIGHT + 10
    left, top = 86, 40
    width = left + 9 * pitch_x + 10
    height = top + len(SUIT_SIZES) * pitch_y + 8
    body = ['<rect width="%d" height="%d" fill="%s"/>\n' % (width, height, PALETTE["wood"]),
            text(10, 24, 16, PALETTE["light"], title, family=TEXT_FONT, weight="bold",
                 anchor="start")]
    for suit, size in enumerate(SUIT_SIZES):
        y = top + suit * pitch_y
        body.append(text(10, y + th / 2 + 5, 12, PALETTE["light"], SUIT_NAMES[suit],
                         family=TEXT_FONT, anchor="start"))
        for value in range(size):
            x = left + value * pitch_x
            column, row = sheet_cell(suit, value)
            body.append('<use x="%d" y="%d" xlink:href="#tile"/>\n' % (x, y))
            body.append('<svg x="%d" y="%d" width="%d" height="%d" viewBox="%d %d %d %d">'
                        '<use xlink:href="#symbols"/></svg>\n'
                        % (x, y, tw, th, column * tw, row * (th + 1), tw, th))
    defs = ('<image id="tile" width="%d" height="%d" xlink:href="%s"/>\n'
            '<image id="symbols" width="%d" height="%d" xlink:href="%s"/>\n'
            % (g.TILE_WIDTH, g.TILE_HEIGHT, tile, sheet_w, sheet_h, symbols))
    write_if_changed(argv[5], svg(width, height, "".join(body), defs))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
