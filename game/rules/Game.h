#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "game/rules/Command.h"
#include "game/rules/DisplayValue.h"
#include "game/rules/GameType.h"
#include "game/rules/ICurrentGame.h"
#include "game/rules/RoomKind.h"
#include "game/rules/TileDef.h"

class Layout;
class Random;
class Level;
class PropertyNode;
class Tile;

// The running game: one level of one game type with its board, selection, score, undo history,
// counters and clocks. Exactly one game is current; the game-type factory (create, loadSaved)
// replaces it. The game types derive from it and override its virtual operations. It draws
// nothing: it reaches the screen through the game-screen interface and the scenes through
// GameHooks.
class Game : public GameNode, public ICurrentGame {
    QUOVEL_TYPE(Game)
public:
    using TileList = std::vector<RefHolder<Tile>>;
    using FaceList = std::vector<RefHolder<TileDef>>;

    using enum ::GameType;
    // Outcome of the last tile click.
    enum ClickOutcome : int32_t {
        CLICK_NO_TILE = 1,
        CLICK_DESELECT = 2,
        CLICK_SELECT = 3,
        CLICK_ADD = 4,
        CLICK_MATCH = 5,
        CLICK_MOVE = 7,
        CLICK_BLOCKED = 8
    };

    static constexpr int32_t MAX_BUILD_ATTEMPTS = 10000;
    // The attempts of a level build also stop once their work reaches this (an attempt counts
    // the square of the board's tile count), so that a board no attempt can solve (an odd count,
    // a layer River cannot pair) gives up after a bounded amount of work however large it is,
    // and a level and seed make the same board on every machine. The catalogue levels need at
    // most 446,400 over the seeds of the content checks (31 attempts on 120 Triple tiles); the
    // limit is 44 times that: a board of the largest shipped layout that no attempt solves stops
    // after about 100 ms in Classic and 0.5 s in River.
    static constexpr int64_t MAX_BUILD_WORK = 20000000;
    static constexpr int32_t MAX_DEALS = 100;

    // What the last level build did, also handed to the statistics as a custom event.
    struct BuildStatistics {
        int32_t numNotSolvable = 0;      // failed attempts
        int32_t numStackingProblem = 0;  // deals with a stacking problem
        bool levelBuildProblem = false;  // the level may not be solvable
        bool allAttemptsFailed = false;  // the order is the plain iterator order
        bool usedFallbackDeal = false;   // faces went along successive free tiles
        bool missingFaces = false;       // the dealer gave fewer faces than tiles
        int32_t attempts = 0;            // attempts run
        int64_t work = 0;                // work of the attempts run (see MAX_BUILD_WORK)
        int32_t deals = 0;               // deals run in the dealing loop
    };

    // A new game with default fields; with a saved node (a PropertyNode; anything else counts
    // as none) its fields, level, layouts and undo history are read back. A saved node that
    // cannot be played (no level, layout or layout copy, or a child that makes the wrong kind
    // of object) leaves the game unrestored: see isRestored.
    Game(PropertyNode* saved, GameType gameType);
    // Closes the level session, then releases everything the game holds.
    ~Game() override;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The game-type factory. A new game of that type (0 to 5) becomes the current game; the
    // old one is marked removed and released. Null, with the current game kept, for any other
    // type or when the type has no class yet.
    static Game* create(GameType gameType);
    // A new current game of that type set to the level; null when none could be made, there is
    // no level or its layout holds no tile (its file could not be read): then no game is
    // current and the player is told that the room's data is damaged, so that the room does
    // not open an empty game screen.
    static Game* createForLevel(GameType gameType, Level* level);
    // Tells the player, through the game's message box, that the data of what they chose in
    // `room` (a door, a game, a layout) is damaged and what else they may choose there; with
    // `runEnds`, that the next level of a casino or roof run is damaged.
    static void tellDamagedRoom(RoomKind room, bool runEnds = false);
    // The current game, or null.
    static Game* current();
    // The current game's level, or null.
    static Level* currentLevel();
    // The game type of the current game's level, or -1.
    static GameType currentLevelGameType();
    // Marks the current game removed, releases it and clears the slot.
    static void releaseCurrent();
    // Reads the current player's saved game of that number and makes it the current game.
    // False, with the current game untouched, when there is no player, the file is missing or
    // unreadable, or its "game" node cannot be restored.
    static bool loadSaved(int32_t number);
    // Makes the game of a saved "game" node (read from the file, or a copy held in memory) the
    // current game, which the level's start takes as resumed; false as restoreCurrent.
    static bool resumeSaved(PropertyNode* gameNode);
    // Whether the current player's saved game of that number reads back as a whole game, built
    // aside and dropped; one that does not is set aside like a failed loadSaved, so that it is
    // told once and never offered.
    static bool canLoadSaved(int32_t number);
    // Builds a game from a saved "game" node by its type word and makes it current; false, with
    // the current game untouched, when the node restores no whole game.
    static bool restoreCurrent(PropertyNode* gameNode);

