#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/gui/Dialog.h"
#include "framework/nodes/iGuiMethod.h"

class PropertyNode;
class Scene;

// The base of the game's dialogs: fades in with a sound when shown and takes no input while
// fading, fades out with a sound when closed and leaves its scene, then runs its after-close
// callback (its iGuiMethod part). Shown over the game screen it pauses the game until it is
// hidden; it can also turn itself into a darkened full-screen backdrop carrying its own
// picture ("dodarkenbackground").
class DialogQuovelMahjong : public Dialog, public iGuiMethod {
    QUOVEL_TYPE(DialogQuovelMahjong)
public:
    // The alpha of a dialog or label faded fully in.
    static constexpr int32_t OPAQUE = 255;

    // The dialog keys, then "dodarkenbackground".
    explicit DialogQuovelMahjong(PropertyNode* definition);
    ~DialogQuovelMahjong() override;

    void* castTo(const TypeRecord* type) override;

    // Registers with the game screen when shown over it, plays "SOUND_DIALOG_SHOW", darkens the
    // screen and fades in, as the flags say.
    void show() override;
    // Leaves the game screen's list (resuming the game when it was the last) and takes the
    // input away.
    void hide() override;
    // Sound, fade-out, removal from the scene, then the after-close callback. A dialog already
    // closing ignores it.
    void close();
    // Shows the live components again and lets input in; the end of the fade-in.
    void resetButtons();
    // Turns the dialog into an 800 x 600 backdrop darkened to DIALOG_BACKGROUND_ALPHA with its
    // own picture where it stood, its components in place.
    void darkenBackground();
    void fadeIn();
    // Paints the backdrop into the background image.
    virtual void paintDecoration();

    void setSoundsEnabled(bool value) { playSounds = value; }
    void setDarken(bool value) { darken = value; }
    bool getDarken() const { return darken; }
    void setPausesGame(bool value) { pausesGame = value; }
    bool getPausesGame() const { return pausesGame; }
    void setFadeInOnShow(bool value) { fadeInOnShow = value; }
    bool getFadeInOnShow() const { return fadeInOnShow; }
    bool isClosing() const { return closing; }

    // For the function modifier at the end of the fade-in: resetButtons.
    int32_t resetButtonsOf(BaseObject* sender);
    // The shared OK and cancel of the game dialogs: the dialog becomes the target of its own
    // after-close callback, then closes.
    int32_t closeAsOwnTarget(BaseObject* sender);
    // The scene manager's current scene, or the target of the transition that is running.
    static Scene* targetScene();
    // The dialog of the key taken from the target scene (made on first use) and opened there,
    // above what is open; null when there is no scene or no such dialog.
    static Dialog* openOnTargetScene(const std::string& key);

private:
    // The dialog as one picture, deaf to input: the start of both fades.
    void freezeForFade();
    void addSound(const char* key);

    bool playSounds = true;
    bool darken = false;
    RefHolder<Image> decoration;
    bool pausesGame = true;
    bool fadeInOnShow = true;
    bool closing = false;
    // The dialog is the backdrop: its components stand where the dialog stood.
    bool darkened = false;
};
