#pragma once

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "game/screen/SceneQuovelMahjong.h"

class Button;

// The main menu, drawn as the building's lobby: hovering the elevator doors opens them and a
// click rides up; the help, settings, trophy and quit buttons slide in on the first show; the
// name sign welcomes the current player and leads to the player selection. Now and then a
// shine runs over the closed doors and the porter's eyes blink.
class SceneLobby : public SceneQuovelMahjong {
    QUOVEL_TYPE(SceneLobby)
public:
    explicit SceneLobby(PropertyNode* definition);
    ~SceneLobby() override;

    void loadResources() override;
    void show() override;
    void update(int32_t elapsedMs) override;

    // The welcome sign's text from the current player, and the host's first hint when due.
    void updateWelcome();
    // The lobby among the game's scenes, or null.
    static SceneLobby* get();

    bool areDoorsOpen() const { return doorsOpen; }
    bool areDoorsOpening() const { return doorsOpening; }
    Sprite* getDoorLeft() const { return doorLeft.get(); }
    Sprite* getDoorRight() const { return doorRight.get(); }
    GameNode* getDoorMiddle() const { return doorMiddle.get(); }
    int32_t getDoorLeftX() const { return doorLeftX; }
    int32_t getDoorRightX() const { return doorRightX; }

    int32_t onElevator(BaseObject* sender);
    int32_t onChangeName(BaseObject* sender);
    int32_t onHelp(BaseObject* sender);
    int32_t onSettings(BaseObject* sender);
    int32_t onTrophies(BaseObject* sender);
    int32_t onQuit(BaseObject* sender);

private:
    int32_t markDoorsOpen(BaseObject* sender);
    void openDialogByName(const char* name);
    void slideButtonsIn();
    bool isOverDoors() const;
    void updateDoors();
    void updateEyes(int32_t elapsedMs);
    void updateShine(int32_t elapsedMs);

    bool firstShow = true;
    bool doorsOpen = false;
    RefHolder<Sprite> doorLeft;
    RefHolder<Sprite> doorRight;
    RefHolder<GameNode> doorMiddle;
    RefHolder<GameNode> foreground;
    RefHolder<GameNode> eyes;
    int32_t doorLeftX = 0;
    int32_t doorRightX = 0;
    bool doorsOpening = false;
    RefHolder<GameNode> buttonHelp;
    RefHolder<GameNode> buttonSettings;
    RefHolder<GameNode> buttonTrophies;
    RefHolder<GameNode> buttonQuit;
};
