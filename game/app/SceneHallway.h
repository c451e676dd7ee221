#pragma once

#include <array>
#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/gui/Button.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Image.h"
#include "game/rules/GameType.h"
#include "game/screen/SceneQuovelMahjong.h"

class DialogRoomPreview;
class Modifier;

// The corridor of one floor: five doors, one per room (level) of the floor. The look of each
// floor comes from media/properties/hallway.xml (picture, door rectangles, decorations; the
// area around each door recoloured by its room's game type). Hovering a door shows the room
// preview; a click on a door or its knob starts the room's level. On the way back from a level
// the won rooms wear their medals, a new or better medal lands with flash stars, and a floor
// just completed plays the floor-end sequence that leads back to the lift.
class SceneHallway : public SceneQuovelMahjong {
    QUOVEL_TYPE(SceneHallway)
public:
    static constexpr int32_t DOOR_COUNT = 5;
    static constexpr const char* HALLWAY_FILE = "media/properties/hallway.xml";
    // Time the preview stays once the mouse has left the doors.
    static constexpr int32_t PREVIEW_LINGER_MS = 500;

    struct Point {
        int32_t x = 0;
        int32_t y = 0;
    };

    explicit SceneHallway(PropertyNode* definition);
    ~SceneHallway() override;

    void loadResources() override;
    void show() override;
    void hide() override;
    void update(int32_t elapsedMs) override;
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;

    // Reads the hallway file for `floor` and places the doors, knobs, plates and the plant.
    void loadFloor();
    // The floor picture copied afresh and each door's area shifted by its room's hue.
    void applyHueMask();
    // The medals of the won rooms; a new one lands with its flash stars.
    void showDoorMedals();
    void showHallwayClear();
    void disableInput();
    void enableInput();
    void resetFloorEnd();

    int32_t enterRoom(BaseObject* sender);
    int32_t onFloorEndClosed(BaseObject* sender);
    int32_t startClearSequence(BaseObject* sender);
    int32_t finishArrival(BaseObject* sender);

    // The medal code of a room: -1 none, 0 bronze, 1 silver, 2 gold (gold on equality).
    static int32_t medalCode(int32_t winCount, int32_t bestScore, int32_t silver, int32_t gold);
    // The hallway among the game's scenes, or null.
    static SceneHallway* instance();

    int32_t getFloor() const { return floor; }
    void setFloor(int32_t value) { floor = value; }
    int32_t getHintSelector() const { return hintSelector; }
    void setHintSelector(int32_t value) { hintSelector = value; }
    int32_t getChosenDoor() const { return chosenDoor; }
    int32_t getMedalBefore() const { return medalBefore; }
    int32_t getDefinitionIndex() const { return definitionIndex; }
    float getHue(GameType gameType) const { return hues[static_cast<size_t>(gameType)]; }
    const Point& getPreviewOffset(int32_t door) const { return previewOffsets[door - 1]; }
    const Point& getMedalPosition(int32_t door) const { return medalPositions[door - 1]; }
    bool isInputEnabled() const { return inputEnabled; }
    Button* getDoor(int32_t door) const { return doors[door - 1].get(); }
    Button* getDoorKnob(int32_t door) const { return doorKnobs[door - 1].get(); }
    Sprite* getRoomNumber(int32_t door) const { return roomNumbers[door - 1].get(); }
    Sprite* getMedal(int32_t door) const;
    Button* getHoveredDoor() const { return hoveredDoor; }
    DialogRoomPreview* getRoomPreview() const;
    GameNode* getFloorEndDialog() const { return floorEndDialog.get(); }
    GameNode* getFloorEndLayer() const { return floorEndLayer.get(); }
    Button* getOkButton() const { return okButton.get(); }
    Image* getHallwayImage() const { return hallwayImage.get(); }
    bool isClearSequenceRunning() const { return clearSequence.get() != nullptr; }

private:
    // Input back on, and no door chosen or hovered, no hint pending.
    void resetDoorChoice();
    int32_t openRoomMenu(BaseObject* sender);
    int32_t openCustomize(BaseObject* sender);
    int32_t openTrophies(BaseObject* sender);
    // The new-medal animation on the medal with `stars` flash stars; the last star made.
    Sprite* animateNewMedal(Sprite* medal, int32_t stars);
    void buildSmallStars();
    void killClearSequence();
    void setInputWidgets(bool enabled);

    RefHolder<Button> menuButton;
    RefHolder<Button> elevatorButton;
    RefHolder<Button> trophiesButton;
    RefHolder<Button> customizeButton;
    std::array<RefHolder<Button>, DOOR_COUNT> doors;
    std::array<RefHolder<Button>, DOOR_COUNT> doorKnobs;
    std::array<RefHolder<Sprite>, DOOR_COUNT> roomNumbers;
    RefHolder<Sprite> plant;
    RefHolder<GameNode> medals;
    Button* hoveredDoor = nullptr;
    RefHolder<Image> hallwayImage;
    RefHolder<Dialog> roomPreview;
    int32_t previewCountdown = 0;
    bool inputEnabled = false;
    RefHolder<Button> okButton;
    RefHolder<GameNode> floorEndDialog;
    RefHolder<GameNode> floorEndLayer;
    RefHolder<GameNode> floorCompletedLabel;
    RefHolder<GameNode> unlockedLabel;
    RefHolder<GameNode> goodieLabel;
    RefHolder<GameNode> wellDoneLabel;
    std::array<float, DOOR_COUNT> hues{};
    std::array<Point, DOOR_COUNT> previewOffsets{};
    std::array<Point, DOOR_COUNT> medalPositions{};
    int32_t definitionIndex = 0;
    RefHolder<Modifier> clearSequence;
    int32_t chosenDoor = -1;
    int32_t medalBefore = -1;
    int32_t floor = 1;
    int32_t hintSelector = 0;
};
