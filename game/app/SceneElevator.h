#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/gui/Button.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/SoundNode.h"
#include "game/rules/GameType.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "game/screen/TypeLabel.h"

class QuovelMahjongPlayer;
class Random;

// The lift of the building: 24 stops (lobby, floors 1 to 20, casino, rec room, roof) whose
// buttons open with the player's progress. Pressing one shakes the cabin while the floor strip
// scrolls to the stop, then the stop's scene follows. The doors slide open on every show, the
// host snaps his fingers when something has just been opened (the new buttons then shine), and
// once per visit he says a line in his balloon. Made once per run: the stop it stands on, the
// floors waiting for their unlock effect and the host's clocks outlast every visit.
class SceneElevator : public SceneQuovelMahjong {
    QUOVEL_TYPE(SceneElevator)
public:
    static constexpr int32_t STOP_COUNT = 24;
    static constexpr int32_t FLOOR_COUNT = 20;
    static constexpr int32_t STOP_CASINO = 21;
    static constexpr int32_t STOP_RECROOM = 22;
    static constexpr int32_t STOP_ROOF = 23;
    // Lines (and redraws of one tip) tried before the host gives up on a line for this visit.
    static constexpr int32_t MAX_LINE_ATTEMPTS = 32;

    explicit SceneElevator(PropertyNode* definition);
    ~SceneElevator() override;

    void loadResources() override;
    void show() override;
    void hide() override;
    void update(int32_t elapsedMs) override;
    // The background moves with the component node, so the whole cabin shakes.
    void render(Graphics* graphics) override;

    // The floors waiting for their unlock effect become that one floor.
    void setPendingTargets(int32_t floor);
    // The ride to the stop, or the change of scene at once when the lift stands there.
    void arrive(int32_t stop);
    // Asks for the sections of the scene the stop leads to.
    static void requestStopSections(int32_t stop);

    // The host's line for the player, drawn with the generator; empty when nothing fits.
    static std::wstring chooseHostLine(QuovelMahjongPlayer& player,
                                       const std::vector<int32_t>& pendingFloors, Random& random);

    int32_t getStop() const { return position; }
    void setStop(int32_t stop) { position = stop; }
    const std::vector<int32_t>& getPendingFloors() const { return pendingFloors; }
    // Back at the lobby with no ride planned: no floors to stop at, no unlock to show.
    void resetTravel() {
        pendingFloors.clear();
        unlockedItem = -1;
        position = 0;
    }
    // The program's elevator scene, or null while it has not been made.
    static SceneElevator* instance();
    int32_t getUnlockedItem() const { return unlockedItem; }
    void setUnlockedItem(int32_t item) { unlockedItem = item; }
    int32_t getTravelTime() const { return travelTime; }
    bool areDoorsMoving() const { return doorsMoving; }
    bool hasHostSpoken() const { return hostSpoke; }
    Button* getStopButton(int32_t stop) const;
    Sprite* getFloorNumbers() const { return floorNumbers.get(); }
    Sprite* getSpeechBalloon() const { return speechBalloon.get(); }
    TypeLabel* getSpeechText() const { return speechText.get(); }
    // The host picks his line and says it: the balloon unfolds, then the line is typed.
    void hostSpeech();
    Sprite* getLeftDoor() const { return leftDoor.get(); }
    Sprite* getRightDoor() const { return rightDoor.get(); }
    Sprite* getSnapSprite() const { return snapSprite.get(); }

private:
    int32_t onButtonClicked(BaseObject* sender);
    int32_t onDoorsOpened(BaseObject* sender);
    int32_t unlockFloorButton(BaseObject* sender);
    int32_t resetSnapFingers(BaseObject* sender);
    int32_t enterTarget(BaseObject* sender);
    int32_t startTyping(BaseObject* sender);

    // Whether the button of the stop opens for the player with these floors pending.
    static bool isStopOpen(const QuovelMahjongPlayer& player,
                           const std::vector<int32_t>& pendingFloors, int32_t stop);
    void updateButtons();
    void openDoors();
    void snapFingers();
    void fadeInUnlockedButtons();
    void hideSpeech();
    void animateEyes(int32_t elapsedMs);
    void stopAnimations();
    void reportInterest() const;
    // The y of the floor strip with the stop in the display's window.
    int32_t stripY(int32_t stop) const;
    void lockedOverlay(Button* button);

    std::array<RefHolder<Button>, 4> roomButtons;
    std::array<RefHolder<Button>, FLOOR_COUNT> floorButtons;
    RefHolder<Sprite> floorNumbers;
    RefHolder<Sprite> floorDisplay;
    RefHolder<Sprite> unlockEffect;
    int32_t position = 0;
    std::vector<int32_t> pendingFloors;
    RefHolder<Sprite> leftDoor;
    RefHolder<Sprite> rightDoor;
    bool doorsMoving = false;
    RefHolder<Sprite> speechBalloon;
    RefHolder<TypeLabel> speechText;
    bool hostSpoke = false;
    // The host's clocks: the scene lives for the whole run, and they are not reset per visit.
    int32_t speechClock = 0;
    int32_t speechDelay = -1;
    int32_t blinkClock = 0;
    int32_t blinkInterval = 1250;
    bool eyesVisible = false;
    RefHolder<Sprite> snapSprite;
    int32_t travelTime = 0;
    RefHolder<SoundNode> movingSound;
    int32_t unlockedItem = -1;
    // The ride has come to its stop and waits for the quit question's answer.
    bool arrivalHeld = false;
    bool answered = false;
};
