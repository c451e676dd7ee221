#include "testsupport/e2e/RoadLevels.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <string>

#include "game/rules/GameType.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/screen/GameSceneStates.h"
#include "testsupport/TempFolder.h"
#include "testsupport/e2e/RoadDriver.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* TRIPLE_BOARD = "road-triples.xml";
constexpr const char* DIFFICULTY_WORDS[] = {"normal", "hard", "expert"};
// Generous: a road's clicks never race the clock, but a resumed level shows its time kept.
constexpr int32_t PLAY_TIME_PER_TILE = 20000;

// Links every entry of `from` into `to`, except those named in `except`.
void linkEntries(const fs::path& from, const fs::path& to,
                 std::initializer_list<std::string> except) {
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        if (std::find(except.begin(), except.end(), name) == except.end()) {
            fs::create_symlink(entry.path(), to / name);
        }
    }
}

// A board of `tiles` tiles in a row with a tile's width between them; the side boards are the
// shipped layouts' (FreeCell's cells, Split's racks, Speed's single rack).
std::string boardLayout(int32_t tiles) {
    std::ostringstream text;
    text << "<root>\n  <Layout id=\"layout\" displayname=\"\">\n    <Vector id=\"tiles\">\n";
    const int32_t left = 20 - (tiles - 1) * 2;
    for (int32_t k = 0; k < tiles; ++k) {
        text << "      <Tile x=\"" << left + 4 * k << "\" y=\"8\" z=\"0\"/>\n";
    }
    text << "    </Vector>\n    <Vector id=\"sideboards\">\n";
    for (const char* size : {"1\" height=\"1", "4\" height=\"1", "3\" height=\"1", "2\" height=\"1",
                             "2\" height=\"5", "2\" height=\"4", "2\" height=\"3"}) {
        text << "      <SideBoard x=\"12\" y=\"12\" width=\"" << size << "\"/>\n";
    }
    text << "    </Vector>\n  </Layout>\n</root>\n";
    return text.str();
}

const char* boardOf(int32_t gameType) {
    return gameType == TYPE_TRIPLE ? TRIPLE_BOARD : ROAD_PAIR_BOARD;
}

// The values a type needs beyond the common ones, as attributes.
std::string typeValues(int32_t gameType) {
    switch (gameType) {
        case TYPE_FREECELL:
            return " sideBoardIndex=\"1\"";
        case TYPE_SPLIT:
            return " firstHand=\"1\" secondHand=\"1\" thirdHand=\"1\" sideBoardIndex=\"4\"";
        case TYPE_SPEED:
            return " firstHand=\"1\" secondHand=\"1\" thirdHand=\"1\" sideBoardIndex=\"0\"";
        default:
            return "";
    }
}

std::string plainValues() {
    return " pointsPerMatch=\"100\" playTime=\"" + std::to_string(PLAY_TIME_PER_TILE) +
           "\" timeBonus=\"1500\" bonusAt=\"1400\" bonusSpeed=\"15\" multiplierTime=\"6000\""
           " tileDistMin=\"2\" tileDistMax=\"8\"";
}

std::string hallway() {
    std::ostringstream text;
    text << "<root>\n  <Vector id=\"hallway\">\n";
    for (int32_t floor = 1; floor <= 20; ++floor) {
        text << "    <Vector>\n";
        for (int32_t room = 1; room <= 5; ++room) {
            text << "      <Level gameType=\"Classic\" layout=\"" << ROAD_PAIR_BOARD
                 << "\" gameMode=\"0\" floor=\"" << floor << "\" room=\"" << room << "\" index=\""
                 << room - 1 << "\"" << plainValues() << " silver=\"2500\" gold=\"4000\"/>\n";
        }
        text << "    </Vector>\n";
    }
    text << "  </Vector>\n</root>\n";
    return text.str();
}

