#pragma once

// Steps many roads share: from start-up to the lobby, and the first player's name.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/RoadDriver.h"
#include "framework/core/Scene.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/SceneHallway.h"
#include "game/app/SceneLoad.h"
#include "game/app/SceneRecRoom.h"
#include "game/dialogs/DialogLayoutPreview.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/rules/Game.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"

// Start-up, the splash, the loading screen, the click that leaves it: true in the lobby.
// `pictures`: one picture per stage on the way.
inline bool reachLobby(RoadDriver& road, bool pictures = false) {
    road.start();
    if (!road.waitForScene("SCENE_SPLASH")) {
        return false;
    }
    if (pictures && road.showsLogo()) {
        // The maker's badge halfway through its white ring's wipe, then the whole logo.
        road.run(3450);
        road.picture("logo-wipe");
        road.run(2150);
        // The badge's white ring shows on the left, where the wipe had not come yet.
        RefHolder<Image> logo = road.picture("logo");
        const uint8_t* ring = logo ? logo->getPixels() + 281 * logo->getPitch() + 252 * 4 : nullptr;
        EXPECT_TRUE(ring && ring[0] > 220 && ring[1] > 220 && ring[2] > 220) << "no logo";
        road.run(1700);
    }
    if (pictures) {
        road.run(1500);
        road.picture("splash");
    }
    if (!road.waitForScene("SCENE_LOAD")) {
        return false;
    }
    auto* load = objectCast<SceneLoad>(road.scene());
    if (!road.waitFor([&] { return load->isComplete(); }, "the loading screen to complete",
                      120000)) {
        return false;
    }
    road.run(300);
    if (pictures) {
        road.picture("loaded");
    }
    road.clickAt(400, 300);
    return road.waitForScene("SCENE_LOBBY");
}

// The lobby's greeting.
inline std::wstring welcomeText(RoadDriver& road) {
    auto* label = objectCast<Label>(road.find("LABEL_PLAYERNAME"));
    return label ? label->getText() : L"<no greeting>";
}

// The first run's name input answered with `name` and its OK button.
inline bool enterFirstName(RoadDriver& road, const std::wstring& name) {
    if (!road.waitForDialog("DIALOG_NEWPLAYER")) {
        return false;
    }
    road.run(600);
    road.type(name);
    road.click("BUTTON_OK");
    return road.waitFor([&] { return !road.dialog("DIALOG_NEWPLAYER"); },
                        "the name input to close");
}

// A click on the host's hint's OK once it has faded in, where one is open.
// A tutorial hint takes its OK only after its minimum open time; each OK turns a page or closes.
inline void dismissTutorialHint(RoadDriver& road) {
    for (int page = 0; page < 4 && road.dialog("DIALOG_HINT"); ++page) {
        road.run(tuning().HINT_ENTER_FROM_OPEN + 100);
        if (!road.dialog("DIALOG_HINT")) {
            break;  // some hints close by themselves
        }
        road.clickIn("DIALOG_HINT", "BUTTON_OK");
        road.run(100);
    }
    road.waitFor([&] { return !road.dialog("DIALOG_HINT"); }, "the tutorial hint to close");
}

inline void dismissHostHint(RoadDriver& road) {
    if (road.dialog("DIALOG_DORRICK_HINT")) {
        road.run(500);
        road.clickIn("DIALOG_DORRICK_HINT", "BUTTON_OK");
        road.waitFor([&] { return !road.dialog("DIALOG_DORRICK_HINT"); }, "the hint to close");
    }
}

// The first run's start: the lobby reached, "Ann" entered and the host's welcome read.
inline bool startAsAnn(RoadDriver& road) {
    if (!reachLobby(road) || !enterFirstName(road, L"Ann") ||
        !road.waitForDialog("DIALOG_DORRICK_HINT")) {
        return false;
    }
    road.run(600);
    dismissHostHint(road);
    return true;
}

// The current player (between frames) with the casino, the rec room and the roof open in the
// lift, and Classic known in the casino and the rec room.
inline void openTheRooms() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    player->unlockedStuff[0] = 2;
    player->unlockedStuff[SceneRecRoom::SWITCH_ITEMS[0]] = 2;
    for (int32_t room = 1; room < QuovelMahjongPlayer::MODE_COUNT; ++room) {
        player->modesUnlocked[room] = 2;
    }
}

