#include "game/app/SceneRoof.h"

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/Random.h"
#include "framework/gui/Switch.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/LevelCatalog.h"
#include "game/screen/GameScenes.h"
#include "game/visuals/ScreenUtils.h"

QUOVEL_DEFINE_TYPE(SceneRoof, &SceneScoreRoom::typeRecord)
QUOVEL_REGISTER_CLASS(SceneRoof)

namespace {

// The room's number in its table keys.
constexpr int32_t ROOF_KEY_ROOM = static_cast<int32_t>(RoomKind::ROOF);
constexpr int32_t ROOF_HINT = 7;
constexpr int32_t CASINO_TYPES = 5;

GameType drawCasinoType() {
    Random* random = Random::getInstance();
    return random ? ROOM_GAME_TYPES[static_cast<size_t>(random->nextInt(0, CASINO_TYPES))]
                  : TYPE_CLASSIC;
}

}  // namespace

SceneRoof::SceneRoof(PropertyNode* definition) : SceneScoreRoom(definition) {}

SceneRoof::~SceneRoof() = default;

SceneRoof* SceneRoof::instance() {
    return objectCast<SceneRoof>(gameScenes().roof.get());
}

void SceneRoof::loadResources() {
    SceneScoreRoom::loadResources();
    speedSwitch = wireSwitch("SWITCH_SPEED", SPEED, callback<&SceneRoof::onModeChosen>(this));
    // Mixed plays one casino game type for the whole run, drawn here once.
    mixedSwitch =
        wireSwitch("SWITCH_MIXED", drawCasinoType(), callback<&SceneRoof::onModeChosen>(this));
}

void SceneRoof::show() {
    SceneQuovelMahjong::show();
    enterRoom(ROOF_HINT, "23");
    if (expertSwitch) {
        QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        expertSwitch->setEnabled(player && player->isUnlocked(UnlockItem::EXPERT));
    }
}

void SceneRoof::hide() {
    SceneScoreRoom::hide();
    for (Switch* widget : {speedSwitch.get(), mixedSwitch.get()}) {
        if (widget) {
            widget->setOn(false);
        }
    }
}

int32_t SceneRoof::onModeChosen(BaseObject* sender) {
    auto* widget = objectCast<GameNode>(sender);
    if (!widget) {
        return 0;
    }
    selectedMode =
        widget->getTag() < 0 ? drawCasinoType() : static_cast<GameType>(widget->getTag());
    clearNewScore();
    showGameTypePanel();
    return 0;
}

std::string SceneRoof::tableKey() const {
    std::string key;
    makeLevelKey(selectedMode != SPEED, key, ROOF_KEY_ROOM, SPEED, selectedDifficulty);
    return key;
}

RefHolder<Level> SceneRoof::buildLevel() const {
    LevelCatalog* catalog = LevelCatalog::instance();
    if (selectedMode == SPEED) {
        return catalog->speedLevel(selectedDifficulty);
    }
    RefHolder<Level> level = catalog->casinoLevel(selectedMode, selectedDifficulty, roomKind());
    if (level) {
        level->setMixed(true);
    }
    return level;
}

std::array<int32_t, 3> SceneRoof::record() const {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const RooftopRecord* best =
        player ? player->getStats().rooftopRecord(selectedMode, selectedDifficulty) : nullptr;
    if (!best) {
        return {0, 0, 0};
    }
    return {best->bestScore, best->bestLevel, best->playCount};
}

std::wstring SceneRoof::gameTypeText() const {
    return selectedMode == SPEED ? getBasicText("TEXT_GAMETYPE6") : getBasicText("TEXT_MIXED");
}

Sprite* SceneRoof::chosenSwitch() const {
    return selectedMode == SPEED ? speedSwitch.get() : mixedSwitch.get();
}
