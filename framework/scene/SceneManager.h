#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/Task.h"
#include "framework/scene/Scene.h"

class iInputListener;

// Owns the scenes by name, keeps one of them current and runs its parts every frame (input,
// update, move, render, tooltip, purge) as the first task of the frame. A change is asked for
// by requesting a scene; it may pass through a transition scene, which is used for one change
// only. The scene left is hidden one frame after the new one was shown.
class SceneManager : public Task {
    QUOVEL_TYPE(SceneManager)
public:
    // Makes the singleton (holding one reference) and installs the scene hooks of the window
    // and the render pass.
    static SceneManager* createInstance();
    static SceneManager* getInstance();
    // The singleton's current scene, or null when there is neither.
    static Scene* currentScene();
    static void releaseInstance();

    SceneManager() = default;
    ~SceneManager() override;

    // Stores the scene under the name (its node name becomes the name), replacing any other.
    void addScene(const std::string& name, Scene* scene);
    Scene* getScene(const std::string& name) const;
    // Builds the scene defined under the name in the GUI definitions and adds it; null when the
    // definition makes no scene.
    Scene* createScene(const std::string& name);
    // Builds the transition defined under the name for the next change; a definition that
    // makes no transition scene leaves none.
    void setTransition(const std::string& name);
    Scene* getTransition() const { return transition.get(); }

    // The current scene, or during a transition the scene it leads to.
    Scene* getCurrentScene() const;
    // The scene run each frame (the transition itself during one).
    Scene* getRunningScene() const { return current.get(); }
    Scene* getPreviousScene() const { return previous.get(); }
    // Asks for a change to the scene at the next frame (referenced).
    void requestScene(Scene* scene) { requested = scene; }
    // What a change of scene keeps of the sections still queued for loading.
    enum class QueuedSections { DROP, KEEP };
    // The one way to change scene: asks for the section of the scene of that name (after
    // dropping the queued ones, unless kept), sets the transition of that name ("" for none)
    // and requests the scene. A scene not made is a developer's mistake: reported, and
    // nothing changes.
    void goToScene(const std::string& name, const std::string& transitionName,
                   QueuedSections queued = QueuedSections::DROP);
    Scene* getRequestedScene() const { return requested.get(); }

    // Installs the shared tooltip in the listener containers of every scene and every dialog
    // they made, in place of the previous one (null removes it).
    void setToolTip(Task* toolTip);
    Task* getToolTip() const { return toolTip.get(); }
    // The tooltip's input listener, or null.
    iInputListener* getToolTipListener() const;

    void update(int32_t elapsedMs) override;

private:
    void switchScene();
    // Once a scene is hidden behind the next: the pictures of its section that nothing holds
    // any more are released and the freed heap goes back to the system.
    void releaseLeftBehind(const Scene& left);

    std::map<std::string, RefHolder<Scene>> scenes;
    RefHolder<Scene> previous;
    RefHolder<Scene> current;
    RefHolder<Scene> requested;
    RefHolder<Scene> transition;
    RefHolder<Task> toolTip;
    // The scenes are searched for removed ones only when one may be there: a scene was marked
    // removed since the last search (the marks moved), was added, or stayed as current.
    uint64_t removalMarksSeen = 0;
    bool lookForRemoved = false;
};
