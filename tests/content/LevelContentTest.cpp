// Checks the authored level content against the rules the game's loaders and level builders
// rely on: layout files, the four level files and the layout names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "content/BoardModel.h"
#include "content/ContentXml.h"

namespace level_content_test {

namespace fs = std::filesystem;

const std::string MEDIA = std::string(QUOVEL_BINARY_DIR) + "/game/media/";
const char* const TYPE_WORDS[6] = {"Classic", "Freecell", "Split", "Triple", "River", "Speed"};
const char* const DIFFICULTY_WORDS[3] = {"normal", "hard", "expert"};

int typeOf(const std::string& word) {
    for (int t = 0; t < 6; ++t) {
        if (word == TYPE_WORDS[t]) {
            return t;
        }
    }
    return -1;
}

double number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// A side-board rack of a layout.
struct RackSize {
    int columns = 0;
    int rows = 0;
};

// A layout file as read for the checks.
struct LayoutInfo {
    BoardModel board;
    std::string displayName;
    std::vector<RackSize> racks;
    bool oneSideboard = false;
};

// Every layout file under media/levels/, read once.
class Layouts {
public:
    static Layouts& instance() {
        static Layouts layouts;
        return layouts;
    }
    std::map<std::string, LayoutInfo> files;
    std::vector<std::string> problems;

private:
    Layouts() {
        for (const auto& entry : fs::directory_iterator(MEDIA + "levels")) {
            std::string name = entry.path().filename().string();
            std::vector<ContentNode> top;
            std::string error;
            if (!readContentFile(entry.path().string(), top, error)) {
                problems.push_back(error);
                continue;
            }
            const ContentNode* layout = findById(top, "layout");
            if (layout == nullptr) {
                problems.push_back(name + ": no node \"layout\"");
                continue;
            }
            LayoutInfo info;
            info.displayName = layout->value("displayname");
            const ContentNode* tiles = layout->child("tiles");
            if (tiles == nullptr || tiles->tag != "Vector") {
                problems.push_back(name + ": no vector \"tiles\"");
                continue;
            }
            for (const ContentNode& t : tiles->children) {
                int x = std::atoi(t.value("x").c_str());
                int y = std::atoi(t.value("y").c_str());
                int z = std::atoi(t.value("z").c_str());
                if (t.tag != "Tile" || !info.board.place(x, y, z)) {
                    problems.push_back(name + ": tile " + t.tag + " at " + std::to_string(x) + "," +
                                       std::to_string(y) + "," + std::to_string(z) +
                                       " is not a tile inside the grid clear of the others");
                }
            }
            auto readRack = [&](const ContentNode& r) {
                if (r.tag != "SideBoard") {
                    problems.push_back(name + ": a side board of type " + r.tag);
                }
                info.racks.push_back(
                    {std::atoi(r.value("width").c_str()), std::atoi(r.value("height").c_str())});
            };
            if (const ContentNode* one = layout->child("sideboard")) {
                info.oneSideboard = true;
                readRack(*one);
            } else if (const ContentNode* many = layout->child("sideboards")) {
                for (const ContentNode& r : many->children) {
                    readRack(r);
                }
            }
            files[name] = info;
        }
    }
};

std::map<std::string, std::string> readTexts() {
    std::map<std::string, std::string> texts;
    std::vector<ContentNode> top;
    std::string error;
    if (readContentFile(MEDIA + "properties/text.xml", top, error)) {
        for (const ContentNode& n : top) {
            if (n.tag == "Text") {
                texts[n.id] = n.value("value");
            }
        }
    }
    return texts;
}

// The number of faces the dealer hands out for a count (regular suits of 9, 9, 9, 4, 3 faces,
// special suits of 4): a count it cannot deal fully leaves tiles without faces.
int dealtFaceCount(int count, int copies, int group) {
    const int regular = 34;
    int dealt = 0;
    auto special = [&](int c) {
        int groups = c / (regular * copies + group);
        int faces = std::max(group, 4);
        dealt += groups * faces;
        return c - groups * faces;
    };
    auto remainder = [&](int c) {
        c = special(c);
        if (regular * copies <= c) {
            c -= regular * copies;
            dealt += regular * copies;
        }
        if (c > 0) {
            dealt += std::min(c / copies, regular) * copies;
        }
    };
    int threshold = (regular * copies + group) * 2;
    if (count < threshold) {
        remainder(count);
        return dealt;
    }
    while (count >= threshold) {
        count = special(count) - 2 * copies * regular;
        dealt += 2 * copies * regular;
    }
    if (count > 0) {
        remainder(count);
    }
    return dealt;
}

TEST(DealCountTest, MatchesTheDealersKnownCounts) {
    EXPECT_EQ(dealtFaceCount(144, 2, 4), 144);
    EXPECT_LT(dealtFaceCount(142, 2, 4), 142);
    EXPECT_LT(dealtFaceCount(294, 2, 4), 294);
    EXPECT_LT(dealtFaceCount(213, 3, 6), 213);
    EXPECT_EQ(dealtFaceCount(72, 3, 6), 72);
    EXPECT_EQ(dealtFaceCount(100, 1, 4), 100);
    EXPECT_LT(dealtFaceCount(75, 1, 4), 75);
}

// A progression as written: a plain number, or a node with start, delta and cap.
struct Prog {
    bool present = false;
    bool node = false;
    double start = 0, delta = 0, cap = 0;
    bool hasCap = false;
};

Prog readProg(const ContentNode& level, const std::string& name) {
    Prog p;
    if (const ContentNode* c = level.child(name)) {
        p.present = true;
        if (c->isValueTag()) {
            p.start = p.cap = number(c->value("value"));
        } else {
            p.node = true;
            p.start = number(c->value("start"));
            p.delta = number(c->value("delta"));
            p.hasCap = c->has("cap");
            p.cap = number(c->value("cap"));
        }
    } else if (level.attributes.count(name) != 0) {
        p.present = true;
        p.start = p.cap = number(level.value(name));
    }
    return p;
}

// The values a progression takes over a long series (it stops at its cap).
std::vector<double> progValues(const Prog& p, int steps) {
    std::vector<double> out;
    double v = p.start;
    for (int i = 0; i < steps; ++i) {
        out.push_back(v);
        v += p.delta;
        if ((p.delta < 0 && v < p.cap) || (p.delta > 0 && v > p.cap)) {
            v = p.cap;
        }
    }
    return out;
}

// One level found in a level file, with where it was found.
struct LevelRef {
    const ContentNode* node;
    std::string where;
    int expectedType;  // -1 when the place does not fix the type
};

// The layout files a level can play: its "layout", its list, or every name of its groups.
std::vector<std::string> layoutsOf(const ContentNode& level) {
    std::vector<std::string> names;
    if (level.has("layout")) {
        names.push_back(level.value("layout"));
    }
    auto addAll = [&](const char* key, bool skipCount) {
        if (const ContentNode* v = level.child(key)) {
            for (size_t i = skipCount ? 1 : 0; i < v->children.size(); ++i) {
                names.push_back(v->children[i].value("value"));
            }
        }
    };
    addAll("layoutFileNames", false);
    addAll("intro", false);
    addAll("easy", true);
    addAll("normal", true);
    addAll("hard", false);
    return names;
}

class LevelFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* file : {"hallway", "casino", "recroom", "roof"}) {
            std::string error;
            ASSERT_TRUE(
                readContentFile(MEDIA + "properties/levels/" + file + ".xml", roots[file], error))
                << error;
        }
    }
    static const ContentNode* root(const char* file, const char* id) {
        return findById(roots[file], id);
    }
    static std::vector<LevelRef> allLevels();
    static std::map<std::string, std::vector<ContentNode>> roots;
};

