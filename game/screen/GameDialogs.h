#pragma once

#include <cstdint>
#include <string>

#include "framework/nodes/iGuiMethod.h"

class BaseObject;
class Button;
class Dialog;
class GameNode;
class Level;
class Scene;
class Trophy;
struct Rect;

// The game's dialogs as the game screen and the game's base scene open and read them: the
// dialogs fill it and install it as they register. Without one installed the screen goes on as
// when every dialog's definition is missing.
class GameDialogs {
public:
    // A yes-or-no question, not yet opened; a button the definition lacks is null.
    struct Question {
        Dialog* dialog = nullptr;
        Button* yes = nullptr;
        Button* no = nullptr;
    };

    virtual ~GameDialogs();

    // The scene's dialog of the key (made on first use), filled and given its after-close
    // callback, for the caller to open; null when the scene has no such dialog.
    // "DIALOG_LEVEL_INFO": the notice before the level.
    virtual Dialog* levelInfo(Scene& scene, const Level* level,
                              const iGuiMethod::Bound& afterClose) = 0;
    // "DIALOG_DORRICK_HINT": the host's hint n.
    virtual Dialog* hostHint(Scene& scene, int32_t hint, const iGuiMethod::Bound& afterClose) = 0;
    // "DIALOG_TROPHY_INFO": the notice of a trophy won during play.
    virtual Dialog* trophyNotice(Scene& scene, Trophy* trophy,
                                 const iGuiMethod::Bound& afterClose) = 0;
    // The question of the two text keys, registered on the scene under the message key (a
    // question already there under that key is closed and replaced); no dialog when there is
    // no scene or no definition.
    virtual Question ask(const std::string& messageKey, const std::string& headerKey,
                         const iGuiMethod::Bound& yes, const iGuiMethod::Bound& no,
                         Scene* scene) = 0;

    // Keeps the current level's room best before the level is recorded: the level-end dialog
    // sets the new result against it.
    virtual void keepBestBeforeLevelEnd() = 0;

    // The tutorial hint: whether hint `hintId` showed, pointing at `rect`, else at the target.
    virtual bool showHint(const Rect* rect, int32_t hintId, GameNode* target) = 0;
    // A hint is open until the screen forgets it.
    virtual bool isHintOpen() const = 0;
    virtual void forgetHint() = 0;

    // For any game dialog (false for anything else): closes it with its fade, then runs its
    // after-close callback.
    virtual bool close(BaseObject* dialog) = 0;
    // The same, with that callback replaced first.
    virtual bool closeThen(BaseObject* dialog, const iGuiMethod::Bound& afterClose) = 0;
    // Whether the dialog fades in when shown.
    virtual void setFadeInOnShow(Dialog* dialog, bool value) = 0;

    // The installed dialogs, else a stand-in that makes and opens none.
    static GameDialogs& get();
    // Null uninstalls.
    static void install(GameDialogs* dialogs);
};
