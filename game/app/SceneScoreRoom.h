#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "framework/nodes/iGuiMethod.h"
#include "game/rules/Level.h"
#include "game/screen/SceneQuovelMahjong.h"

class Button;
class HighScoreTable;
class Image;
class Label;
class Modifier;
class Panel;
class Switch;

// What the casino and the roof share: a choice of game and difficulty whose level miniature,
// the player's record and five-row high-score table fill a board, a glowing column that links
// the chosen switch to the board, the start button that plays the choice, and the buttons to
// the elevator, the room menu, the trophy cabinet and the background choice. The subclasses
// say which room, which records, which table and which level belong to the choice.
class SceneScoreRoom : public SceneQuovelMahjong {
    QUOVEL_TYPE(SceneScoreRoom)
public:
    static constexpr int32_t ROWS = 5;
    // Row labels: name, level, score.
    static constexpr int32_t COLUMNS = 3;

    explicit SceneScoreRoom(PropertyNode* definition);
    ~SceneScoreRoom() override;

    void loadResources() override;
    void hide() override;
    using SceneQuovelMahjong::openDialog;

    // The choice's level, miniature and board.
    void refresh();
    // The player's record and the choice's high-score table on the board; the blink, the bar
    // and the sound of a score just entered.
    void showBestResults();
    // The board and the glow of the current choice, or the empty room.
    virtual void showGameTypePanel();

    // The callbacks of the shared buttons (the scene is the target).
    int32_t onStart(BaseObject* sender);
    int32_t onMenu(BaseObject* sender);
    int32_t onCustomize(BaseObject* sender);
    // Opens the trophy cabinet on the current scene (a running transition's target).
    static int32_t openDialog(BaseObject* sender);
    int32_t onDifficultyChosen(BaseObject* sender);

    int32_t getSelectedDifficulty() const { return selectedDifficulty; }
    void setSelectedDifficulty(int32_t value) { selectedDifficulty = value; }
    Level* getSelectedLevel() const { return selectedLevel.get(); }
    Modifier* getBlinkModifier() const { return blinkModifier; }
    GameNode* getHighScoreBar() const { return highScoreBar.get(); }
    Label* getRowLabel(int32_t row, int32_t column) const;
    Button* getStartButton() const { return startButton.get(); }
    Sprite* getPreviewSprite() const { return previewSprite.get(); }
    Switch* getExpertSwitch() const { return expertSwitch.get(); }
    Label* getGameTypeLabel() const { return gameTypeLabel.get(); }
    // The key of the choice's table in the high-score manager.
    virtual std::string tableKey() const = 0;

protected:
    // The room kind written into the level: 1 casino, 3 roof.
    virtual RoomKind roomKind() const = 0;
    // The game type the start button plays, or NO_GAME_TYPE.
    virtual GameType chosenGameType() const = 0;
    // The column of preset scores of the choice's table.
    virtual GameType presetColumn() const { return chosenGameType(); }
    virtual RefHolder<Level> buildLevel() const = 0;
    // The player's best score, best level and play count of the choice.
    virtual std::array<int32_t, 3> record() const = 0;
    virtual std::wstring gameTypeText() const = 0;
    virtual Sprite* chosenSwitch() const = 0;
    virtual const char* backgroundSection() const = 0;
    virtual const char* glowFillSection() const = 0;
    virtual const char* boardName() const = 0;
    // The picture the board shows while nothing is chosen: the casino's host, the roof's games.
    virtual const char* restPictureName() const = 0;
    // Where the bar stands under the row of a new score.
    virtual int32_t barX() const = 0;
    virtual int32_t barY(int32_t row) const = 0;
    // The glow's offsets from the middle of the chosen switch.
    virtual int32_t glowMiddleOffset() const = 0;
    virtual int32_t glowButtonOffset() const = 0;

    // The run comes back to its own choice, as a run begun here does.
    void savedGameContinued() override;
    virtual void choose(GameType gameType) = 0;

    // The entry shared by both rooms: music, the visit's report, the host's hint or the saved
    // game question, a fresh board.
    void enterRoom(int32_t hintNumber, const char* floorNumber);
    // Forgets the blink and the bar before a new choice is drawn.
    void clearNewScore();
    // Finds a switch, puts its listener before the other widgets' and binds the callback.
    Switch* wireSwitch(const char* name, int32_t tag, const iGuiMethod::Bound& choice);
    void setBackgroundKey(Image* image);
    RefHolder<Image> findBackground() const;
    void drawGlow();
    void buildRows();

    Modifier* blinkModifier = nullptr;
    RefHolder<Sprite> previewSprite;
    RefHolder<Panel> highScorePanel;
    std::array<std::array<RefHolder<Label>, COLUMNS>, ROWS> rowLabels{};
    RefHolder<Button> menuButton;
    RefHolder<Button> elevatorButton;
    RefHolder<Button> startButton;
    RefHolder<Sprite> glowButton;
    RefHolder<Sprite> glowDialog;
    RefHolder<Sprite> glowMiddle;
    RefHolder<Switch> expertSwitch;
    RefHolder<Label> gameTypeLabel;
    RefHolder<Level> selectedLevel;
    int32_t selectedDifficulty = 0;
    RefHolder<GameNode> highScoreBar;
    RefHolder<Sprite> restPicture;
};
