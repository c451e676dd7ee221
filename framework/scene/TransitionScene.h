#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Hook.h"
#include "framework/scene/Scene.h"

// A scene standing between the scene left and the scene entered for one change: the scene
// manager makes it current in place of the requested scene and hands it both; when it is done
// it requests its target. The two kinds draw snapshots of both scenes and fade between them,
// optionally waiting for the resource loader's urgent sections first.
class TransitionScene : public Scene {
    QUOVEL_TYPE(TransitionScene)
public:
    // A wait for the loader gives up after this long and goes on with what is loaded.
    static constexpr int32_t LOADER_WAIT_LIMIT_MS = 10000;
    static constexpr int32_t LOADER_WAIT_STEP_MS = 10;

    explicit TransitionScene(PropertyNode* definition);

    // The scenes are not referenced: the manager holds both meanwhile.
    virtual void setScenes(Scene* from, Scene* target);
    // Shows the target with its input off.
    virtual void prepareTarget();
    // Requests the target, whose input comes back on when activateTargetInput is set.
    virtual void finish();
    // Turns the scene left deaf, then shows the transition.
    void show() override;
    // A transition is shown once: hidden, it lets go of its snapshots too while the scene
    // manager still holds it.
    void hide() override;

    Scene* getFromScene() const { return fromScene; }
    Scene* getTargetScene() const { return targetScene; }

    // Whether urgent resource loading is still under way, in place of the resource manager's
    // answer; for tests. Empty, the resource manager answers.
    static inline Hook<bool()> loaderProbe;
    // Resumes the loader and tells whether it is not ready or an urgent section is pending.
    static bool isLoaderBusy();
    // A function-modifier callback that calls the transition's finish.
    int32_t finishTransition(BaseObject* sender);

protected:
    // Draws the scene (its background when visible, then its node tree) into the snapshot.
    static void takeSnapshot(Sprite* snapshot, Scene* scene);
    // A sprite at (0, 0) with a new image of the game window's size and depth, appended to the
    // node tree.
    Sprite* makeSnapshot();
    // Blocks until the loader is done, at most LOADER_WAIT_LIMIT_MS, keeping the system's
    // window queue serviced meanwhile (no message reaches the scenes).
    static void waitForLoader();
    // The full-screen frame leaves the transition for the target, its input off.
    void moveFrameToTarget();
    // The frame's input follows the window's mode again, on the target.
    void restoreFrame();

private:
    Scene* fromScene = nullptr;
    Scene* targetScene = nullptr;
    bool activateTargetInput = true;
};

// The new scene fades in over a picture of the old one.
class AlphaTransitionScene : public TransitionScene {
    QUOVEL_TYPE(AlphaTransitionScene)
public:
    // "time" (fade ms, 1000) and "wait" (for the loader, true).
    explicit AlphaTransitionScene(PropertyNode* definition);

    void show() override;
    void finish() override;

    Sprite* getSnapshotA() const { return snapshotA.get(); }
    Sprite* getSnapshotB() const { return snapshotB.get(); }

private:
    RefHolder<Sprite> snapshotA;
    RefHolder<Sprite> snapshotB;
    int32_t time = 1000;
    bool wait = true;
};

// The old scene fades to the scene's color, a loading text (the child "LOADING_LABEL") shows
// with running dots when loading takes longer than the show delay, then the new scene fades in.
class FadeBlackTransitionScene : public TransitionScene {
    QUOVEL_TYPE(FadeBlackTransitionScene)
public:
    enum Phase : int32_t { PHASE_FADE_OUT = 0, PHASE_WAIT = 1, PHASE_FADE_IN = 2 };
    static constexpr int32_t DOT_STEP_MS = 300;
    static constexpr int32_t LABEL_APPEAR_MS = 300;

    // "time" (each fade, 1000), "wait" (true), "showdelay" (3000) and "showtime" (1500); the
    // background is the "color" of the sprite keys.
    explicit FadeBlackTransitionScene(PropertyNode* definition);

    void show() override;
    void finish() override;
    // In the waiting phase: the loading text and its dots, and the start of the fade-in once
    // loading is done (or has taken LOADER_WAIT_LIMIT_MS).
    void update(int32_t elapsedMs) override;

    int32_t getPhase() const { return phase; }
    Sprite* getLoadingLabel() const { return loadingLabel.get(); }
    Sprite* getSnapshotA() const { return snapshotA.get(); }
    Sprite* getSnapshotB() const { return snapshotB.get(); }

    // Function-modifier callback: the fade-out has ended.
    int32_t startWaiting(BaseObject* sender);

private:
    void fadeIn();
    void setLabelText(const std::wstring& text);

    RefHolder<Sprite> snapshotA;
    RefHolder<Sprite> snapshotB;
    RefHolder<Sprite> loadingLabel;
    std::wstring baseText;
    int32_t showDelay = 3000;
    int32_t showTime = 1500;
    int32_t dotClock = 0;
    bool wait = true;
    int32_t time = 1000;
    int32_t phase = PHASE_FADE_OUT;
    int32_t waited = 0;
};
