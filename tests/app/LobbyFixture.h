#pragma once

// The lobby driven frame by frame from the game's own definitions and art, on a game window
// over fake services, with the loading scene, the lobby and stand-ins for the elevator.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "TempFolder.h"
#include "framework/platform/SoundManager.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/Random.h"
#include "framework/core/SceneManager.h"
#include "framework/gui/Button.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/InputLabel.h"
#include "framework/gui/Label.h"
#include "framework/os/Messages.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "game/app/SceneElevator.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/SceneLobby.h"
#include "game/dialogs/DialogNameInput.h"
#include "game/dialogs/DialogPlayerSelect.h"
#include "game/dialogs/DialogYesNo.h"
#include "gui/HeadlessPicture.h"
#include "testsupport/os/FakeClipboard.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeAudioMixer.h"
#include "testsupport/os/FakeCursor.h"
#include "testsupport/os/FakeDisplay.h"
#include "testsupport/os/FakeEventSource.h"
#include "testsupport/os/FakeMessageBox.h"

constexpr int32_t FRAME_MS = 16;

class LobbyRoad : public ::testing::Test {
protected:
    LobbyRoad() : inside(std::filesystem::path(QUOVEL_BINARY_DIR) / "game") {
        setenv("XDG_DATA_HOME", home.str().c_str(), 1);
        resetFolderCache();
        FileArchive::close();
        BasicProperties::createInstance();
        Random::createInstance(7);
        loadGuiDefinitions();
        // A recording mixer, so that the lobby's music can be heard.
        mixer = std::make_shared<FakeAudioMixer>();
        SoundManager::init(44100, 32, mixer);
        resources = ResourceManager::createInstance();
        resources->loadSectionList("media/properties/resources.xml");
        resources->setReady();
        for (const char* section : {"preloading", "default", "lobby", "music"}) {
            resources->requestSectionLoad(section);
        }
        waitForLoader();
        PlayerManager::createInstance("", false);
        players = PlayerManager::getInstance();
        // A window on fake services, for the dialogs to centre on.
        ownsImageManager = ImageManager::getInstance() == nullptr;
        ImageManager::createInstance(false);
        events.cursorX = 400;
        events.cursorY = 60;
        GameWindow::createInstance({&display, &events, &cursor, &clipboard, &messageBox, &clock},
                                   "Quovel", 800, 600, false, 4, 0);
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
    ~LobbyRoad() override {
        gameScenes() = GameScenes();
        SceneManager::releaseInstance();
        GameWindow::releaseInstance();
        setDisplayBytesPerPixel(4);
        if (ownsImageManager) {
            ImageManager::destroyInstance();
        }
        PlayerManager::releaseInstance();
        ResourceManager::stopLoader();
        SoundManager::releaseInstance();
        GuiDefinitions::releaseInstance();
        Random::releaseInstance();
        BasicProperties::releaseInstance();
        resetFolderCache();
    }

    void waitForLoader() {
        for (int tries = 0; tries < 5000; ++tries) {
            resources->resumeLoader();
            if (!resources->nextPendingSection(ResourceManager::Queue::urgent, true) &&
                !resources->nextPendingSection(ResourceManager::Queue::background, true)) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        FAIL() << "the loader did not finish";
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
    std::vector<std::wstring> rows(DialogPlayerSelect* select) const {
        std::vector<std::wstring> names;
        for (int32_t row = 0; row < DialogPlayerSelect::ROWS; ++row) {
            names.push_back(select->getNameLabel(row)->getText());
        }
        return names;
    }

    TempFolder home;
    CurrentFolderScope inside;
    FakeDisplay display;
    FakeEventSource events;
    FakeCursor cursor;
    FakeClipboard clipboard;
    FakeMessageBox messageBox;
    FakeClock clock;
    bool ownsImageManager = false;
    std::shared_ptr<FakeAudioMixer> mixer;
    // How often the lobby's music was opened on the mixer.
    int lobbyMusicOpenings() const {
        int count = 0;
        for (const std::string& call : mixer->calls) {
            count += call.rfind("openStream", 0) == 0 && call.find("quovel.ogg") != std::string::npos;
        }
        return count;
    }
    ResourceManager* resources = nullptr;
    PlayerManager* players = nullptr;
    SceneManager* manager = nullptr;
    Scene* load = nullptr;
    SceneLobby* lobby = nullptr;
};
