#include "tools/levels/LayoutCatalogue.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <numeric>

namespace levels {

std::string LayoutDesign::textKey() const {
    std::string key = "TEXT_LAYOUT_";
    for (char c : file.substr(0, file.size() - 4)) {
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return key;
}

std::vector<int> dealtKeyCounts(int count, int copies, int groupSize) {
    const int regular = 34;
    const int specialSize = 4;
    std::vector<int> keys(regular + 2, 0);
    int nextSpecial = 0;
    auto specialDeal = [&](int c) {
        if (groupSize < 1) {
            return c;
        }
        const int groups = c / (regular * copies + groupSize);
        for (int i = 0; i < groups; ++i) {
            const int faces = std::max(groupSize, specialSize);
            keys[regular + nextSpecial] += faces;
            nextSpecial = 1 - nextSpecial;
            c -= faces;
        }
        return c;
    };
    auto everyFace = [&](int times, int c) {
        for (int face = 0; face < regular; ++face) {
            keys[face] += times;
        }
        return c - regular * times;
    };
    auto remainderDeal = [&](int c) {
        c = specialDeal(c);
        if (regular * copies <= c) {
            c = everyFace(copies, c);
        }
        if (c > 0) {
            const int picks = std::min(c / copies, regular);
            for (int face = 0; face < picks; ++face) {
                keys[face] += copies;
            }
        }
    };
    const int round = (regular * copies + groupSize) * 2;
    if (count < round) {
        remainderDeal(count);
        return keys;
    }
    while (count >= round) {
        count = everyFace(2 * copies, specialDeal(count));
    }
    if (count > 0) {
        remainderDeal(count);
    }
    return keys;
}

int dealtFaces(int count, int copies, int groupSize) {
    const std::vector<int> keys = dealtKeyCounts(count, copies, groupSize);
    return std::accumulate(keys.begin(), keys.end(), 0);
}

double LayoutDesign::stackingRisk(int copies, int groupSize, int perMatch) const {
    double groups = 0;
    double repeats = 0;
    for (int tiles : dealtKeyCounts(shape.count(), copies, groupSize)) {
        const double g = tiles / perMatch;
        groups += g;
        repeats += g * (g - 1);
    }
    if (groups < 2) {
        return 0;
    }
    return shape.stackContacts() * repeats / (groups * (groups - 1));
}

bool LayoutDesign::fits(GameType type) const {
    int n = shape.count();
    switch (type) {
        case CLASSIC:
            return n % 2 == 0 && dealtFaces(n, 2, 4) == n &&
                   stackingRisk(2, 4, 2) <= MAX_STACKING_RISK;
        case FREE_CELL:
            return n % 2 == 0 && dealtFaces(n, 2, 4) == n;
        case RIVER:
            if (!riverFriendly || n % 2 != 0 || dealtFaces(n, 2, 4) != n) {
                return false;
            }
            for (int z = 0; z < 7; ++z) {
                if (shape.layerCount(z) % 2 != 0) {
                    return false;
                }
            }
            return true;
        case TRIPLE:
            return n % 3 == 0 && dealtFaces(n, 3, 6) == n &&
                   stackingRisk(3, 6, 3) <= MAX_STACKING_RISK;
        case SPLIT:
        case SPEED:
            return n % 2 == 0 && dealtFaces(n, 1, 4) == n;
    }
    return false;
}

namespace {

// A picture given as its left half; the right half is its mirror image.
std::vector<std::string> mirrored(const std::vector<std::string>& half) {
    std::vector<std::string> out;
    for (const std::string& line : half) {
        std::string right(line.rbegin(), line.rend());
        out.push_back(line + right);
    }
    return out;
}

enum class Stack { FLAT, ALIGNED, HALF };

// A picture raised into a shape: flat, or stacked up to `layers` layers.
LayoutShape raise(const std::vector<std::string>& picture, Stack stack, int layers) {
    LayoutShape s;
    s.pattern(picture, 0, 0, 0);
    for (int z = 0; z + 1 < layers; ++z) {
        if (stack == Stack::ALIGNED) {
            s.stackAligned(z);
        } else if (stack == Stack::HALF) {
            s.stackHalf(z);
        }
    }
    return s;
}

// The pictures, drawn as left halves (mirrored) unless named "full".
const std::vector<std::string> BUTTERFLY = {"##....", "####..", "#####.", ".#####",
                                            ".#####", "#####.", "####..", "##...."};
const std::vector<std::string> HEART = {".###..", "#####.", "######", "######",
                                        ".#####", "..####", "...###", "....##"};
const std::vector<std::string> DIAMOND = {"....#", "...##", "..###", ".####", "#####",
                                          ".####", "..###", "...##", "....#"};
const std::vector<std::string> HOURGLASS = {"######", ".#####", "..####", "...###", "....##",
                                            "...###", "..####", ".#####", "######"};
const std::vector<std::string> CROWN = {"#...#..", "##..##.", "##.####",
                                        "#######", "#######", ".######"};
const std::vector<std::string> ARROW = {"....##", "...###", "..####", ".#####", "######",
                                        "...###", "...###", "...###", "...###"};
const std::vector<std::string> TREE = {"....##", "...###", "....##", "..####", "...###",
                                       ".#####", "..####", "######", "....##", "...###"};
const std::vector<std::string> HOUSE = {"....##", "...###", "..####", ".#####",
                                        "######", ".#####", ".##..#", ".##..#"};
const std::vector<std::string> CASTLE = {"#.#......", "###....##", "###.#.###", "#########",
                                         "###..####", "###..####", "#########"};
const std::vector<std::string> FLOWER = {"...##.", "..####", "..####", "##.##.", "######",
                                         "######", "##.##.", "....#.", "...###", "....##"};
const std::vector<std::string> ANCHOR = {".....#", "....##", ".....#", "..####", ".....#",
                                         "#....#", "##...#", ".##..#", "..####", "....##"};
const std::vector<std::string> BELL = {"....##", "...###", "..####", "..####", "..####",
                                       ".#####", ".#####", "######", "......", "....##"};
const std::vector<std::string> BOAT = {".....#", "....##", "...###", "..####",
                                       ".....#", "######", ".#####", "..####"};
const std::vector<std::string> CAT = {"#.....", "##....", "###...", "######", "#.#.##",
                                      "######", "#####.", ".####.", "..####"};
const std::vector<std::string> KEY = {".###..", "#..#..", "#..#..", ".#####", "....#.",
                                      "....#.", "....##", "....#.", "....##"};
const std::vector<std::string> ROCKET = {"....##", "...###", "...###", "...#.#", "...###",
                                         "...###", "..####", ".#####", "##.###", "#...#."};
const std::vector<std::string> MUSHROOM = {"..####", ".#####", "###.##", "######",
                                           "######", "....##", "....##", "...###"};
const std::vector<std::string> LANTERN = {"....##", "..####", ".#####", ".##.##", ".#####",
                                          ".##.##", ".#####", "..####", "....##"};
const std::vector<std::string> TEMPLE = {"....##", "..####", "######", ".#####",
                                         ".#.#.#", ".#.#.#", ".#.#.#", "######"};
const std::vector<std::string> GATE = {"#######", ".######", "..#...#", "#######",
                                       "..#...#", "..#...#", "..#...#", ".###..#"};
const std::vector<std::string> BRIDGE = {"#########", "#########", "###......",
                                         "##.......", "##.......", "##......."};
const std::vector<std::string> SNOWFLAKE = {"#...#.", ".#..#.", "..#.##", "...###", "######",
                                            "######", "...###", "..#.##", ".#..#.", "#...#."};
const std::vector<std::string> FRAME = {"########", "#.......", "#.######", "#.#.....", "#.#.####",
                                        "#.#.####", "#.#.....", "#.######", "#.......", "########"};
const std::vector<std::string> LADDER = {"##....", "######", "##....", "##....", "######",
                                         "##....", "##....", "######", "##...."};
const std::vector<std::string> WAVE = {"##....##..", "###..####.", ".######..#",
                                       "..####....", "..........", "##....##..",
                                       "###..####.", ".######..#", "..####...."};
const std::vector<std::string> OWL = {"#....#", "##..##", "######", "#..#.#", "#..#.#",
                                      "######", "#####.", ".####.", ".###..", "#.#..."};
const std::vector<std::string> SPADE = {"....##", "...###", "..####", ".#####", "######",
                                        "######", ".##.##", "....##", "...###"};
const std::vector<std::string> CLUB = {"...###", "..####", "..####", ".###.#", "######",
                                       "######", ".###.#", "....##", "...###"};
const std::vector<std::string> SHIELD = {"######", "######", "##.###", "######", "######",
                                         ".#####", "..####", "...###", "....##"};
const std::vector<std::string> GOBLET = {"######", "######", ".#####", "..####", "...###",
                                         "....##", "....##", "..####", ".#####"};
const std::vector<std::string> PAGODA = {"....##", "..####", "....##", ".#####", "...###",
                                         "######", "..####", "######", ".#####"};
const std::vector<std::string> MOUNTAINS = {"...#......", "..###.....", ".#####..#.",
                                            "#######.##", "##########", "##########"};
const std::vector<std::string> STAIRS = {"##......", "####....", "######..", "########",
                                         "######..", "####....", "##......"};
const std::vector<std::string> ISLANDS = {"###.......", "###...##..", ".#...####.",
                                          "....#####.", "##...###..", "###.......",
                                          "###...###.", ".....#####", "......###."};
const std::vector<std::string> DRAGON = {"##......##", ".##....###", "..#######.", "...######.",
                                         ".########.", "#########.", "##.#######", "#...####..",
                                         "....###...", "...##....."};
const std::vector<std::string> STAR = {".....#", "....##", "...###", "######", ".#####",
                                       "..####", "..####", ".###.#", ".##...", "#....."};
const std::vector<std::string> SUN = {"#..#..", ".#.#.#", "..####", ".#####", "######",
                                      "######", ".#####", "..####", ".#.#.#", "#..#.."};
const std::vector<std::string> CHALICE = {"#....#", "##...#", ".#####", "..####", "...###",
                                          "....##", "....##", "....##", "..####"};
const std::vector<std::string> WINDMILL = {"##...#", "###..#", ".###.#", "..####", "....##",
                                           "..####", ".###.#", "###..#", "##...#"};
const std::vector<std::string> CRAB = {"##....", "#.#...", "..#...", "..####", ".#####",
                                       "######", ".#####", "#.#.#.", "#..#.."};
const std::vector<std::string> SCARAB = {"...#..", "..####", "#.####", "######", ".#####",
                                         "..####", "#.####", "#..###", "....##"};
const std::vector<std::string> CATHEDRAL = {"#...##", "#..###", "#..###", "##.###", "######",
                                            "######", "######", "####.#", "####.#"};
const std::vector<std::string> SPIRAL_FULL = {
    "##################", "#.................",  "#.###############",  "#.#..............#",
    "#.#.###########..#", "#.#.#.........#..#",  "#.#.#####.....#..#", "#.#.........###..#",
    "#.##############.#", "#..................#"};
const std::vector<std::string> MOON_FULL = {"....#####.", "..####....", ".####.....",
                                            "####......", "####......", "####......",
                                            ".####.....", "..####....", "....#####."};
const std::vector<std::string> FISH_FULL = {
    "....#####......#", "..#########...##", ".###.#######.###", "################",
    "################", ".###########.###", "..#########...##", "....#####......#"};
const std::vector<std::string> SNAKE_FULL = {"#######.......", "......#.......", "......#######.",
                                             ".............#", ".#######.....#", ".#.....#######",
                                             ".#............", ".############."};

}  // namespace

std::vector<LayoutDesign> designLayouts() {
    std::vector<LayoutDesign> designs;
    auto add = [&](const std::string& file, const std::string& title, LayoutShape shape,
                   bool river) {
        shape.centre();
        shape.evenLayers();
        shape.fitMultiple(6);
        designs.push_back({file + ".xml", title, shape, river});
    };
    auto picture = [&](const std::string& file, const std::string& title,
                       const std::vector<std::string>& half, Stack stack, int layers, bool river) {
        add(file, title, raise(mirrored(half), stack, layers), river);
    };
    auto fullPicture = [&](const std::string& file, const std::string& title,
                           const std::vector<std::string>& full, Stack stack, int layers,
                           bool river) { add(file, title, raise(full, stack, layers), river); };

    // Small starters: a few dozen tiles, low stacks.
    {
        LayoutShape s;
        s.block(0, 0, 6, 4, 0);
        s.stackHalf(0);
        add("firststeps", "First Steps", s, true);
    }
    {
        LayoutShape s;
        s.block(0, 0, 4, 4, 0);
        s.block(12, 0, 4, 4, 0);
        s.block(2, 2, 2, 2, 1);
        s.block(14, 2, 2, 2, 1);
        add("twinponds", "Twin Ponds", s, true);
    }
    {
        LayoutShape s;
        for (int r = 0; r < 6; ++r) {
            for (int c = 0; c < 10; ++c) {
                if ((r + c) % 2 == 0) {
                    s.add(2 * c, 2 * r, 0);
                }
            }
        }
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 9; ++c) {
                if ((r + c) % 2 == 0) {
                    s.add(2 * c + 1, 2 * r + 1, 1);
                }
            }
        }
        add("checkers", "Checkers", s, true);
    }
    {
        LayoutShape s;
        s.block(0, 0, 8, 1, 0);
        s.block(0, 10, 8, 1, 0);
        s.block(0, 2, 1, 4, 0);
        s.block(14, 2, 1, 4, 0);
        s.block(4, 4, 4, 2, 0);
        s.block(5, 5, 3, 1, 1);
        add("window", "Window", s, true);
    }
    {
        LayoutShape s;
        s.block(0, 4, 10, 2, 0);
        s.block(8, 0, 2, 6, 0);
        s.block(8, 12, 2, 2, 0);
        s.block(9, 5, 1, 1, 1);
        s.block(1, 5, 9, 1, 1);
        add("crossroads", "Crossroads", s, true);
    }

