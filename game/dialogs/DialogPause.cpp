#include "game/dialogs/DialogPause.h"

#include <cmath>
#include <memory>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/platform/SoundManager.h"
#include "game/rules/GameSound.h"

QUOVEL_DEFINE_TYPE(DialogPause, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogPause)

namespace {

constexpr int32_t MUSIC_FADE_TIME = 200;

// The piece that is heard (during a cross-fade, the incoming one), or null when no music plays.
SoundStream* playingMusic(SoundManager* sound) {
    if (!sound || sound->isStopped()) {
        return nullptr;
    }
    SoundStream* stream = sound->isChangePending() && sound->getNextStream()
                              ? sound->getNextStream()
                              : sound->getCurrentStream();
    return stream && stream->isOpen() ? stream : nullptr;
}

}  // namespace

DialogPause::DialogPause(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    // The one-argument `hide`, not the dialog's own.
    constexpr int32_t (DialogPause::*resume)(BaseObject*) = &DialogPause::hide;
    connect<resume>("BUTTON_RESUME", this, &getComponentsContainer());
    setDarken(false);
    setSoundsEnabled(false);
}

DialogPause::~DialogPause() = default;

void DialogPause::show() {
    DialogQuovelMahjong::show();
    playSectionSound("SOUND_PAUSE", "game");
    SoundManager* sound = SoundManager::availableInstance();
    if (SoundStream* music = playingMusic(sound)) {
        sound->startFade(music, music->getFadeLevel(), 0.0f, MUSIC_FADE_TIME);
    }
    auto* delay = new ModifierDelay(MUTE_DELAY);
    delay->setFlags(delay->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(this, delay);
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogPause::muteAll>(this)));
}

int32_t DialogPause::muteAll(BaseObject*) {
    if (SoundManager* sound = SoundManager::availableInstance()) {
        sound->setMute(true);
    }
    return 0;
}

int32_t DialogPause::hide(BaseObject* sender) {
    if (isClosing()) {
        return 0;
    }
    // A mute still pending would silence the resumed game for good.
    GameNode::removeAllModifiers(this);
    if (SoundManager* sound = SoundManager::availableInstance()) {
        sound->setMute(false);
        if (SoundStream* music = playingMusic(sound)) {
            sound->startFade(music, music->getFadeLevel(), 1.0f, MUSIC_FADE_TIME);
            if (sound->isChangePending()) {
                sound->finishMusicChange();
            }
            SoundStream* current = sound->getCurrentStream();
            std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer();
            if (current && mixer && !mixer->isPlaying(current->getChannel())) {
                sound->startStream(current, nullptr, SoundManager::RESTART_STREAM_MODE);
            }
        }
    }
    playSectionSound("SOUND_UNPAUSE", "game");
    return closeAsOwnTarget(sender);
}

bool DialogPause::onLeftButtonUp(int32_t, int32_t, int32_t) {
    hide(this);
    return true;
}
