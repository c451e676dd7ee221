#pragma once

#include <cstdint>
#include <optional>

#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/dialogs/QuovelMahjongGameSettings.h"

class Slider;
class Switch;

// The settings dialog (DIALOG_SETTINGS): the effect and music volumes, heard at once while the
// sliders move; full screen and the tutorial hints, applied on OK; the credits behind its info
// button. OK stores and saves the settings; cancel puts the stored volumes back in the sound.
//
// Its settings face is a settings object whose values live in the dialog's widgets, so the
// SettingsManager's object and the dialog copy into each other through IGameSettings::copyFrom.
class DialogSettings : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogSettings)
public:
    // Fills the widgets from the stored settings and the live state (the window's full screen,
    // the current player's hints), wires the buttons, sliders and switches.
    explicit DialogSettings(PropertyNode* definition);
    ~DialogSettings() override;

    // While the effects knob is held, a slider sound at most every SLIDER_SOUND_INTERVAL ms.
    void update(int32_t elapsedMs) override;

    int32_t onFxVolume(BaseObject* sender);
    int32_t onMusicVolume(BaseObject* sender);
    int32_t onOk(BaseObject* sender);
    int32_t onCancel(BaseObject* sender);
    int32_t onInfo(BaseObject* sender);

    // The number of the slider sound for a value of the slider's range: the range split into
    // SLIDER_SOUND_COUNT equal steps, 1 at the minimum up to SLIDER_SOUND_COUNT at the maximum.
    static int32_t sliderSoundNumber(float value, float minValue, float maxValue);

    static constexpr uint32_t SLIDER_SOUND_INTERVAL = 500;
    static constexpr int32_t SLIDER_SOUND_COUNT = 5;

private:
    // The settings object whose getters and setters are the dialog's widgets.
    class Face : public QuovelMahjongGameSettings {
    public:
        explicit Face(DialogSettings& owner) : owner(owner) {}
        bool getFullscreen() const override;
        bool getUseHints() const override;
        int32_t getSoundVolume() const override;
        int32_t getMusicVolume() const override;
        bool setFullscreen(bool value) override;
        bool setUseHints(bool value) override;
        int32_t setSoundVolume(int32_t value) override;
        int32_t setMusicVolume(int32_t value) override;

    private:
        DialogSettings& owner;
    };

    Slider* slider(const char* name) const;
    Switch* switchNamed(const char* name) const;
    // The caption works the switch, whose listener goes to the front of the container.
    void wireSwitch(const char* switchName, const char* captionName);
    // The stored volumes back into the sound.
    static void applyStoredVolumes();

    Face face{*this};
    uint32_t frameTime = 0;
    std::optional<uint32_t> lastSliderSound;
};
