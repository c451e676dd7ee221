#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/MessageHandler.h"
#include "game/profile/QuovelMahjongStats.h"
#include "game/rules/DisplayValue.h"
#include "game/rules/IGameScreen.h"
#include "game/screen/BoardInput.h"
#include "game/screen/GameDialogHost.h"
#include "game/screen/GameHud.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/LevelFlow.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "game/screen/TrophyNotices.h"

class Game;
class Level;
class Label;
class LayoutRenderer;
class Panel;
class BonusBar;
class SoundNode;
class Sprite;
class TimeBar;

// The screen on which a level is played: the HUD and the trophy notices bound from its
// definition (GameHud, TrophyNotices), the board renderer centred in the layout panel over the
// game type's (or the player's) background, and the layers for the hint path, level-end
// pictures, input widgets and floaters. It is the rules' game screen
// (tile marks, effect layer, dirty rectangles) and the game dialogs' host, takes the mouse on the
// board (hover, clicks, right click), listens to the window's focus messages and draws the hint
// path between two tiles.
//
// A level runs through the game-scene states (information, instructions, build, shuffle, end);
// play is the absence of a state. The frame update pauses on the pause and menu requests and on
// focus loss, and no time passes while a dialog is open over the game.
//
// The time bar holds the level's time and the bonus bar the matches' chain counter (its
// multiplier); the HUD's score ticker counts up to each score that arrives.
class SceneGame : public SceneQuovelMahjong,
                  public IGameScreen,
                  public GameDialogHost,
                  public WindowMessageListener,
                  public PlayScreen,
                  private BoardInput::Screen,
                  private PlayerAids::Screen,
                  private LevelFlow::Screen {
    QUOVEL_TYPE(SceneGame)
public:
    explicit SceneGame(PropertyNode* definition);
    ~SceneGame() override;

    void* castTo(const TypeRecord* type) override;

    // HUD, layers and the time sound; on the first show.
    void loadResources() override;
    // The board's pictures are in "game"; the definition's section is the manual's, which the
    // scene leaves behind.
    std::string getSection() const override { return "game"; }
    void show() override;
    void hide() override;
    // Plays the board (effects, hover path timing) unless a state holds it.
    void update(int32_t elapsedMs) override;


    // Level flow: the level's start and teardown, the states, the pause and the end of a level
    // are the flow's.
    LevelFlow& getFlow() override { return flow; }
    // The game scene the dialogs hold, or null.
    static SceneGame* fromHost();
    // Board input is taken only in play: no state, level not torn down.
    bool isPlaying() const override {
        return !flow.getCurrentState() && flow.getPauseState() != STOPPED && renderer;
    }
    void setSaveMode(int32_t value) override { savedGame.setMode(value); }
    int32_t getSuperHintTimeLeft() const override { return aids.getSuperHintTimeLeft(); }

    // Suspended bars are left out of the frame's node updates: their clock and meter stand.
    void setBarsSuspended(bool value) override;
    void setBonusBarSuspended(bool value) override;

    int32_t onPauseButton(BaseObject* sender);
    int32_t onMenuButton(BaseObject* sender);

    // Board input.
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override;

    // IGameScreen.
    Tile* tileAtPoint(Layout* layout, int32_t x, int32_t y) override;
    void addSuperHintTint(Tile* tile) override;
    void clearModifiers(Tile* tile) override;
    void addFadeOut(Tile* tile, int32_t chainCounter) override;
    void addBlockedPulse(Tile* tile) override;
    void restoreRenderTile(Tile* tile) override;
    RenderTile* createRenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
                                 int32_t faceOffsetY) override;
    void showTileFaceShine(Tile* tile, int32_t chainCounter) override;
    void addDirtyRect(const Rect& area) override;
    void addBonusPoints(int32_t points) override;
    int32_t getChainCounter() const override;
    DisplayValue& getTimeValue() override;
    int32_t getSuperHintCounter() const override { return aids.getSuperHintTimeLeft(); }
    void removeTileEffect(Tile* tile) override;
    void showTileSelected(Tile* tile) override;
    void showTileBlocked(Tile* tile) override;
    void markSuperHintTiles() override { aids.markSuperHintTiles(); }
    void markHintTiles(const std::vector<RefHolder<Tile>>& tiles) override {
        aids.markHintTiles(tiles);
    }
    void startSuperHint(Sprite* icon) override { aids.startSuperHint(icon); }
    void markFreeTiles() override;
    void enterGameWon() override;
    void showHostHint(int32_t hint) override;
    void showSuperScore(int32_t newScore, int32_t increment) override;
    void showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) override;
    void updateMatchesText() override;
    void updateProgressLabel() override;
    void resetHintPath() override;
    void clearHoverTile() override;
    void restartScoreCount() override;
    GameNode* getSideBoardHolder() override;
    GameNode* getEffectLayer() override { return floaterLayer.get(); }
    bool isBoardShown() const override;
    bool drawsShadows() const override;
    RefHolder<Image> getShadowImage() override;
    RefHolder<Image> findImage(const std::string& section, const std::string& name) override;
    Image* getShownSymbols() override;
    GameNode* liftTile(Tile* tile) override;

    // GameDialogHost.
    bool isInLevelPhase() const override { return flow.getCurrentState() != nullptr; }
    Scene* getGameScene() const override { return const_cast<SceneGame*>(this); }

    LayoutRenderer* getRenderer() const override { return renderer.get(); }
    BoardInput& getInput() { return input; }
    PlayerAids& getAids() override { return aids; }
    SavedGameKeeper& getSavedGame() { return savedGame; }
    Scene& getScene() override { return *this; }
    void deselectAll() override { input.deselectAll(); }
    void markHintTile(Tile* tile) override { input.markHintTile(tile); }
    GameHud& getHud() override { return hud; }
    TrophyNotices& getTrophies() override { return trophies; }

    // The bars.
    TimeBar* getTimeBar() const override { return timeBar.get(); }
    BonusBar* getBonusBar() const override { return bonusBar.get(); }

    // Every layout tile counts as formerly free for the next marking.
    void resetFreeMarks() override;
    // Floaters: labels that stretch in, rise 100 pixels and fade, the whole flight inside
    // `area`.
    void showTimePenalty(int32_t seconds, int32_t x, int32_t y, const std::wstring& prefix,
                         const Rect& area = SCREEN_RECT) override;
    void showTimeBarPenalty(int32_t seconds) override;
    // Where floaters over the board fly: below the top bar and left of the side column.
    Rect floaterBoard() override;
    GameNode* getFloaterLayer() const override { return floaterLayer.get(); }
    // The looping warning of the last seconds; null without the sound.
    SoundNode* getTimeSound() const override { return timeSound.get(); }

