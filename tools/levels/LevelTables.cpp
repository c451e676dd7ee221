#include "tools/levels/LevelTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace levels {

namespace {

const char* const TYPE_WORDS[6] = {"Classic", "Freecell", "Split", "Triple", "River", "Speed"};
const char* const DIFFICULTY_WORDS[3] = {"normal", "hard", "expert"};

// Points per match by type, so that a level of each type is worth about the same: Split and
// Speed score every board tile, Triple removes three at a time.
const double POINT_SCALE[6] = {1.0, 1.0, 0.5, 1.4, 1.1, 0.5};
// Play time in ms per tile at the gentlest setting.
const double BASE_PLAY_TIME[6] = {2600, 2800, 1500, 2400, 3400, 1100};

int roundTo(double v, int step) {
    return static_cast<int>(std::lround(v / step)) * step;
}

int matchesOf(int type, int tiles) {
    if (type == TRIPLE) {
        return tiles / 3;
    }
    if (type == SPLIT || type == SPEED) {
        return tiles;
    }
    return tiles / 2;
}

std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

// A progression: constant when delta is 0, else moving from start by delta up to cap.
struct Prog {
    double start = 0;
    double delta = 0;
    double cap = 0;
};

Prog constant(double v) {
    return {v, 0, v};
}

// One level node: attributes for plain values, child elements for moving progressions and
// file lists.
class LevelXml {
public:
    void value(const std::string& name, const std::string& text) {
        attributes += " " + name + "=\"" + text + "\"";
    }
    void value(const std::string& name, double v) { value(name, number(v)); }
    void prog(const std::string& name, const Prog& p) {
        if (p.delta == 0) {
            value(name, p.start);
            return;
        }
        children.push_back("<Node id=\"" + name + "\" start=\"" + number(p.start) + "\" delta=\"" +
                           number(p.delta) + "\" cap=\"" + number(p.cap) + "\"/>");
    }
    void files(const std::string& name, const std::vector<std::string>& names, int count = -1) {
        std::string text = "<Vector id=\"" + name + "\">";
        if (count >= 0) {
            text += "<Integer value=\"" + std::to_string(count) + "\"/>";
        }
        for (const std::string& n : names) {
            text += "<String value=\"" + n + "\"/>";
        }
        children.push_back(text + "</Vector>");
    }
    std::string str(const std::string& indent, const std::string& id) const {
        std::string head =
            indent + "<Level" + (id.empty() ? "" : " id=\"" + id + "\"") + attributes;
        if (children.empty()) {
            return head + "/>\n";
        }
        std::string out = head + ">\n";
        for (const std::string& c : children) {
            out += indent + "  " + c + "\n";
        }
        return out + indent + "</Level>\n";
    }

private:
    std::string attributes;
    std::vector<std::string> children;
};

// The layouts that fit a type, easiest first.
std::vector<const LayoutDesign*> candidates(const std::vector<LayoutDesign>& designs,
                                            GameType type) {
    std::vector<const LayoutDesign*> out;
    for (const LayoutDesign& d : designs) {
        if (d.fits(type)) {
            out.push_back(&d);
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const LayoutDesign* a, const LayoutDesign* b) {
        return a->rank() < b->rank();
    });
    return out;
}

// Values of a level that stays the same (hallway and rec room): s runs from 0 (gentlest) to 1.
void fixedValues(LevelXml& xml, int type, double s) {
    int points = roundTo(POINT_SCALE[type] * (100 + 150 * s), 10);
    bool oneTileMatches = type == SPLIT || type == SPEED;
    xml.value("pointsPerMatch", points);
    xml.value("playTime", roundTo(BASE_PLAY_TIME[type] * (1 - 0.35 * s), 50));
    xml.value("timeBonus", roundTo((oneTileMatches ? 800 : 1500) * (1 - 0.6 * s), 50));
    xml.value("bonusAt", roundTo(points * (14 + 10 * s), 50));
    xml.value("bonusSpeed", std::lround(points * (0.15 + 0.25 * s)));
    xml.value("multiplierTime", roundTo(6000 - 2500 * s, 100));
    if (type == CLASSIC || type == FREE_CELL || type == TRIPLE) {
        xml.value("tileDistMin", std::lround(2 + 6 * s));
        xml.value("tileDistMax", std::lround(8 + 14 * s));
    }
    if (type == SPLIT || type == SPEED) {
        xml.value("firstHand", std::lround(4 - 3 * s));
        xml.value("secondHand", 2);
        xml.value("thirdHand", std::lround(1 + 3 * s));
    }
    int step = s < 0.34 ? 0 : (s < 0.7 ? 1 : 2);
    if (type == FREE_CELL) {
        xml.value("sideBoardIndex", 1 + step);
    } else if (type == SPLIT) {
        xml.value("sideBoardIndex", 4 + step);
    } else if (type == SPEED) {
        xml.value("sideBoardIndex", 0);
    }
}

// Values of a series level (casino and roof) that harden from level to level.
void seriesValues(LevelXml& xml, int type, int difficulty) {
    double scale = POINT_SCALE[type];
    int p0 = roundTo(scale * (150 + 50 * difficulty), 10);
    xml.prog("pointsPerMatch", {double(p0), double(std::lround(scale * (15 + 5 * difficulty))),
                                double(roundTo(p0 * 2.5, 10))});
    double time0 = roundTo(BASE_PLAY_TIME[type] * (0.95 - 0.12 * difficulty), 50);
    xml.prog("playTime", {time0, -double(roundTo(BASE_PLAY_TIME[type] / 65, 5)),
                          double(roundTo(time0 * 0.6, 50))});
    bool oneTileMatches = type == SPLIT || type == SPEED;
    double bonus0 = roundTo((1300 - 300 * difficulty) * (oneTileMatches ? 0.55 : 1.0), 50);
    xml.prog("timeBonus", {bonus0, -50, oneTileMatches ? 200.0 : 300.0});
    xml.prog("bonusAt", {double(p0 * 15), double(roundTo(p0 * 0.6, 5)), double(p0 * 30)});
    xml.prog("bonusSpeed", {double(std::lround(p0 * 0.2)), double(std::lround(p0 * 0.02) + 1),
                            double(std::lround(p0 * 0.6))});
    xml.prog("multiplierTime", {5500.0 - 700 * difficulty, -150, 2500});
    if (type == CLASSIC || type == FREE_CELL || type == TRIPLE) {
        xml.prog("tileDistMin", {2.0 + 2 * difficulty, 0.5, 8.0 + 2 * difficulty});
        xml.prog("tileDistMax", {8.0 + 3 * difficulty, 1, 20.0 + 4 * difficulty});
    }
    if (type == SPLIT) {
        xml.prog("firstHand", {4.0 - difficulty, -0.25, 1});
        xml.prog("secondHand", constant(2));
        xml.prog("thirdHand", {1.0 + difficulty, 0.25, 4});
        xml.prog("sideBoardIndex", {4.0 + difficulty, difficulty < 2 ? 0.25 : 0, 6});
    } else if (type == SPEED) {
        // One slot: the hands only have to sum above 0.
        xml.prog("firstHand", constant(1));
        xml.prog("secondHand", constant(1));
        xml.prog("thirdHand", constant(1));
        xml.prog("sideBoardIndex", constant(0));
    } else if (type == FREE_CELL) {
        xml.prog("sideBoardIndex", {1.0 + difficulty, difficulty < 2 ? 0.25 : 0, 3});
    }
}

std::string fileName(const LayoutDesign* d) {
    return d->file;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out);
}

