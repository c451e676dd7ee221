// The end of a level: the lost and won states, which record the result in the player's profile
// and the high-score tables, award trophies and open the level-end dialog.
#include <algorithm>
#include <string>

#include "framework/gui/Dialog.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/SoundManager.h"
#include "framework/scene/Scene.h"
#include "game/profile/HighScoreTables.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/QuovelMahjongScoreEntry.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TrophyId.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/PlayScreen.h"
#include "game/visuals/ScreenUtils.h"

QUOVEL_DEFINE_TYPE(StateLevelEnd, &GameSceneState::typeRecord)
QUOVEL_DEFINE_TYPE(StateGameOver, &StateLevelEnd::typeRecord)
QUOVEL_DEFINE_TYPE(StateGameWon, &StateLevelEnd::typeRecord)

namespace {

// The trophy goes to `to` when it is in one of the `from` states.
void earnTrophy(QuovelMahjongPlayer& player, TrophyId id, std::initializer_list<int32_t> from,
                int32_t to) {
    Trophy* trophy = player.getTrophies().getTrophy(id);
    if (trophy && std::find(from.begin(), from.end(), trophy->state) != from.end()) {
        trophy->state = to;
    }
}

void holdBack(QuovelMahjongPlayer& player, TrophyId id) {
    earnTrophy(player, id, {Trophy::NOT_EARNED}, Trophy::HELD_BACK);
}

void award(QuovelMahjongPlayer& player, TrophyId id) {
    earnTrophy(player, id, {Trophy::NOT_EARNED, Trophy::HELD_BACK}, Trophy::EARNED);
}

// Written at once, as the scores are: a run cut short while the level-end dialogs are open keeps
// the result and its trophies.
void saveProgress(QuovelMahjongPlayer* player) {
    PlayerFileReport::savePlayer(player);
}

void stopMusic() {
    if (SoundManager* sound = SoundManager::getInstance();
        sound && SoundManager::isSoundAvailable()) {
        sound->stopMusic();
    }
}

}  // namespace

void StateLevelEnd::update(int32_t elapsedMs) {
    if (delay <= 0) {
        return;
    }
    delay -= elapsedMs;
    if (delay >= 1) {
        return;
    }
    Dialog* dialog = scene->getScene().getDialog("DIALOG_LEVEL_END");
    auto* method = interfaceCast<iGuiMethod>(dialog);
    if (!method) {
        // Without its dialog the level ends at once rather than wait for a continue.
        iGuiMethod(continuation()).invoke(nullptr);
        return;
    }
    method->setCallback(continuation());
    scene->getScene().openDialog(dialog);
}

// --- Lost ---

void StateGameOver::enter() {
    Game* game = Game::current();
    Level* level = game ? game->getLevel() : nullptr;
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!game || !level) {
        return;
    }
    // The dialog shows the best from before this level.
    GameDialogs::get().keepBestBeforeLevelEnd();
    const RoomKind kind = level->getGameMode();
    int32_t place = -1;
    if (player && (kind == RoomKind::CASINO || kind == RoomKind::ROOF)) {
        const int32_t score = game->getScore().getValue();
        std::string key;
        makeLevelKey(level->isMixed(), key, static_cast<int32_t>(kind), level->getGameType(),
                     level->getDifficulty());
        if (HighScoreTable* table = getHighScoreTable(key, level->getGameType(), false)) {
            place = addHighScore(table, new QuovelMahjongScoreEntry(player->getName(), score, true,
                                                                    level->getIndex()));
        }
        player->newScorePending = true;
        QuovelMahjongStats& stats = player->getStats();
        ++stats.numGamesWon;
        if (kind == RoomKind::CASINO) {
            if (CasinoRecord* record =
                    stats.casinoRecord(level->getGameType(), level->getDifficulty())) {
                record->bestScore = std::max(record->bestScore, score);
                record->bestLevel = std::max(record->bestLevel, level->getIndex());
            }
        } else if (RooftopRecord* record =
                       stats.rooftopRecord(level->getGameType(), level->getDifficulty())) {
            record->bestScore = std::max(record->bestScore, score);
            record->bestLevel = std::max(record->bestLevel, level->getIndex());
        }
    }
    stopMusic();
    playGameSound("SOUND_LEVEL_LOST");
    if (player && kind == RoomKind::CASINO) {
        if (place == 0) {
            holdBack(*player, TrophyId::CASINO_FIRST);
        }
        if (BuildingHooks::hasEntriesInAllCasinoTables()) {
            holdBack(*player, TrophyId::ALL_CASINO_TABLES);
        }
    }
    saveProgress(player);
}

