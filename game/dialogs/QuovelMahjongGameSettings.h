#pragma once

#include "framework/platform/IGameSettings.h"

// The game's settings: the six values of IGameSettings with the game's defaults (full screen
// with its warning, hardware drawing and hints on, sound volume 255, music volume 50). Start-up
// makes one and hands it to the SettingsManager; the settings dialog edits a second one.
class QuovelMahjongGameSettings : public IGameSettings {
    QUOVEL_TYPE(QuovelMahjongGameSettings)
public:
    QuovelMahjongGameSettings();
    ~QuovelMahjongGameSettings() override;
};
