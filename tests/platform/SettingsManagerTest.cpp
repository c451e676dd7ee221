#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/os/FileKeyStore.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/RegistryValue.h"
#include "framework/platform/SettingsManager.h"
#include "testsupport/TempFolder.h"

namespace settings_manager_test {

// Settings with recognisable values that no stored value in these tests repeats.
IGameSettings* makeSettings() {
    return new IGameSettings(true, true, true, true, 255, 50);
}

// Each test runs on a key store in its own temporary folder and ends with no manager.
class SettingsManagerTest : public ::testing::Test {
protected:
    void SetUp() override { KeyStore::setCurrentUser(&store); }
    void TearDown() override {
        SettingsManager::releaseInstance();
        KeyStore::setCurrentUser(nullptr);
    }

    IGameSettings& load() {
        SettingsManager::createInstance(makeSettings());
        return *SettingsManager::instance()->getSettings();
    }
    void put(const KeyValue& value) { ASSERT_TRUE(store.writeValue(gameKey, value)); }

    TempFolder folder;
    FileKeyStore store{folder.str()};
    const std::string gameKey = getGameRegistryPath();
};

TEST_F(SettingsManagerTest, WithoutAGameKeyTheDefaultsStay) {
    IGameSettings& settings = load();
    SettingsManager* manager = SettingsManager::instance();
    EXPECT_TRUE(settings.getFullscreen());
    EXPECT_TRUE(settings.getFullscreenWarning());
    EXPECT_TRUE(settings.getUseHardware());
    EXPECT_TRUE(settings.getUseHints());
    EXPECT_EQ(settings.getSoundVolume(), 255);
    EXPECT_EQ(settings.getMusicVolume(), 50);
    EXPECT_TRUE(manager->getShutdownCorrect());
    EXPECT_FALSE(manager->getDontUseRegistry());
    EXPECT_FALSE(manager->getFatalError());
    EXPECT_EQ(manager->getRegistryPath(), gameKey);
    EXPECT_EQ(manager->getRefCount(), 1);
    // Loading writes nothing.
    std::vector<KeyValue> values;
    EXPECT_FALSE(store.readValues(gameKey, values));
}

TEST_F(SettingsManagerTest, ShutdownCorrectIsFalseOnlyAsTheTextFalseOrAnEmptyText) {
    struct Case {
        KeyValue stored;
        bool shutdownCorrect;
    };
    const Case cases[] = {
        {KeyValue::makeString("shutdowncorrect", "false"), false},
        {KeyValue::makeString("shutdowncorrect", ""), false},
        {KeyValue::makeDword("shutdowncorrect", 0), true},  // reads as the text "0"
        {KeyValue::makeString("shutdowncorrect", "0"), true},
        {KeyValue::makeString("shutdowncorrect", "FALSE"), true},
        {KeyValue::makeBinary("shutdowncorrect", ""), true},  // not read at all
    };
    for (const Case& c : cases) {
        put(c.stored);
        IGameSettings& settings = load();
        EXPECT_EQ(SettingsManager::instance()->getShutdownCorrect(), c.shutdownCorrect)
            << c.stored.text << " type " << static_cast<int>(c.stored.type);
        // A run that ended badly starts the next in a window.
        EXPECT_EQ(settings.getFullscreen(), c.shutdownCorrect);
        SettingsManager::releaseInstance();
    }
}

TEST_F(SettingsManagerTest, NumbersAndTextsAreReadByTheIntegerReader) {
    put(KeyValue::makeDword("soundvolume", 128));
    put(KeyValue::makeString("musicvolume", "#20"));
    put(KeyValue::makeString("fullscreen", "0"));
    put(KeyValue::makeString("usehints", "true"));  // no number: reads 0
    put(KeyValue::makeDword("usehardware", 256));   // a flag counts its low byte only
    put(KeyValue::makeDword("dontuseregistry", 1));
    put(KeyValue::makeString("fatalerror", "yes"));
    IGameSettings& settings = load();
    EXPECT_EQ(settings.getSoundVolume(), 128);
    EXPECT_EQ(settings.getMusicVolume(), 32);
    EXPECT_FALSE(settings.getFullscreen());
    EXPECT_FALSE(settings.getUseHints());
    EXPECT_FALSE(settings.getUseHardware());
    EXPECT_TRUE(settings.getFullscreenWarning());
    EXPECT_TRUE(SettingsManager::instance()->getDontUseRegistry());
    EXPECT_TRUE(SettingsManager::instance()->getFatalError());
}

TEST_F(SettingsManagerTest, TextOneTurnsFullScreenOn) {
    put(KeyValue::makeString("fullscreen", "1"));
    SettingsManager::createInstance(new IGameSettings());
    EXPECT_TRUE(SettingsManager::instance()->getSettings()->getFullscreen());
}

TEST_F(SettingsManagerTest, BinaryAndOverlongValuesAreIgnored) {
    put(KeyValue::makeBinary("soundvolume", std::string("\x10\x00\x00\x00", 4)));
    put(KeyValue::makeBinary("fullscreen", std::string("\0\0\0\0", 4)));
    // Texts of 260 bytes or more never fitted the reading buffer.
    put(KeyValue::makeString("musicvolume", "7" + std::string(259, ' ')));
    put(KeyValue::makeDword("usehints", 0));
    IGameSettings& settings = load();
    EXPECT_EQ(settings.getSoundVolume(), 255);
    EXPECT_TRUE(settings.getFullscreen());
    EXPECT_EQ(settings.getMusicVolume(), 50);
    EXPECT_FALSE(settings.getUseHints());

    SettingsManager::releaseInstance();
    put(KeyValue::makeString("musicvolume", "7" + std::string(258, ' ')));
    EXPECT_EQ(load().getMusicVolume(), 7);
}

TEST_F(SettingsManagerTest, SavingStoresSixNumbersAndNoFlags) {
    IGameSettings& settings = load();
    settings.setFullscreen(false);
    settings.setUseHints(false);
    settings.setSoundVolume(17);
    settings.setMusicVolume(-3);
    SettingsManager::instance()->saveToRegistry();

    std::vector<KeyValue> values;
    ASSERT_TRUE(store.readValues(gameKey, values));
    EXPECT_EQ(values, (std::vector<KeyValue>{
                          KeyValue::makeDword("fullscreen", 0),
                          KeyValue::makeDword("fullscreenwarning", 1),
                          KeyValue::makeDword("usehardware", 1),
                          KeyValue::makeDword("usehints", 0),
                          KeyValue::makeDword("soundvolume", 17),
                          KeyValue::makeDword("musicvolume", 0xFFFFFFFDu),
                      }));

    // The next run reads them back in place of its defaults.
    SettingsManager::releaseInstance();
    IGameSettings& again = load();
    EXPECT_FALSE(again.getFullscreen());
    EXPECT_TRUE(again.getFullscreenWarning());
    EXPECT_FALSE(again.getUseHints());
    EXPECT_EQ(again.getSoundVolume(), 17);
    EXPECT_EQ(again.getMusicVolume(), -3);
}

TEST_F(SettingsManagerTest, ADamagedFileIsKeptAsideAndToldBeforeTheDefaultsReplaceIt) {
    put(KeyValue::makeDword("soundvolume", 17));
    const std::string file = store.keyFolder(gameKey) + "/" + std::string(KEY_STORE_FILE_NAME);
    writeTestFile(file, "quovel-keystore 1\n");  // cut short
    static std::string keptAs;
    fileSetAside.install([](const StoredFile& what, const std::string&, const std::string& kept) {
        keptAs = what.kind == StoredFileKind::SETTINGS ? kept : "";
    });
    EXPECT_EQ(load().getSoundVolume(), 255);
    EXPECT_EQ(readTestFile(keptAs), "quovel-keystore 1\n");  // beside it, ".damaged-<date>"

    // A file of another version is kept as one (and so told).
    SettingsManager::releaseInstance();
    writeTestFile(file, "quovel-keystore 9\ndword\tsoundvolume\t17\nend\n");
    EXPECT_EQ(load().getSoundVolume(), 255);
    fileSetAside.install(nullptr);
    EXPECT_NE(keptAs.find(".other-version-20"), std::string::npos) << keptAs;
}

TEST_F(SettingsManagerTest, ManagerWritesTheFlagsAsUntypedBooleans) {
    put(KeyValue::makeString("shutdowncorrect", "false"));
    load();
    RefHolder<PropertyNode> node(new PropertyNode("n"));
    SettingsManager::instance()->writeSettings(node.get());
    const std::vector<std::string> expected = {
        "fullscreen",  "fullscreenwarning", "usehardware",     "usehints",  "soundvolume",
        "musicvolume", "dontuseregistry",   "shutdowncorrect", "fatalerror"};
    std::vector<std::string> names;
    for (const auto& entry : node->getNameTable()) {
        names.push_back(entry.first);
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(node->getChildCount(), 6);  // the untyped flags are found by name only
    EXPECT_EQ(node->getChild("fullscreen")->getTypeWord(), "Boolean");
    EXPECT_EQ(node->getChild("fullscreen")->getValue(), "false");
    EXPECT_EQ(node->getChild("soundvolume")->getTypeWord(), "Integer");
    EXPECT_EQ(node->getChild("shutdowncorrect")->getTypeWord(), "");
    EXPECT_EQ(node->getChild("shutdowncorrect")->getValue(), "false");
    EXPECT_EQ(node->getChild("dontuseregistry")->getValue(), "false");

    // Read back, the flags take the boolean reading.
    RefHolder<PropertyNode> source(new PropertyNode("n"));
    source->addChild(new PropertyValue("shutdowncorrect", std::string("no"), true));
    SettingsManager::instance()->readSettings(source.get());
    EXPECT_TRUE(SettingsManager::instance()->getShutdownCorrect());
}

TEST_F(SettingsManagerTest, ASecondCreateKeepsTheFirstManager) {
    load().setSoundVolume(1);
    SettingsManager::createInstance(new IGameSettings());
    EXPECT_EQ(SettingsManager::instance()->getSettings()->getSoundVolume(), 1);
}

TEST(GameSettingsTest, ReadingTakesOnlyTheKeysANodeHolds) {
    IGameSettings settings(true, false, true, false, 9, 8);
    RefHolder<PropertyNode> node(new PropertyNode("n"));
    node->addChild(new PropertyValue("musicvolume", std::string("77"), true));
    node->addChild(new PropertyValue("fullscreenwarning", 3));
    settings.readSettings(node.get());
    EXPECT_TRUE(settings.getFullscreen());
    EXPECT_TRUE(settings.getFullscreenWarning());
    EXPECT_EQ(settings.getSoundVolume(), 9);
    EXPECT_EQ(settings.getMusicVolume(), 77);

    // Nothing that is not a node is read, and nothing is written into one.
    RefHolder<PropertyVector> vector(new PropertyVector("v"));
    vector->addChild(new PropertyValue("musicvolume", 1));
    settings.readSettings(vector.get());
    settings.readSettings(nullptr);
    EXPECT_EQ(settings.getMusicVolume(), 77);
    settings.writeSettings(vector.get());
    settings.writeSettings(DUMMY_NODE);
    settings.writeSettings(nullptr);
    EXPECT_EQ(vector->getChildCount(), 1);
    EXPECT_EQ(DUMMY_NODE->getNameTable().size(), 0u);
}

}  // namespace settings_manager_test