    // Virtual operations of the game types, in slot order.

    // The mode's match test.
    virtual bool canMatch(Tile* a, Tile* b) = 0;
    // The hint group in the middle of the matches; false (out unchanged) without a match.
    virtual bool findHint(TileList& out);
    // Matches on the layout (null: the game's layout), each getTilesPerMatch tiles.
    virtual int32_t countMatches(Layout* layout);
    // Disjoint matching groups among the free tiles, greedy in free-tile order.
    virtual void findMatches(TileList& out, Layout* layout);
    // The faces of the layout's tiles in matching groups, in random order; faces that find no
    // partner come last.
    virtual void dealTileDefs(FaceList& out);
    // One attempt at a solvable removal order; may take tiles off the layout.
    virtual bool buildAttempt(Layout* layout, TileList& order) = 0;
    // Empties the side board of a dealt board and fills it as the build `order` hands tiles
    // out; with `keep` the game takes what is left of the order as its queue. Nothing here.
    virtual void dealSideBoard(Layout* board, const TileList& order, bool keep);
    // The next tile for a side-board slot; none here.
    Tile* nextTile() override;
    // Puts an undone side-board tile back on its side board; nothing here.
    virtual void restoreSideBoardTile(Layout* layout, Tile* tile);
    virtual void setLevel(Level* level);
    virtual void restartLevel();
    virtual void applyShuffle();
    // Writes the game into the node. A move still in flight lands first.
    virtual void save(PropertyNode* node);
    virtual void onTileClicked(int32_t x, int32_t y);
    virtual bool completesSelection();
    virtual void removePair();
    virtual bool isStuck(int32_t matchCount);
    virtual int32_t getTilesPerMatch() const;
    // Sets the type's host-hint counters to 0; none here.
    virtual void resetHintCounters();

    // ICurrentGame: the game type of the level (the game's own type without a level).
    GameType getLevelGameType() const override;
    void* castTo(const TypeRecord* type) override;

    // Leaves the game screen for the room of the current level.
    void returnToRoom();

    // Selection and play (outcome handling, undo, queries).
    // Acts on the last click's outcome once. The node's per-frame update stays as inherited.
    void update();
    using GameNode::update;
    void addSelectedTile(Tile* tile);
    bool isTileSelected(Tile* tile) const;
    void deselectTile(Tile* tile);
    void clearSelection();
    void clearSuperHintTiles();
    bool isSuperHintTile(Tile* tile) const;
    void addSuperHintTile(Tile* tile);
    void runCommand(Command* command);
    void clearUndoHistory() { undoHistory.clear(); }
    void undo();
    void moveSelectedTile();
    void getRemovedTiles(TileList& out) const;
    // Books points that a floater delivers: the shown score moves only when onScoreArrived
    // reports its landing, so a caller with no floater to show uses addScoreShownAtOnce.
    void addScore(int32_t points);
    void onScoreArrived(int32_t points);
    // Moves the score and the shown score together, for a change no floater carries (an undo).
    void addScoreShownAtOnce(int32_t points) { score.addImmediate(points); }
    // 1 for a new silver score, 2 for a new gold score, else -1.
    int32_t checkSuperScore(int32_t score, int32_t delta) const;