// From the lobby up in the lift and out at the stop of `button`: true once `sceneName` runs.
inline bool rideTo(RoadDriver& road, const std::string& button, const std::string& sceneName) {
    road.run(600);
    if (!road.click("BUTTON_ELEVATOR") || !road.waitForScene("SCENE_ELEVATOR")) {
        return false;
    }
    // The buttons open once the doors have and any unlock has played.
    auto* lift = road.find(button);
    if (!road.waitFor([&] { return lift && static_cast<Button*>(lift)->isEnabled(); },
                      "the lift's " + button, 30000)) {
        return false;
    }
    road.run(500);
    road.picture("elevator");
    return road.click(button) && road.waitForScene(sceneName, 30000);
}

// Lobby, lift, floor `floor` (reached already): true in the hallway with its input on.
inline bool rideToFloor(RoadDriver& road, int32_t floor) {
    if (!rideTo(road, "BUTTON_FLOOR_" + std::to_string(floor), "SCENE_HALLWAY")) {
        return false;
    }
    auto* hallway = objectCast<SceneHallway>(road.scene());
    if (!road.waitFor([&] { return hallway->isInputEnabled(); }, "the hallway's input")) {
        return false;
    }
    // The host greets a first arrival.
    road.run(1000);
    dismissHostHint(road);
    return true;
}

inline bool rideToFloorOne(RoadDriver& road) {
    return rideToFloor(road, 1);
}

// On the game screen: the level notice pictured, then true once the board is played, the
// notice and the host's hints gone.
inline bool waitUntilPlaying(RoadDriver& road) {
    auto* screen = objectCast<SceneGame>(road.scene());
    road.run(400);
    road.picture("level-info");
    return road.waitFor(
        [&] {
            dismissHostHint(road);
            return screen->isPlaying();
        },
        "the level to be played", 30000);
}

// Door `door` clicked: true once the level is played, the notice and hints gone. Pictures of
// the level notice and the board.
inline bool enterRoom(RoadDriver& road, int32_t door) {
    auto* hallway = objectCast<SceneHallway>(road.scene());
    Button* knob = hallway->getDoor(door);
    road.clickAt(knob->getAbsoluteX() + knob->getWidth() / 2,
                 knob->getAbsoluteY() + knob->getHeight() / 2);
    if (!road.waitForScene("SCENE_GAME", 30000)) {
        return false;
    }
    return waitUntilPlaying(road);
}

// From the lobby to the rec room, the game type of `typeSwitch`, its layout page `page` (turned
// to by the page's next button) and the layout in `slot`: true once the level is played.
// Pictures of the arrival, the page and the board.
inline bool playRecRoomLayout(RoadDriver& road, const std::string& typeSwitch, int32_t page,
                              int32_t slot) {
    if (!rideTo(road, "BUTTON_RECROOM", "SCENE_RECROOM")) {
        return false;
    }
    road.run(1000);
    road.picture("recroom-arrival");
    dismissHostHint(road);
    if (!road.click(typeSwitch) || !road.waitForDialog("DIALOG_LAYOUTPREVIEW")) {
        return false;
    }
    road.run(1000);
    for (int32_t turn = 0; turn < page; ++turn) {
        if (!road.clickIn("DIALOG_LAYOUTPREVIEW", "BUTTON_NEXT")) {
            return false;
        }
        road.run(1500);
    }
    road.picture("layout-page");
    auto* preview = objectCast<DialogLayoutPreview>(road.dialog("DIALOG_LAYOUTPREVIEW"));
    Button* layout = preview ? preview->getSlotButton(slot) : nullptr;
    if (!layout) {
        ADD_FAILURE() << "no layout in slot " << slot << " of the page";
        return false;
    }
    road.clickAt(layout->getAbsoluteX() + layout->getWidth() / 2,
                 layout->getAbsoluteY() + layout->getHeight() / 2);
    if (!road.waitForScene("SCENE_GAME", 30000) || !waitUntilPlaying(road)) {
        return false;
    }
    road.picture("board");
    return true;
}

inline SceneGame* gameScreen(RoadDriver& road) {
    return objectCast<SceneGame>(road.scene());
}

inline void clickTile(RoadDriver& road, const Tile* tile) {
    LayoutRenderer* renderer = gameScreen(road)->getRenderer();
    road.clickAt(renderer->gridToScreenX(tile->getGridZ(), tile->getGridX()) +
                     tuning().RENDERER_TILE_FACE_WIDTH / 2,
                 renderer->gridToScreenY(tile->getGridZ(), tile->getGridY()) +
                     tuning().RENDERER_TILE_FACE_HEIGHT / 2);
}


