// The board's look chosen by synthetic input: from the hallway the background and tile-set
// choice, another background and another tile set by their next buttons, OK, then a level whose
// screen shows both; the choice kept in the player's profile file.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Folders.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "game/dialogs/DialogSelectBackground.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Level.h"
#include "testsupport/e2e/RoadSteps.h"

namespace board_look_road_test {

// True when `shown` holds the same pixels as the resource `key` of `section`, loaded afresh
// (the game screen unloads its section once it has taken the picture).
bool showsResource(Image* shown, const std::string& key, const std::string& section) {
    RefHolder<Image> resource;
    {
        ResourceManager::DataLock lock;
        resource = objectCast<Image>(findOrLoadResource(key, section));
    }
    if (!shown || !resource || shown->getWidth() != resource->getWidth() ||
        shown->getHeight() != resource->getHeight() ||
        shown->getBytesPerPixel() != resource->getBytesPerPixel() || !shown->lock()) {
        return false;
    }
    bool same = resource->lock();
    const size_t rowBytes = size_t(shown->getWidth()) * size_t(shown->getBytesPerPixel());
    for (int32_t y = 0; same && y < shown->getHeight(); ++y) {
        same =
            std::memcmp(shown->getPixels() + int64_t{y} * shown->getPitch(),
                        resource->getPixels() + int64_t{y} * resource->getPitch(), rowBytes) == 0;
    }
    resource->unlock();
    shown->unlock();
    return same;
}

TEST(Road, AnotherBackgroundAndTileSetAreChosenShownOnTheBoardAndKept) {
    RoadDriver road("board-look");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    QuovelMahjongPlayer* ann = QuovelMahjongPlayer::current();
    ASSERT_EQ(ann->background, 0);
    ASSERT_EQ(ann->tileSet, 0);
    // The second tile set as a floor would leave it: unlocked and not yet seen.
    constexpr size_t secondTileSetItem = 2;
    ann->unlockedStuff[secondTileSetItem] = 1;

    ASSERT_TRUE(road.openDialog("BUTTON_CUSTOMIZE", "DIALOG_SELECT_BACKGROUND"));
    road.picture("choice");
    auto* choice = objectCast<DialogSelectBackground>(road.dialog("DIALOG_SELECT_BACKGROUND"));
    ASSERT_NE(choice, nullptr);
    const std::wstring ofAll = L"/" + std::to_wstring(QuovelMahjongPlayer::BACKGROUND_COUNT);
    EXPECT_EQ(labelText(road, "LABEL_BACKGROUND_COUNT"), L"1" + ofAll);
    EXPECT_EQ(labelText(road, "LABEL_TILESET_COUNT"), L"1/4");

    // Past the last free background the lock shows and OK is refused; one back is free again.
    for (int32_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(road.clickIn("DIALOG_SELECT_BACKGROUND", "BUTTON_NEXT_BACKGROUND"));
        road.run(200);
    }
    EXPECT_EQ(choice->getBackground(), 3);
    EXPECT_TRUE(road.find("BACKGROUND_LOCK")->isVisible());
    road.picture("locked-background");
    ASSERT_TRUE(road.clickIn("DIALOG_SELECT_BACKGROUND", "BUTTON_PREV_BACKGROUND"));
    ASSERT_TRUE(road.clickIn("DIALOG_SELECT_BACKGROUND", "BUTTON_PREV_BACKGROUND"));
    ASSERT_TRUE(road.clickIn("DIALOG_SELECT_BACKGROUND", "BUTTON_NEXT_TILESET"));
    road.run(600);
    road.picture("second-background-and-tile-set");
    EXPECT_EQ(choice->getBackground(), 1);
    EXPECT_EQ(choice->getTileSet(), 1);
    EXPECT_EQ(labelText(road, "LABEL_BACKGROUND_COUNT"), L"2" + ofAll);
    EXPECT_EQ(labelText(road, "LABEL_TILESET_COUNT"), L"2/4");
    EXPECT_FALSE(road.find("BACKGROUND_LOCK")->isVisible());
    EXPECT_FALSE(road.find("TILESET_LOCK")->isVisible());
    EXPECT_TRUE(road.find("NEW_TILE")->isVisible());
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_SELECT_BACKGROUND"));
    EXPECT_EQ(ann->background, 1);
    EXPECT_EQ(ann->tileSet, 1);
    EXPECT_EQ(ann->unlockedStuff[secondTileSetItem], 2) << "the new tile set stays new";

    // The level's screen takes both.
    ASSERT_TRUE(enterRoom(road, 1));
    road.picture("board-with-the-choice");
    EXPECT_EQ(
        labelText(road, "LABEL_PROGRESS_TEXT_REC") + L" " + labelText(road, "LABEL_PROGRESS_REC"),
        L"Cleared 0%")
        << "the per cent sign shows once";
    SceneGame* screen = gameScreen(road);
    EXPECT_TRUE(showsResource(screen->getBackgroundImage(), "BACKGROUND_CUSTOM1", "manual"));
    const GameType gameType = Game::current()->getLevel()->getGameType();
    EXPECT_FALSE(showsResource(screen->getBackgroundImage(), LevelFlow::backgroundKey(gameType, 0),
                               "manual"));
    EXPECT_TRUE(showsResource(screen->getRenderer()->getSymbolImage(), "SYMBOLS2", "manual"));
    EXPECT_FALSE(showsResource(screen->getRenderer()->getSymbolImage(), "SYMBOLS1", "manual"));
    ASSERT_TRUE(stopFromMenu(road, "SCENE_HALLWAY"));
    EXPECT_EQ(road.finish(), 0);

    // The profile file keeps the choice for the next start.
    const std::string profile = road.storedText("players/" + escapeName("Ann") + ".plr");
    ASSERT_FALSE(profile.empty());
    EXPECT_NE(profile.find(" background=\"1\""), std::string::npos);
    EXPECT_NE(profile.find(" tileset=\"1\""), std::string::npos);
}

}  // namespace board_look_road_test
