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
        case kClassic:
            return n % 2 == 0 && dealtFaces(n, 2, 4) == n &&
                   stackingRisk(2, 4, 2) <= kMaxStackingRisk;
        case kFreeCell:
            return n % 2 == 0 && dealtFaces(n, 2, 4) == n;
        case kRiver:
            if (!riverFriendly || n % 2 != 0 || dealtFaces(n, 2, 4) != n) {
                return false;
            }
            for (int z = 0; z < 7; ++z) {
                if (shape.layerCount(z) % 2 != 0) {
                    return false;
                }
            }
            return true;
        case kTriple:
            return n % 3 == 0 && dealtFaces(n, 3, 6) == n &&
                   stackingRisk(3, 6, 3) <= kMaxStackingRisk;
        case kSplit:
        case kSpeed:
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

enum class Stack { Flat, Aligned, Half };

// A picture raised into a shape: flat, or stacked up to `layers` layers.
LayoutShape raise(const std::vector<std::string>& picture, Stack stack, int layers) {
    LayoutShape s;
    s.pattern(picture, 0, 0, 0);
    for (int z = 0; z + 1 < layers; ++z) {
        if (stack == Stack::Aligned) {
            s.stackAligned(z);
        } else if (stack == Stack::Half) {
            s.stackHalf(z);
        }
    }
    return s;
}

// The pictures, drawn as left halves (mirrored) unless named "full".
const std::vector<std::string> kButterfly = {"##....", "####..", "#####.", ".#####",
                                             ".#####", "#####.", "####..", "##...."};
const std::vector<std::string> kHeart = {".###..", "#####.", "######", "######",
                                         ".#####", "..####", "...###", "....##"};
const std::vector<std::string> kDiamond = {"....#", "...##", "..###", ".####", "#####",
                                           ".####", "..###", "...##", "....#"};
const std::vector<std::string> kHourglass = {"######", ".#####", "..####", "...###", "....##",
                                             "...###", "..####", ".#####", "######"};
const std::vector<std::string> kCrown = {"#...#..", "##..##.", "##.####",
                                         "#######", "#######", ".######"};
const std::vector<std::string> kArrow = {"....##", "...###", "..####", ".#####", "######",
                                         "...###", "...###", "...###", "...###"};
const std::vector<std::string> kTree = {"....##", "...###", "....##", "..####", "...###",
                                        ".#####", "..####", "######", "....##", "...###"};
const std::vector<std::string> kHouse = {"....##", "...###", "..####", ".#####",
                                         "######", ".#####", ".##..#", ".##..#"};
const std::vector<std::string> kCastle = {"#.#......", "###....##", "###.#.###", "#########",
                                          "###..####", "###..####", "#########"};
const std::vector<std::string> kFlower = {"...##.", "..####", "..####", "##.##.", "######",
                                          "######", "##.##.", "....#.", "...###", "....##"};
const std::vector<std::string> kAnchor = {".....#", "....##", ".....#", "..####", ".....#",
                                          "#....#", "##...#", ".##..#", "..####", "....##"};
const std::vector<std::string> kBell = {"....##", "...###", "..####", "..####", "..####",
                                        ".#####", ".#####", "######", "......", "....##"};
const std::vector<std::string> kBoat = {".....#", "....##", "...###", "..####",
                                        ".....#", "######", ".#####", "..####"};
const std::vector<std::string> kCat = {"#.....", "##....", "###...", "######", "#.#.##",
                                       "######", "#####.", ".####.", "..####"};
const std::vector<std::string> kKey = {".###..", "#..#..", "#..#..", ".#####", "....#.",
                                       "....#.", "....##", "....#.", "....##"};
const std::vector<std::string> kRocket = {"....##", "...###", "...###", "...#.#", "...###",
                                          "...###", "..####", ".#####", "##.###", "#...#."};
