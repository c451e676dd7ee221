#pragma once

// The lobby driven frame by frame from the game's own definitions and art, on a game window
// over fake services, with the loading scene, the lobby and stand-ins for the elevator.

#include <string>

#include "app/GameServicesFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/InputLabel.h"
#include "framework/gui/Label.h"
#include "framework/os/Messages.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneLobby.h"
#include "game/dialogs/DialogNameInput.h"
#include "game/dialogs/DialogPlayerSelect.h"
#include "game/dialogs/DialogYesNo.h"
#include "gui/HeadlessPicture.h"

constexpr int32_t FRAME_MS = SCENE_FRAME_MS;

class LobbyRoad : public SceneTest {
protected:
    LobbyRoad() {
        startDefinitions(7);
        startSound();
        resources = startLoader({"preloading", "default", "lobby", "music"});
        PlayerManager::createInstance("", false);
        players = PlayerManager::getInstance();
        // A window on fake services, for the dialogs to centre on.
        startImages();
        events.cursorX = 400;
        events.cursorY = 60;
        openWindow(4, 0);
        manager = SceneManager::createInstance();
        load = manager->createScene("SCENE_LOAD");
        lobby = objectCast<SceneLobby>(manager->createScene("SCENE_LOBBY"));
        gameScenes().lobby = lobby;
        // The ride goes to a bare stand-in; the lobby resets the program's elevator scene.
        RefHolder<PropertyNode> standIn(new PropertyNode("SCENE_ELEVATOR", "SceneQuovelMahjong"));
        manager->addScene("SCENE_ELEVATOR", new SceneQuovelMahjong(standIn.get()));
        RefHolder<PropertyNode> elevator(new PropertyNode("SCENE_ELEVATOR", "SceneElevator"));
        gameScenes().elevator = new SceneElevator(elevator.get());
    }

    void frames(int32_t ms) {
        for (int32_t time = 0; time < ms; time += FRAME_MS) {
            manager->update(FRAME_MS);
        }
    }
    void showLobby() {
        manager->requestScene(lobby);
        manager->update(FRAME_MS);
    }
    void addPlayers(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            players->addPlayer(new QuovelMahjongPlayer(name));
        }
    }
    void send(uint32_t message, uint32_t wParam, uint32_t lParam = 0) {
        lobby->getInputHandler()->onWindowMessage(message, wParam, lParam);
    }
    void type(const std::wstring& text) {
        for (wchar_t c : text) {
            send(WM_CHAR, static_cast<uint32_t>(c));
            manager->update(FRAME_MS);
        }
    }
    void pressEnter() {
        send(WM_KEYDOWN, VK_RETURN);
        send(WM_KEYUP, VK_RETURN);
        manager->update(FRAME_MS);
    }
    void pointAt(int32_t x, int32_t y) {
        events.cursorX = x;
        events.cursorY = y;
        send(WM_MOUSEMOVE, 0, static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16));
        manager->update(FRAME_MS);
    }
    static void click(GameNode* widget) {
        ASSERT_NE(widget, nullptr);
        static_cast<iGuiMethod*>(widget->castTo(&iGuiMethod::typeRecord))->invoke(widget);
    }
    std::wstring welcome() const {
        return objectCast<Label>(lobby->findChild("LABEL_PLAYERNAME"))->getText();
    }
    std::string currentName() const {
        AbstractPlayer* player = players->getCurrentPlayer();
        return player ? player->getName() : std::string();
    }
    template <class T>
    T* dialog(const char* name) const {
        return lobby->isDialogOpen(name) ? objectCast<T>(lobby->findDialog(name)) : nullptr;
    }
    DialogPlayerSelect* openPlayerSelect() {
        click(lobby->findChild("BUTTON_CHANGENAME"));
        frames(400);
        return dialog<DialogPlayerSelect>("DIALOG_PLAYERSELECT");
    }
    // Runs frames until a shine runs between the doors and the seam; the time that took, or -1.
    int32_t framesUntilShine(int32_t limitMs) {
        for (int32_t time = 0; time <= limitMs; time += FRAME_MS) {
            manager->update(FRAME_MS);
            for (GameNode* node = lobby->getDoorRight()->getNextSibling();
                 node && node != lobby->getDoorMiddle(); node = node->getNextSibling()) {
                if (objectCast<AdditiveSprite>(node) && !node->isRemoved()) {
                    return time;
                }
            }
        }
        return -1;
    }
    // Where the dialog and each of its visible components stand on the screen, flattened.
    static std::vector<int32_t> screenPlaces(Dialog* shown) {
        std::vector<int32_t> places{shown->getAbsoluteX(), shown->getAbsoluteY()};
        for (GameNode* node = shown->getComponents()->getFirstChild(); node;
             node = node->getNextSibling()) {
            if (node->isVisible() && !node->isRemoved()) {
                places.push_back(node->getAbsoluteX());
                places.push_back(node->getAbsoluteY());
            }
        }
        return places;
    }
    std::vector<std::wstring> rows(DialogPlayerSelect* select) const {
        std::vector<std::wstring> names;
        for (int32_t row = 0; row < DialogPlayerSelect::ROWS; ++row) {
            names.push_back(select->getNameLabel(row)->getText());
        }
        return names;
    }

    // How often the lobby's music was opened on the mixer.
    int lobbyMusicOpenings() const {
        int count = 0;
        for (const std::string& call : mixer->calls) {
            count +=
                call.rfind("openStream", 0) == 0 && call.find("quovel.ogg") != std::string::npos;
        }
        return count;
    }
    PlayerManager* players = nullptr;
    Scene* load = nullptr;
    SceneLobby* lobby = nullptr;
};
