#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/MessageHandler.h"
#include "game/profile/QuovelMahjongStats.h"
#include "game/rules/DisplayValue.h"
#include "game/rules/GameType.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/TilePathFinder.h"
#include "game/rules/TrophyId.h"
#include "game/screen/GameDialogHost.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
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
// for the hint path, level-end pictures, input widgets and floaters. It is the rules' game screen
// (tile marks, effect layer, dirty rectangles) and the game dialogs' host, takes the mouse on the
// board (hover, clicks, right click), listens to the window's focus messages and draws the hint
// path between two tiles.
//
// A level runs through the game-scene states (information, instructions, build, shuffle, end);
// play is the absence of a state. The frame update pauses on the pause and menu requests and on
// focus loss, and no time passes while a dialog is open over the game.
//
// The time bar holds the level's time and the bonus bar the matches' chain counter (its
// multiplier); the score ticker counts up to each score that arrives.
class SceneGame : public SceneQuovelMahjong,
                  public IGameScreen,
                  public GameDialogHost,
                  public WindowMessageListener {
    QUOVEL_TYPE(SceneGame)
public:
    // Pause states.
    enum Pause : int32_t { RUNNING = 0, HELD = 1, HIDDEN = 2, STOPPED = 3 };
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
    void playGameMusic();
    // The background key of the current level for the current player.
    static std::string backgroundKey(GameType gameType, int32_t customBackground);
    // The music key of a game type, empty for none.
    static std::string musicKey(GameType gameType);
    // Counts the start of the level in the player's records.
    void countLevelStart();
    // Where the level is played, as the player's records see it.
    static LevelPlace placeOf(const Level* level);

    // Level flow.
    // Ends the current state (its exit) and makes `next` current (its enter); null leaves play.
    void setState(GameSceneState* next);
    GameSceneState* getCurrentState() const { return currentState.get(); }
    // A lost or won level is ending.
    bool isLevelOver() const;
    // Medal queries on the current player's best scores of the floors' levels. Every room of
    // the twenty floors at its level's silver (gold) score or above.
    static bool allLevelsSilver();
    static bool allLevelsGold();
    // The level's best reaches silver; unless `orGold`, it must also stay below gold.
    static bool levelHasMedal(const Level* level, bool orGold);
    static bool levelHasGold(const Level* level);
    // The play update: clocks, the River's hover path, the super-hint countdown, the time limit.
    void updatePlay(int32_t elapsedMs);
    void enterGameOver();
    // The next level of a won casino or roof run in place, else back to the room; true when
    // the next level is set. A next layout that cannot be read (no tile) ends the run there:
    // the player is told (unless quiet) and goes back to the room.
    bool newLevel(bool quiet);
    void restartLevel();
    // Tears the level down: dialogs, board, layers and the game's per-level values.
    void clearLevel();
    // The level-information dialog's close callback.
    static int32_t startInstructions(BaseObject* sender);
    // The stop question's yes.
    static int32_t onGameStopped(BaseObject* sender);
    // The game scene the dialogs hold, or null.
    static SceneGame* fromHost();
    // Board input is taken only in play: no state, level not torn down.
    bool isPlaying() const { return !currentState && pauseState != STOPPED && renderer; }
    void enableHudButtons();
    void disableHudButtons() { setButtonsEnabled(false); }
    int32_t getSaveMode() const { return saveMode; }
    void setSaveMode(int32_t value) { saveMode = value; }
    int32_t getSuperHintTimeLeft() const { return superHintTimeLeft; }

    // Suspended bars are left out of the frame's node updates: their clock and meter stand.
    void setBarsSuspended(bool value);
    void setBonusBarSuspended(bool value);

    int32_t onPauseButton(BaseObject* sender);
    int32_t onMenuButton(BaseObject* sender);

    // Board input.
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override;
    void updateHover(int32_t x, int32_t y);
    void deselectAll();
    void clearHover();
    void clearHintPath(bool resetHoverTime);
    void markHintTile(Tile* tile);
    void showHintPath(Tile* from, Tile* to);

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
    int32_t getSuperHintCounter() const override { return superHintTimeLeft; }
    void removeTileEffect(Tile* tile) override;
    void showTileSelected(Tile* tile) override;
    void showTileBlocked(Tile* tile) override;
    void markSuperHintTiles() override;
    void markFreeTiles() override;
    void enterGameWon() override;
    void showHostHint(int32_t hint) override;
    void showSuperScore(int32_t newScore, int32_t increment) override;
    void showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) override;
    void updateMatchesText() override;
    void updateProgressLabel() override;
    void resetHintPath() override;
    void clearHoverTile() override { clearHover(); }
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
    bool isInLevelPhase() const override { return currentState.get() != nullptr; }
    Scene* getGameScene() const override { return const_cast<SceneGame*>(this); }

    LayoutRenderer* getRenderer() const { return renderer.get(); }
    int32_t getPauseState() const { return pauseState; }
    Tile* getHoveredTile() const { return hoveredTile.get(); }
    bool isFocusLost() const { return focusLost; }
    bool isDeactivatedThisFrame() const { return deactivatedThisFrame; }
    GameNode* getHintPathLayer() const { return hintPathLayer.get(); }
    const TilePath& getPathSegments() const { return pathSegments; }
    Button* getHintButton() const { return hintButton; }
    LabelTicker* getScoreTicker() const { return scoreTicker; }
    // The ticker's number, or null.
    Label* getScoreLabel() const;
    // The ticker shows the score at once, without counting.
    void setScoreAtOnce(int32_t score);

    // The bars.
    TimeBar* getTimeBar() const { return timeBar.get(); }
    BonusBar* getBonusBar() const { return bonusBar.get(); }
    // The token labels show the stocks' shown values.
    void updateShufflesLabel();
    void updateHintsLabel();

    // The player's aids (button callbacks; the stuck dialog reuses them). Each acts only in
    // play with no dialog over the game, and costs what the room charges for it.
    int32_t onHint(BaseObject* sender);
    int32_t onShuffle(BaseObject* sender);
    int32_t onUndo(BaseObject* sender);
    // Deals the board again (charging the stock and the counters when `charge`); false when
    // play or the board does not allow it.
    bool performShuffle(bool charge);
    // Pulses the hint's tiles and selects them, so one click completes the match.
    void markHintTiles(const std::vector<RefHolder<Tile>>& tiles);
    // The bonus bar's super hint: every match is tinted while its time runs; the icon, held
    // here, is veiled from the left as the time goes.
    void startSuperHint(Sprite* icon);
    void updateSuperHintOverlay();
    void dismissSuperHintIcon(bool animated);
    Sprite* getSuperHintIcon() const { return superHintIcon.get(); }
    Sprite* getSuperHintOverlay() const { return superHintOverlay.get(); }
    // Shows and hides the HUD widgets of the level's room.
    void showHudForRoom();
    void updateLevelLabel();
    // The stuck question (or, where a shuffle would help in a timed room, the shuffle glow).
    void showStuckDialog(bool checkShuffle);
    static int32_t onStuckRestart(BaseObject* dialog);
    static int32_t onStuckShuffle(BaseObject* dialog);
    static int32_t onStuckUndo(BaseObject* dialog);
    Sprite* getShuffleGlow() const { return shuffleGlow.get(); }
    Sprite* getMatchesGlow() const { return matchesGlow.get(); }

    // The running game, written to the player's saved game of its room when the scene is left.
    // A write that fails is told to the player and kept, to be written again at the next save
    // and when the scene goes at quit.
    void saveGame();
    // Writes the kept saved games again; those written are dropped.
    void writeUnsavedGames();
    // Trophy notices: an earned trophy shows its notice; one that comes while another shows
    // waits (the newest first); one that cannot show now is dropped.
    void awardTrophy(TrophyId id);
    void showTrophyInfo(int32_t index);
    int32_t onTrophyInfoClosed(BaseObject* sender);
    const std::vector<int32_t>& getTrophyQueue() const { return trophyQueue; }
    Dialog* getTrophyPopup() const { return trophyPopup.get(); }
    // Every layout tile counts as formerly free for the next marking.
    void resetFreeMarks();
    // Floaters: labels that stretch in, rise 100 pixels and fade, the whole flight inside
    // `area`.
    void showTimePenalty(int32_t seconds, int32_t x, int32_t y, const std::wstring& prefix,
                         const Rect& area = LayoutRenderer::FULL_SCREEN);
    void showTimeBarPenalty(int32_t seconds);
    // Where floaters over the board fly: below the top bar and left of the side column.
    Rect floaterBoard();
    GameNode* getFloaterLayer() const { return floaterLayer.get(); }
    // Asked by the shuffle first: true when a tutorial hint showed instead, and the shuffle is
    // not to be done.
    bool shuffleHintShown();
    // The looping warning of the last seconds; null without the sound.
    SoundNode* getTimeSound() const { return timeSound.get(); }