const std::string HALLWAY_CURVE = R"(<!--
  The hallway: 20 floors of 5 doors. Floor 1 is all Classic on the smallest layouts; Triple
  comes in on floor 2, FreeCell on 3, Split on 5, River on 7, and from floor 11 every floor
  holds all five types. Speed is not played in the hallway.
  Layouts rise in size and height with the floor (door by door within a floor).
  With s = (floor - 1) / 19, from 0 on floor 1 to 1 on floor 20, and the type's point scale
  k (Classic 1, FreeCell 1, Split 0.5, Triple 1.4, River 1.1):
    pointsPerMatch  k * (100 + 150 s), to 10         rises 100 .. 250 (Classic)
    playTime        base * (1 - 0.35 s) ms per tile  falls; base Classic 2600, FreeCell 2800,
                                                     Split 1500, Triple 2400, River 3400
    timeBonus       1500 * (1 - 0.6 s) ms (Split 800 * ...)   falls 1500 .. 600
    bonusAt         points * (14 + 10 s)             rises
    bonusSpeed      points * (0.15 + 0.25 s) per s   rises
    multiplierTime  6000 - 2500 s ms                 falls 6000 .. 3500
    tileDistMin/Max 2 + 6 s / 8 + 14 s               partners drift apart
    hands (Split)   4 - 3 s, 2, 1 + 3 s              fewer free tiles on the rack
    sideBoardIndex  FreeCell 1, 2, 3 (4, 3, 2 cells); Split 4, 5, 6 (2x5, 2x4, 2x3 racks),
                    changing after floors 7 and 14
    silver / gold   matches * points * 1.6 / * 2.5, to 500: silver wants an average combo of
                    1.6, gold 2.5 (bonus-bar score claims help both)