const std::vector<std::string> kMushroom = {"..####", ".#####", "###.##", "######",
                                            "######", "....##", "....##", "...###"};
const std::vector<std::string> kLantern = {"....##", "..####", ".#####", ".##.##", ".#####",
                                           ".##.##", ".#####", "..####", "....##"};
const std::vector<std::string> kTemple = {"....##", "..####", "######", ".#####",
                                          ".#.#.#", ".#.#.#", ".#.#.#", "######"};
const std::vector<std::string> kGate = {"#######", ".######", "..#...#", "#######",
                                        "..#...#", "..#...#", "..#...#", ".###..#"};
const std::vector<std::string> kBridge = {"#########", "#########", "###......",
                                          "##.......", "##.......", "##......."};
const std::vector<std::string> kSnowflake = {"#...#.", ".#..#.", "..#.##", "...###", "######",
                                             "######", "...###", "..#.##", ".#..#.", "#...#."};
const std::vector<std::string> kFrame = {"########", "#.......", "#.######", "#.#.....",
                                         "#.#.####", "#.#.####", "#.#.....", "#.######",
                                         "#.......", "########"};
const std::vector<std::string> kLadder = {"##....", "######", "##....", "##....", "######",
                                          "##....", "##....", "######", "##...."};
const std::vector<std::string> kWave = {"##....##..", "###..####.", ".######..#",
                                        "..####....", "..........", "##....##..",
                                        "###..####.", ".######..#", "..####...."};
const std::vector<std::string> kOwl = {"#....#", "##..##", "######", "#..#.#", "#..#.#",
                                       "######", "#####.", ".####.", ".###..", "#.#..."};
const std::vector<std::string> kSpade = {"....##", "...###", "..####", ".#####", "######",
                                         "######", ".##.##", "....##", "...###"};
const std::vector<std::string> kClub = {"...###", "..####", "..####", ".###.#", "######",
                                        "######", ".###.#", "....##", "...###"};
const std::vector<std::string> kShield = {"######", "######", "##.###", "######", "######",
                                          ".#####", "..####", "...###", "....##"};
const std::vector<std::string> kGoblet = {"######", "######", ".#####", "..####", "...###",
                                          "....##", "....##", "..####", ".#####"};
const std::vector<std::string> kPagoda = {"....##", "..####", "....##", ".#####", "...###",
                                          "######", "..####", "######", ".#####"};
const std::vector<std::string> kMountains = {"...#......", "..###.....", ".#####..#.",
                                             "#######.##", "##########", "##########"};
const std::vector<std::string> kStairs = {"##......", "####....", "######..", "########",
                                          "######..", "####....", "##......"};
const std::vector<std::string> kIslands = {"###.......", "###...##..", ".#...####.",
                                           "....#####.", "##...###..", "###.......",
                                           "###...###.", ".....#####", "......###."};
const std::vector<std::string> kDragon = {"##......##", ".##....###", "..#######.", "...######.",
                                          ".########.", "#########.", "##.#######", "#...####..",
                                          "....###...", "...##....."};
const std::vector<std::string> kStar = {".....#", "....##", "...###", "######", ".#####",
                                        "..####", "..####", ".###.#", ".##...", "#....."};
const std::vector<std::string> kSun = {"#..#..", ".#.#.#", "..####", ".#####", "######",
                                       "######", ".#####", "..####", ".#.#.#", "#..#.."};
const std::vector<std::string> kChalice = {"#....#", "##...#", ".#####", "..####", "...###",
                                           "....##", "....##", "....##", "..####"};
const std::vector<std::string> kWindmill = {"##...#", "###..#", ".###.#", "..####", "....##",
                                            "..####", ".###.#", "###..#", "##...#"};
const std::vector<std::string> kCrab = {"##....", "#.#...", "..#...", "..####", ".#####",
                                        "######", ".#####", "#.#.#.", "#..#.."};
