#pragma once

// Steps many roads share: from start-up to the lobby, the first player's name, the game
// screen's tiles and HUD, and what the window shows of the tiles.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <SDL.h>

#include "framework/core/BasicProperties.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/scene/Scene.h"
#include "game/app/SceneHallway.h"
#include "game/app/SceneLoad.h"
#include "game/app/SceneRecRoom.h"
#include "game/dialogs/DialogLayoutPreview.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "testsupport/e2e/RoadDriver.h"
#include "testsupport/platform/PixelAccess.h"

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
        RoadCheck(ring && ring[0] > 220 && ring[1] > 220 && ring[2] > 220) << "no logo";
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

// The text of the named label (the lobby's greeting, LABEL_PLAYERNAME, among them).
inline std::wstring labelText(RoadDriver& road, const std::string& name) {
    auto* label = objectCast<Label>(road.find(name));
    return label ? label->getText() : L"<no label " + std::wstring(name.begin(), name.end()) + L">";
}

// The first run's name input answered with `name` and its OK button.
inline bool enterFirstName(RoadDriver& road, const std::wstring& name) {
    if (!road.waitForDialog("DIALOG_NEWPLAYER")) {
        return false;
    }
    road.run(600);
    road.type(name);
    return road.closeDialog("BUTTON_OK", "DIALOG_NEWPLAYER");
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
    player->unlockState(UnlockItem::CASINO_CLASSIC) = UNLOCKED_SEEN;
    player->unlockState(UnlockItem::RECROOM_CLASSIC) = UNLOCKED_SEEN;
    for (int32_t room = 1; room < QuovelMahjongPlayer::MODE_COUNT; ++room) {
        player->modesUnlocked[room] = 2;
    }
}

