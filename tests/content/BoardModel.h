#pragma once

#include <random>
#include <vector>

// A layout as the content tests see it: tiles on the 41 x 21 x 7 cell grid with the game's
// free-tile rule and River's path rule, and simulations of the level builders that prove a
// layout can be emptied by each game type.
class BoardModel {
public:
    struct Tile {
        int x, y, z;
    };

    // False when a tile leaves 0..39 x 0..19 x 0..6 or overlaps a tile placed before it.
    bool place(int x, int y, int z);

    int count() const { return static_cast<int>(tiles.size()); }
    int layerCount(int z) const;

    // The classic rule (River widens it by the upper and lower sides).
    bool isFree(int index, bool river) const;
    // Whether River may pair tiles a and b: same layer, joined through empty space by at most
    // three straight segments leaving and entering the tiles through their edges.
    bool connected(int a, int b) const;

    // Removes free tiles `perMatch` at a time at random; true when the board empties. Tries
    // up to `attempts` fresh starts, as the level builder retries.
    bool clearsByFreeGroups(int perMatch, std::mt19937& random, int attempts) const;
    // River's build: from the top layer down, random connected pairs of a layer; true when
    // no layer is left with tiles that no path joins.
    bool clearsByPaths(std::mt19937& random) const;

private:
    int tileAt(int x, int y, int z) const;  // index of the present tile covering the cell, or -1
    bool cellEmpty(int x, int y, int z) const { return tileAt(x, y, z) < 0; }
    // Every tile of the layer reachable from tile a by a River path.
    std::vector<int> reachableFrom(int a) const;

    std::vector<Tile> tiles;
    std::vector<bool> present;
    std::vector<int> grid = std::vector<int>(41 * 21 * 7, -1);
};