protected:
    void pauseGame() override { flow.pause(); }
    void resumeGame() override { flow.resume(); }

private:
    void createHud();
    void createLayers();
    void createTimeSound();
    template <int32_t (SceneGame::*Method)(BaseObject*)>
    void connectButton(const char* name);
    RefHolder<Image> gameImage(const std::string& key);
    // A floater label of the text in the font (section "default"), centred on the point, or as
    // near it as keeps its flight inside `area`.
    Label* addFloater(const std::wstring& text, const std::string& fontKey, int32_t x, int32_t y,
                      const Rect& area = SCREEN_RECT);
    // LevelFlow::Screen.
    GameNode* getEndLayer() const override { return endLayer.get(); }
    bool isDialogOverGame() const override { return !GameDialogHost::getOpenDialogs().empty(); }
    RefHolder<LayoutRenderer>& rendererHolder() override { return renderer; }
    RefHolder<TimeBar>& timeBarHolder() override { return timeBar; }
    RefHolder<BonusBar>& bonusBarHolder() override { return bonusBar; }
    Panel* getLayoutPanel() const override { return layoutPanel; }
    GameNode* getWidgetLayer() const override { return widgetLayer.get(); }

    RefHolder<LayoutRenderer> renderer;

    Panel* layoutPanel = nullptr;

    RefHolder<GameNode> widgetLayer;
    RefHolder<GameNode> endLayer;
    RefHolder<GameNode> floaterLayer;

    RefHolder<SoundNode> timeSound;

    // The bars, children of the scene's tree.
    RefHolder<TimeBar> timeBar;
    RefHolder<BonusBar> bonusBar;
    HintTriggers hintTriggers{*this};
    BoardInput input{*this, hintTriggers};
    PlayerAids aids{*this, *this, input};
    SavedGameKeeper savedGame{*this};
    LevelFlow flow{*this, *this, input, hintTriggers, savedGame};
    GameHud hud{*this};
    // What the rules read before the bars are made.
    DisplayValue timeValue{0, 0, 0};

    TrophyNotices trophies{*this};
};
