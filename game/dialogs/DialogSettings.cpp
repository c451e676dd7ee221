#include "game/dialogs/DialogSettings.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Button.h"
#include "framework/gui/Slider.h"
#include "framework/gui/Switch.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/GameSound.h"

QUOVEL_DEFINE_TYPE(DialogSettings, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogSettings)

namespace {

IGameSettings* storedSettings() {
    SettingsManager* manager = SettingsManager::instance();
    return manager ? manager->getSettings() : nullptr;
}

}  // namespace

DialogSettings::DialogSettings(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    if (IGameSettings* stored = storedSettings()) {
        face.copyFrom(stored);
    }
    iInputListenerContainer* container = &getComponentsContainer();
    connect<&DialogSettings::onFxVolume>("SLIDER_FXVOL", this, container);
    connect<&DialogSettings::onOk>("BUTTON_OK", this, container);
    connect<&DialogSettings::onInfo>("BUTTON_INFO", this, container);
    connect<&DialogSettings::onCancel>("BUTTON_CANCEL", this, container);
    connect<&DialogSettings::onMusicVolume>("SLIDER_MUSICVOL", this, container);
    wireSwitch("SWITCH_FULLSCREEN", "LABEL_FULLSCREEN");
    GameWindow* window = GameWindow::getInstance();
    if (Switch* fullscreen = switchNamed("SWITCH_FULLSCREEN");
        fullscreen && window && !window->canRunWindowed()) {
        fullscreen->setEnabled(false);
    }
    wireSwitch("SWITCH_SHOWHINTS", "LABEL_SHOWHINTS");
}

DialogSettings::~DialogSettings() = default;

Slider* DialogSettings::slider(const char* name) const {
    return objectCast<Slider>(const_cast<DialogSettings*>(this)->findChild(name));
}

Switch* DialogSettings::switchNamed(const char* name) const {
    return objectCast<Switch>(const_cast<DialogSettings*>(this)->findChild(name));
}

void DialogSettings::wireSwitch(const char* switchName, const char* captionName) {
    Switch* widget = switchNamed(switchName);
    if (!widget) {
        return;
    }
    widget->setCaption(objectCast<Sprite>(findChild(captionName)));
    getComponentsContainer().addListener(widget);
}

void DialogSettings::update(int32_t elapsedMs) {
    DialogQuovelMahjong::update(elapsedMs);
    frameTime += static_cast<uint32_t>(std::max(elapsedMs, 0));
    Slider* effects = slider("SLIDER_FXVOL");
    Button* knob = effects ? effects->getKnob() : nullptr;
    if (!knob || knob->getState() != Button::STATE_PRESSED) {
        return;
    }
    if (lastSliderSound && frameTime - *lastSliderSound <= SLIDER_SOUND_INTERVAL) {
        return;
    }
    lastSliderSound = frameTime;
    const int32_t number =
        sliderSoundNumber(effects->value, effects->getMinValue(), effects->getMaxValue());
    playSectionSound("SOUND_SLIDER_" + std::to_string(number), "default");
}

int32_t DialogSettings::sliderSoundNumber(float value, float minValue, float maxValue) {
    if (!(maxValue > minValue)) {
        return 1;
    }
    const float share = std::clamp((value - minValue) / (maxValue - minValue), 0.0f, 1.0f);
    return 1 + static_cast<int32_t>(std::lround(share * (SLIDER_SOUND_COUNT - 1)));
}

void DialogSettings::applyStoredVolumes() {
    IGameSettings* stored = storedSettings();
    SoundManager* sound = SoundManager::availableInstance();
    if (!stored || !sound) {
        return;
    }
    sound->setEffectsVolume(stored->getSoundVolume());
    sound->setMusicVolume(stored->getMusicVolume());
}

int32_t DialogSettings::onFxVolume(BaseObject*) {
    if (SoundManager* sound = SoundManager::availableInstance()) {
        sound->setEffectsVolume(face.getSoundVolume());
    }
    return 0;
}

int32_t DialogSettings::onMusicVolume(BaseObject*) {
    if (SoundManager* sound = SoundManager::availableInstance()) {
        sound->setMusicVolume(face.getMusicVolume());
    }
    return 0;
}

int32_t DialogSettings::onOk(BaseObject* sender) {
    if (SettingsManager* manager = SettingsManager::instance()) {
        manager->getSettings()->copyFrom(&face);
        manager->saveToRegistry();
    }
    if (GameWindow* window = GameWindow::getInstance()) {
        window->setFullScreen(face.getFullscreen());
    }
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const bool hints = face.getUseHints();
    if (player && player->showHints != hints) {
        player->showHints = hints;
        if (hints) {
            player->hints.fill(true);
        }
    }
    return onCancel(sender);
}

int32_t DialogSettings::onCancel(BaseObject* sender) {
    applyStoredVolumes();
    return closeAsOwnTarget(sender);
}

int32_t DialogSettings::onInfo(BaseObject*) {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (!scene) {
        return 0;
    }
    if (Dialog* credits = scene->getDialog("DIALOG_CREDITS")) {
        scene->openDialog(credits);
    }
    return 0;
}

bool DialogSettings::Face::getFullscreen() const {
    Switch* widget = owner.switchNamed("SWITCH_FULLSCREEN");
    return widget && widget->isOn();
}

bool DialogSettings::Face::setFullscreen(bool) {
    GameWindow* window = GameWindow::getInstance();
    const bool on = window && window->isFullScreen();
    if (Switch* widget = owner.switchNamed("SWITCH_FULLSCREEN")) {
        widget->setOn(on);
    }
    return on;
}

bool DialogSettings::Face::getUseHints() const {
    Switch* widget = owner.switchNamed("SWITCH_SHOWHINTS");
    return widget && widget->isOn();
}

bool DialogSettings::Face::setUseHints(bool) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const bool on = player && player->showHints;
    if (Switch* widget = owner.switchNamed("SWITCH_SHOWHINTS")) {
        widget->setOn(on);
    }
    return on;
}

namespace {

int32_t sliderValue(Slider* widget) {
    return widget ? static_cast<int32_t>(widget->value) : 0;
}

int32_t placeSlider(Slider* widget, int32_t value) {
    if (widget) {
        widget->value = static_cast<float>(value);
        widget->updateKnob();
    }
    return value;
}

}  // namespace

int32_t DialogSettings::Face::getSoundVolume() const {
    return sliderValue(owner.slider("SLIDER_FXVOL"));
}

int32_t DialogSettings::Face::getMusicVolume() const {
    return sliderValue(owner.slider("SLIDER_MUSICVOL"));
}

int32_t DialogSettings::Face::setSoundVolume(int32_t value) {
    return placeSlider(owner.slider("SLIDER_FXVOL"), value);
}

int32_t DialogSettings::Face::setMusicVolume(int32_t value) {
    return placeSlider(owner.slider("SLIDER_MUSICVOL"), value);
}
