#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "framework/os/FileKeyStore.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeKeyStore.h"

namespace key_store_test {

namespace fs = std::filesystem;

constexpr const char* GAME_KEY = "Software\\Brastel\\Games\\QuovelMahjong";
constexpr const char* BVQ_KEY = "Software\\Brastel\\Games\\QuovelMahjong\\bvq";

std::vector<KeyValue> readAll(KeyStore& store, const char* keyPath) {
    std::vector<KeyValue> values;
    EXPECT_TRUE(store.readValues(keyPath, values)) << keyPath;
    return values;
}

// Every rule of the key store holds for the file store and for the fake alike.
template <class Store>
class KeyStoreContract : public ::testing::Test {
protected:
    KeyStoreContract() {
        if constexpr (std::is_same_v<Store, FileKeyStore>) {
            store = std::make_unique<FileKeyStore>((folder.path / "config").string());
        } else {
            store = std::make_unique<Store>();
        }
    }

    TempFolder folder;
    std::unique_ptr<KeyStore> store;
};

using Stores = ::testing::Types<FileKeyStore, FakeKeyStore>;
TYPED_TEST_SUITE(KeyStoreContract, Stores);

TYPED_TEST(KeyStoreContract, ValuesKeepTheirTypeAndData) {
    KeyStore& store = *this->store;
    const std::string awkward = std::string("line one\nline two\r\n\ttab \\ back\\slash \x01\x7F") +
                                std::string(1, '\0') + "caf\xC3\xA9 \xE2\x82\xAC end";
    const std::vector<KeyValue> written = {
        KeyValue::makeDword("zero", 0),
        KeyValue::makeDword("largest", 0xFFFFFFFFu),
        KeyValue::makeString("dgfilename", "/home/someone/_temp/gd.xml"),
        KeyValue::makeString("awkward", awkward),
        KeyValue::makeString("emptytext", ""),
        KeyValue::makeDword("", 7),  // the key's unnamed value
        KeyValue::makeString("name\twith\nbreaks\\", "x"),
        KeyValue::makeBinary("blob", std::string("\x00\xFF\n\x80", 4)),
    };
    for (const KeyValue& value : written) {
        ASSERT_TRUE(store.writeValue(GAME_KEY, value)) << value.name;
    }
    EXPECT_EQ(readAll(store, GAME_KEY), written);

    KeyValue one;
    ASSERT_TRUE(store.readValue(GAME_KEY, "awkward", one));
    EXPECT_EQ(one.type, KeyValueType::STRING);
    EXPECT_EQ(one.text, awkward);
    ASSERT_TRUE(store.readValue(GAME_KEY, "largest", one));
    EXPECT_EQ(one.type, KeyValueType::DWORD);
    EXPECT_EQ(one.dword, 0xFFFFFFFFu);
    EXPECT_FALSE(store.readValue(GAME_KEY, "absent", one));
}

TYPED_TEST(KeyStoreContract, NamesMatchInAnyCaseAndKeepTheirFirstSpelling) {
    KeyStore& store = *this->store;
    ASSERT_TRUE(store.writeDword(GAME_KEY, "SoundVolume", 255));
    ASSERT_TRUE(store.writeDword("software/BRASTEL/games/quovelmahjong", "SOUNDVOLUME", 128));
    ASSERT_TRUE(store.writeString(GAME_KEY, "FullScreen", "1"));
    // A rewrite may change the type as well as the data.
    ASSERT_TRUE(store.writeString(GAME_KEY, "soundvolume", "loud"));

    const std::vector<KeyValue> values = readAll(store, "SOFTWARE\\brastel\\GAMES\\QuovelMAHJONG");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], KeyValue::makeString("SoundVolume", "loud"));
    EXPECT_EQ(values[1], KeyValue::makeString("FullScreen", "1"));

    KeyValue value;
    ASSERT_TRUE(store.readValue(GAME_KEY, "fullSCREEN", value));
    EXPECT_EQ(value.name, "FullScreen");
}

TYPED_TEST(KeyStoreContract, ValuesEnumerateInOrderOfFirstWrite) {
    KeyStore& store = *this->store;
    for (const char* name : {"usehints", "fullscreen", "musicvolume", "usehardware"}) {
        ASSERT_TRUE(store.writeDword(GAME_KEY, name, 1));
    }
    ASSERT_TRUE(store.writeDword(GAME_KEY, "FULLSCREEN", 0));
    std::vector<std::string> names;
    for (const KeyValue& value : readAll(store, GAME_KEY)) {
        names.push_back(value.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"usehints", "fullscreen", "musicvolume", "usehardware"}));
}

