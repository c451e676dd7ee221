#pragma once

#include <array>
#include <cstdint>

#include "game/app/SceneScoreRoom.h"

// The roof of the building: Speed, or Mixed (a casino game type drawn once per run, played as
// a mixed series), at a chosen difficulty, for the roof's high scores.
class SceneRoof : public SceneScoreRoom {
    QUOVEL_TYPE(SceneRoof)
public:
    static constexpr GameType SPEED = TYPE_SPEED;

    explicit SceneRoof(PropertyNode* definition);
    ~SceneRoof() override;

    void loadResources() override;
    void show() override;
    void hide() override;
    std::string tableKey() const override;

    int32_t onModeChosen(BaseObject* sender);

    // The program's roof, or null while it has not been made.
    static SceneRoof* instance();

    GameType getSelectedMode() const { return selectedMode; }
    void setSelectedMode(GameType value) { selectedMode = value; }
    Switch* getSpeedSwitch() const { return speedSwitch.get(); }
    Switch* getMixedSwitch() const { return mixedSwitch.get(); }

protected:
    RoomKind roomKind() const override { return RoomKind::ROOF; }
    GameType chosenGameType() const override { return selectedMode; }
    // Any type but Speed is the mixed run.
    void choose(GameType gameType) override { selectedMode = gameType; }
    RefHolder<Level> buildLevel() const override;
    std::array<int32_t, 3> record() const override;
    std::wstring gameTypeText() const override;
    Sprite* chosenSwitch() const override;
    const char* backgroundSection() const override { return "roof"; }
    const char* glowFillSection() const override { return "casrecroof"; }
    const char* boardName() const override { return "SPRITE_DIALOG_ROOF"; }
    const char* restPictureName() const override { return "WELCOME"; }
    int32_t barX() const override { return 28; }
    int32_t barY(int32_t row) const override { return 20 * row + 186; }
    int32_t glowMiddleOffset() const override { return 0; }
    int32_t glowButtonOffset() const override { return -1; }

private:
    RefHolder<Switch> speedSwitch;
    RefHolder<Switch> mixedSwitch;
    GameType selectedMode = NO_GAME_TYPE;
};