std::map<std::string, std::vector<ContentNode>> LevelFiles::roots;

std::vector<LevelRef> LevelFiles::allLevels() {
    std::vector<LevelRef> levels;
    if (const ContentNode* hallway = root("hallway", "hallway")) {
        for (size_t f = 0; f < hallway->children.size(); ++f) {
            for (size_t d = 0; d < hallway->children[f].children.size(); ++d) {
                levels.push_back(
                    {&hallway->children[f].children[d],
                     "hallway floor " + std::to_string(f + 1) + " door " + std::to_string(d + 1),
                     -1});
            }
        }
    }
    if (const ContentNode* recroom = root("recroom", "recroom")) {
        for (size_t g = 0; g < recroom->children.size(); ++g) {
            for (size_t i = 0; i < recroom->children[g].children.size(); ++i) {
                levels.push_back({&recroom->children[g].children[i],
                                  "recroom " + std::to_string(g) + "/" + std::to_string(i),
                                  static_cast<int>(g)});
            }
        }
    }
    if (const ContentNode* casino = root("casino", "casino")) {
        for (int t = 0; t < 5; ++t) {
            for (const char* d : DIFFICULTY_WORDS) {
                const ContentNode* type = casino->child(TYPE_WORDS[t]);
                const ContentNode* diff = type ? type->child(d) : nullptr;
                const ContentNode* level = diff ? diff->child("level") : nullptr;
                if (level != nullptr) {
                    levels.push_back({level, std::string("casino ") + TYPE_WORDS[t] + " " + d, t});
                }
            }
        }
    }
    if (const ContentNode* roof = root("roof", "roof")) {
        for (const char* d : DIFFICULTY_WORDS) {
            const ContentNode* speed = roof->child("Speed");
            const ContentNode* diff = speed ? speed->child(d) : nullptr;
            const ContentNode* level = diff ? diff->child("level") : nullptr;
            if (level != nullptr) {
                levels.push_back({level, std::string("roof Speed ") + d, 5});
            }
        }
    }
    return levels;
}

