#pragma once

#include <array>
#include <cstdint>

#include "framework/core/Rect.h"
#include "framework/gui/Switch.h"
#include "game/app/SceneScoreRoom.h"
#include "game/rules/GameType.h"

// The casino floor: the player picks one of the five game types and a difficulty and plays
// that casino series for a high score. Game types the player has newly unlocked shine on
// entry; newly won trophies are offered first. Nine clicks in the right places, in the right
// order, open the arcade mini-game. Made once per run, so the choice outlasts every visit.
class SceneCasino : public SceneScoreRoom {
    QUOVEL_TYPE(SceneCasino)
public:
    static constexpr int32_t GAME_TYPES = 5;
    static constexpr int32_t SEQUENCE_LENGTH = 9;

    explicit SceneCasino(PropertyNode* definition);
    ~SceneCasino() override;

    void loadResources() override;
    void show() override;
    void hide() override;
    void showGameTypePanel() override;
    // Counts the hidden sequence; never consumes the click, so the widgets still get it.
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;

    // Newly unlocked game types shine; the switches follow the player's unlocks.
    void shineGameModes();
    // Whether the player's own score stands in the table of every game type at the chosen
    // difficulty.
    bool hasEntriesInAllFiveTables() const;
    std::string tableKey() const override;

    int32_t onGameTypeChosen(BaseObject* sender);
    int32_t onTrophyDialogClosed(BaseObject* sender);

    // The program's casino, or null while it has not been made.
    static SceneCasino* instance();

    GameType getSelectedGameType() const { return selectedGameType; }
    void setSelectedGameType(GameType value) { selectedGameType = value; }
    int32_t getSequenceProgress() const { return sequenceProgress; }
    // The painted object that step `step` (0 to SEQUENCE_LENGTH - 1) of the hidden sequence
    // wants clicked.
    static Rect sequenceArea(int32_t step);
    Switch* getGameTypeSwitch(GameType gameType) const;
    Sprite* getHostPicture() const { return restPicture.get(); }

protected:
    RoomKind roomKind() const override { return RoomKind::CASINO; }
    GameType chosenGameType() const override { return selectedGameType; }
    void choose(GameType gameType) override { selectedGameType = gameType; }
    RefHolder<Level> buildLevel() const override;
    std::array<int32_t, 3> record() const override;
    std::wstring gameTypeText() const override;
    Sprite* chosenSwitch() const override;
    const char* backgroundSection() const override { return "casino"; }
    const char* glowFillSection() const override { return "casino"; }
    const char* boardName() const override { return "SPRITE_DIALOG_CASINO"; }
    const char* restPictureName() const override { return "MR_D"; }
    int32_t barX() const override { return 0; }
    int32_t barY(int32_t row) const override { return 20 * row + 201; }
    int32_t glowMiddleOffset() const override { return 1; }
    int32_t glowButtonOffset() const override { return 0; }

private:
    std::array<RefHolder<Switch>, GAME_TYPES> gameTypeSwitches{};
    GameType selectedGameType = NO_GAME_TYPE;
    int32_t sequenceProgress = 0;
};