    // Level building.
    void prepareLevel(Layout* layout);
    // Deals the board and, in Split and Speed, its side board; the order, the statistics and
    // the side-board queue become the game's. The board is the game's or its pending shuffle:
    // any other is a developer's mistake, reported, and nothing is dealt.
    void buildLevel(Layout* layout);
    // Deals a copy of the board as a shuffle does, held as the pending layout that
    // applyShuffle installs.
    void dealShuffle();
    // Whether a copy of the board, dealt as dealShuffle would deal it, offers a match. Nothing
    // of the game changes, nothing is shown or reported.
    bool shuffleWouldHelp();

    // Fields.
    GameType getGameType() const { return gameType; }
    bool isRestored() const { return restored; }
    Tile* getClickedTile() const { return clickedTile.get(); }
    int32_t getClickOutcome() const { return clickOutcome; }
    void setClickOutcome(int32_t value) { clickOutcome = value; }
    int32_t getMoveTargetColumn() const { return moveTargetColumn; }
    int32_t getMoveTargetRow() const { return moveTargetRow; }
    void setMoveTarget(int32_t column, int32_t row);
    const std::vector<RefHolder<Command>>& getUndoHistory() const { return undoHistory; }
    std::vector<int32_t>& getRandomLevels() { return randomLevels; }
    const TileList& getSelection() const { return selection; }
    const TileList& getSuperHintTiles() const { return superHintTiles; }
    Level* getLevel() const { return level.get(); }
    Layout* getLayout() const { return layout.get(); }
    Layout* getLayoutCopy() const { return layoutCopy.get(); }
    Layout* getPendingLayout() const { return pendingLayout.get(); }
    // The shuffled board that applyShuffle installs (referenced).
    void setPendingLayout(Layout* value);
    bool getHasWon() const { return hasWon; }
    void setHasWon(bool value) { hasWon = value; }
    // The next level of a run starts without the values of the one before: its own counts and
    // not won. The score and the run's counts go on.
    void clearLevelValues() {
        levelCounts = {};
        screenCounts = {};
        hasWon = false;
    }
    DisplayValue& getScore() { return score; }
    const DisplayValue& getScore() const { return score; }

    // Per-level counters, grouped by what clears them; the saved ones are written by save in
    // the saved game's own key order.
    // Cleared by a restart (resetLevelState) and with the level (clearLevelValues).
    struct LevelCounts {
        // Saved.
        int32_t hintCount = 0;
        int32_t shuffleCount = 0;
        int32_t removedTilesCount = 0;
        int32_t timeSinceLastRestart = 0;
        // Not saved.
        // Shuffles taken in FreeCell while a free cell stood empty.
        int32_t freeCellShuffleCount = 0;
        int32_t moveCount = 0;
        // timeSinceLastRestart when update last handled a click; a level start counts as one.
        int32_t lastClickTime = 0;
    };
    // Cleared by a restart only: the next level of a run goes on from them. All saved.
    struct RunCounts {
        int32_t undoCount = 0;
        // Written but not read back.
        int32_t numZeroMatches = 0;
        int32_t realTime = 0;
        int32_t clockTime = 0;
    };
    // Cleared with the level only (clearLevelValues; the screen's clearLevel, so a restart too).
    struct ScreenCounts {
        // Saved.
        bool pressedShuffle = false;
        bool pressedUndo = false;
        int32_t bonusesClaimed = 0;
        // Written but not read back.
        int32_t lastSubmitTime = 0;
        // Not saved.
        int32_t matchCount = 0;
        int32_t bestChain = 0;
        int32_t lastBonusTime = 0;
    };
    // Never cleared: they last as long as the game.
    struct GameCounts {
        // Saved.
        int32_t dataGatherLevelTime = 0;
        // Not saved.
        // Points won from the bonus bar.
        int32_t bonusPoints = 0;
        int32_t lastMatchKey = -1;
    };
    LevelCounts levelCounts;
    RunCounts runCounts;
    ScreenCounts screenCounts;
    GameCounts gameCounts;
    // Restarts of the level in place; a new level starts it again at 0. Not saved.
    int32_t restartCount = 0;

