#pragma once

// The settings, selection and credits dialogs as the game authors them: the real definitions,
// art, fonts and texts, over a lobby-colored scene, with a window that can run windowed, a
// recording sound device, a settings store in a scratch folder and a current player "Ann".

#include <string>

#include "app/GameMediaFixture.h"
#include "framework/os/FileKeyStore.h"
#include "game/dialogs/QuovelMahjongGameSettings.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"

class ChoiceDialogsTest : public GameMediaTest {
protected:
    void SetUp() override {
        GameMediaTest::SetUp();
        KeyStore::setCurrentUser(&store);
        // The pointer rests inside the window: the input handler sends no edge moves.
        events.cursorX = 400;
        events.cursorY = 300;
        openWindow(0, 102);
        startSound();
        SettingsManager::createInstance(new QuovelMahjongGameSettings());
        addPlayer();
        scenes = SceneManager::createInstance();
        scene = runLobbyColoredScene(scenes);
        loadResources({"IMAGE_FRAME_TL",    "IMAGE_FRAME_T",     "IMAGE_FRAME_TR",
                       "IMAGE_FRAME_L",     "IMAGE_FRAME_R",     "IMAGE_FRAME_BL",
                       "IMAGE_FRAME_B",     "IMAGE_FRAME_BR",    "IMAGE_BUTTON_CREDITS",
                       "IMAGE_BUTTON_PREV", "IMAGE_BUTTON_NEXT", "IMAGE_LOCK",
                       "IMAGE_NEW",         "SOUND_DIALOG_SHOW", "SOUND_DIALOG_HIDE",
                       "SOUND_SLIDER_1",    "SOUND_SLIDER_2",    "SOUND_SLIDER_3",
                       "SOUND_SLIDER_4",    "SOUND_SLIDER_5"},
                      "default");
        loadResources({"FONT_BODY", "FONT_HEADER", "IMAGE_SWITCH", "IMAGE_SLIDER_TRACK",
                       "IMAGE_SLIDER_KNOB", "IMAGE_SLIDER_DEC", "IMAGE_SLIDER_INC", "SOUND_CLICK",
                       "IMAGE_BUTTON_OK", "IMAGE_BUTTON_CANCEL", "SOUND_HOVER"},
                      "preloading");
        ASSERT_GT(tuning().DIALOG_FADE_TIME, 0);
    }
    void TearDown() override {
        scenes->update(10);
        scene.reset();
        GameMediaTest::TearDown();
        KeyStore::setCurrentUser(nullptr);
    }

    QuovelMahjongPlayer& player() { return *QuovelMahjongPlayer::current(); }
    // The dialog of the key from the scene, opened and faded in.
    template <class T>
    T* open(const char* key) {
        T* dialog = objectCast<T>(scene->getDialog(key));
        if (dialog) {
            scene->openDialog(dialog);
            frames(tuning().DIALOG_FADE_TIME + 20);
        }
        return dialog;
    }
    // Frames of the scene manager of 10 ms each.
    void frames(int32_t ms) {
        for (int32_t t = 0; t < ms; t += 10) {
            scenes->update(10);
        }
    }
    // A click (press and release) at the middle of the node, through the dialog's input.
    static void click(Dialog* dialog, Sprite* node) {
        const int32_t x = node->getLeft() + node->getWidth() / 2 + node->getParentsX();
        const int32_t y = node->getTop() + node->getHeight() / 2 + node->getParentsY();
        dialog->getComponentsContainer().onLeftButtonDown(x, y, 1, false);
        dialog->getComponentsContainer().onLeftButtonUp(x, y, 0);
    }
    // The sound files played since the last call.
    std::vector<std::string> played() {
        std::vector<std::string> files;
        for (const std::string& call : mixer->calls) {
            if (call.rfind("playSample ", 0) == 0) {
                files.push_back(mixer->samples[std::stoi(call.substr(11))].source);
            }
        }
        mixer->calls.clear();
        return files;
    }

    FileKeyStore store{scratch.str()};
    SceneManager* scenes = nullptr;
    RefHolder<Scene> scene;
};