TEST(LayoutFilesTest, EveryLayoutParsesFitsTheGridAndIsNamed) {
    Layouts& layouts = Layouts::instance();
    for (const std::string& p : layouts.problems) {
        ADD_FAILURE() << p;
    }
    EXPECT_GE(layouts.files.size(), 80u);
    std::map<std::string, std::string> texts = readTexts();
    EXPECT_FALSE(texts["TEXT_LAYOUT_NONAME"].empty());
    for (const auto& [name, info] : layouts.files) {
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(name, lower) << "layout file names are lower case";
        EXPECT_GT(info.board.count(), 0) << name;
        EXPECT_EQ(info.displayName.rfind("TEXT_LAYOUT_", 0), 0u) << name;
        EXPECT_FALSE(texts[info.displayName].empty()) << name << " has no display text";
        for (const RackSize& r : info.racks) {
            EXPECT_GT(r.columns, 0) << name;
            EXPECT_GT(r.rows, 0) << name;
        }
    }
}

TEST_F(LevelFiles, HallwayHasTwentyFloorsOfFiveDoorsWithWinnableMedals) {
    const ContentNode* hallway = root("hallway", "hallway");
    ASSERT_NE(hallway, nullptr);
    EXPECT_EQ(hallway->tag, "Vector");
    ASSERT_EQ(hallway->children.size(), 20u);
    for (size_t f = 0; f < 20; ++f) {
        const ContentNode& floor = hallway->children[f];
        EXPECT_EQ(floor.tag, "Vector");
        ASSERT_EQ(floor.children.size(), 5u) << "floor " << f + 1;
        for (size_t d = 0; d < 5; ++d) {
            const ContentNode& level = floor.children[d];
            std::string where = "floor " + std::to_string(f + 1) + " door " + std::to_string(d + 1);
            int type = typeOf(level.value("gameType"));
            EXPECT_GE(type, 0) << where;
            EXPECT_LE(type, 4) << where << ": no Speed in the hallway";
            EXPECT_EQ(level.value("gameMode"), "0") << where;
            EXPECT_EQ(std::atoi(level.value("room").c_str()), static_cast<int>(d + 1)) << where;
            // The index is the level's place in its floor's list, counted from 0.
            EXPECT_EQ(std::atoi(level.value("index").c_str()), static_cast<int>(d)) << where;
            int silver = std::atoi(level.value("silver").c_str());
            int gold = std::atoi(level.value("gold").c_str());
            EXPECT_GT(silver, 0) << where;
            EXPECT_LT(silver, gold) << where;
            // Gold must be in reach: an average combo of 3 over the level's matches.
            auto it = Layouts::instance().files.find(level.value("layout"));
            ASSERT_NE(it, Layouts::instance().files.end()) << where;
            int tiles = it->second.board.count();
            int matches = type == 3 ? tiles / 3 : (type == 2 ? tiles : tiles / 2);
            EXPECT_LE(gold, 3 * matches * number(level.value("pointsPerMatch"))) << where;
        }
    }
}

