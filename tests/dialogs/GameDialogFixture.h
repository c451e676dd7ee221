#pragma once

// Game dialog tests: the button fixture (window, sounds, a strip, definitions in memory) with a
// section "default" holding the dialog sounds, a current scene, tuning constants of the test's
// choosing and a stand-in for the game screen that counts its pauses.

#include "framework/nodes/ModifierSound.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameDialogHost.h"
#include "gui/ButtonFixture.h"

class FakeGameScreen : public GameDialogHost {
public:
    Scene* getGameScene() const override { return scene; }
    bool isInLevelPhase() const override { return false; }
    Scene* scene = nullptr;
    int pauses = 0;
    int resumes = 0;

protected:
    void pauseGame() override { ++pauses; }
    void resumeGame() override { ++resumes; }
};

class GameDialogTest : public ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        RefHolder<PropertyNode> definition = new PropertyNode("default");
        definition->addChild(new PropertyValue("name", "default", true));
        defaultSection = new ResourceSection(definition.get());
        ResourceManager::getInstance()->addSection(defaultSection.get());
        for (const char* key : {"SOUND_DIALOG_SHOW", "SOUND_DIALOG_HIDE"}) {
            RefHolder<Sound> sound = new Sound(1.0f);
            sound->load(1, 0, key);
            defaultSection->addObject(key, new MemoryObjectResource(sound.get()));
        }
        setTuning(100, 128);
        scene = new Scene(nullptr);
        SceneManager::getInstance()->addScene("game", scene.get());
        SceneManager::getInstance()->requestScene(scene.get());
        SceneManager::getInstance()->update(0);
        screen.scene = scene.get();
        GameDialogHost::install(&screen);
    }
    void TearDown() override {
        GameDialogHost::install(nullptr);
        SceneManager::releaseInstance();
        scene.reset();
        defaultSection.reset();
        ButtonTest::TearDown();
        loadTuningConstants();  // without the global properties: all 0
    }
    static void setTuning(int32_t fadeMs, int32_t backdropAlpha) {
        BasicProperties::instance()->setInteger("DIALOG_FADE_TIME", fadeMs);
        BasicProperties::instance()->setInteger("DIALOG_BACKGROUND_ALPHA", backdropAlpha);
        loadTuningConstants();
    }
    // One frame of the scene manager (input, moves, purge).
    void frame(int32_t ms) { SceneManager::getInstance()->update(ms); }

    RefHolder<ResourceSection> defaultSection;
    RefHolder<Scene> scene;
    FakeGameScreen screen;
};