    // Pictures: flat ones are open boards, raised ones build hills and pyramids.
    picture("butterfly", "Butterfly", BUTTERFLY, Stack::FLAT, 1, true);
    picture("butterflyhill", "Butterfly Hill", BUTTERFLY, Stack::ALIGNED, 3, false);
    picture("heart", "Heart", HEART, Stack::FLAT, 1, true);
    picture("heartpyramid", "Heart Pyramid", HEART, Stack::ALIGNED, 5, false);
    picture("diamond", "Diamond", DIAMOND, Stack::FLAT, 1, true);
    picture("diamondpeak", "Diamond Peak", DIAMOND, Stack::ALIGNED, 4, false);
    picture("hourglass", "Hourglass", HOURGLASS, Stack::FLAT, 1, true);
    picture("hourglasstower", "Hourglass Tower", HOURGLASS, Stack::ALIGNED, 4, false);
    picture("crown", "Crown", CROWN, Stack::FLAT, 1, true);
    picture("royalcrown", "Royal Crown", CROWN, Stack::ALIGNED, 4, false);
    picture("arrow", "Arrow", ARROW, Stack::FLAT, 1, true);
    picture("arrowhead", "Arrowhead", ARROW, Stack::ALIGNED, 3, false);
    picture("tree", "Tree", TREE, Stack::FLAT, 1, true);
    picture("oldtree", "Old Tree", TREE, Stack::ALIGNED, 3, false);
    picture("house", "House", HOUSE, Stack::FLAT, 1, true);
    picture("manor", "Manor", HOUSE, Stack::ALIGNED, 4, false);
    picture("castle", "Castle", CASTLE, Stack::FLAT, 1, true);
    picture("citadel", "Citadel", CASTLE, Stack::ALIGNED, 5, false);
    picture("flower", "Flower", FLOWER, Stack::FLAT, 1, true);
    picture("blossom", "Blossom", FLOWER, Stack::ALIGNED, 3, false);
    picture("anchor", "Anchor", ANCHOR, Stack::FLAT, 1, true);
    picture("bell", "Bell", BELL, Stack::FLAT, 1, true);
    picture("bigbell", "Temple Bell", BELL, Stack::ALIGNED, 5, false);
    picture("boat", "Boat", BOAT, Stack::FLAT, 1, true);
    picture("galleon", "Galleon", BOAT, Stack::ALIGNED, 3, false);
    picture("cat", "Cat", CAT, Stack::FLAT, 1, true);
    picture("lion", "Lion", CAT, Stack::ALIGNED, 4, false);
    picture("key", "Key", KEY, Stack::FLAT, 1, true);
    picture("rocket", "Rocket", ROCKET, Stack::FLAT, 1, true);
    picture("launchpad", "Launch Pad", ROCKET, Stack::ALIGNED, 3, false);
    picture("mushroom", "Mushroom", MUSHROOM, Stack::FLAT, 1, true);
    picture("toadstool", "Toadstool", MUSHROOM, Stack::ALIGNED, 4, false);
    picture("lantern", "Lantern", LANTERN, Stack::FLAT, 1, true);
    picture("paperlantern", "Paper Lantern", LANTERN, Stack::ALIGNED, 3, false);
    picture("temple", "Temple", TEMPLE, Stack::FLAT, 1, true);
    picture("hightemple", "High Temple", TEMPLE, Stack::HALF, 4, false);
    picture("gate", "Gate", GATE, Stack::FLAT, 1, true);
    picture("bridge", "Bridge", BRIDGE, Stack::FLAT, 1, true);
    picture("aqueduct", "Aqueduct", BRIDGE, Stack::HALF, 3, false);
    picture("snowflake", "Snowflake", SNOWFLAKE, Stack::FLAT, 1, true);
    picture("icecrystal", "Ice Crystal", SNOWFLAKE, Stack::ALIGNED, 4, false);
    picture("frame", "Frame", FRAME, Stack::FLAT, 1, true);
    picture("ladder", "Ladder", LADDER, Stack::FLAT, 1, true);
    picture("waves", "Waves", WAVE, Stack::FLAT, 1, true);
    picture("owl", "Owl", OWL, Stack::FLAT, 1, true);
    picture("nightowl", "Night Owl", OWL, Stack::HALF, 4, false);
    picture("spade", "Spade", SPADE, Stack::FLAT, 1, true);
    picture("acespade", "Ace of Spades", SPADE, Stack::ALIGNED, 5, false);
    picture("club", "Club", CLUB, Stack::FLAT, 1, true);
    picture("clover", "Clover Hill", CLUB, Stack::ALIGNED, 4, false);
    picture("shield", "Shield", SHIELD, Stack::FLAT, 1, true);
    picture("bastion", "Bastion", SHIELD, Stack::ALIGNED, 3, false);
    picture("goblet", "Goblet", GOBLET, Stack::FLAT, 1, true);
    picture("pagoda", "Pagoda", PAGODA, Stack::FLAT, 1, true);
    picture("greatpagoda", "Great Pagoda", PAGODA, Stack::ALIGNED, 4, false);
    picture("stronghold", "Stronghold", CASTLE, Stack::ALIGNED, 3, false);
    picture("mountains", "Mountains", MOUNTAINS, Stack::FLAT, 1, true);
    picture("highlands", "Highlands", MOUNTAINS, Stack::ALIGNED, 4, false);
    picture("stairs", "Stairs", STAIRS, Stack::FLAT, 1, true);
    picture("ziggurat", "Ziggurat", STAIRS, Stack::ALIGNED, 4, false);
    picture("islands", "Islands", ISLANDS, Stack::FLAT, 1, true);
    picture("dragon", "Dragon", DRAGON, Stack::FLAT, 1, false);
    picture("dragonlair", "Dragon's Lair", DRAGON, Stack::ALIGNED, 3, false);
    picture("star", "Star", STAR, Stack::FLAT, 1, true);
    picture("northstar", "North Star", STAR, Stack::ALIGNED, 4, false);
    picture("sun", "Sun", SUN, Stack::FLAT, 1, true);
    picture("sunrise", "Sunrise", SUN, Stack::ALIGNED, 5, false);
    picture("chalice", "Chalice", CHALICE, Stack::FLAT, 1, true);
    picture("windmill", "Windmill", WINDMILL, Stack::FLAT, 1, true);
    picture("crab", "Crab", CRAB, Stack::FLAT, 1, true);
    picture("scarab", "Scarab", SCARAB, Stack::FLAT, 1, true);
    picture("goldscarab", "Golden Scarab", SCARAB, Stack::ALIGNED, 3, false);
    picture("cathedral", "Cathedral", CATHEDRAL, Stack::ALIGNED, 6, false);
    fullPicture("spiral", "Spiral", SPIRAL_FULL, Stack::FLAT, 1, true);
    fullPicture("moon", "Moon", MOON_FULL, Stack::FLAT, 1, true);
    fullPicture("fish", "Fish", FISH_FULL, Stack::FLAT, 1, true);
    fullPicture("bigfish", "Big Fish", FISH_FULL, Stack::ALIGNED, 3, false);
    fullPicture("snake", "Snake", SNAKE_FULL, Stack::FLAT, 1, true);