TEST_F(LevelFiles, RecRoomHasThirtyLevelsOfEachCasinoType) {
    const ContentNode* recroom = root("recroom", "recroom");
    ASSERT_NE(recroom, nullptr);
    EXPECT_EQ(recroom->tag, "Vector");
    ASSERT_EQ(recroom->children.size(), 5u);
    for (int g = 0; g < 5; ++g) {
        const ContentNode& page = recroom->children[g];
        EXPECT_EQ(page.tag, "Vector");
        ASSERT_EQ(page.children.size(), 30u) << "type " << g;
        std::set<std::string> distinct;
        for (const ContentNode& level : page.children) {
            EXPECT_EQ(typeOf(level.value("gameType")), g);
            EXPECT_EQ(level.value("gameMode"), "2");
            distinct.insert(level.value("layout"));
        }
        EXPECT_EQ(distinct.size(), 30u) << "type " << g << " repeats a layout";
    }
}

TEST_F(LevelFiles, CasinoAndRoofSeriesStepThroughTheirListsAndHardCycle) {
    const ContentNode* casino = root("casino", "casino");
    const ContentNode* roof = root("roof", "roof");
    ASSERT_NE(casino, nullptr);
    ASSERT_NE(roof, nullptr);
    std::vector<std::pair<const ContentNode*, int>> series;
    for (int t = 0; t < 5; ++t) {
        const ContentNode* type = casino->child(TYPE_WORDS[t]);
        ASSERT_NE(type, nullptr) << TYPE_WORDS[t];
        for (const char* d : DIFFICULTY_WORDS) {
            const ContentNode* diff = type->child(d);
            ASSERT_NE(diff, nullptr) << TYPE_WORDS[t] << " " << d;
            ASSERT_NE(diff->child("level"), nullptr);
            series.push_back({diff->child("level"), t});
        }
    }
    const ContentNode* speed = roof->child("Speed");
    ASSERT_NE(speed, nullptr);
    for (const char* d : DIFFICULTY_WORDS) {
        ASSERT_NE(speed->child(d), nullptr);
        ASSERT_NE(speed->child(d)->child("level"), nullptr);
        series.push_back({speed->child(d)->child("level"), 5});
    }
    std::mt19937 random(7);
    for (const auto& [level, type] : series) {
        EXPECT_EQ(level->tag, "Level");
        EXPECT_EQ(typeOf(level->value("gameType")), type);
        EXPECT_EQ(level->value("index"), "0");
        // Build the play list as the level does (groups drawn at random), then step it.
        std::vector<std::string> list;
        int hardStart = 0;
        if (const ContentNode* names = level->child("layoutFileNames")) {
            for (const ContentNode& n : names->children) {
                list.push_back(n.value("value"));
            }
            hardStart = std::atoi(level->value("hardStartIndex").c_str());
            ASSERT_FALSE(list.empty());
            EXPECT_EQ(level->value("layout"), list.front());
        } else {
            ASSERT_NE(level->child("hard"), nullptr) << "a series needs a list or groups";
            for (const char* group : {"intro", "easy", "normal"}) {
                const ContentNode* g = level->child(group);
                if (g == nullptr) {
                    continue;
                }
                std::vector<std::string> names;
                bool counted = std::string(group) != "intro";
                for (size_t i = counted ? 1 : 0; i < g->children.size(); ++i) {
                    names.push_back(g->children[i].value("value"));
                }
                std::shuffle(names.begin(), names.end(), random);
                size_t take = names.size();
                if (counted) {
                    ASSERT_FALSE(g->children.empty());
                    EXPECT_EQ(g->children[0].tag, "Integer");
                    take = std::min<size_t>(take, std::atoi(g->children[0].value("value").c_str()));
                }
                list.insert(list.end(), names.begin(), names.begin() + take);
            }
            hardStart = static_cast<int>(list.size());
            for (const ContentNode& n : level->child("hard")->children) {
                list.push_back(n.value("value"));
            }
        }
        int count = static_cast<int>(list.size());
        // Without a hard part that starts after the first entry the series would only
        // repeat its first layout.
        EXPECT_GT(hardStart, 0);
        EXPECT_LT(hardStart, count);
        std::set<std::string> played;
        for (int index = 0; index < 40; ++index) {
            int i = index < count ? index : hardStart + (index - hardStart) % (count - hardStart);
            ASSERT_EQ(Layouts::instance().files.count(list[i]), 1u) << list[i];
            played.insert(list[i]);
        }
        EXPECT_EQ(static_cast<int>(played.size()),
                  static_cast<int>(std::set<std::string>(list.begin(), list.end()).size()));
    }
}

