#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/MessageHandler.h"
#include "game/profile/QuovelMahjongStats.h"
#include "game/rules/DisplayValue.h"
#include "game/rules/GameType.h"
#include "game/rules/TrophyId.h"
#include "game/screen/BoardInput.h"
#include "game/screen/BoardScreen.h"
#include "game/screen/Floaters.h"
#include "game/screen/GameDialogHost.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/LevelFlow.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/screen/SceneQuovelMahjong.h"

class Button;
class Dialog;
class Game;
class Level;
class Label;
class LabelTicker;
class LayoutRenderer;
class Panel;
class BonusBar;
class SoundNode;
class Sprite;
class TimeBar;

// The screen on which a level is played: the HUD bound from its definition, the board renderer
// centred in the layout panel over the game type's (or the player's) background, and the layers
// for the hint path, level-end pictures, input widgets and floaters. It holds the rules' game
// screen (BoardScreen: tile marks, effect layer, dirty rectangles) and the floaters, is the game
// dialogs' host, takes the mouse on the board (hover, clicks, right click), listens to the window's
// focus messages and draws the hint path between two tiles.
//
// A level runs through the game-scene states (information, instructions, build, shuffle, end);
// play is the absence of a state. The frame update pauses on the pause and menu requests and on
// focus loss, and no time passes while a dialog is open over the game.
//
// The time bar holds the level's time and the bonus bar the matches' chain counter (its
// multiplier); the score ticker counts up to each score that arrives.
class SceneGame : public SceneQuovelMahjong,
                  public GameDialogHost,
                  public WindowMessageListener,
                  public PlayScreen,
                  private BoardInput::Screen,
                  private PlayerAids::Screen,
                  private LevelFlow::Screen,
                  private BoardScreen::Screen {
    QUOVEL_TYPE(SceneGame)
public:
    // The screen position of the time bar.
    static constexpr int32_t TIME_BAR_X = 709;
    static constexpr int32_t TIME_BAR_Y = 93;

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

    // Starts the level the current game holds.
    void startLevel(bool restart);
    void buildBoard();
    void setBackground();
    void setHintButton();
    void setMatchLabels();
    void setupBars(bool restart);
    void setGameTypeName();
    void playGameMusic() override;
    // The background key of the current level for the current player.
    static std::string backgroundKey(GameType gameType, int32_t customBackground);
    // The music key of a game type, empty for none.
    static std::string musicKey(GameType gameType);
    // Counts the start of the level in the player's records.
    void countLevelStart();

    // Level flow: the states, the pause and the end of a level are the flow's.
    LevelFlow& getFlow() override { return flow; }
    // The next level of a won casino or roof run in place, else back to the room; true when
    // the next level is set. A next layout that cannot be read (no tile) ends the run there:
    // the player is told (unless quiet) and goes back to the room.
    bool newLevel(bool quiet) override;
    void restartLevel() override;
    // Tears the level down: dialogs, board, layers and the game's per-level values.
    void clearLevel();
    // The game scene the dialogs hold, or null.
    static SceneGame* fromHost();
    // Board input is taken only in play: no state, level not torn down.
    bool isPlaying() const override {
        return !flow.getCurrentState() && flow.getPauseState() != STOPPED && renderer;
    }
    void enableHudButtons() override;
    void disableHudButtons() override { setButtonsEnabled(false); }
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

    // The rules' game screen; it forwards the calls below to the aids and the HUD.
    BoardScreen& getBoard() override { return board; }
    DisplayValue& getTimeValue() override;
    void markSuperHintTiles() override { aids.markSuperHintTiles(); }
    void markHintTiles(const std::vector<RefHolder<Tile>>& tiles) override {
        aids.markHintTiles(tiles);
    }
    void startSuperHint(Sprite* icon) override { aids.startSuperHint(icon); }
    void updateMatchesText() override;
    void updateProgressLabel() override;

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
    Button* getHintButton() const override { return hintButton; }
    LabelTicker* getScoreTicker() const override { return scoreTicker; }
    // The ticker's number, or null.
    Label* getScoreLabel() const override;
    // The ticker shows the score at once, without counting.
    void setScoreAtOnce(int32_t score) override;

    // The bars.
    TimeBar* getTimeBar() const override { return timeBar.get(); }
    BonusBar* getBonusBar() const override { return bonusBar.get(); }
    // The token labels show the stocks' shown values.
    void updateShufflesLabel() override;
    void updateHintsLabel() override;

    // Shows and hides the HUD widgets of the level's room.
    void showHudForRoom();
    void updateLevelLabel();

    // Trophy notices: an earned trophy shows its notice; one that comes while another shows
    // waits (the newest first); one that cannot show now is dropped.
    void awardTrophy(TrophyId id) override;
    void showTrophyInfo(int32_t index);
    int32_t onTrophyInfoClosed(BaseObject* sender);
    const std::vector<int32_t>& getTrophyQueue() const { return trophyQueue; }
    Dialog* getTrophyPopup() const { return trophyPopup.get(); }
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
    Label* findLabel(const std::string& name);
    void showNode(GameNode* node, bool visible);
    void setLabelNumber(Label* label, int32_t value);
    void updateHud();
    void setButtonsEnabled(bool value);
    void enablePauseAndMenu() override;
    // PlayerAids::Screen.
    Label* getTimeLabel() const override { return timeLabel; }
    // LevelFlow::Screen.
    GameNode* getEndLayer() const override { return endLayer.get(); }
    bool isDialogOverGame() const override { return !GameDialogHost::getOpenDialogs().empty(); }
    Button* getShuffleButton() const override { return shuffleButton; }
    Label* getMatchesLabel() const override { return matchesLabel; }
    // BoardScreen::Screen.
    void restartScoreCount() override;
    Panel* getLayoutPanel() const override { return layoutPanel; }

    RefHolder<LayoutRenderer> renderer;

    Button* pauseButton = nullptr;
    Button* menuButton = nullptr;
    Button* shuffleButton = nullptr;
    Button* hintButton = nullptr;
    Button* undoButton = nullptr;
    Panel* layoutPanel = nullptr;
    Panel* trophyPanel = nullptr;
    Label* trophyHeader = nullptr;
    Label* trophyDescription = nullptr;
    Label* hintsLabel = nullptr;
    Label* shufflesLabel = nullptr;
    LabelTicker* scoreTicker = nullptr;
    Label* scoreCaption = nullptr;
    Label* levelLabel = nullptr;
    Label* levelCaption = nullptr;
    Label* matchesLabel = nullptr;
    Label* matchesCaption = nullptr;
    Label* timeLabel = nullptr;
    Label* timeCaption = nullptr;
    Label* progressLabel = nullptr;

    RefHolder<GameNode> widgetLayer;
    RefHolder<GameNode> endLayer;
    Floaters floaters{*this, *this};

    RefHolder<SoundNode> timeSound;

    // The bars, children of the scene's tree.
    RefHolder<TimeBar> timeBar;
    RefHolder<BonusBar> bonusBar;
    HintTriggers hintTriggers{*this};
    BoardInput input{*this, hintTriggers};
    PlayerAids aids{*this, *this, input, floaters};
    SavedGameKeeper savedGame{*this};
    LevelFlow flow{*this, *this, input, hintTriggers, savedGame};
    BoardScreen board{*this, *this, input, floaters};
    // What the rules read before the bars are made.
    DisplayValue timeValue{0, 0, 0};

    RefHolder<Dialog> trophyPopup;
    std::vector<int32_t> trophyQueue;
};
