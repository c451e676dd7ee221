#include "game/dialogs/QuovelMahjongGameSettings.h"

QUOVEL_DEFINE_TYPE(QuovelMahjongGameSettings, &IGameSettings::typeRecord)

QuovelMahjongGameSettings::QuovelMahjongGameSettings()
    : IGameSettings(true, true, true, true, 255, 50) {}

QuovelMahjongGameSettings::~QuovelMahjongGameSettings() = default;