protected:
    void pauseGame() override;
    void resumeGame() override;

private:
    void endLevel(bool won);
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
    void enablePauseAndMenu();
    void markHover(Tile* tile);
    // Restores a tile that leaves the hover: the super-hint tint while one runs, else plain.
    void restoreLook(Tile* tile);
    void advanceHoverPath(int32_t elapsedMs);
    // Makes a path piece transparent; it fades in after `delay` ms.
    static void fadeInPathPiece(Sprite* piece, int32_t delay);
    void addPathSegments(const Rect& a, const Rect& b, bool horizontal, bool backwards,
                         const std::string& prefix, float& delay);
    RefHolder<Image> gameImage(const std::string& key);
    // A floater label of the text in the font (section "default"), centred on the point, or as
    // near it as keeps its flight inside `area`.
    Label* addFloater(const std::wstring& text, const std::string& fontKey, int32_t x, int32_t y,
                      const Rect& area = LayoutRenderer::FULL_SCREEN);
    // The first and second shuffle glows fade and go.
    void removeShuffleGlows();
    void addShuffleGlows();
    // Aids act only while play runs and no dialog holds the game.
    bool aidsAllowed() const;
    void squashTimeLabel();
    void useHint();
    void useShuffle();
    // Closes the stuck dialog and runs `action` once it has gone.
    template <int32_t (SceneGame::*Action)(BaseObject*)>
    static int32_t stuckAction(BaseObject* dialog, int32_t value);
    int32_t runRestart(BaseObject* sender);

    RefHolder<LayoutRenderer> renderer;
    int32_t pauseState = RUNNING;
    int32_t saveMode = 0;
    // Saved games whose write failed, by player name and room key.
    std::map<std::pair<std::string, std::string>, RefHolder<PropertyStore>> unsavedGames;
    RefHolder<GameSceneState> currentState;

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
    RefHolder<GameNode> floaterLayer;
    RefHolder<GameNode> hintPathLayer;

    int32_t superHintTimeLeft = 0;
    RefHolder<Tile> hoveredTile;
    int32_t hoverTime = 0;
    bool pauseRequested = false;
    bool menuRequested = false;
    bool deactivatedThisFrame = false;
    bool focusLost = false;
    RefHolder<SoundNode> timeSound;
    TilePath pathSegments;

    // The bars, children of the scene's tree.
    RefHolder<TimeBar> timeBar;
    RefHolder<BonusBar> bonusBar;
    HintTriggers hintTriggers{*this};
    // What the rules read before the bars are made.
    DisplayValue timeValue{0, 0, 0};

    RefHolder<Sprite> superHintIcon;
    RefHolder<Sprite> superHintOverlay;
    bool superHintEnding = false;
    RefHolder<Sprite> shuffleGlow;
    RefHolder<Sprite> matchesGlow;
    RefHolder<Dialog> trophyPopup;
    std::vector<int32_t> trophyQueue;
};