-->
)";

const std::string CASINO_CURVE = R"(<!--
  The casino: the five types at normal, hard and expert. Each is a series: it starts on the
  "intro" layout, then plays a random pick from "easy" and from "normal" (the first value of
  each is how many), then cycles through "hard" in a shuffled order for as long as the player
  wins. Difficulties take their layouts from overlapping bands of the layouts that fit the
  type, easiest to hardest.
  Every value moves by its delta at each level won and stops at its cap. With d = 0, 1, 2 for
  normal, hard, expert and the type's point scale k (Classic 1, FreeCell 1, Split 0.5,
  Triple 1.4, River 1.1):
    pointsPerMatch  starts k * (150 + 50 d), + k * (15 + 5 d) a level, cap 2.5 x start
    playTime        starts base * (0.95 - 0.12 d), falls base / 65 a level, floor 0.6 x start
    timeBonus       starts 1300 - 300 d (x 0.55 for Split), - 50 a level, floor 300 (200)
    bonusAt         starts 15 x points, rises, cap 30 x points
    bonusSpeed      starts points / 5, rises, cap 0.6 x points
    multiplierTime  starts 5500 - 700 d, - 150 a level, floor 2500
    tileDistMin/Max start 2 + 2 d / 8 + 3 d, rise 0.5 / 1 a level, caps 8 + 2 d / 20 + 4 d
    hands (Split)   first 4 - d falling to 1, second 2, third 1 + d rising to 4
    sideBoardIndex  FreeCell starts at 1 + d (4, 3, 2 cells), Split at 4 + d (2x5, 2x4, 2x3
                    racks), a step every fourth level, cap 3 / 6
  A run scores roughly 30,000 to 50,000 a level, so the high-score tables (150,000 to
  400,000) are reached after about four to ten levels.
-->
)";

const std::string ROOF_CURVE = R"(<!--
  The roof: Speed at normal, hard and expert, each a series over "layoutFileNames" that
  repeats the part from "hardStartIndex" on. Speed shows one tile on a 1x1 rack
  (sideBoardIndex 0 of every layout). The roof's Mixed mode plays the casino levels.
  With d = 0, 1, 2 (point scale 0.5, base play time 1100 ms per tile):
    pointsPerMatch  starts 0.5 * (150 + 50 d), + 0.5 * (15 + 5 d) a level, cap 2.5 x start
    playTime        starts 1100 * (0.95 - 0.12 d), - 15 a level, floor 0.6 x start
    timeBonus       starts (1300 - 300 d) * 0.55, - 50 a level, floor 200
    bonusAt, bonusSpeed, multiplierTime as in the casino
  Every board tile is one match, so a run scores about 40,000 a level and the Speed tables
  (200,000 to 300,000) are reached after five to eight levels.
-->
)";

const std::string REC_ROOM_CURVE = R"(<!--
  The rec room: one list per game type (entry g is game type g: Classic, FreeCell, Split,
  Triple, River), 30 layouts each, shown in pages of six, easiest first. The room keeps no
  time and no bonus bar, but each level still carries the full set of values, on the
  hallway's curve with s = index / 29:
    pointsPerMatch k * (100 + 150 s), playTime base * (1 - 0.35 s), timeBonus falls,
    bonusAt and bonusSpeed rise, multiplierTime 6000 - 2500 s, tile distances 2 + 6 s and
    8 + 14 s, Split hands 4 - 3 s / 2 / 1 + 3 s, side boards harden after 10 and 20 levels.
