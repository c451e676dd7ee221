#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/MessageHandler.h"
#include "game/rules/DisplayValue.h"
#include "game/screen/BoardInput.h"
#include "game/screen/BoardScreen.h"
#include "game/screen/Floaters.h"
#include "game/screen/GameDialogHost.h"
#include "game/screen/GameHud.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/LevelFlow.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "game/screen/TrophyNotices.h"

class BonusBar;
class SoundNode;
class TimeBar;

// The screen on which a level is played. It owns the parts that play it and hands them to each
// other through `PlayScreen`: the HUD bound from its definition (`GameHud`), the trophy
// notices (`TrophyNotices`), the board input, the player's aids, the level's flow (start,
// states, pause, end), the saved game, the rules' game screen (`BoardScreen`) and the floaters.
// The scene itself holds what they share: the board renderer, the time and bonus bars, the
// layers for the level-end pictures and input widgets, and the time sound; it places the board
// input's hint path layer and the floaters' layer in its tree, is the game dialogs' host and
// takes the mouse and the window's focus messages for the board input.
//
// A level runs through the game-scene states (information, instructions, build, shuffle, end);
// play is the absence of a state. The frame update pauses on the pause and menu requests and on
// focus loss, and no time passes while a dialog is open over the game.
class SceneGame : public SceneQuovelMahjong,
                  public GameDialogHost,
                  public WindowMessageListener,
                  public PlayScreen,
                  private BoardInput::Screen,
                  private LevelFlow::Screen {
    QUOVEL_TYPE(SceneGame)
public:
    explicit SceneGame(PropertyNode* definition);
    ~SceneGame() override;

    void* castTo(const TypeRecord* type) override;

    // The HUD, the layers and the time sound; on the first show.
    void loadResources() override;
    // The board's pictures are in "game"; the definition's section is the manual's, which the
    // scene leaves behind.
    std::string getSection() const override { return "game"; }
    void show() override;
    void hide() override;
    // The nodes' frame, then the level flow's.
    void update(int32_t elapsedMs) override;

    // The parts.
    // The level's flow in full: its start and teardown, states, pause and end.
    LevelFlow& getFlow() override { return flow; }
    BoardInput& getInput() override { return input; }
    PlayerAids& getAids() override { return aids; }
    BoardScreen& getBoard() override { return board; }
    GameHud& getHud() override { return hud; }
    TrophyNotices& getTrophies() override { return trophies; }
    SavedGameKeeper& getSavedGame() override { return savedGame; }
    Scene& getScene() override { return *this; }

    // What the parts share.
    LayoutRenderer* getRenderer() const override { return renderer.get(); }
    TimeBar* getTimeBar() const override { return timeBar.get(); }
    BonusBar* getBonusBar() const override { return bonusBar.get(); }
    // The time bar's time; before the bars are made, a value of no time.
    DisplayValue& getTimeValue() override;
    // The looping warning of the last seconds; null without the sound.
    SoundNode* getTimeSound() const override { return timeSound.get(); }
    void setSaveMode(int32_t value) override { savedGame.setMode(value); }
    // Suspended bars are left out of the frame's node updates: their clock and meter stand.
    void setBarsSuspended(bool value) override;
    void setBonusBarSuspended(bool value) override;
    void showBars(bool shown) override;
    // Board input is taken only in play: no state, level not torn down.
    bool isPlaying() const override {
        return !flow.getCurrentState() && flow.getPauseState() != STOPPED && renderer;
    }

    // Board input.
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override;

    // GameDialogHost.
    bool isInLevelPhase() const override { return flow.getCurrentState() != nullptr; }
    Scene* getGameScene() const override { return const_cast<SceneGame*>(this); }

protected:
    void pauseGame() override { flow.pause(); }
    void resumeGame() override { flow.resume(); }

private:
    // BoardInput::Screen.
    int32_t getSuperHintTimeLeft() const override { return aids.getSuperHintTimeLeft(); }
    // LevelFlow::Screen.
    GameNode* getEndLayer() const override { return endLayer.get(); }
    bool isDialogOverGame() const override { return !GameDialogHost::getOpenDialogs().empty(); }
    RefHolder<LayoutRenderer>& rendererHolder() override { return renderer; }
    RefHolder<TimeBar>& timeBarHolder() override { return timeBar; }
    RefHolder<BonusBar>& bonusBarHolder() override { return bonusBar; }
    GameNode* getWidgetLayer() const override { return widgetLayer.get(); }

    RefHolder<LayoutRenderer> renderer;
    RefHolder<GameNode> widgetLayer;
    RefHolder<GameNode> endLayer;
    Floaters floaters{*this};
    RefHolder<SoundNode> timeSound;
    // The bars, children of the scene's tree.
    RefHolder<TimeBar> timeBar;
    RefHolder<BonusBar> bonusBar;

    HintTriggers hintTriggers{*this};
    BoardInput input{*this, hintTriggers};
    PlayerAids aids{*this, input, floaters};
    SavedGameKeeper savedGame{*this};
    LevelFlow flow{*this, *this, input, hintTriggers, savedGame};
    GameHud hud{*this};
    BoardScreen board{*this, input, floaters};
    // What the rules read before the bars are made.
    DisplayValue timeValue{0, 0, 0};
    TrophyNotices trophies{*this};
};