TEST_F(LevelFiles, EveryLevelCarriesTheKeysOfItsType) {
    std::vector<LevelRef> levels = allLevels();
    EXPECT_EQ(levels.size(), 100u + 150u + 15u + 3u);
    for (const LevelRef& ref : levels) {
        const ContentNode& level = *ref.node;
        EXPECT_EQ(level.tag, "Level") << ref.where;
        int type = typeOf(level.value("gameType"));
        ASSERT_GE(type, 0) << ref.where << ": game type word " << level.value("gameType");
        if (ref.expectedType >= 0) {
            EXPECT_EQ(type, ref.expectedType) << ref.where;
        }
        std::vector<std::string> keys = {"pointsPerMatch", "playTime",   "timeBonus",
                                         "bonusAt",        "bonusSpeed", "multiplierTime"};
        if (type == 0 || type == 1 || type == 3) {
            keys.push_back("tileDistMin");
            keys.push_back("tileDistMax");
        }
        if (type == 1 || type == 2 || type == 5) {
            keys.push_back("sideBoardIndex");
        }
        if (type == 2 || type == 5) {
            keys.push_back("firstHand");
            keys.push_back("secondHand");
            keys.push_back("thirdHand");
        }
        for (const std::string& key : keys) {
            Prog p = readProg(level, key);
            EXPECT_TRUE(p.present) << ref.where << " lacks " << key;
            if (p.node && p.delta != 0) {
                // Without a cap a moving value drops to 0 at the first advance.
                EXPECT_TRUE(p.hasCap) << ref.where << " " << key;
                EXPECT_TRUE(p.delta > 0 ? p.cap >= p.start : p.cap <= p.start)
                    << ref.where << " " << key << " moves away from its cap";
            }
            for (double v : progValues(p, 30)) {
                if (key == "playTime" || key == "pointsPerMatch" || key == "bonusAt" ||
                    key == "multiplierTime") {
                    EXPECT_GE(v, 1) << ref.where << " " << key;
                }
            }
        }
        if (type == 2 || type == 5) {
            std::vector<double> h1 = progValues(readProg(level, "firstHand"), 30);
            std::vector<double> h2 = progValues(readProg(level, "secondHand"), 30);
            std::vector<double> h3 = progValues(readProg(level, "thirdHand"), 30);
            for (size_t i = 0; i < h1.size(); ++i) {
                EXPECT_GT(int(h1[i]) + int(h2[i]) + int(h3[i]), 0) << ref.where;
            }
        }
        for (const std::string& file : layoutsOf(level)) {
            EXPECT_EQ(Layouts::instance().files.count(file), 1u) << ref.where << ": " << file;
        }
    }
}

// Deals tried per layout; the sanitizer build looks for memory faults, not odds.
#ifdef __SANITIZE_ADDRESS__
constexpr int GROUP_DEALS = 1;
constexpr int PATH_DEALS = 2;
#else
constexpr int GROUP_DEALS = 3;
constexpr int PATH_DEALS = 8;
#endif