TYPED_TEST(KeyStoreContract, KeysAreSeparateAndParentsExist) {
    KeyStore& store = *this->store;
    std::vector<KeyValue> values{KeyValue::makeDword("stale", 1)};
    EXPECT_FALSE(store.readValues(GAME_KEY, values));
    EXPECT_TRUE(values.empty());

    // Trailing and doubled separators, and either slash, name the same key.
    ASSERT_TRUE(
        store.writeDword("Software\\Brastel\\Games\\QuovelMahjong\\bvq\\", "totalplayingtime", 59));
    EXPECT_EQ(readAll(store, "Software//Brastel/Games\\QuovelMahjong/bvq"),
              std::vector<KeyValue>{KeyValue::makeDword("totalplayingtime", 59)});
    EXPECT_TRUE(readAll(store, GAME_KEY).empty());
    EXPECT_TRUE(readAll(store, "Software\\Brastel").empty());
    EXPECT_FALSE(store.readValues("Software\\Brastel\\Games\\Other", values));
}

TYPED_TEST(KeyStoreContract, PathsOutsideThePlainNamesAreRefused) {
    KeyStore& store = *this->store;
    const std::string tooLong(256, 'k');
    for (const std::string& path :
         {std::string("Software"), std::string(""), std::string("\\"),
          std::string("Brastel\\Games\\x"), std::string("/etc/passwd"),
          std::string("Software\\..\\..\\escaped"), std::string("Software\\Brastel\\.."),
          std::string("Software\\.\\Brastel"), std::string("Software\\.hidden"),
          std::string("Software\\a\x01z"), std::string("Software\\bad\xFFutf8"),
          std::string("Software\\VALUES.keystore"), std::string("Software\\x\\") + tooLong,
          std::string("Software\\a\nb")}) {
        std::vector<KeyValue> values;
        EXPECT_FALSE(store.writeDword(path, "v", 1)) << path;
        EXPECT_FALSE(store.readValues(path, values)) << path;
    }
    std::vector<std::string> names;
    EXPECT_TRUE(splitKeyPath(std::string("Software\\") + std::string(255, 'k'), names));
    EXPECT_TRUE(splitKeyPath("Software\\Brastel Games\\caf\xC3\xA9", names));
    EXPECT_EQ(names, (std::vector<std::string>{"Brastel Games", "caf\xC3\xA9"}));
}

TEST(FakeKeyStore, FailingWritesStoreNothing) {
    FakeKeyStore store;
    ASSERT_TRUE(store.writeDword(GAME_KEY, "soundvolume", 255));
    store.failWrites = true;
    EXPECT_FALSE(store.writeDword(GAME_KEY, "soundvolume", 1));
    EXPECT_FALSE(store.writeDword(BVQ_KEY, "totalplayingtime", 1));
    EXPECT_EQ(readAll(store, GAME_KEY),
              std::vector<KeyValue>{KeyValue::makeDword("soundvolume", 255)});
    std::vector<KeyValue> values;
    EXPECT_FALSE(store.readValues(BVQ_KEY, values));
}

