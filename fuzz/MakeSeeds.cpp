// Writes the fuzz targets' binary seeds and a few trees written by the game's own writers into
// the folder given: pictures, sounds and archives from the tests' makers, saved games of every
// game type, a player list, a score file and a settings file; and files at and just past the
// readers' limits that fit in a fuzz input (the size limits themselves lie far beyond one).
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GameSupport.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyVector.h"
#include "framework/os/FileKeyStore.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/PlayerManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "testsupport/os/TestSounds.h"
#include "testsupport/platform/PictureEncoder.h"
#include "testsupport/platform/ZipBuilder.h"

namespace fs = std::filesystem;

namespace {

fs::path root;

void write(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::string& target, const std::string& name, const std::string& text) {
    write(target, name, std::vector<uint8_t>(text.begin(), text.end()));
}

// A store written by PropertyStore::save, as the game writes its files.
std::string saved(PropertyStore* store) {
    store->setSaveFileName("/opt/game/seed.xml");
    store->setSourceMode(1);
    store->save();
    const std::vector<uint8_t>& bytes = fuzz::files().files["/opt/game/seed.xml"];
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> gradient(int width, int height, int channels) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width * channels; ++x) {
            pixels.push_back(static_cast<uint8_t>(x * 7 + y * 13));
        }
    }
    return pixels;
}

void pictures() {
    const struct {
        const char* name;
        int colorType;
        int bitDepth;
        int channels;
        bool interlaced;
    } kinds[] = {{"rgb.png", PNG_COLOR_TYPE_RGB, 8, 3, false},
                 {"rgba.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, true},
                 {"grey.png", PNG_COLOR_TYPE_GRAY, 8, 1, false},
                 {"grey-alpha16.png", PNG_COLOR_TYPE_GRAY_ALPHA, 16, 4, false},
                 {"palette.png", PNG_COLOR_TYPE_PALETTE, 8, 1, false}};
    for (const auto& kind : kinds) {
        PngSpec spec;
        spec.width = 7;
        spec.height = 5;
        spec.colorType = kind.colorType;
        spec.bitDepth = kind.bitDepth;
        spec.interlaced = kind.interlaced;
        const std::vector<uint8_t> pixels = gradient(7, 5, kind.channels);
        for (int y = 0; y < 5; ++y) {
            spec.rows.emplace_back(pixels.begin() + y * 7 * kind.channels,
                                   pixels.begin() + (y + 1) * 7 * kind.channels);
        }
        if (kind.colorType == PNG_COLOR_TYPE_PALETTE) {
            for (int i = 0; i < 256; ++i) {
                spec.palette.push_back(
                    {static_cast<png_byte>(i), static_cast<png_byte>(255 - i), 40});
            }
        }
        write("png", kind.name, encodePng(spec));
    }
    for (const bool progressive : {false, true}) {
        for (const int components : {1, 3}) {
            JpegSpec spec;
            spec.width = 19;
            spec.height = 11;
            spec.components = components;
            spec.colorSpace = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
            spec.progressive = progressive;
            spec.pixels = gradient(19, 11, components);
            write("jpeg",
                  std::string(progressive ? "progressive" : "baseline") +
                      (components == 1 ? "-grey.jpg" : "-rgb.jpg"),
                  encodeJpeg(spec));
            if (progressive && components == 3) {
                // Refused: more scans than a picture may have, and arithmetic coding.
                write("jpeg", "many-scans.jpg", withRepeatedLastScan(encodeJpeg(spec), 1000));
                spec.arithmetic = true;
                write("jpeg", "arithmetic.jpg", encodeJpeg(spec));
            }
        }
    }
}

void sounds() {
    write("wav", "mono.wav",
          testsounds::wavFile(22050, 1, testsounds::tone(22050, 1, 300, 440, 0.5)));
    write("wav", "stereo.wav",
          testsounds::wavFile(44100, 2, testsounds::tone(44100, 2, 200, 330, 0.4)));
    write("ogg", "mono.ogg",
          testsounds::oggFile(22050, 1, testsounds::tone(22050, 1, 3000, 440, 0.5)));
    write("ogg", "stereo.ogg",
          testsounds::oggFile(44100, 2, testsounds::tone(44100, 2, 3000, 330, 0.4)));
}

void archives() {
    const std::string path = (root / "archive.zip").string();
    writeZip(path,
             {{"media/properties/text.xml", "<root><Text id=\"a\" value=\"b\"/></root>", true},
              {"media/images/blank.png", std::string(40, '\0'), false}});
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    write("archive", "two-members.zip", bytes);
    fs::remove(path);
}

RefHolder<Level> makeLevel(const std::vector<std::pair<std::string, std::string>>& values) {
    RefHolder<PropertyNode> node(new PropertyNode("level", "Level"));
    for (const auto& [key, text] : values) {
        node->addChild(new PropertyValue(key, text, true));
    }
    node->addChild(new PropertyValue("isSaveGame", "", true));
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->create("Level", node.get()));
    return RefHolder<Level>(objectCast<Level>(made.get()));
}

RefHolder<Layout> makeLayout(GameType gameType) {
    RefHolder<PropertyNode> node(new PropertyNode("layout", "Layout"));
    auto* tiles = static_cast<PropertyVector*>(node->addChild(new PropertyVector("tiles")));
    for (int x = 0; x <= 10; x += 2) {
        for (int y = 0; y <= 4; y += 4) {
            auto* tile = static_cast<PropertyNode*>(tiles->addChild(new PropertyNode("", "Tile")));
            tile->addChild(new PropertyValue("x", std::to_string(x), true));
            tile->addChild(new PropertyValue("y", std::to_string(y), true));
            tile->addChild(new PropertyValue("z", "0", true));
        }
    }
    return RefHolder<Layout>(new Layout(node.get(), gameType, gameType == 1 ? 1 : 4));
}