// Every layout checked against every game type that plays it.
TEST_F(LevelFiles, EveryLayoutFitsAndBuildsForEveryTypeThatPlaysIt) {
    std::map<std::string, std::set<int>> typesOf;
    std::map<std::string, std::set<int>> racksOf;  // side-board indices per layout
    for (const LevelRef& ref : allLevels()) {
        int type = typeOf(ref.node->value("gameType"));
        std::set<int> indices;
        for (double v : progValues(readProg(*ref.node, "sideBoardIndex"), 30)) {
            indices.insert(static_cast<int>(v));
        }
        for (const std::string& file : layoutsOf(*ref.node)) {
            typesOf[file].insert(type);
            if (type == 1 || type == 2 || type == 5) {
                for (int i : indices) {
                    racksOf[file + "/" + std::to_string(type)].insert(i);
                }
            }
        }
    }
    std::mt19937 random(20240601);
    for (const auto& [file, types] : typesOf) {
        auto it = Layouts::instance().files.find(file);
        ASSERT_NE(it, Layouts::instance().files.end()) << file;
        const LayoutInfo& info = it->second;
        int n = info.board.count();
        for (int type : types) {
            std::string what = file + " as " + TYPE_WORDS[type];
            EXPECT_EQ(n % 2, 0) << what;
            int copies = type == 3 ? 3 : (type == 2 || type == 5) ? 1 : 2;
            int group = type == 3 ? 6 : 4;
            EXPECT_EQ(dealtFaceCount(n, copies, group), n)
                << what << ": the dealer leaves tiles bare";
            if (type == 3) {
                EXPECT_EQ(n % 3, 0) << what;
            }
            if (type == 0 || type == 1 || type == 3) {
                for (int seed = 0; seed < GROUP_DEALS; ++seed) {
                    EXPECT_TRUE(info.board.clearsByFreeGroups(type == 3 ? 3 : 2, random, 50))
                        << what << " cannot be emptied";
                }
            }
            if (type == 4) {
                for (int z = 0; z < 7; ++z) {
                    EXPECT_EQ(info.board.layerCount(z) % 2, 0) << what << " layer " << z;
                }
                for (int seed = 0; seed < PATH_DEALS; ++seed) {
                    EXPECT_TRUE(info.board.clearsByPaths(random)) << what << " gets stuck";
                }
            }
            if (type == 1 || type == 2 || type == 5) {
                EXPECT_FALSE(info.racks.empty()) << what << " has no side board";
                for (int index : racksOf[file + "/" + std::to_string(type)]) {
                    ASSERT_TRUE(info.oneSideboard ||
                                (index >= 0 && index < static_cast<int>(info.racks.size())))
                        << what << " side board " << index;
                    const RackSize& rack = info.racks[info.oneSideboard ? 0 : index];
                    if (type == 5) {
                        EXPECT_EQ(rack.columns * rack.rows, 1) << what << ": Speed shows one tile";
                    } else {
                        EXPECT_GE(rack.columns * rack.rows, 2) << what;
                    }
                }
            }
        }
    }
}

TEST(BoardModelTest, FreeRuleAndPathsFollowTheGame) {
    BoardModel row;
    ASSERT_TRUE(row.place(0, 0, 0));
    ASSERT_TRUE(row.place(2, 0, 0));
    ASSERT_TRUE(row.place(4, 0, 0));
    EXPECT_FALSE(row.place(5, 1, 0)) << "overlapping cells";
    EXPECT_FALSE(row.place(40, 0, 0)) << "outside the grid";
    EXPECT_TRUE(row.isFree(0, false));
    EXPECT_FALSE(row.isFree(1, false));
    EXPECT_TRUE(row.isFree(1, true)) << "River frees a tile whose upper side is empty";
    // Touching neighbours join around the row; the ends join along the top margin.
    EXPECT_TRUE(row.connected(0, 2));
    ASSERT_TRUE(row.place(2, 2, 1));
    EXPECT_FALSE(row.connected(0, 3)) << "tiles on other layers never pair";

    // A tile walled in on all four sides reaches nothing.
    BoardModel box;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            ASSERT_TRUE(box.place(10 + 2 * x, 5 + 2 * y, 0));
        }
    }
    ASSERT_TRUE(box.place(30, 5, 0));
    EXPECT_FALSE(box.connected(4, 9));
    EXPECT_TRUE(box.connected(0, 9));

    // Two stacked tiles cannot be taken as a pair; side by side they can.
    BoardModel stack;
    ASSERT_TRUE(stack.place(0, 0, 0));
    ASSERT_TRUE(stack.place(0, 0, 1));
    std::mt19937 random(1);
    EXPECT_FALSE(stack.clearsByFreeGroups(2, random, 5));
    BoardModel pair;
    ASSERT_TRUE(pair.place(0, 0, 0));
    ASSERT_TRUE(pair.place(2, 0, 0));
    EXPECT_TRUE(pair.clearsByFreeGroups(2, random, 5));
    EXPECT_TRUE(pair.clearsByPaths(random));
}

}  // namespace level_content_test
