// The program from its start to the lobby, and a first run's name, played by synthetic input.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/platform/PlayerManager.h"
#include "testsupport/e2e/RoadSteps.h"

TEST(Road, StartUpSplashLoadingAndAClickReachTheLobby) {
    RoadDriver road("startup");
    road.showLogo();
    ASSERT_TRUE(reachLobby(road, true));
    road.run(800);
    road.picture("lobby");
    // No player yet: the lobby asks for a name.
    EXPECT_TRUE(road.waitForDialog("DIALOG_NEWPLAYER"));
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, AFirstRunTypesANameAndIsWelcomed) {
    RoadDriver road("firstrun");
    ASSERT_TRUE(reachLobby(road));
    ASSERT_TRUE(road.waitForDialog("DIALOG_NEWPLAYER"));
    road.run(600);
    road.type(L"Ann");
    road.run(200);
    road.picture("name-typed");
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_NEWPLAYER"));
    road.run(600);
    road.picture("welcome");
    EXPECT_EQ(labelText(road, "LABEL_PLAYERNAME"), L"Welcome, Ann");
    EXPECT_EQ(PlayerManager::getInstance()->getCurrentPlayer()->getName(), "Ann");
    EXPECT_EQ(road.finish(), 0);
    EXPECT_TRUE(std::filesystem::exists(road.gameFolder() / "players/players.plrs.!"));
}
