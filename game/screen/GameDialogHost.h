#pragma once

#include <vector>

#include "framework/core/RefHolder.h"

class Dialog;
class Scene;

// The game screen as the game's dialogs see it: it keeps the list of game dialogs open over
// it and pauses the game while any is open. The game scene derives from it and installs
// itself; without one installed, dialogs register nowhere.
class GameDialogHost {
public:
    virtual ~GameDialogHost();

    // The scene the dialogs pause (the game scene).
    virtual Scene* getGameScene() const = 0;
    // Whether a phase of the level (its notice, build or end) is running rather than play.
    virtual bool isInLevelPhase() const = 0;

    // Adds the dialog (once) and pauses the game.
    void onDialogOpened(Dialog* dialog);
    // Drops the dialog; the game resumes when that leaves no dialog open.
    void onDialogClosed(Dialog* dialog);
    // Drops the dialog without resuming: a dialog going away never calls into the game.
    void forgetDialog(Dialog* dialog);
    const std::vector<Dialog*>& getOpenDialogs() const { return openDialogs; }

    static GameDialogHost* get();
    // Null uninstalls.
    static void install(GameDialogHost* host);

protected:
    virtual void pauseGame() = 0;
    virtual void resumeGame() = 0;

private:
    // Not referenced: a dialog leaves the list in its hide, before it can go.
    std::vector<Dialog*> openDialogs;
};