// From the lobby up in the lift and out at the stop of `button`: true once `sceneName` runs.
// `look` sees the lift with its buttons open.
inline bool rideTo(RoadDriver& road, const std::string& button, const std::string& sceneName,
                   const std::function<void()>& look = {}) {
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
    if (look) {
        look();
    }
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

// The room's switch `switchName` chosen and its start clicked: true once the level is played.
// Pictures of the choice and the board, named after `what`.
inline bool startChosen(RoadDriver& road, const std::string& switchName, const std::string& what) {
    if (!road.click(switchName)) {
        return false;
    }
    road.run(500);
    road.picture(what + "-chosen");
    if (!road.click("BUTTON_START") || !road.waitForScene("SCENE_GAME", 30000) ||
        !waitUntilPlaying(road)) {
        return false;
    }
    road.picture(what + "-board");
    return true;
}

// Door `door` clicked: true once the level is played, the notice and hints gone. Pictures of
// the level notice and the board.
inline bool enterRoom(RoadDriver& road, int32_t door) {
    auto* hallway = objectCast<SceneHallway>(road.scene());
    if (!road.clickWidget(hallway->getDoor(door), "door " + std::to_string(door)) ||
        !road.waitForScene("SCENE_GAME", 30000)) {
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
    if (!road.clickWidget(preview ? preview->getSlotButton(slot) : nullptr,
                          "the page's layout slot " + std::to_string(slot)) ||
        !road.waitForScene("SCENE_GAME", 30000) || !waitUntilPlaying(road)) {
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

// A click, made by `click`, that gives `outcome` (Game::CLICK_SELECT, CLICK_ADD, CLICK_MATCH,
// CLICK_MOVE). A click that opens a tutorial hint or the host's word is dropped: the hint is
// read and the click made again.
inline bool clickGives(RoadDriver& road, int32_t outcome, const std::function<void()>& click) {
    Game* played = Game::current();
    for (int attempt = 0; attempt < 3; ++attempt) {
        dismissTutorialHint(road);
        dismissHostHint(road);
        click();
        if (played->getClickOutcome() == outcome) {
            return true;
        }
        if (!road.dialog("DIALOG_HINT") && !road.dialog("DIALOG_DORRICK_HINT")) {
            return false;
        }
    }
    return false;
}

inline bool clickTileFor(RoadDriver& road, const Tile* tile, int32_t outcome) {
    return clickGives(road, outcome, [&] { clickTile(road, tile); });
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
            RoadCheck(false) << "tile " << k << " of a match was not taken (outcome "
                             << Game::current()->getClickOutcome() << ")";
            return false;
        }
        if (k == 0 && selectedStep) {
            road.picture(selectedStep);
        }
    }
    return true;
}

// Every pair of the board but the last `pairsLeft` clicked in the order it was built; true when
// each first click selected and each second matched, and a cleared board won.
inline bool clearBoardByClicks(RoadDriver& road, size_t pairsLeft = 0) {
    Game* played = Game::current();
    if (!played) {
        RoadCheck(false) << "no game to play";
        return false;
    }
    const Game::TileList order = played->getBuildOrder();
    for (size_t k = 0; k + 1 + 2 * pairsLeft < order.size(); k += 2) {
        if (!clickMatch(road, {order[k].get(), order[k + 1].get()},
                        k == 0 ? "first-tile-selected" : nullptr)) {
            RoadCheck(false) << "pair " << k / 2 << " of the build order";
            return false;
        }
    }
    return pairsLeft > 0 || played->getHasWon();
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

// Alt+Enter, let go Enter first and then Alt first: each switches full screen where the window
// can run windowed and does nothing where it cannot, and neither answers the open box; nor does
// Enter pressed before Alt and let go as a window command, which leaves "Yes" drawn released.
inline void altEnterAnswersNothing(RoadDriver& road) {
    const std::string open = road.openDialogNames();
    Scene* scene = road.scene();
    GameWindow* window = GameWindow::getInstance();
    const bool canSwitch = window->canRunWindowed();
    bool fullScreen = window->isFullScreen();
    for (const bool altFirst : {false, true}) {
        road.keyboard(SDLK_LALT, true);
        road.keyboard(SDLK_RETURN, true);
        road.keyboard(altFirst ? SDLK_LALT : SDLK_RETURN, false);
        road.keyboard(altFirst ? SDLK_RETURN : SDLK_LALT, false);
        road.run(1000);
        fullScreen ^= canSwitch;
        // The window is asked only while the program runs (its scene is null once it ended).
        RoadCheck(road.openDialogNames() == open && road.scene() == scene &&
                  window->isFullScreen() == fullScreen)
            << "Alt+Enter, Alt let go " << (altFirst ? "first" : "last") << ": the boxes" << open
            << " became" << road.openDialogNames() << ", the full screen switched wrong or the"
            << " scene changed";
    }
    auto* yes = dynamic_cast<Sprite*>(road.find("BUTTON_YES"));
    const int32_t x = yes->getAbsoluteX() + 4, y = yes->getAbsoluteY() + yes->getHeight() / 2;
    const uint32_t released = testpixels::colorAt(road.window().get(), x, y);
    for (const int32_t key : {+SDLK_RETURN, +SDLK_LALT, -SDLK_RETURN, -SDLK_LALT}) {
        road.keyboard(std::abs(key), key > 0);  // a minus lets go
    }
    RoadCheck(road.openDialogNames() == open &&
              testpixels::colorAt(road.window().get(), x, y) == released)
        << "Enter let go with Alt: the boxes" << open << " became" << road.openDialogNames()
        << ", or \"Yes\" is drawn pressed";
}

// The in-game menu's stop, answered "yes": true once `sceneName` runs. `look` sees the question.
inline bool stopFromMenu(RoadDriver& road, const std::string& sceneName,
                         const std::function<void()>& look = {}) {
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
    if (look) {
        look();
    }
    return road.click("BUTTON_YES") && road.waitForScene(sceneName, 30000);
}

// From the lift by `stopButton` into `sceneName`: true once there.
inline bool rideFromLift(RoadDriver& road, const std::string& stopButton,
                         const std::string& sceneName) {
    auto* stop = objectCast<Button>(road.find(stopButton));
    return road.waitFor([&] { return stop && stop->isEnabled(); }, stopButton) &&
           road.click(stopButton) && road.waitForScene(sceneName, 30000);
}

// The same, and the room's question to continue its saved game answered "yes": true once the
// game screen shows the continued level.
inline bool continueFromLift(RoadDriver& road, const std::string& stopButton,
                             const std::string& sceneName) {
    if (!rideFromLift(road, stopButton, sceneName) ||
        !road.waitForDialog(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY, 30000)) {
        return false;
    }
    road.run(800);
    road.picture("continue-question");
    return road.clickIn(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY, "BUTTON_YES") &&
           road.waitForScene("SCENE_GAME", 30000);
}

// Lets tile effects (fade-outs, the face shine, floaters) run out.
inline void settleEffects(RoadDriver& road) {
    road.run(2500);
}

// A HUD button, which the room must show.
inline bool clickHudButton(RoadDriver& road, const std::string& name) {
    dismissTutorialHint(road);
    dismissHostHint(road);
    GameNode* button = road.find(name);
    RoadCheck(button && button->isVisible()) << name << " is not shown";
    return button && button->isVisible() && road.click(name);
}

struct Tint {
    int32_t color = 0;
    int32_t alpha = 0;  // 0: none
};

struct Spot {
    int32_t x = 0;
    int32_t y = 0;
};

inline int32_t faceChannel(const Image* image, int32_t x, int32_t y, int shift) {
    return int32_t((testpixels::colorAt(image, x, y) >> shift) & 0xFF);
}

// `look(u, v)` for each face pixel this far inside the face's edge: clear of the shadow a rack
// lays on its tiles' top and left edges and of the tile's rim.
inline void forFacePixels(const std::function<void(int32_t, int32_t)>& look) {
    constexpr int32_t inset = 7;
    for (int32_t v = inset; v < tuning().TILE_FACE_HEIGHT - inset; ++v) {
        for (int32_t u = inset; u < tuning().TILE_FACE_WIDTH - inset; ++u) {
            look(u, v);
        }
    }
}

// The blank tile tinted (colour filled at an alpha), then washed like a shaded layer, with the
// tile's symbol over it when `symbols` is given: what the board draws for the tile.
inline RefHolder<Image> drawnTile(const Tile* tile, Image* symbols, Tint tint, Tint shading) {
    RefHolder<Image> picture(Image::copyImage(LayoutRenderer::getTileImage().get()));
    RefHolder<Graphics> graphics(picture->createGraphics());
    for (const Tint& fill : {tint, shading}) {
        if (fill.alpha > 0) {
            graphics->setColor(uint32_t(fill.color));
            graphics->setAlpha(fill.alpha);
            graphics->fillRect(0, 0, picture->getWidth(), picture->getHeight());
            graphics->setAlpha(255);
        }
    }
    if (symbols) {
        graphics->blit(symbols, 0, 0, tile->getFaceOffsetX(), tile->getFaceOffsetY(),
                       tuning().TILE_FACE_WIDTH, tuning().TILE_FACE_HEIGHT);
    }
    return picture;
}

// Face pixels at `at` of the window that differ from `expected` by more than rounding (-1 when
// there is no window); the first of them named in `where`.
inline int32_t faceMismatches(RoadDriver& road, Spot at, const Image* expected,
                              std::string* where = nullptr) {
    RefHolder<Image> shown = road.window();
    int32_t wrong = shown ? 0 : -1;
    forFacePixels([&](int32_t u, int32_t v) {
        int32_t worst = 0;
        for (int shift : {0, 8, 16}) {
            worst = std::max(worst, std::abs(faceChannel(shown.get(), at.x + u, at.y + v, shift) -
                                             faceChannel(expected, u, v, shift)));
        }
        if (worst > 2 && wrong++ == 0 && where) {
            char text[64];
            std::snprintf(text, sizeof text, "(%d,%d) shows %06X, expected %06X", at.x + u,
                          at.y + v, testpixels::colorAt(shown.get(), at.x + u, at.y + v),
                          testpixels::colorAt(expected, u, v));
            *where = text;
        }
    });
    return wrong;
}

// The game's tiles, where their faces lie on screen and what the window shows there.
struct BoardOnScreen {
    RoadDriver& road;

    static Tint selectTint() { return {tuning().TILE_SELECT_COLOR, tuning().TILE_SELECT_ALPHA}; }
    Game* game() const { return Game::current(); }
    SideBoard* rack() const { return game()->getLayout()->getSideBoard(); }
    Image* symbols() const { return gameScreen(road)->getRenderer()->getSymbolImage(); }

    // Top left of the tile's face on screen, on the board or in its slot.
    Spot face(const Tile* tile) const {
        Spot at{tile->getGridX(), tile->getGridY()};
        LayoutRenderer* renderer = gameScreen(road)->getRenderer();
        if (tile->isOnSideBoard()) {
            rack()->slotToPoint(at.x, at.y);
            return at;
        }
        return {renderer->gridToScreenX(tile->getGridZ(), at.x),
                renderer->gridToScreenY(tile->getGridZ(), at.y)};
    }
    // A click on the middle of the face at `at`, or of the tile's, that gives `outcome`.
    bool clickFor(Spot at, int32_t outcome) const {
        return clickGives(road, outcome, [&] {
            road.clickAt(at.x + tuning().TILE_FACE_WIDTH / 2, at.y + tuning().TILE_FACE_HEIGHT / 2);
        });
    }
    bool clickFor(const Tile* tile, int32_t outcome) const { return clickFor(face(tile), outcome); }
    // The River washes each layer with its shipped shading.
    Tint shadingOf(const Tile* tile) const {
        const auto& layers = gameScreen(road)->getRenderer()->getLayerSprites();
        const auto z =
            static_cast<size_t>(tile->getGridZ() - gameScreen(road)->getRenderer()->getOriginZ());
        if (tile->isOnSideBoard() || z >= layers.size()) {
            return {};
        }
        return {static_cast<int32_t>(layers[z]->getShadingColor()), layers[z]->getShadingAlpha()};
    }
    // What the board draws for the tile: its tint and layer's shading, with or without symbol.
    RefHolder<Image> drawn(const Tile* tile, Tint tint = {}, bool symbol = true) const {
        return drawnTile(tile, symbol ? symbols() : nullptr, tint, shadingOf(tile));
    }
    void expectShows(Spot at, const Image* expected, const std::string& what) const {
        std::string where;
        const int32_t mismatches = faceMismatches(road, at, expected, &where);
        RoadCheck(mismatches == 0) << what << ": " << mismatches << " pixels differ, " << where;
    }
    // The window shows the tile's face, tinted or not, where the tile lies.
    void expectFace(const Tile* tile, Tint tint, const std::string& what) const {
        const Spot at = face(tile);
        expectShows(at, drawn(tile, tint).get(),
                    what + ": the face of suit " + std::to_string(tile->getSuit()) + " value " +
                        std::to_string(tile->getValue()) +
                        (tile->isOnSideBoard() ? " in its slot" : " on the board") + " at " +
                        std::to_string(at.x) + "," + std::to_string(at.y));
    }
    // The face area at `at` shows what lies at `from` of the picture behind the board or rack.
    void expectEmpty(Spot at, Image* behind, Spot from, const std::string& what) const {
        RefHolder<Image> area(
            Image::createImage(tuning().TILE_FACE_WIDTH, tuning().TILE_FACE_HEIGHT, 4));
        RefHolder<Graphics>(area->createGraphics())
            ->copyRect(behind, 0, 0, from.x, from.y, area->getWidth(), area->getHeight());
        expectShows(at, area.get(), what);
    }
    void expectBackground(Spot at, const std::string& what) const {
        expectEmpty(at, gameScreen(road)->getBackgroundImage(), at, what);
    }
    // The window shows the tile with `tint` at full strength around its symbol: on three tenths
    // of the face pixels or more, the shown change from the untinted face, measured along the
    // tint's change of the blank tile, is nine tenths of it or more. Where a symbol's ink covers
    // the face the tint may not show; a wash over the whole face shows nowhere in full.
    void expectFullTint(const Tile* tile, Tint tint, const std::string& what) const {
        const Spot at = face(tile);
        RefHolder<Image> shown = road.window();
        RefHolder<Image> plainFace = drawn(tile);
        RefHolder<Image> plainTile = drawn(tile, {}, false);
        RefHolder<Image> tintedTile = drawn(tile, tint, false);
        int32_t measured = 0;
        int32_t full = 0;
        forFacePixels([&](int32_t u, int32_t v) {
            double along = 0;
            double length = 0;
            for (int shift : {0, 8, 16}) {
                const double change = faceChannel(tintedTile.get(), u, v, shift) -
                                      faceChannel(plainTile.get(), u, v, shift);
                along += change * (faceChannel(shown.get(), at.x + u, at.y + v, shift) -
                                   faceChannel(plainFace.get(), u, v, shift));
                length += change * change;
            }
            if (length >= 30 * 30) {  // else the tint hardly changes this pixel
                ++measured;
                full += along / length >= 0.9 ? 1 : 0;
            }
        });
        const double share = measured > 0 ? double(full) / measured : 0.0;
        RoadCheck(share >= 0.3) << what << ": the full tint on " << share << " of the face"
                                << " in tile set " << QuovelMahjongPlayer::current()->tileSet + 1;
    }
    // Every tile on the board and in the rack shows its face.
    void expectAllFaces(const std::string& what) const {
        std::vector<RefHolder<Tile>> tiles;
        game()->getLayout()->getAllTiles(tiles);
        if (rack()) {
            rack()->getTiles(tiles);
        }
        for (const RefHolder<Tile>& tile : tiles) {
            expectFace(tile.get(), {}, what);
        }
    }
    // The game's first match in click order (for a rack game the board tile last).
    std::vector<const Tile*> firstMatch() const {
        Game::TileList offered;
        game()->findMatches(offered, nullptr);
        std::vector<const Tile*> match;
        for (int32_t t = 0; t < game()->getTilesPerMatch(); ++t) {
            match.push_back(offered.at(size_t(t)).get());
        }
        if (!match.front()->isOnSideBoard() && match.back()->isOnSideBoard()) {
            std::swap(match.front(), match.back());
        }
        return match;
    }
    // The tile selected: it shows the tint, at full strength, pictured mid-game.
    bool selectAndLook(const Tile* tile, const std::string& where) const {
        if (!clickFor(tile, Game::CLICK_SELECT)) {
            return false;
        }
        road.run(100);
        expectFace(tile, selectTint(), "the selected tile" + where);
        expectFullTint(tile, selectTint(), "the selection tint" + where);
        road.picture("board-mid-game");
        return true;
    }
    // Shuffle by the HUD's button: once the board plays again, every tile shows its face.
    void shuffleAndLook() const {
        SceneGame* screen = gameScreen(road);
        if (!clickHudButton(road, "BUTTON_SHUFFLE") ||
            !road.waitFor(
                [&] { return objectCast<StateShuffle>(screen->getFlow().getCurrentState()); },
                "the shuffle") ||
            !road.waitFor([&] { return screen->isPlaying(); }, "play after the shuffle", 30000)) {
            return;
        }
        settleEffects(road);
        expectAllFaces("after the shuffle");
    }
    // A hint by the HUD's button: its tiles pulse, so they no longer show the plain face.
    void hintAndLook() const {
        if (!clickHudButton(road, "BUTTON_HINT_UNLIMITED")) {
            return;
        }
        road.run(400);
        const Game::TileList hinted = game()->getSuperHintTiles();
        if (hinted.empty()) {
            RoadCheck(false) << "the hint marked no tile";
            return;
        }
        for (const RefHolder<Tile>& tile : hinted) {
            const Spot at = face(tile.get());
            const int32_t changed = faceMismatches(road, at, drawn(tile.get()).get());
            RoadCheck(changed > 20) << "a hinted tile at " << at.x << "," << at.y
                                    << " does not pulse: " << changed << " pixels changed";
        }
    }
};