class FileKeyStoreTest : public ::testing::Test {
protected:
    fs::path config() const { return folder.path / "config"; }
    fs::path gameFile() const {
        return config() / "Brastel" / "Games" / "QuovelMahjong" / KEY_STORE_FILE_NAME;
    }
    // Every entry under the temporary folder, to show that nothing else was touched.
    std::vector<std::string> entries() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder.path)) {
            found.push_back(fs::relative(entry.path(), folder.path).string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    TempFolder folder;
    FileKeyStore store{config().string()};
};

TEST_F(FileKeyStoreTest, KeysLiveInFoldersNamedAsFirstWritten) {
    ASSERT_TRUE(store.writeDword(GAME_KEY, "soundvolume", 128));
    ASSERT_TRUE(store.writeString("software\\brastel\\games\\QUOVELMAHJONG\\BVQ", "dgfilename",
                                  "/data/gd.xml"));
    EXPECT_EQ(entries(),
              (std::vector<std::string>{"config", "config/Brastel", "config/Brastel/Games",
                                        "config/Brastel/Games/QuovelMahjong",
                                        "config/Brastel/Games/QuovelMahjong/BVQ",
                                        "config/Brastel/Games/QuovelMahjong/BVQ/values.keystore",
                                        "config/Brastel/Games/QuovelMahjong/values.keystore"}));
    EXPECT_EQ(readTestFile(gameFile()), "quovel-keystore 1\ndword\tsoundvolume\t128\nend\n");
    EXPECT_EQ(fs::status(gameFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FileKeyStoreTest, AValueStoredAsItIsIsNotWrittenAgain) {
    ASSERT_TRUE(store.writeString(GAME_KEY, "dgfilename", "/data/gd.xml"));
    ASSERT_TRUE(store.writeDword(GAME_KEY, "soundvolume", 128));
    const std::string before = readTestFile(gameFile());
    // An hour old: a write, which replaces the file whole, would give it the time of now.
    const auto hourAgo = fs::last_write_time(gameFile()) - std::chrono::hours(1);
    fs::last_write_time(gameFile(), hourAgo);

    EXPECT_TRUE(store.writeString(GAME_KEY, "DGFILENAME", "/data/gd.xml"));
    EXPECT_TRUE(store.writeDword(GAME_KEY, "soundvolume", 128));
    EXPECT_EQ(fs::last_write_time(gameFile()), hourAgo);
    EXPECT_EQ(readTestFile(gameFile()), before);

    // A changed value, or a value of another type, is written.
    EXPECT_TRUE(store.writeString(GAME_KEY, "soundvolume", "128"));
    EXPECT_NE(fs::last_write_time(gameFile()), hourAgo);
    EXPECT_EQ(readAll(store, GAME_KEY),
              (std::vector<KeyValue>{KeyValue::makeString("dgfilename", "/data/gd.xml"),
                                     KeyValue::makeString("soundvolume", "128")}));
}

TEST_F(FileKeyStoreTest, TheFileIsPlainTextWithEscapes) {
    const std::vector<KeyValue> values = {
        KeyValue::makeString("path", "C:\\x\ty\nz\x1B"),
        KeyValue::makeDword("Count", 4294967295u),
        KeyValue::makeBinary("raw", std::string("\x00\xC3\xA9", 3)),
    };
    const std::string text = FileKeyStore::encodeValues(values);
    EXPECT_EQ(text,
              "quovel-keystore 1\n"
              "sz\tpath\tC:\\\\x\\ty\\nz\\x1B\n"
              "dword\tCount\t4294967295\n"
              "binary\traw\t\\x00\xC3\xA9\n"
              "end\n");
    std::vector<KeyValue> decoded;
    ASSERT_TRUE(FileKeyStore::decodeValues(text, decoded));
    EXPECT_EQ(decoded, values);
}

TEST_F(FileKeyStoreTest, DamagedFilesReadAsEmpty) {
    const std::string good = FileKeyStore::encodeValues(
        {KeyValue::makeDword("soundvolume", 128), KeyValue::makeString("name", "a\nb")});
    std::vector<KeyValue> values;
    for (size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(FileKeyStore::decodeValues(good.substr(0, length), values)) << length;
        EXPECT_TRUE(values.empty());
    }
    const std::string head = "quovel-keystore 1\n";
    for (const std::string& bad : {
             std::string("garbage"),
             std::string("quovel-keystore 2\nend\n"),
             head + "dword\tx\t12x\nend\n",
             head + "dword\tx\t4294967296\nend\n",
             head + "dword\tx\t-1\nend\n",
             head + "dword\tx\t\nend\n",
             head + "qword\tx\t1\nend\n",
             head + "sz\tx\tbad escape \\q\nend\n",
             head + "sz\tx\tcut escape \\x4\nend\n",
             head + "sz\tx\tlow hex \\x1b\nend\n",
             head + "sz\tx\ttoo\tmany\nend\n",
             head + "sz\tx\n" + "end\n",
             head + "sz\tName\ta\nsz\tNAME\tb\nend\n",
             head + "end\nsz\tx\tafter the end\n",
             head + "end\n\n",
         }) {
        EXPECT_FALSE(FileKeyStore::decodeValues(bad, values)) << bad;
        EXPECT_TRUE(values.empty());
        EXPECT_EQ(FileKeyStore::isOtherVersion(bad), bad.starts_with("quovel-keystore 2")) << bad;
    }
    ASSERT_TRUE(FileKeyStore::decodeValues(head + "end\n", values));
    EXPECT_TRUE(values.empty());

    // Through the store: the key exists and is empty, and the next write replaces the damage.
    ASSERT_TRUE(store.writeDword(GAME_KEY, "musicvolume", 50));
    writeTestFile(gameFile(), good.substr(0, good.size() - 2));
    values.push_back(KeyValue::makeDword("stale", 1));
    EXPECT_TRUE(store.readValues(GAME_KEY, values));
    EXPECT_TRUE(values.empty());
    ASSERT_TRUE(store.writeDword(GAME_KEY, "usehints", 1));
    EXPECT_EQ(readAll(store, GAME_KEY), std::vector<KeyValue>{KeyValue::makeDword("usehints", 1)});

    // Too large to be ours.
    writeTestFile(gameFile(),
                  head + "sz\tbig\t" + std::string(FileKeyStore::MAX_FILE_BYTES, 'a') + "\nend\n");
    EXPECT_TRUE(readAll(store, GAME_KEY).empty());
}

TEST_F(FileKeyStoreTest, WriteFailsWhenTheFilesPlaceIsAFolder) {
    fs::create_directories(gameFile());
    writeTestFile(gameFile() / "inside", "kept");
    const std::vector<std::string> before = entries();

    EXPECT_FALSE(store.writeDword(GAME_KEY, "soundvolume", 1));
    EXPECT_EQ(FileSystem::takeFailedWrite().path, gameFile().string());  // told with its name
    EXPECT_EQ(store.damagedValuesFile(GAME_KEY), gameFile().string());   // to be told as held
    EXPECT_EQ(entries(), before);  // no temporary file left behind
    EXPECT_EQ(readTestFile(gameFile() / "inside"), "kept");
    EXPECT_TRUE(readAll(store, GAME_KEY).empty());
}

TEST_F(FileKeyStoreTest, AFailedWriteLeavesTheOldFileWhole) {
    ASSERT_TRUE(store.writeString(GAME_KEY, "dgfilename", "/old/gd.xml"));
    const std::string before = readTestFile(gameFile());
    const std::vector<std::string> entriesBefore = entries();

    // Writes past the size limit fail with EFBIG in the middle of the new file.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool stored = store.writeString(GAME_KEY, "big", std::string(20000, 'b'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(stored);
    EXPECT_EQ(readTestFile(gameFile()), before);
    EXPECT_EQ(entries(), entriesBefore);
    EXPECT_EQ(readAll(store, GAME_KEY),
              std::vector<KeyValue>{KeyValue::makeString("dgfilename", "/old/gd.xml")});

    // A write that would make a file too large to read back is refused the same way.
    EXPECT_FALSE(
        store.writeString(GAME_KEY, "huge", std::string(FileKeyStore::MAX_FILE_BYTES, 'h')));
    EXPECT_EQ(readTestFile(gameFile()), before);
}

TEST_F(FileKeyStoreTest, SymbolicLinksInsideTheRootAreNotFollowed) {
    const fs::path outside = folder.path / "outside";
    fs::create_directories(outside);
    fs::create_directories(config() / "Brastel");
    fs::create_directory_symlink(outside, config() / "Brastel" / "Games");
    EXPECT_FALSE(store.writeDword(GAME_KEY, "soundvolume", 1));
    EXPECT_EQ(FileSystem::takeFailedWrite().path, gameFile().string());
    std::vector<KeyValue> values;
    EXPECT_FALSE(store.readValues(GAME_KEY, values));
    EXPECT_TRUE(fs::is_empty(outside));

    // A link in the file's place is not read through, and a write replaces the link itself.
    writeTestFile(outside / "secret", FileKeyStore::encodeValues({KeyValue::makeDword("s", 1)}));
    fs::create_directories(config() / "Brastel" / "Other");
    fs::create_symlink(outside / "secret", config() / "Brastel" / "Other" / KEY_STORE_FILE_NAME);
    EXPECT_TRUE(readAll(store, "Software\\Brastel\\Other").empty());
    EXPECT_NE(store.damagedValuesFile("Software\\Brastel\\Other"), "");  // to be kept aside
    ASSERT_TRUE(store.writeDword("Software\\Brastel\\Other", "v", 2));
    EXPECT_EQ(readTestFile(outside / "secret"),
              FileKeyStore::encodeValues({KeyValue::makeDword("s", 1)}));
}

TEST_F(FileKeyStoreTest, EscapingPathsTouchNothing) {
    const std::vector<std::string> before = entries();
    for (const char* path : {"Software\\..\\..\\evil", "Software/../x", "Software\\Brastel\\..\\..",
                             "/tmp/evil", "Software\\/..\\/evil"}) {
        EXPECT_FALSE(store.writeDword(path, "v", 1)) << path;
    }
    EXPECT_EQ(entries(), before);
}

TEST_F(FileKeyStoreTest, AMissingRootIsCreatedAndAnUnknownOneRefused) {
    FileKeyStore deep((folder.path / "a" / "b" / "c").string());
    ASSERT_TRUE(deep.writeDword(GAME_KEY, "usehints", 0));
    EXPECT_TRUE(
        fs::exists(folder.path / "a/b/c/Brastel/Games/QuovelMahjong" / KEY_STORE_FILE_NAME));

    std::vector<KeyValue> values;
    for (const char* root : {"", "relative/config"}) {
        FileKeyStore unknown(root);
        EXPECT_FALSE(unknown.writeDword(GAME_KEY, "usehints", 0)) << root;
        EXPECT_FALSE(unknown.readValues(GAME_KEY, values)) << root;
    }
}

TEST(FileKeyStoreRoot, FollowsTheConfigVariableThenHome) {
    ScopedEnvironment config("XDG_CONFIG_HOME", "/somewhere/config");
    ScopedEnvironment home("HOME", "/home/player");
    EXPECT_EQ(FileKeyStore::defaultRoot(), "/somewhere/config");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(FileKeyStore::defaultRoot(), "/home/player/.config");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FileKeyStore::defaultRoot(), "/home/player/.config");
}

}  // namespace key_store_test