int32_t StateGameOver::next(BaseObject*) {
    PlayScreen* scene = PlayScreen::fromHost();
    if (scene && scene->getFlow().getCurrentState() &&
        scene->getFlow().getCurrentState()->isA(&StateGameOver::typeRecord)) {
        scene->getFlow().newLevel(false);
    }
    return 0;
}

// --- Won ---

void StateGameWon::enter() {
    Game* game = Game::current();
    Level* level = game ? game->getLevel() : nullptr;
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!game || !level) {
        return;
    }
    if (player && level->getGameType() == Game::TYPE_RIVER) {
        player->clearTutorialHint(25);
        player->clearTutorialHint(26);
    }
    game->setHasWon(true);
    GameDialogs::get().keepBestBeforeLevelEnd();
    stopMusic();
    playGameSound("SOUND_LEVEL_WON");
    if (!player) {
        return;
    }
    const RoomKind kind = level->getGameMode();
    const int32_t score = game->getScore().getValue();
    if (kind == RoomKind::FLOORS) {
        recordFloorWin();
    } else {
        player->getStats().recordLevelWon(
            StateGameWon::placeOf(level), score,
            kind == RoomKind::RECROOM ? game->runCounts.clockTime : game->runCounts.realTime);
    }
    awardTrophies();
    saveProgress(player);
}

LevelPlace StateGameWon::placeOf(const Level* level) {
    LevelPlace place;
    if (level) {
        place.roomKind = level->getGameMode();
        place.gameType = level->getGameType();
        place.difficulty = level->getDifficulty();
        place.floor = level->getFloor();
        place.room = level->getRoom();
        place.layout = level->getIndex();
        place.levelIndex = level->getIndex();
    }
    return place;
}

namespace {

// The current player's best score in the level's room of the floors; 0 without a record.
int32_t floorBest(const Level* level) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const RoomRecord* record =
        player && level ? player->getStats().roomRecord(level->getFloor(), level->getRoom())
                        : nullptr;
    return record ? record->bestScore : 0;
}