// A click on a board tile that gives `outcome` (Game::CLICK_SELECT, CLICK_ADD, CLICK_MATCH).
// A click that opens a tutorial hint or the host's word is dropped: the hint is read and the
// click made again.
inline bool clickTileFor(RoadDriver& road, const Tile* tile, int32_t outcome) {
    Game* played = Game::current();
    for (int attempt = 0; attempt < 3; ++attempt) {
        dismissTutorialHint(road);
        dismissHostHint(road);
        clickTile(road, tile);
        if (played->getClickOutcome() == outcome) {
            return true;
        }
        if (!road.dialog("DIALOG_HINT") && !road.dialog("DIALOG_DORRICK_HINT")) {
            return false;
        }
    }
    return false;
}

// The tiles of one match clicked in turn (a pair, or three in Triple): true when the first was
// selected, any middle one added and the last matched. A picture named `selectedStep` after
// the first click, when given.
inline bool clickMatch(RoadDriver& road, const std::vector<const Tile*>& tiles,
                       const char* selectedStep = nullptr) {
    for (size_t k = 0; k < tiles.size(); ++k) {
        const int32_t outcome = k == 0                  ? Game::CLICK_SELECT
                                : k + 1 == tiles.size() ? Game::CLICK_MATCH
                                                        : Game::CLICK_ADD;
        if (!clickTileFor(road, tiles[k], outcome)) {
            ADD_FAILURE() << "tile " << k << " of a match was not taken (outcome "
                          << Game::current()->getClickOutcome() << ")";
            return false;
        }
        if (k == 0 && selectedStep) {
            road.picture(selectedStep);
        }
    }
    return true;
}

// Every pair of the board clicked in the order it was built; true when each first click
// selected and each second matched.
inline bool clearBoardByClicks(RoadDriver& road) {
    Game* played = Game::current();
    if (!played) {
        ADD_FAILURE() << "no game to play";
        return false;
    }
    const Game::TileList order = played->getBuildOrder();
    for (size_t k = 0; k + 1 < order.size(); k += 2) {
        if (!clickMatch(road, {order[k].get(), order[k + 1].get()},
                        k == 0 ? "first-tile-selected" : nullptr)) {
            ADD_FAILURE() << "pair " << k / 2 << " of the build order";
            return false;
        }
    }
    return played->getHasWon();
}

// One step through an open trophy cabinet: once its awards have played, a picture of it (the
// first time) and its OK. False when no cabinet is open.
inline bool stepThroughCabinet(RoadDriver& road, bool& seen) {
    auto* cabinet = objectCast<DialogTrophy>(road.dialog("DIALOG_TROPHY"));
    if (!cabinet) {
        return false;
    }
    if (!cabinet->isRevealRunning() && cabinet->getCurrentTrophy() == DialogTrophy::NO_TROPHY) {
        if (!seen) {
            seen = true;
            // The last award's text panel folds away first.
            road.run(300);
            road.picture("trophy-award");
        }
        road.clickIn("DIALOG_TROPHY", "BUTTON_MENU");
    }
    return true;
}

// The level end's continue (and the cabinet's OK for a trophy won on the way) until
// `sceneName` runs. A picture of the level end and of the cabinet.
inline bool continueFromLevelEnd(RoadDriver& road, const std::string& sceneName) {
    if (!road.waitForDialog("DIALOG_LEVEL_END")) {
        return false;
    }
    road.run(3000);
    road.picture("level-end");
    bool cabinetSeen = false;
    return road.waitFor(
        [&] {
            Scene* now = road.scene();
            if (now && now->getName() == sceneName) {
                return true;
            }
            if (!stepThroughCabinet(road, cabinetSeen) && road.dialog("DIALOG_LEVEL_END")) {
                road.clickIn("DIALOG_LEVEL_END", "BUTTON_CONTINUE");
            }
            return false;
        },
        "the way from the level end to " + sceneName, 60000);
}

// The in-game menu's stop, answered "yes": true once `sceneName` runs.
inline bool stopFromMenu(RoadDriver& road, const std::string& sceneName) {
    if (!road.click("BUTTON_MENU") || !road.waitForDialog("DIALOG_MENU")) {
        return false;
    }
    road.run(800);
    road.picture("menu");
    if (!road.clickIn("DIALOG_MENU", "BUTTON_STOP")) {
        return false;
    }
    road.run(800);
    road.picture("stop-question");
    return road.click("BUTTON_YES") && road.waitForScene(sceneName, 30000);
}
