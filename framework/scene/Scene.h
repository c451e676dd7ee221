#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/core/GameTree.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"
#include "framework/gui/Dialog.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/RenderTask.h"
#include "framework/platform/SceneTasks.h"

// One screen of the program: a full-screen dialog that owns everything needed to run that
// screen on its own, its node tree (with its widgets as the first child and its open dialogs
// after them), its animation tree, its move, render and purge tasks, its input handler and the
// dialogs it has made. The scene manager shows one scene at a time and runs its parts each
// frame; the game's scenes derive from it.
class Scene : public Dialog {
    QUOVEL_TYPE(Scene)
public:
    enum State : int32_t { STATE_NEW = 0, STATE_CURRENT = 1, STATE_LOADED = 2 };

    // The dialog keys, "scenecomponents" (widgets built on the first show), "scenebackground"
    // and "section" (its picture, loaded on the first show). The scene is named after its
    // definition.
    explicit Scene(PropertyNode* definition);
    ~Scene() override;

    // Builds the widgets and takes the background picture; run by the first show.
    virtual void loadResources();
    // The resource section whose pictures the scene leaves behind when another scene takes
    // over (its definition's "section"); empty when it leaves none.
    virtual std::string getLeftSection() const;
    // The resource section a change to the scene asks for (its definition's "section").
    virtual std::string getSection() const;
    // What the scene does when the user asks to quit: here the window closes at once, ending
    // the game without a question.
    virtual void onQuitRequest();

    // Loads the resources on the first show, shows the dialog part, hands the node tree to the
    // shared tooltip and starts listening to the game window.
    void show() override;
    // Deactivates the input, stops listening to the window, purges once and lets go of the
    // background picture.
    void hide() override;
    // The definition's background picture ("scenebackground" of its "section"), taken on
    // every show after the first (which builds the scene) that finds none.
    void takeBackground();
    // The background picture, copied opaque to the corner; the render task draws the tree.
    void render(Graphics* graphics) override;
    // Marking a scene removed is counted (see getRemovalMarks).
    void setRemoved(bool value) override;
    // How often any scene was marked removed: while the count stands, the scene manager knows
    // that no scene it holds became removed.
    static uint64_t getRemovalMarks() { return removalMarks; }

    // The dialog made under `instanceName` (the definition name when empty), closed first when
    // it is open; made from its definition on first use and kept.
    Dialog* getDialog(const std::string& definitionName,
                      const std::string& instanceName = std::string());
    // Puts the dialog on top of the tree, in front of every input listener of the scene, and
    // shows it.
    void openDialog(Dialog* dialog);
    // Hides the dialog, takes its input away and marks it for the next purge; it stays made.
    void closeDialog(Dialog* dialog);
    bool isDialogOpen(const std::string& name) const;
    // Forgets the dialog made under the name (closing is the caller's business).
    void dropDialog(const std::string& name);
    // The dialog made under the name, or null.
    Dialog* findDialog(const std::string& name) const;
    const std::vector<RefHolder<Dialog>>& getOpenDialogs() const { return openDialogs; }
    const std::map<std::string, RefHolder<Dialog>>& getDialogTable() const { return dialogTable; }

    int32_t getState() const { return state; }
    void setState(int32_t value) { state = value; }
    GameTree* getTree() const { return tree.get(); }
    AnimTree* getAnimTree() const { return animTree.get(); }
    InputHandler* getInputHandler() const { return inputHandler.get(); }
    MoveTask* getMoveTask() const { return moveTask.get(); }
    RenderTask* getRenderTask() const { return renderTask.get(); }
    PurgeTask* getPurgeTask() const { return purgeTask.get(); }

private:
    void stopListening();

    static inline uint64_t removalMarks = 0;

    RefHolder<MoveTask> moveTask;
    RefHolder<RenderTask> renderTask;
    RefHolder<PurgeTask> purgeTask;
    RefHolder<GameTree> tree;
    RefHolder<AnimTree> animTree;
    RefHolder<InputHandler> inputHandler;
    int32_t state = STATE_NEW;
    std::map<std::string, RefHolder<Dialog>> dialogTable;
    std::vector<RefHolder<Dialog>> openDialogs;
    RefHolder<PropertyVector> sceneComponents;
};