-->
)";

}  // namespace

bool writeLevelFiles(const std::string& root, const std::vector<LayoutDesign>& designs) {
    std::vector<const LayoutDesign*> byType[6];
    for (int t = 0; t < 6; ++t) {
        byType[t] = candidates(designs, static_cast<GameType>(t));
        if (byType[t].size() < 30) {
            std::fprintf(stderr, "only %zu layouts fit %s\n", byType[t].size(), TYPE_WORDS[t]);
            return false;
        }
    }
    const std::string dir = root + "/media/properties/levels/";

    // Hallway.
    static const int kEarlyFloors[10][5] = {
        {0, 0, 0, 0, 0}, {0, 3, 0, 0, 3}, {0, 3, 1, 0, 1}, {1, 0, 3, 0, 1}, {3, 0, 1, 2, 0},
        {0, 2, 3, 1, 2}, {1, 0, 4, 3, 2}, {0, 4, 2, 3, 1}, {4, 0, 1, 2, 3}, {3, 4, 0, 1, 2}};
    std::map<std::string, int> hallwayUse;
    std::string hallway = HALLWAY_CURVE + "<root>\n  <Vector id=\"hallway\">\n";
    for (int floor = 1; floor <= 20; ++floor) {
        double s = (floor - 1) / 19.0;
        hallway += "    <!-- floor " + std::to_string(floor) + " -->\n    <Vector>\n";
        for (int door = 1; door <= 5; ++door) {
            int type = floor <= 10 ? kEarlyFloors[floor - 1][door - 1] : (floor + door) % 5;
            const auto& list = byType[type];
            int n = static_cast<int>(list.size());
            double q = ((floor - 1) * 5 + (door - 1)) / 99.0;
            int ideal = static_cast<int>(std::lround(q * (n - 1)));
            int pick = ideal;
            for (int step = 0; step <= 6; ++step) {
                int lo = std::max(0, ideal - step), hi = std::min(n - 1, ideal + step);
                if (hallwayUse[list[lo]->file] == 0) {
                    pick = lo;
                    break;
                }
                if (hallwayUse[list[hi]->file] == 0) {
                    pick = hi;
                    break;
                }
            }
            const LayoutDesign* d = list[pick];
            hallwayUse[d->file]++;
            LevelXml xml;
            xml.value("gameType", TYPE_WORDS[type]);
            xml.value("layout", d->file);
            xml.value("gameMode", 0);
            xml.value("floor", floor);
            xml.value("room", door);
            xml.value("index", door - 1);
            fixedValues(xml, type, s);
            int points = roundTo(POINT_SCALE[type] * (100 + 150 * s), 10);
            int matches = matchesOf(type, d->shape.count());
            int silver = std::max(500, roundTo(matches * points * 1.6, 500));
            int gold = std::max(silver + 500, roundTo(matches * points * 2.5, 500));
            xml.value("silver", silver);
            xml.value("gold", gold);
            hallway += xml.str("      ", "");
        }
        hallway += "    </Vector>\n";
    }
    hallway += "  </Vector>\n</root>\n";
    if (!writeText(dir + "hallway.xml", hallway)) {
        return false;
    }

    // Casino: bands of each type's layouts per difficulty.
    std::string casino = CASINO_CURVE + "<root>\n  <Node id=\"casino\">\n";
    for (int type = 0; type < 5; ++type) {
        casino += std::string("    <Node id=\"") + TYPE_WORDS[type] + "\">\n";
        const auto& list = byType[type];
        int n = static_cast<int>(list.size());
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            static const double kBands[3][2] = {{0.0, 0.6}, {0.25, 0.85}, {0.45, 1.0}};
            int lo = static_cast<int>(kBands[difficulty][0] * (n - 1));
            int hi = static_cast<int>(kBands[difficulty][1] * (n - 1));
            std::vector<std::string> band;
            for (int i = lo; i <= hi; ++i) {
                band.push_back(fileName(list[i]));
            }
            // intro: the easiest; easy: the next 40 %; normal: the next 30 %; hard: the rest.
            size_t m = band.size();
            size_t easyEnd = 1 + (m - 1) * 4 / 10;
            size_t normalEnd = easyEnd + (m - 1) * 3 / 10;
            std::vector<std::string> intro(band.begin(), band.begin() + 1);
            std::vector<std::string> easy(band.begin() + 1, band.begin() + easyEnd);
            std::vector<std::string> normal(band.begin() + easyEnd, band.begin() + normalEnd);
            std::vector<std::string> hard(band.begin() + normalEnd, band.end());
            LevelXml xml;
            xml.value("gameType", TYPE_WORDS[type]);
            xml.value("gameMode", 1);
            xml.value("difficulty", difficulty);
            xml.value("index", 0);
            seriesValues(xml, type, difficulty);
            xml.files("intro", intro);
            xml.files("easy", easy, 2);
            xml.files("normal", normal, 2);
            xml.files("hard", hard);
            casino += std::string("      <Node id=\"") + DIFFICULTY_WORDS[difficulty] + "\">\n";
            casino += xml.str("        ", "level");
            casino += "      </Node>\n";
        }
        casino += "    </Node>\n";
    }
    casino += "  </Node>\n</root>\n";
    if (!writeText(dir + "casino.xml", casino)) {
        return false;
    }

    // Roof: Speed series over fixed lists.
    std::string roof = ROOF_CURVE + "<root>\n  <Node id=\"roof\">\n    <Node id=\"Speed\">\n";
    {
        const auto& list = byType[SPEED];
        int n = static_cast<int>(list.size());
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            // Eight layouts spread over this difficulty's band; the last three repeat.
            static const double kBands[3][2] = {{0.1, 0.6}, {0.3, 0.8}, {0.5, 1.0}};
            std::vector<std::string> names;
            for (int i = 0; i < 8; ++i) {
                double q = kBands[difficulty][0] +
                           (kBands[difficulty][1] - kBands[difficulty][0]) * i / 7.0;
                names.push_back(fileName(list[static_cast<int>(std::lround(q * (n - 1)))]));
            }
            names.erase(std::unique(names.begin(), names.end()), names.end());
            LevelXml xml;
            xml.value("gameType", TYPE_WORDS[SPEED]);
            xml.value("layout", names.front());
            xml.value("gameMode", 3);
            xml.value("difficulty", difficulty);
            xml.value("index", 0);
            xml.value("hardStartIndex", static_cast<double>(names.size() - 3));
            seriesValues(xml, SPEED, difficulty);
            xml.files("layoutFileNames", names);
            roof += std::string("      <Node id=\"") + DIFFICULTY_WORDS[difficulty] + "\">\n";
            roof += xml.str("        ", "level");
            roof += "      </Node>\n";
        }
    }
    roof += "    </Node>\n  </Node>\n</root>\n";
    if (!writeText(dir + "roof.xml", roof)) {
        return false;
    }

    // Rec room: 30 layouts per type, spread from easiest to hardest.
    std::string recroom = REC_ROOM_CURVE + "<root>\n  <Vector id=\"recroom\">\n";
    for (int type = 0; type < 5; ++type) {
        recroom += std::string("    <!-- ") + TYPE_WORDS[type] + " -->\n    <Vector>\n";
        const auto& list = byType[type];
        int n = static_cast<int>(list.size());
        for (int i = 0; i < 30; ++i) {
            const LayoutDesign* d = list[static_cast<int>(std::lround(i * (n - 1) / 29.0))];
            LevelXml xml;
            xml.value("gameType", TYPE_WORDS[type]);
            xml.value("layout", d->file);
            xml.value("gameMode", 2);
            xml.value("index", i);
            fixedValues(xml, type, i / 29.0);
            recroom += xml.str("      ", "");
        }
        recroom += "    </Vector>\n";
    }
    recroom += "  </Vector>\n</root>\n";
    return writeText(dir + "recroom.xml", recroom);
}

bool writeLayoutTexts(const std::string& root, const std::vector<LayoutDesign>& designs) {
    std::string text = "<!-- Display names of the layouts under media/levels/. -->\n<root>\n";
    text += "  <Text id=\"TEXT_LAYOUT_NONAME\" value=\"Untitled\"/>\n";
    for (const LayoutDesign& d : designs) {
        text += "  <Text id=\"" + d.textKey() + "\" value=\"" + d.title + "\"/>\n";
    }
    text += "</root>\n";
    return writeText(root + "/media/properties/text.xml", text);
}

}  // namespace levels