void savedGames() {
    fuzz::gameReady();
    const char* types[] = {"Classic", "FreeCell", "Split", "Triple", "River", "Speed"};
    for (int type = 0; type < 6; ++type) {
        Game* game = Game::create(static_cast<GameType>(type));
        RefHolder<Level> level = makeLevel({{"gameType", types[type]},
                                            {"pointsPerMatch", "100"},
                                            {"tileDistMin", "1"},
                                            {"tileDistMax", "4"},
                                            {"sideBoardIndex", type == 1 ? "1" : "4"}});
        RefHolder<Layout> layout = makeLayout(static_cast<GameType>(type));
        level->setLayoutObject(layout.get());
        game->setLevel(level.get());
        fuzz::playHint(*game);
        RefHolder<PropertyStore> store(new PropertyStore());
        auto* node = static_cast<PropertyNode*>(store->addChild(new PropertyNode("game")));
        game->save(node);
        writeText("savedgame", std::string(types[type]) + ".sav", saved(store.get()));
        Game::releaseCurrent();
    }
}

// A player list of two and the current player's profile, joined by a 0 byte.
void players() {
    fuzz::profileReady();
    RefHolder<PlayerManager> manager(new PlayerManager("1", false));
    manager->addPlayer(new QuovelMahjongPlayer("Ann"));
    manager->addPlayer(
        new QuovelMahjongPlayer("B\xC3\xA9"
                                "a 2"));
    manager->savePlayers();
    std::vector<uint8_t> bytes = fuzz::files().files[manager->getPlayersFileName()];
    bytes.push_back(0);
    const std::vector<uint8_t>& profile = fuzz::files().files[manager->getPlayerFilePath("Ann")];
    bytes.insert(bytes.end(), profile.begin(), profile.end());
    write("players", "two-players", bytes);
}

// The Ogg page checksum (polynomial 0x04C11DB7, no reflection), over the page with its checksum
// field zeroed.
void setOggChecksum(std::vector<uint8_t>& page, size_t length) {
    for (size_t i = 22; i < 26; ++i) {
        page[i] = 0;
    }
    uint32_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc ^= uint32_t{page[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    for (size_t i = 0; i < 4; ++i) {
        page[22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
}

// An element of `attributes` attributes, its "id" one of them.
std::string wideNode(int attributes, const std::string& tag = "Node") {
    std::string text = "<" + tag + " id=\"w\"";
    for (int i = 1; i < attributes; ++i) {
        text += " a" + std::to_string(i) + "=\"1\"";
    }
    return text + "/>";
}

void limits() {
    const int widest = PropertyStore::MAX_ATTRIBUTES;
    for (const int width : {widest, widest + 1}) {
        const std::string name = "wide-" + std::to_string(width) + ".xml";
        writeText("propertyfile", name, "<root>" + wideNode(width) + "</root>");
        writeText("savedgame", name,
                  "<root><Node id=\"game\">" + wideNode(width) + "</Node></root>");
        writeText("players", name,
                  "<root><Players id=\"players\"><String id=\"version\" value=\"1\"/>"
                  "<Vector id=\"playernames\">" +
                      wideNode(width, "QuovelMahjongPlayer") + "</Vector></Players></root>");
    }
    // Rates at the ends of the range taken and just past them.
    const std::vector<int16_t> pcm = testsounds::tone(8000, 1, 200, 440, 0.5);
    for (const int rate : {1, 7999, 8000, 192000, 192001}) {
        write("wav", "rate-" + std::to_string(rate) + ".wav", testsounds::wavFile(rate, 1, pcm));
    }
    // The identification header (rate at byte 40 of the first page) made to say another rate.
    for (const int rate : {8000, 192000}) {
        std::vector<uint8_t> ogg =
            testsounds::oggFile(rate, 1, testsounds::tone(rate, 1, 800, 440, 0.5));
        write("ogg", "rate-" + std::to_string(rate) + ".ogg", ogg);
        const int past = rate == 8000 ? 7999 : 192001;
        for (int i = 0; i < 4; ++i) {
            ogg[40 + i] = static_cast<uint8_t>(past >> (8 * i));
        }
        setOggChecksum(ogg, 28 + ogg[27]);
        write("ogg", "rate-" + std::to_string(past) + ".ogg", ogg);
    }
    // Members claiming the largest size unpacked and one byte more.
    const std::string path = (root / "limit.zip").string();
    for (const uint32_t size : {FileArchive::MAX_MEMBER_SIZE, FileArchive::MAX_MEMBER_SIZE + 1}) {
        writeZip(path, {{"media/properties/text.xml", std::string(100, 'a'), true}});
        patchZipMember(path, "media/properties/text.xml", ZipField::UNCOMPRESSED_SIZE, size);
        std::ifstream in(path, std::ios::binary);
        write("archive", "member-" + std::to_string(size),
              std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>()));
    }
    fs::remove(path);
}

void settings() {
    const std::vector<KeyValue> values = {KeyValue::makeDword("fullscreen", 1),
                                          KeyValue::makeString("name", "Ann\tB\\C\n"),
                                          KeyValue::makeBinary("blob", std::string("\0\1\xFF", 3))};
    writeText("settings", "values.txt", FileKeyStore::encodeValues(values));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    root = argv[1];
    pictures();
    sounds();
    archives();
    savedGames();
    players();
    settings();
    limits();
    return 0;
}
