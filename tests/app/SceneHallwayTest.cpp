// The hallway driven frame by frame on the game's own definitions, hallway file, art and level
// catalogue: a floor built from its definition with each door recoloured on a fresh copy of the
// picture, the room preview following the mouse from door to door and closing half a second
// after it leaves, entering a room by a click, a new medal landing after a win, and the
// floor-end sequence leading to the lift. Pictures go to build/pictures/gui.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TempFolder.h"
#include "app/SceneFrames.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "framework/core/ResourceLookup.h"
#include "framework/core/SceneManager.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "framework/platform/Image.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/dialogs/DialogRoomPreview.h"
#include "game/rules/Game.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"

namespace {

uint32_t pixelAt(Image* image, int32_t x, int32_t y) {
    const uint8_t* row = image->getPixels() + int64_t{y} * image->getPitch();
    return *reinterpret_cast<const uint32_t*>(row + int64_t{x} * 4) & 0xFFFFFFu;
}

class HallwayTest : public ::testing::Test {
protected:
    HallwayTest() : inside(std::filesystem::path(QUOVEL_BINARY_DIR) / "game") {
        setenv("XDG_DATA_HOME", home.str().c_str(), 1);
        resetFolderCache();
        FileArchive::close();
        BasicProperties::createInstance();
        loadGuiDefinitions();
        Random::createInstance(43);
        PlayerManager::createInstance("", false);
        PlayerManager::getInstance()->addPlayer(new QuovelMahjongPlayer("Ann"));
        player = QuovelMahjongPlayer::current();
        player->floorReached = 1;
        player->showHints = false;
        resources = ResourceManager::createInstance();
        resources->loadSectionList("media/properties/resources.xml");
        resources->setReady();
        for (const char* section : {"preloading", "default", "hallway", "manual"}) {
            resources->requestSectionLoad(section);
        }
        waitForLoader(resources);
        manager = SceneManager::createInstance();
        elevator = objectCast<SceneElevator>(manager->createScene("SCENE_ELEVATOR"));
        game = manager->createScene("SCENE_GAME");
        hallway = objectCast<SceneHallway>(manager->createScene("SCENE_HALLWAY"));
    }
    ~HallwayTest() override {
        Game::releaseCurrent();
        SceneManager::releaseInstance();
        ResourceManager::stopLoader();
        PlayerManager::releaseInstance();
        Random::releaseInstance();
        GuiDefinitions::releaseInstance();
        BasicProperties::releaseInstance();
        resetFolderCache();
    }

    template <class Condition>
    int32_t runUntil(Condition condition, int32_t limitMs) {
        return runFramesUntil(manager, condition, limitMs);
    }
    void run(int32_t ms) { runUntil([] { return false; }, ms); }

    // The hallway of the floor made current, as the lift leaves it; run until it is ready.
    void arrive(int32_t floor) {
        hallway->setFloor(floor);
        manager->requestScene(hallway);
        ASSERT_GE(runUntil([&] { return manager->getCurrentScene() == hallway; }, 3000), 0);
        ASSERT_GE(runUntil([&] { return hallway->isInputEnabled(); }, 6000), 0);
    }
    void move(int32_t x, int32_t y) { hallway->getInputHandler()->onMouseMove(x, y, 0); }
    void click(GameNode* node) {
        auto* sprite = objectCast<Sprite>(node);
        const int32_t x = sprite->getAbsoluteX() + sprite->getWidth() / 2;
        const int32_t y = sprite->getAbsoluteY() + sprite->getHeight() / 2;
        InputHandler* input = hallway->getInputHandler();
        input->onMouseMove(x, y, 0);
        input->onLeftButtonDown(x, y, 1, false);
        input->onLeftButtonUp(x, y, 0);
    }
    RefHolder<Level> level(int32_t floor, int32_t door) {
        return LevelCatalog::instance()->findLevel(floor, door);
    }
    RoomRecord& record(int32_t floor, int32_t door) {
        return *player->getStats().roomRecord(floor, door);
    }
    // A win of the room as the level end leaves the records.
    void win(int32_t floor, int32_t door, int32_t score) {
        RoomRecord& room = record(floor, door);
        room.levelWinCount += 1;
        room.playCount += 1;
        room.bestScore = std::max(room.bestScore, score);
    }

    TempFolder home;
    CurrentFolderScope inside;
    QuovelMahjongPlayer* player = nullptr;
    ResourceManager* resources = nullptr;
    SceneManager* manager = nullptr;
    SceneElevator* elevator = nullptr;
    Scene* game = nullptr;
    SceneHallway* hallway = nullptr;
};

TEST_F(HallwayTest, AFloorIsBuiltFromItsDefinitionWithEachDoorRecolouredOnAFreshCopy) {
    ASSERT_NE(hallway, nullptr);
    arrive(12);
    // Floor 12 uses the second definition: its doors, plates and picture.
    EXPECT_EQ(hallway->getDefinitionIndex(), 1);
    Button* door5 = hallway->getDoor(5);
    EXPECT_EQ(door5->getX(), 656);
    EXPECT_EQ(door5->getY(), 230);
    EXPECT_EQ(door5->getWidth(), 104);
    EXPECT_EQ(door5->getHeight(), 214);
    EXPECT_EQ(hallway->getRoomNumber(5)->getImage(), findLoadedResource("ROOM_NUMBER125", "hallway"));
    EXPECT_EQ(hallway->getDoorKnob(5)->getX(), 656 + 104 - 24);
    EXPECT_FLOAT_EQ(hallway->getHue(1), 0.58f);
    EXPECT_EQ(hallway->getPreviewOffset(4).x, 208);
    EXPECT_EQ(hallway->getMedalPosition(3).y, 200 + 62);

    // Each door is shifted by its room's game type; outside the masks the picture is its own.
    Image* original = hallway->getHallwayImage();
    Image* shown = hallway->getBackgroundImage();
    ASSERT_NE(original, nullptr);
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(original, shown);
    int32_t recoloured = 0;
    for (int32_t d = 1; d <= 5; ++d) {
        Button* door = hallway->getDoor(d);
        const int32_t x = door->getX() + 6;
        const int32_t y = door->getY() + door->getHeight() / 2;
        const int32_t type = level(12, d)->getGameType();
        if (hallway->getHue(type) != 0.0f) {
            EXPECT_NE(pixelAt(shown, x, y), pixelAt(original, x, y)) << "door " << d;
            ++recoloured;
        } else {
            EXPECT_EQ(pixelAt(shown, x, y), pixelAt(original, x, y)) << "door " << d;
        }
    }
    EXPECT_GE(recoloured, 3);
    EXPECT_EQ(pixelAt(shown, 400, 100), pixelAt(original, 400, 100));
    writeScenePicture(hallway, "hallway-floor12");

    // Shown again, the floor looks the same: the shift starts again from the picture.
    RefHolder<Image> first(shown);
    manager->requestScene(elevator);
    runUntil([&] { return manager->getCurrentScene() == elevator; }, 3000);
    arrive(12);
    Image* again = hallway->getBackgroundImage();
    ASSERT_NE(again, first.get());
    for (int32_t d = 1; d <= 5; ++d) {
        Button* door = hallway->getDoor(d);
        EXPECT_EQ(pixelAt(again, door->getX() + 6, door->getY() + 20),
                  pixelAt(first.get(), door->getX() + 6, door->getY() + 20));
    }
}

}  // namespace
