#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/gui/Button.h"
#include "framework/gui/Switch.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/Level.h"
#include "game/rules/TrophyId.h"
#include "game/screen/SceneQuovelMahjong.h"

class DialogLayoutPreview;
class QuovelMahjongPlayer;

// The rec room: five game-type switches, each open once the player has unlocked that type
// here. Choosing one lights a glow column from the top of the room down to the switch and opens
// the layout preview with the type's layouts, from which a level is started; until then the
// host stands in the room. On entry the visit is reported, the room's trophy is awarded when
// every type has a won layout, newly opened types shine, and the host's hint or the offer of
// the saved rec room game follows.
class SceneRecRoom : public SceneQuovelMahjong {
    QUOVEL_TYPE(SceneRecRoom)
public:
    static constexpr int32_t GAME_TYPES = 5;
    // The room's trophy and the host's hint here.
    static constexpr TrophyId ROOM_TROPHY = TrophyId::REC_ROOM_ALL_TYPES;
    static constexpr int32_t HOST_HINT = 6;
    // The saved-game number of the room.
    static constexpr int32_t SAVED_GAME_NUMBER = 2;

    explicit SceneRecRoom(PropertyNode* definition);
    ~SceneRecRoom() override;

    void loadResources() override;
    void show() override;
    void hide() override;

    // The host's picture while nothing is chosen; otherwise the preview of the chosen type's
    // layouts and the glow down to its switch.
    void showGameTypePanel();
    // Switch g enabled exactly when its item is unlocked.
    void updateGameTypeSwitches();
    // Enables the switches, then makes each newly unlocked type's switch shine three times.
    void animateShine();
    // Every game type has a rec room layout won at least once.
    static bool everyTypeWon(QuovelMahjongPlayer& player);

    // The scene manager's rec room scene, or null while it has not been made.
    static SceneRecRoom* instance();

    GameType getSelectedGameType() const { return selectedGameType; }
    void setSelectedGameType(GameType value) { selectedGameType = value; }
    Switch* getGameTypeSwitch(GameType gameType) const;
    Sprite* getHostPicture() const { return hostPicture.get(); }
    Sprite* getGlowButton() const { return glowButton.get(); }
    Sprite* getGlowDialog() const { return glowDialog.get(); }
    Sprite* getGlowMiddle() const { return glowMiddle.get(); }
    DialogLayoutPreview* getLayoutPreview() const { return layoutPreview; }

    int32_t onMenu(BaseObject* sender);
    int32_t onGameTypeSwitch(BaseObject* sender);
    // Opens the dialog named by the pressed button's purpose on the current scene, or on the
    // target of a running transition.
    int32_t onCustomize(BaseObject* sender);
    int32_t onTrophies(BaseObject* sender);
    static int32_t onTrophyDialogClosed(BaseObject* sender);

private:
    // The glow drawn into a copy of the room's background, which becomes the scene's.
    void drawGlow(Image* background);
    Sprite* sprite(const char* name);

    RefHolder<Button> menuButton;
    RefHolder<Button> elevatorButton;
    std::array<RefHolder<Switch>, GAME_TYPES> gameTypeSwitches;
    RefHolder<Sprite> glowButton;
    RefHolder<Sprite> glowDialog;
    RefHolder<Sprite> glowMiddle;
    RefHolder<Sprite> hostPicture;
    // Open while a type is chosen; the scene's dialog table owns it.
    DialogLayoutPreview* layoutPreview = nullptr;
    std::vector<RefHolder<Level>> layoutLevels;
    GameType selectedGameType = NO_GAME_TYPE;
};
