#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"

// The pause ("DIALOG_PAUSE"): shown without darkening and with its own sound, it fades the
// music out and mutes all sound 200 ms later; its button or any click resumes, unmutes and
// fades the music back in.
class DialogPause : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogPause)
public:
    static constexpr int32_t MUTE_DELAY = 200;

    explicit DialogPause(PropertyNode* definition);
    ~DialogPause() override;

    void show() override;
    using DialogQuovelMahjong::hide;
    // Resumes: drops a mute still pending, unmutes, fades the music back in and closes. The
    // resume button's callback, also run by a click anywhere on the dialog.
    int32_t hide(BaseObject* sender);
    // Resumes; always consumed.
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;

private:
    int32_t muteAll(BaseObject* sender);
};