    // Statistics events of play, made only while a statistics collector exists (null without
    // one). A custom event is handed to the collector at once; the caller adds its own values
    // to the returned node. When the record is closed, an event first opens a playing session
    // of game mode -1.
    static PropertyNode* addCustomEvent();
    // On the game screen, the current game's level session, made on first use and handed to
    // the collector only when the game ends; elsewhere a new custom event.
    static PropertyNode* getLevelSession();
    // Adds the values every event carries: the current player's name, and on the game screen
    // the current level's layout name, game type, room kind and difficulty.
    static void fillLevelSession(PropertyNode* node);
    // Hands the game's open level session to the collector and forgets it.
    static void endLevelSession(Game* game);
    // The game's open level session, or null.
    PropertyNode* getOpenLevelSession() const { return levelSession.get(); }

    // The last build's removal order (groups of getTilesPerMatch) and statistics.
    const TileList& getBuildOrder() const { return buildOrder; }
    const BuildStatistics& getBuildStatistics() const { return buildStatistics; }

protected:
    // The removal in groups of `groupSize` (2 or 3): until no candidate is left, a random free
    // first tile and the free partners nearest at or beyond the distance threshold (each drawn
    // tile's distance to the first, in grid steps; the candidates stay sorted by it) are
    // appended to the order. The layout is left as it was. False when no candidate is free or
    // the first tile finds too few free partners.
    bool removeFreeGroups(Layout* layout, const TileList& candidates, int32_t groupSize,
                          TileList& order);
    // The faces of the layout's tiles, shuffled, in groups of `groupSize` that `matches` accepts;
    // faces that find no group come last.
    void dealShuffledGroups(FaceList& out, int32_t groupSize,
                            const std::function<bool(Tile*, Tile*)>& matches);
    // Appends the group to the order and takes its tiles off the candidates and the board.
    static void takeGroup(Layout* layout, std::initializer_list<Tile*> group, TileList& candidates,
                          TileList& order);
    // The distance threshold of the level: a draw between tileDistMin and tileDistMax, at
    // least 1.
    int32_t drawDistanceThreshold();
    // Builds draw from the program's generator; without one (tools, tests) a fixed generator
    // keeps the build defined.
    static Random& buildRandom();
    // Selection, super hints, hover, counters and clocks back to the start of a level.
    void resetLevelState();
    // The board a match search looks at (`layout`, or the game's own for null) with its free
    // tiles put in `freeTiles`; null, with none put, when there is no board.
    Layout* freeTilesForMatches(Layout* layout, TileList& freeTiles) const;

private:
    // Faces of `faces` onto the tiles of `tiles`, the i-th to the i-th; tiles past the end of
    // the faces get no face (suit 7).
    static void applyFaces(const FaceList& faces, const TileList& tiles);
    // Whether some tile of the order lies right under a tile it matches.
    bool hasStackingProblem(Layout* layout, const TileList& order);
    void fallbackDeal(Layout* layout, const TileList& snapshot);
    // The build's attempts and deals on `board`, with no effect on the game's own state.
    void dealLevel(Layout* board, BuildStatistics& statistics, TileList& order);
    void reportBuild();
    // Lands every move still in flight.
    void completePendingMoves();
    // Makes the game current: the old one is marked removed and released.
    static void install(Game* game);
    // Installs a game built from a saved "game" node, keeping the node for the level's start;
    // false, with nothing changed, without a game.
    static bool installResumed(Game* game, PropertyNode* gameNode);

    RefHolder<Tile> clickedTile;
    int32_t moveTargetColumn = 0;
    int32_t moveTargetRow = 0;
    int32_t clickOutcome = 0;
    std::vector<RefHolder<Command>> undoHistory;
    std::vector<int32_t> randomLevels;
    TileList selection;
    TileList superHintTiles;
    RefHolder<Level> level;
    bool hasWon = false;
    RefHolder<Layout> layout;
    RefHolder<Layout> layoutCopy;
    RefHolder<Layout> pendingLayout;
    DisplayValue score{0, 0, 0x7FFFFFFF};
    RefHolder<PropertyNode> levelSession;

    GameType gameType;
    bool restored = true;
    TileList buildOrder;
    BuildStatistics buildStatistics;
};