const std::vector<std::string> kScarab = {"...#..", "..####", "#.####", "######", ".#####",
                                          "..####", "#.####", "#..###", "....##"};
const std::vector<std::string> kCathedral = {"#...##", "#..###", "#..###", "##.###", "######",
                                             "######", "######", "####.#", "####.#"};
const std::vector<std::string> kSpiralFull = {
    "##################", "#.................",  "#.###############",  "#.#..............#",
    "#.#.###########..#", "#.#.#.........#..#",  "#.#.#####.....#..#", "#.#.........###..#",
    "#.##############.#", "#..................#"};
const std::vector<std::string> kMoonFull = {"....#####.", "..####....", ".####.....",
                                            "####......", "####......", "####......",
                                            ".####.....", "..####....", "....#####."};
const std::vector<std::string> kFishFull = {
    "....#####......#", "..#########...##", ".###.#######.###", "################",
    "################", ".###########.###", "..#########...##", "....#####......#"};
const std::vector<std::string> kSnakeFull = {"#######.......", "......#.......", "......#######.",
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
    picture("butterfly", "Butterfly", kButterfly, Stack::Flat, 1, true);
    picture("butterflyhill", "Butterfly Hill", kButterfly, Stack::Aligned, 3, false);
    picture("heart", "Heart", kHeart, Stack::Flat, 1, true);
    picture("heartpyramid", "Heart Pyramid", kHeart, Stack::Aligned, 5, false);
    picture("diamond", "Diamond", kDiamond, Stack::Flat, 1, true);
    picture("diamondpeak", "Diamond Peak", kDiamond, Stack::Aligned, 4, false);
    picture("hourglass", "Hourglass", kHourglass, Stack::Flat, 1, true);
    picture("hourglasstower", "Hourglass Tower", kHourglass, Stack::Aligned, 4, false);
    picture("crown", "Crown", kCrown, Stack::Flat, 1, true);
    picture("royalcrown", "Royal Crown", kCrown, Stack::Aligned, 4, false);
    picture("arrow", "Arrow", kArrow, Stack::Flat, 1, true);
    picture("arrowhead", "Arrowhead", kArrow, Stack::Aligned, 3, false);
    picture("tree", "Tree", kTree, Stack::Flat, 1, true);
    picture("oldtree", "Old Tree", kTree, Stack::Aligned, 3, false);
    picture("house", "House", kHouse, Stack::Flat, 1, true);
    picture("manor", "Manor", kHouse, Stack::Aligned, 4, false);
    picture("castle", "Castle", kCastle, Stack::Flat, 1, true);
    picture("citadel", "Citadel", kCastle, Stack::Aligned, 5, false);
    picture("flower", "Flower", kFlower, Stack::Flat, 1, true);
    picture("blossom", "Blossom", kFlower, Stack::Aligned, 3, false);
    picture("anchor", "Anchor", kAnchor, Stack::Flat, 1, true);
    picture("bell", "Bell", kBell, Stack::Flat, 1, true);
    picture("bigbell", "Temple Bell", kBell, Stack::Aligned, 5, false);
    picture("boat", "Boat", kBoat, Stack::Flat, 1, true);
    picture("galleon", "Galleon", kBoat, Stack::Aligned, 3, false);
    picture("cat", "Cat", kCat, Stack::Flat, 1, true);
    picture("lion", "Lion", kCat, Stack::Aligned, 4, false);
    picture("key", "Key", kKey, Stack::Flat, 1, true);
    picture("rocket", "Rocket", kRocket, Stack::Flat, 1, true);
    picture("launchpad", "Launch Pad", kRocket, Stack::Aligned, 3, false);
    picture("mushroom", "Mushroom", kMushroom, Stack::Flat, 1, true);
    picture("toadstool", "Toadstool", kMushroom, Stack::Aligned, 4, false);
    picture("lantern", "Lantern", kLantern, Stack::Flat, 1, true);
    picture("paperlantern", "Paper Lantern", kLantern, Stack::Aligned, 3, false);
    picture("temple", "Temple", kTemple, Stack::Flat, 1, true);
    picture("hightemple", "High Temple", kTemple, Stack::Half, 4, false);
    picture("gate", "Gate", kGate, Stack::Flat, 1, true);
    picture("bridge", "Bridge", kBridge, Stack::Flat, 1, true);
    picture("aqueduct", "Aqueduct", kBridge, Stack::Half, 3, false);
    picture("snowflake", "Snowflake", kSnowflake, Stack::Flat, 1, true);
    picture("icecrystal", "Ice Crystal", kSnowflake, Stack::Aligned, 4, false);
    picture("frame", "Frame", kFrame, Stack::Flat, 1, true);
    picture("ladder", "Ladder", kLadder, Stack::Flat, 1, true);
    picture("waves", "Waves", kWave, Stack::Flat, 1, true);
    picture("owl", "Owl", kOwl, Stack::Flat, 1, true);
    picture("nightowl", "Night Owl", kOwl, Stack::Half, 4, false);
    picture("spade", "Spade", kSpade, Stack::Flat, 1, true);
    picture("acespade", "Ace of Spades", kSpade, Stack::Aligned, 5, false);
    picture("club", "Club", kClub, Stack::Flat, 1, true);
    picture("clover", "Clover Hill", kClub, Stack::Aligned, 4, false);
    picture("shield", "Shield", kShield, Stack::Flat, 1, true);
    picture("bastion", "Bastion", kShield, Stack::Aligned, 3, false);
    picture("goblet", "Goblet", kGoblet, Stack::Flat, 1, true);
    picture("pagoda", "Pagoda", kPagoda, Stack::Flat, 1, true);
    picture("greatpagoda", "Great Pagoda", kPagoda, Stack::Aligned, 4, false);
    picture("stronghold", "Stronghold", kCastle, Stack::Aligned, 3, false);
    picture("mountains", "Mountains", kMountains, Stack::Flat, 1, true);
    picture("highlands", "Highlands", kMountains, Stack::Aligned, 4, false);
    picture("stairs", "Stairs", kStairs, Stack::Flat, 1, true);
    picture("ziggurat", "Ziggurat", kStairs, Stack::Aligned, 4, false);
    picture("islands", "Islands", kIslands, Stack::Flat, 1, true);
    picture("dragon", "Dragon", kDragon, Stack::Flat, 1, false);
    picture("dragonlair", "Dragon's Lair", kDragon, Stack::Aligned, 3, false);
    picture("star", "Star", kStar, Stack::Flat, 1, true);
    picture("northstar", "North Star", kStar, Stack::Aligned, 4, false);
    picture("sun", "Sun", kSun, Stack::Flat, 1, true);
    picture("sunrise", "Sunrise", kSun, Stack::Aligned, 5, false);
    picture("chalice", "Chalice", kChalice, Stack::Flat, 1, true);
    picture("windmill", "Windmill", kWindmill, Stack::Flat, 1, true);
    picture("crab", "Crab", kCrab, Stack::Flat, 1, true);
    picture("scarab", "Scarab", kScarab, Stack::Flat, 1, true);
    picture("goldscarab", "Golden Scarab", kScarab, Stack::Aligned, 3, false);
    picture("cathedral", "Cathedral", kCathedral, Stack::Aligned, 6, false);
    fullPicture("spiral", "Spiral", kSpiralFull, Stack::Flat, 1, true);
    fullPicture("moon", "Moon", kMoonFull, Stack::Flat, 1, true);
    fullPicture("fish", "Fish", kFishFull, Stack::Flat, 1, true);
    fullPicture("bigfish", "Big Fish", kFishFull, Stack::Aligned, 3, false);
    fullPicture("snake", "Snake", kSnakeFull, Stack::Flat, 1, true);

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