    // Plain pyramids and towers, from a hill to the great pyramid. Each layer lies square on the
    // one below (a tile over one tile, not over four), which keeps Classic and Triple deals
    // clear of tiles buried under their own face.
    {
        LayoutShape s;
        s.block(0, 0, 10, 7, 0);
        for (int z = 0; z < 3; ++z) {
            s.stackAligned(z);
        }
        add("pyramid", "Pyramid", s, false);
    }
    {
        LayoutShape s;
        s.block(0, 0, 18, 1, 0);
        s.block(0, 16, 18, 1, 0);
        s.block(0, 2, 1, 7, 0);
        s.block(34, 2, 1, 7, 0);
        for (int z = 1; z < 4; ++z) {
            s.add(0, 0, z);
            s.add(34, 0, z);
            s.add(0, 16, z);
            s.add(34, 16, z);
        }
        s.block(10, 5, 8, 4, 0);
        s.block(12, 7, 6, 3, 1);
        s.block(14, 9, 4, 2, 2);
        s.block(16, 11, 2, 1, 3);
        add("fortress", "Fortress", s, false);
    }
    {
        LayoutShape s;
        s.block(0, 0, 12, 8, 0);
        for (int z = 0; z < 4; ++z) {
            s.stackAligned(z);
        }
        add("greatpyramid", "Great Pyramid", s, false);
    }
    {
        LayoutShape s;
        for (int i = 0; i < 3; ++i) {
            s.block(i * 14, 0, 6, 6, 0);
        }
        for (int z = 0; z < 2; ++z) {
            s.stackAligned(z);
        }
        add("threetowers", "Three Towers", s, false);
    }
    {
        LayoutShape s;
        for (int z = 0; z < 4; ++z) {
            s.block(2 * z, z, 14 - 2 * z, 1, z);
            s.block(2 * z, 14 - z, 14 - 2 * z, 1, z);
            s.block(2 * z, 2 + z, 1, 6 - z, z);
            s.block(26 - 2 * z, 2 + z, 1, 6 - z, z);
        }
        add("arena", "Arena", s, false);
    }
    {
        LayoutShape s;
        s.block(0, 0, 10, 1, 0);
        s.block(0, 8, 10, 1, 0);
        s.block(0, 16, 10, 1, 0);
        s.block(2, 4, 8, 1, 0);
        s.block(2, 12, 8, 1, 0);
        add("terraces", "Terraces", s, true);
    }
    {
        LayoutShape s;
        s.block(0, 0, 12, 7, 0);
        s.block(2, 2, 10, 5, 1);
        s.block(4, 4, 8, 3, 2);
        s.block(7, 5, 5, 2, 3);
        add("plateau", "Plateau", s, false);
    }
    {
        LayoutShape s;
        for (int z = 0; z < 7; ++z) {
            s.add(0, 0, z);
            s.add(32, 0, z);
            s.add(0, 16, z);
            s.add(32, 16, z);
        }
        s.block(4, 2, 13, 6, 0);
        s.block(6, 4, 11, 4, 1);
        s.block(12, 6, 4, 3, 2);
        add("fourpillars", "Four Pillars", s, false);
    }
    {
        LayoutShape s;
        for (int r = 0; r < 5; ++r) {
            s.block(r * 2, r * 4, 14 - 2 * r, 1, 0);
        }
        s.block(4, 1, 10, 1, 1);
        s.block(8, 5, 8, 1, 1);
        s.block(12, 9, 6, 1, 1);
        add("cascade", "Cascade", s, true);
    }
    return designs;
}

}  // namespace levels
