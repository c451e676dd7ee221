#pragma once
// The game scene made from its definition on the game's own art, fonts and levels, shown and
// driven frame by frame outside the scene manager: the fixture of the game scene's tests and of
// the bars'.
#include <string>
#include <vector>

#include "app/GameMediaFixture.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/screen/SceneGame.h"

class GameSceneTest : public GameMediaTest {
protected:
    // The HUD's art and fonts loaded, with the game section's `moreArt`, and the scene made.
    void makeScene(const std::vector<std::string>& moreArt) {
        loadResources({"FONT_BODY", "FONT_SMALL", "SOUND_CLICK", "SOUND_HOVER"}, "preloading");
        loadResources({"TILE"}, "default");
        loadResources({"IMAGE_HUD_TOP", "IMAGE_HUD_SIDE", "IMAGE_BUTTON_PAUSE", "IMAGE_BUTTON_MENU",
                       "IMAGE_BUTTON_SHUFFLE", "IMAGE_BUTTON_UNDO", "IMAGE_BUTTON_HINT",
                       "IMAGE_BUTTON_HINT_UNLIMITED", "IMAGE_TIMEBAR_BACKGROUND",
                       "IMAGE_TIMEBAR_CLOCK", "IMAGE_TIMEBAR_ROTATE", "IMAGE_TIMEBAR_GLOW",
                       "IMAGE_BONUSBAR_BACKGROUND", "IMAGE_BONUSBAR_FILLING", "IMAGE_BONUSBAR_BOX",
                       "IMAGE_BONUSBAR_SUNSHINE", "IMAGE_BONUS_SCORE_2500"},
                      "game");
        loadResources(moreArt, "game");
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(
            GuiDefinitions::instance()->findScene("SCENE_GAME"));
        scene = objectCast<SceneGame>(made.get());
        ASSERT_NE(scene.get(), nullptr);
    }
    // The scene is hidden as the program leaves it, before the services go.
    void TearDown() override {
        if (scene) {
            scene->hide();
        }
        scene = nullptr;
        GameMediaTest::TearDown();
    }

    // Makes a game of the level current and shows the scene on it.
    Game* show(const RefHolder<Level>& level) {
        EXPECT_NE(level.get(), nullptr);
        Game* game = Game::create(level->getGameType());
        game->setLevel(level.get());
        scene->show();
        return game;
    }
    // Shows the scene on the level behind the door, or on the level, and plays into it.
    Game* play(int32_t floor, int32_t room) {
        return play(LevelCatalog::instance()->findLevel(floor, room));
    }
    Game* play(const RefHolder<Level>& level) {
        Game* game = show(level);
        reachPlay();
        return game;
    }
    // Through the level notice, the host's hint and the build, into play.
    void reachPlay() {
        for (int32_t ms = 0; ms < 30000 && scene->getFlow().getCurrentState(); ms += 16) {
            if (scene->isDialogOpen("DIALOG_DORRICK_HINT")) {
                objectCast<DialogQuovelMahjong>(scene->findDialog("DIALOG_DORRICK_HINT"))
                    ->closeAsOwnTarget(nullptr);
            }
            frame(16);
        }
        EXPECT_TRUE(scene->isPlaying());
    }
    void frame(int32_t ms) {
        scene->update(ms);
        scene->getMoveTask()->update(ms);
        scene->getPurgeTask()->update(ms);
    }
    void runFrames(int32_t count, int32_t ms) {
        for (int32_t i = 0; i < count; ++i) {
            frame(ms);
        }
    }

    RefHolder<SceneGame> scene;
};
