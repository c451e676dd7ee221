// Writes the fuzz targets' binary seeds and a few trees written by the game's own writers into
// the folder given: pictures, sounds and archives from the tests' makers, saved games of every
// game type, a player list, a score file and a settings file; and files at and just past the
// readers' limits that fit in a fuzz input (the size limits themselves lie far beyond one).
//
// With --slowest first, writes instead the slowest input found that each target accepts within
// its caps, as <folder>/<target>/slowest, for scripts/fuzz-timeout-under-load (their times are
// in scripts/run-fuzz). They are no seeds: each costs up to seconds.
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "GameSupport.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyVector.h"
#include "framework/os/FileKeyStore.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/HighScoreEntry.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/HighScoreTable.h"
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

const char* const GAME_TYPES[] = {"Classic", "FreeCell", "Split", "Triple", "River", "Speed"};

// A game of that type played a little, as the game saves it.
std::string savedGame(int type) {
    fuzz::gameReady();
    Game* game = Game::create(static_cast<GameType>(type));
    RefHolder<Level> level = makeLevel({{"gameType", GAME_TYPES[type]},
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
    const std::string text = saved(store.get());
    Game::releaseCurrent();
    return text;
}

void savedGames() {
    for (int type = 0; type < 6; ++type) {
        writeText("savedgame", std::string(GAME_TYPES[type]) + ".sav", savedGame(type));
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

// The slowest inputs. Each fits its target's caps: fuzz::INPUT_LIMIT, and the -max_len of the
// targets with options.

std::vector<uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

// As many items as keep `prefix`, the items and `suffix` within `limit` bytes.
std::string filled(const std::string& prefix, const std::function<std::string(int)>& item,
                   const std::string& suffix, size_t limit) {
    std::string text = prefix;
    for (int i = 0;; ++i) {
        const std::string next = item(i);
        if (text.size() + next.size() + suffix.size() > limit) {
            return text + suffix;
        }
        text += next;
    }
}

// 64 members (all the target reads) of 16 MB of zeros, the largest unpacked, each deflated to
// 16 KB: a megabyte that unpacks to a gigabyte, its first member read twice. No two share data.
void slowestArchive() {
    const std::string path = (root / "slowest.zip").string();
    const std::string zeros(FileArchive::MAX_MEMBER_SIZE, '\0');
    for (int members = 64;; --members) {
        zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
        for (int i = 0; i < members; ++i) {
            const std::string name = i == 0 ? "media/properties/text.xml" : "m" + std::to_string(i);
            zip_fileinfo info{};
            zipOpenNewFileInZip3(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                 Z_DEFLATED, Z_BEST_COMPRESSION, 0, -MAX_WBITS, MAX_MEM_LEVEL,
                                 Z_DEFAULT_STRATEGY, nullptr, 0);
            zipWriteInFileInZip(zip, zeros.data(), static_cast<unsigned>(zeros.size()));
            zipCloseFileInZip(zip);
        }
        zipClose(zip, nullptr);
        if (fs::file_size(path) <= fuzz::INPUT_LIMIT) {
            break;
        }
    }
    write("archive", "slowest", fileBytes(path));
    fs::remove(path);
}

// 4096 x 4096 pixels (the most taken) of 16-bit RGBA, interlaced, every row Paeth-filtered zeros
// (undoing that filter costs the most): 147 KB. Its size, odd and a multiple of 3, has the
// target decode it in color at 2 bytes a pixel, the slowest of its ways.
void slowestPng() {
    constexpr uint32_t SIDE = 4096;
    constexpr uint32_t PIXEL_BYTES = 8;
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    std::vector<uint8_t> packed;
    auto deflateRows = [&](uint32_t width, uint32_t height, bool lastPass) {
        std::vector<uint8_t> row(1 + width * PIXEL_BYTES, 0);
        row[0] = 4;  // Paeth
        for (uint32_t y = 0; y < height; ++y) {
            const int flush = lastPass && y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
            stream.next_in = row.data();
            stream.avail_in = static_cast<uInt>(row.size());
            int status = Z_OK;
            do {
                uint8_t out[65536];
                stream.next_out = out;
                stream.avail_out = sizeof out;
                status = deflate(&stream, flush);
                packed.insert(packed.end(), out, out + (sizeof out - stream.avail_out));
            } while (stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        }
    };
    // The seven passes of Adam7: first column and row, and steps.
    const uint32_t passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (int pass = 0; pass < 7; ++pass) {
        const auto [x0, y0, dx, dy] = passes[pass];
        deflateRows((SIDE - x0 + dx - 1) / dx, (SIDE - y0 + dy - 1) / dy, pass == 6);
    }
    deflateEnd(&stream);
    std::vector<uint8_t> header = {0, 0, 0x10, 0, 0, 0, 0x10, 0, 16, PNG_COLOR_TYPE_RGB_ALPHA,
                                   0, 0, 1};
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const std::vector<uint8_t>& chunk :
         {pngChunk("IHDR", header), pngChunk("IDAT", packed), pngChunk("IEND", {})}) {
        png.insert(png.end(), chunk.begin(), chunk.end());
    }
    png.resize(png.size() + (3 + 6 - png.size() % 6) % 6, 0);  // after the end: unread
    write("png", "slowest", png);
}

// A 4096 x 4096 picture (the most taken) of a gradient in three components at full resolution,
// progressive (its coefficients kept whole between scans): 870 KB. Odd in size, so that it is
// stored at 2 bytes a pixel. A frame cut after its first scan's header takes two thirds of its
// time.
void slowestJpeg() {
    JpegSpec spec;
    spec.width = 4096;
    spec.height = 4096;
    spec.quality = 50;
    spec.progressive = true;
    spec.hSampling = 1;
    spec.vSampling = 1;
    // Smooth, so that the picture fits in an input.
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                spec.pixels.push_back(static_cast<uint8_t>((x * 3 + y * 5 + c * 40) / 8));
            }
        }
    }
    std::vector<uint8_t> bytes = encodeJpeg(spec);
    bytes.resize(bytes.size() | 1, 0);
    write("jpeg", "slowest", bytes);
}

// 760 s of stereo silence at the output rate: 72 KB that decode to just under the 128 MB a
// sound may have.
void slowestOgg() {
    constexpr int RATE = 44100;
    write("ogg", "slowest",
          testsounds::oggFile(RATE, 2, std::vector<int16_t>(size_t{RATE} * 2 * 760)));
}

// IMA ADPCM, 4 bits a sample (the fewest), mono at 8 kHz (the lowest rate): a megabyte makes
// 2 million samples, converted to 11 million at 44.1 kHz (its even size picks that rate).
void slowestWav() {
    constexpr uint32_t BLOCK = 256;
    constexpr uint32_t BLOCK_SAMPLES = (BLOCK - 4) * 2 + 1;
    constexpr uint32_t RATE = 8000;
    const uint32_t dataBytes = (fuzz::INPUT_LIMIT - 64) / BLOCK * BLOCK;
    std::vector<uint8_t> wav;
    auto text = [&](const char* word) { wav.insert(wav.end(), word, word + 4); };
    auto number = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    };
    text("RIFF");
    number(4 + 8 + 20 + 8 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    number(20, 4);
    number(0x11, 2);  // IMA ADPCM
    number(1, 2);
    number(RATE, 4);
    number(RATE * BLOCK / BLOCK_SAMPLES, 4);
    number(BLOCK, 2);
    number(4, 2);
    number(2, 2);  // the extra bytes: samples a block
    number(BLOCK_SAMPLES, 2);
    text("data");
    number(dataBytes, 4);
    for (uint32_t i = 0; i < dataBytes; ++i) {
        // Each block starts from a zero predictor at step 0, then varied nibbles.
        wav.push_back(i % BLOCK < 4 ? 0 : static_cast<uint8_t>(i * 37));
    }
    write("wav", "slowest", wav);
}

// A megabyte of short text values, each with characters the file form escapes.
void slowestSettings() {
    std::vector<KeyValue> values;
    const size_t empty = FileKeyStore::encodeValues(values).size();
    for (size_t size = empty;;) {
        KeyValue value = KeyValue::makeString(std::to_string(values.size()), "\n\t");
        size += FileKeyStore::encodeValues({value}).size() - empty;
        if (size > fuzz::INPUT_LIMIT) {
            break;
        }
        values.push_back(std::move(value));
    }
    writeText("settings", "slowest", FileKeyStore::encodeValues(values));
}

// Setups that take in setups: each node of S1 takes S0's ten values, each of S2 takes S1's ten
// nodes, and so on, so that the tree holds 10^(d+1) values below S(d) and a node set up as S4
// holds 100,000; one such node and six set up as S3 make about as large a tree as the writer
// still writes. Written and read back, 1.6 KB become megabytes of XML.
void slowestPropertyFile() {
    std::string text = "<root><Node id=\"setups\"><Node id=\"S0\">";
    for (int i = 0; i < 10; ++i) {
        text += "<Integer id=\"v" + std::to_string(i) + "\" value=\"1\"/>";
    }
    text += "</Node>";
    for (int level = 1; level <= 4; ++level) {
        text += "<Node id=\"S" + std::to_string(level) + "\">";
        for (int i = 0; i < 10; ++i) {
            text += "<Node id=\"n" + std::to_string(i) + "\" setup=\"S" +
                    std::to_string(level - 1) + "\"/>";
        }
        text += "</Node>";
    }
    text += "</Node><Node id=\"t\" setup=\"S4\"/>";
    for (int i = 0; i < 6; ++i) {
        text += "<Node id=\"u" + std::to_string(i) + "\" setup=\"S3\"/>";
    }
    writeText("propertyfile", "slowest", text + "</root>");
}

// The XML targets take 4 KB (the players target 24 KB): as many tiles, glyphs, players and
// scores as fit, and two levels of the largest shipped layout.
void slowestTrees() {
    constexpr size_t XML_LIMIT = 4096;
    writeText("layout", "slowest",
              filled(
                  "<root><Layout id=\"layout\"><Vector id=\"tiles\">",
                  [](int i) {
                      return "<Tile x=\"" + std::to_string(i % 20 * 2) + "\" y=\"" +
                             std::to_string(i / 20 % 10 * 2) + "\" z=\"" + std::to_string(i / 200) +
                             "\"/>";
                  },
                  "</Vector></Layout></root>", XML_LIMIT));
    const std::string level =
        "<Level gameType=\"Classic\" layout=\"greatpyramid.xml\" pointsPerMatch=\"100\" "
        "tileDistMin=\"1\" tileDistMax=\"8\"/>";
    writeText("level", "slowest", "<root><Vector id=\"all\">" + level + level + "</Vector></root>");
    writeText("bitmapfont", "slowest",
              filled(
                  "<root><Node id=\"font\" spacewidth=\"8\" lineheight=\"28\"><Vector "
                  "id=\"chars\">",
                  [](int i) {
                      return "<Node c=\"" + std::to_string(32 + i) + "\" sw=\"9\" sh=\"18\" " +
                             "width=\"11\"/>";
                  },
                  "</Vector></Node></root>", XML_LIMIT));

    // The list and the first player's profile, as the players seed.
    fuzz::profileReady();
    fuzz::clearFiles();
    RefHolder<PlayerManager> players(new PlayerManager("1", false));
    players->addPlayer(new QuovelMahjongPlayer("Ann"));
    players->savePlayers();
    const std::vector<uint8_t> profile = fuzz::files().files[players->getPlayerFilePath("Ann")];
    std::vector<uint8_t> list;
    for (int more = 0; more < 10000; ++more) {
        players->addPlayer(new QuovelMahjongPlayer("p" + std::to_string(more)));
        players->savePlayers();
        const std::vector<uint8_t>& saved = fuzz::files().files[players->getPlayersFileName()];
        if (saved.size() + 1 + profile.size() > 24576) {
            break;
        }
        list = saved;
    }
    list.push_back(0);
    list.insert(list.end(), profile.begin(), profile.end());
    write("players", "slowest", list);

    RefHolder<HighScoreManager> scores(new HighScoreManager("1", false));
    RefHolder<HighScoreTable> table(new HighScoreTable(1000, true));
    scores->setTable("classic", table.get());
    std::vector<uint8_t> scoreFile;
    for (int32_t score = 0; score < 1000; ++score) {
        table->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("p", score, false)));
        scores->save();
        const std::vector<uint8_t>& saved = fuzz::files().files[scores->getScoresFileName()];
        if (saved.size() > XML_LIMIT) {
            break;
        }
        scoreFile = saved;
    }
    write("highscores", "slowest", scoreFile);

    // The saved game of the seeds is as large as one of the game's own makes in 4 KB.
    writeText("savedgame", "slowest", savedGame(0));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--slowest") {
        root = argv[2];
        fs::create_directories(root);
        slowestArchive();
        slowestPng();
        slowestJpeg();
        slowestOgg();
        slowestWav();
        slowestSettings();
        slowestPropertyFile();
        slowestTrees();
        return 0;
    }
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