// A series level of a casino type or the roof's Speed, every step of it on the small board.
std::string seriesLevelXml(int32_t gameType, RoomKind gameMode, int32_t difficulty) {
    const std::string name = boardOf(gameType);
    std::ostringstream text;
    text << "        <Level id=\"level\" gameType=\"" << Level::gameTypeWord(gameType)
         << "\" layout=\"" << name << "\" gameMode=\"" << static_cast<int32_t>(gameMode)
         << "\" difficulty=\"" << difficulty << "\" index=\"0\"" << typeValues(gameType) << ">\n";
    for (const char* progression : {"pointsPerMatch\" start=\"150\" delta=\"15\" cap=\"380",
                                    "timeBonus\" start=\"1300\" delta=\"-50\" cap=\"300",
                                    "bonusAt\" start=\"2250\" delta=\"90\" cap=\"4500",
                                    "bonusSpeed\" start=\"30\" delta=\"4\" cap=\"90",
                                    "multiplierTime\" start=\"5500\" delta=\"-150\" cap=\"2500",
                                    "tileDistMin\" start=\"2\" delta=\"0\" cap=\"2",
                                    "tileDistMax\" start=\"8\" delta=\"0\" cap=\"8"}) {
        text << "          <Node id=\"" << progression << "\"/>\n";
    }
    text << "          <Node id=\"playTime\" start=\"" << PLAY_TIME_PER_TILE
         << "\" delta=\"0\" cap=\"" << PLAY_TIME_PER_TILE << "\"/>\n";
    const std::string entry = "<String value=\"" + name + "\"/>";
    if (gameType == TYPE_SPEED) {
        text << "          <Vector id=\"layoutFileNames\">" << entry << "</Vector>\n";
    } else {
        text << "          <Vector id=\"intro\">" << entry << "</Vector>\n"
             << "          <Vector id=\"easy\"><Integer value=\"1\"/>" << entry << "</Vector>\n"
             << "          <Vector id=\"normal\"><Integer value=\"1\"/>" << entry << "</Vector>\n"
             << "          <Vector id=\"hard\">" << entry << "</Vector>\n";
    }
    text << "        </Level>\n";
    return text.str();
}

// A type's node with its series at the three difficulties.
std::string typeSeries(int32_t gameType, RoomKind gameMode) {
    std::ostringstream text;
    text << "    <Node id=\"" << Level::gameTypeWord(gameType) << "\">\n";
    for (int32_t difficulty = 0; difficulty < LevelCatalog::DIFFICULTY_COUNT; ++difficulty) {
        text << "      <Node id=\"" << DIFFICULTY_WORDS[difficulty] << "\">\n"
             << seriesLevelXml(gameType, gameMode, difficulty) << "      </Node>\n";
    }
    text << "    </Node>\n";
    return text.str();
}

std::string casino() {
    std::string text = "<root>\n  <Node id=\"casino\">\n";
    for (int32_t type = 0; type < LevelCatalog::CASINO_TYPE_COUNT; ++type) {
        text += typeSeries(type, RoomKind::CASINO);
    }
    return text + "  </Node>\n</root>\n";
}

std::string roof() {
    return "<root>\n  <Node id=\"roof\">\n" + typeSeries(TYPE_SPEED, RoomKind::ROOF) +
           "  </Node>\n</root>\n";
}

// One page per casino type, each with a single layout.
std::string recRoom() {
    std::ostringstream text;
    text << "<root>\n  <Vector id=\"recroom\">\n";
    for (int32_t type = 0; type < LevelCatalog::CASINO_TYPE_COUNT; ++type) {
        text << "    <Vector>\n      <Level gameType=\"" << Level::gameTypeWord(type)
             << "\" layout=\"" << boardOf(type) << "\" gameMode=\"2\" index=\"0\"" << plainValues()
             << typeValues(type) << "/>\n    </Vector>\n";
    }
    text << "  </Vector>\n</root>\n";
    return text.str();
}

}  // namespace

void writeRoadProgram(const fs::path& built, const fs::path& folder, int32_t groups) {
    fs::remove_all(folder);
    linkEntries(built, folder, {"media", "media.dat"});
    linkEntries(built / "media", folder / "media", {"properties", "levels"});
    linkEntries(built / "media/properties", folder / "media/properties", {"levels"});
    linkEntries(built / "media/levels", folder / "media/levels", {});
    writeTestFile(folder / "media/levels" / ROAD_PAIR_BOARD, boardLayout(2 * groups));
    writeTestFile(folder / "media/levels" / TRIPLE_BOARD, boardLayout(3 * groups));

    const fs::path levels = folder / "media/properties/levels";
    writeTestFile(levels / "hallway.xml", hallway());
    writeTestFile(levels / "casino.xml", casino());
    writeTestFile(levels / "recroom.xml", recRoom());
    writeTestFile(levels / "roof.xml", roof());
}

void skipMakersLogo(const fs::path& built, const fs::path& folder) {
    if (!fs::exists(folder)) {
        linkEntries(built, folder, {});
    }
    fs::remove_all(folder / "splash");
    linkEntries(built / "splash", folder / "splash", {"branding.xml"});
    std::string branding = readTestFile(built / "splash/branding.xml");
    const std::string shown = "id=\"SHOW_BRASTEL_ANIMATION\" value=\"true\"";
    const size_t at = branding.find(shown);
    if (at == std::string::npos) {
        RoadCheck(false) << "the shipped branding file plays no logo to skip";
        return;
    }
    branding.replace(at, shown.size(), "id=\"SHOW_BRASTEL_ANIMATION\" value=\"false\"");
    writeTestFile(folder / "splash/branding.xml", branding);
}