// Every room of the floors, its level made from the catalogue, passes `reaches`; stops at the
// first that does not.
bool everyFloorLevel(bool (*reaches)(const Level*)) {
    for (int32_t floor = 1; floor <= QuovelMahjongStats::FLOORS; ++floor) {
        for (int32_t room = 1; room <= QuovelMahjongStats::ROOMS_PER_FLOOR; ++room) {
            RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, room);
            if (!level || !reaches(level.get())) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool StateGameWon::levelHasMedal(const Level* level, bool orGold) {
    const int32_t best = floorBest(level);
    return level && best >= level->getSilver() && (orGold || best < level->getGold());
}

bool StateGameWon::levelHasGold(const Level* level) {
    return level && floorBest(level) >= level->getGold();
}

bool StateGameWon::allLevelsSilver() {
    return everyFloorLevel([](const Level* level) { return levelHasMedal(level, true); });
}

bool StateGameWon::allLevelsGold() {
    return everyFloorLevel(&levelHasGold);
}

void StateGameWon::recordFloorWin() {
    Game* game = Game::current();
    Level* level = game->getLevel();
    QuovelMahjongPlayer& player = *QuovelMahjongPlayer::current();
    QuovelMahjongStats& stats = player.getStats();
    const int32_t floor = level->getFloor();
    RoomRecord* record = stats.roomRecord(floor, level->getRoom());
    const bool hadFirstOnly = StateGameWon::levelHasMedal(level, false);
    const bool hadSecond = StateGameWon::levelHasGold(level);
    stats.recordLevelWon(StateGameWon::placeOf(level), game->getScore().getValue(),
                         game->runCounts.realTime);
    if (!record) {
        return;
    }
    // An old best above the second threshold still counts here: the rule looks at the first
    // medal alone.
    const bool hasMedal = StateGameWon::levelHasMedal(level, true);
    const bool hasGold = StateGameWon::levelHasGold(level);
    if (!hadFirstOnly && hasMedal) {
        ++stats.twoStarsCount;
    }
    if (!hadSecond && hasGold) {
        ++stats.threeStarsCount;
    }
    if (record->levelWinCount == 1) {
        BuildingHooks::levelWon({floor, level->getRoom(), hasMedal, hasGold});
        if (QuovelMahjongPlayer::isFloorComplete(floor, stats)) {
            BuildingHooks::floorEnded(floor);
            // A profile already beyond this floor keeps its floor.
            player.floorReached = std::max(player.floorReached, floor + 1);
            player.setRoomWon(floorUnlockIndex(floor));
            if (floor > 0) {
                holdBack(player, TrophyId::FLOOR_DONE);
            }
            if (floor > 9) {
                holdBack(player, TrophyId::TEN_FLOORS);
            }
            if (floor > 19) {
                holdBack(player, TrophyId::ALL_FLOORS);
            }
        }
    }
    if (StateGameWon::allLevelsSilver()) {
        holdBack(player, TrophyId::ALL_SILVER);
    }
    if (StateGameWon::allLevelsGold()) {
        holdBack(player, TrophyId::ALL_GOLD);
    }
}

void StateGameWon::awardTrophies() {
    Game* game = Game::current();
    Level* level = game->getLevel();
    QuovelMahjongPlayer& player = *QuovelMahjongPlayer::current();
    const TuningConstants& c = tuning();
    if (level->getGameMode() == RoomKind::RECROOM) {
        if (!game->screenCounts.pressedUndo) {
            award(player, TrophyId::NO_UNDO);
        }
        if (game->runCounts.realTime < c.TROPHY_SPEEDFREAK_TIME) {
            award(player, TrophyId::SPEED_FREAK);
        }
        return;
    }
    if (level->getGameType() == Game::TYPE_SPLIT && !game->screenCounts.pressedShuffle) {
        award(player, TrophyId::SPLIT_NO_SHUFFLE);
    }
    const int64_t remaining = scene->getTimeValue().getValue();
    const int64_t fullTime = game->getLayout()
                                 ? static_cast<int64_t>(level->getPlayTime().getInt()) *
                                       game->getLayout()->getStartingTileCount()
                                 : 0;
    // A level without time cannot have plenty of it left.
    if (fullTime > 0 && remaining * 100 / fullTime > c.TROPHY_PLENTY_OF_TIME_PERCENTAGE) {
        award(player, TrophyId::PLENTY_OF_TIME);
    }
    if (remaining < c.TROPHY_CLOSE_CALL_MILLISECONDS) {
        award(player, TrophyId::CLOSE_CALL);
    }
}

int32_t StateGameWon::next(BaseObject*) {
    PlayScreen* scene = PlayScreen::fromHost();
    if (!scene || !scene->getFlow().getCurrentState() ||
        !scene->getFlow().getCurrentState()->isA(&StateGameWon::typeRecord)) {
        return 0;
    }
    const RoomKind kind = currentRoomKind();
    if (scene->getFlow().newLevel(false) && (kind == RoomKind::CASINO || kind == RoomKind::ROOF)) {
        scene->getFlow().setState(new StateRoomInfo(scene));
    }
    return 0;
}
