#include <gtest/gtest.h>

#include "framework/os/FileKeyStore.h"
#include "framework/platform/RegistryValue.h"
#include "framework/platform/SettingsManager.h"
#include "game/dialogs/QuovelMahjongGameSettings.h"
#include "testsupport/TempFolder.h"

namespace quovel_mahjong_game_settings_test {

TEST(QuovelMahjongGameSettingsTest, NothingStoredKeepsTheGameDefaults) {
    TempFolder folder;
    FileKeyStore store(folder.str());
    KeyStore::setCurrentUser(&store);
    SettingsManager::createInstance(new QuovelMahjongGameSettings());
    const IGameSettings* settings = SettingsManager::instance()->getSettings();
    EXPECT_TRUE(settings->getFullscreen());
    EXPECT_TRUE(settings->getFullscreenWarning());
    EXPECT_TRUE(settings->getUseHardware());
    EXPECT_TRUE(settings->getUseHints());
    EXPECT_EQ(settings->getSoundVolume(), 255);
    EXPECT_EQ(settings->getMusicVolume(), 50);
    EXPECT_TRUE(settings->isA(&IGameSettings::typeRecord));
    EXPECT_STREQ(settings->getType()->name, "QuovelMahjongGameSettings");
    SettingsManager::releaseInstance();
    KeyStore::setCurrentUser(nullptr);
}

TEST(QuovelMahjongGameSettingsTest, CopyFromTakesAllSixValues) {
    IGameSettings other(false, false, false, false, 300, -7);
    QuovelMahjongGameSettings settings;
    settings.copyFrom(&other);
    EXPECT_FALSE(settings.getFullscreen());
    EXPECT_FALSE(settings.getFullscreenWarning());
    EXPECT_FALSE(settings.getUseHardware());
    EXPECT_FALSE(settings.getUseHints());
    EXPECT_EQ(settings.getSoundVolume(), 300);  // volumes are copied as integers, unclamped
    EXPECT_EQ(settings.getMusicVolume(), -7);

    // And back: a dialog's edited copy returns its values the same way.
    QuovelMahjongGameSettings defaults;
    other.copyFrom(&defaults);
    EXPECT_TRUE(other.getFullscreen());
    EXPECT_TRUE(other.getUseHints());
    EXPECT_EQ(other.getSoundVolume(), 255);
    EXPECT_EQ(other.getMusicVolume(), 50);
}

}  // namespace quovel_mahjong_game_settings_test
