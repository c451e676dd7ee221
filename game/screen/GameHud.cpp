#include "game/screen/GameHud.h"

#include <cstdint>
#include <iterator>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "framework/scene/Scene.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/screen/LabelTicker.h"
#include "game/screen/PlayScreen.h"
#include "game/visuals/ModifierLabelValue.h"

namespace {

const char* const GAME_TYPE_NAMES[] = {"NAME_CLASSIC", "NAME_FREECELL", "NAME_SPLIT",
                                       "NAME_TRIPLE",  "NAME_RIVER",    "NAME_SPEED"};
const char* const MATCH_LABELS[] = {"LABEL_MATCHES", "LABEL_MATCHES_TEXT", "LABEL_PROGRESS",
                                    "LABEL_PROGRESS_TEXT"};

// The floors and the rec room use the "_REC" set of match labels.
bool usesRecLabels(RoomKind room) {
    return room == RoomKind::FLOORS || room == RoomKind::RECROOM;
}

void showNode(GameNode* node, bool visible) {
    if (node) {
        node->setVisible(visible);
    }
}

void setLabelNumber(Label* label, int32_t value) {
    if (label) {
        label->setText(intToWString(value));
    }
}

}  // namespace

GameHud::GameHud(PlayScreen& play) : play(play) {}

Label* GameHud::findLabel(const std::string& name) {
    return objectCast<Label>(play.getScene().findChild(name));
}

void GameHud::bind() {
    Scene& scene = play.getScene();
    pauseButton = objectCast<Button>(scene.findChild("BUTTON_PAUSE"));
    menuButton = objectCast<Button>(scene.findChild("BUTTON_MENU"));
    shuffleButton = objectCast<Button>(scene.findChild("BUTTON_SHUFFLE"));
    undoButton = objectCast<Button>(scene.findChild("BUTTON_UNDO"));
    hintsLabel = findLabel("LABEL_HINTS");
    shufflesLabel = findLabel("LABEL_SHUFFLES");
    scoreTicker = objectCast<LabelTicker>(scene.findChild("SCORE_TICKER"));
    scoreCaption = findLabel("LABEL_SCORE_TEXT");
    levelLabel = findLabel("LABEL_LEVEL");
    levelCaption = findLabel("LABEL_LEVEL_TEXT");
    timeLabel = findLabel("LABEL_TIME");
    timeCaption = findLabel("LABEL_TIME_TEXT");
    layoutPanel = objectCast<Panel>(scene.findChild("PANEL_LAYOUT"));
    setMatchLabels();
    for (const char* name : GAME_TYPE_NAMES) {
        showNode(scene.findChild(name), false);
    }
}

void GameHud::setHintButton() {
    Scene& scene = play.getScene();
    const bool floors = currentRoomKind() == RoomKind::FLOORS;
    const char* shown = floors ? "BUTTON_HINT_NORMAL" : "BUTTON_HINT_UNLIMITED";
    const char* hidden = floors ? "BUTTON_HINT_UNLIMITED" : "BUTTON_HINT_NORMAL";
    hintButton = objectCast<Button>(scene.findChild(shown));
    showNode(hintButton, true);
    showNode(scene.findChild(hidden), false);
}

void GameHud::setMatchLabels() {
    Scene& scene = play.getScene();
    const bool rec = usesRecLabels(currentRoomKind());
    const std::string active = rec ? "_REC" : "";
    const std::string inactive = rec ? "" : "_REC";
    for (const char* name : MATCH_LABELS) {
        showNode(scene.findChild(name + active), true);
        showNode(scene.findChild(name + inactive), false);
    }
    matchesLabel = findLabel("LABEL_MATCHES" + active);
    matchesCaption = findLabel("LABEL_MATCHES_TEXT" + active);
    progressLabel = findLabel("LABEL_PROGRESS" + active);
}

void GameHud::setGameTypeName() {
    Scene& scene = play.getScene();
    for (const char* name : GAME_TYPE_NAMES) {
        showNode(scene.findChild(name), false);
    }
    const GameType type = Game::currentLevelGameType();
    if (type >= 0 && type < static_cast<int32_t>(std::size(GAME_TYPE_NAMES))) {
        showNode(scene.findChild(GAME_TYPE_NAMES[type]), true);
    }
}

void GameHud::updateHud() {
    Game* game = Game::current();
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        setLabelNumber(hintsLabel, player->getHintStock().getValue());
        setLabelNumber(shufflesLabel, player->getShuffleStock().getValue());
    }
    updateLevelLabel();
    if (game) {
        setScoreAtOnce(game->getScore().getValue());
    }
    updateMatchesText();
    updateProgressLabel();
    showHudForRoom();
}

void GameHud::showHudForRoom() {
    const RoomKind room = currentRoomKind();
    const bool floors = room == RoomKind::FLOORS;
    const bool rec = room == RoomKind::RECROOM;
    showNode(hintButton, true);
    showNode(hintsLabel, floors);
    showNode(shuffleButton, !rec);
    showNode(shufflesLabel, floors);
    showNode(undoButton, rec);
    showNode(scoreTicker, !rec);
    showNode(scoreCaption, !rec);
    showNode(timeLabel, rec);
    showNode(timeCaption, rec);
    showNode(levelLabel, floors || room == RoomKind::ROOF);
    showNode(levelCaption, floors || room == RoomKind::ROOF);
    play.showBars(!rec);
    showNode(play.getScene().findChild("BONUSBAR_CIRCLE"), !rec);
}

// --- The buttons ---

void GameHud::enableHudButtons() {
    enablePauseAndMenu();
    for (Button* button : {hintButton, shuffleButton, undoButton}) {
        if (button) {
            button->setEnabled(button->isVisible());
        }
    }
}

void GameHud::disableHudButtons() {
    for (Button* button : {pauseButton, menuButton, hintButton, shuffleButton, undoButton}) {
        if (button) {
            button->setEnabled(false);
        }
    }
}

void GameHud::enablePauseAndMenu() {
    for (Button* button : {pauseButton, menuButton}) {
        if (button) {
            button->setEnabled(true);
        }
    }
}

// --- The labels ---

void GameHud::updateLevelLabel() {
    if (Level* level = Game::currentLevel()) {
        setLabelNumber(levelLabel, level->getIndex() + 1);
    }
}

void GameHud::updateMatchesText() {
    Game* game = Game::current();
    if (!game || !game->getLayout()) {
        return;
    }
    const int32_t count = game->countMatches(nullptr);
    setLabelNumber(matchesLabel, count);
    if (matchesCaption) {
        const std::string form = count == 0 ? "ZERO" : count == 1 ? "ONE" : "PLURAL";
        const char* prefix = Game::currentLevelGameType() == Game::TYPE_TRIPLE
                                 ? "TEXT_TRIPLE_MATCHES_"
                                 : "TEXT_MATCHES_";
        matchesCaption->setText(getBasicText(prefix + form));
    }
    if (count == 0 && game->isStuck(0) && !play.getFlow().isLevelOver()) {
        ++game->runCounts.numZeroMatches;
        if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
            ++player->getStats().numStuck;
        }
        play.getFlow().boardStuck();
    }
}

void GameHud::updateProgressLabel() {
    Game* game = Game::current();
    if (!game || !game->getLayout() || !progressLabel) {
        return;
    }
    Layout* layout = game->getLayout();
    const int32_t total = layout->getStartingTileCount();
    int32_t left = layout->getTileCount();
    // A tile parked in a free cell is still to be played; the racks of Split and Speed show
    // copies, which were never among the starting tiles.
    if (SideBoard* cells = layout->getSideBoard();
        cells && Game::currentLevelGameType() == Game::TYPE_FREECELL) {
        left += cells->getTileCount();
    }
    // Whole percent, counted in whole numbers so that an exact share shows exactly; a layout
    // that started empty has made no progress.
    const int64_t percent = total > 0 ? (int64_t{total} - left) * 100 / total : 0;
    const std::string text = std::to_string(percent) + "%";
    progressLabel->setText(std::wstring(text.begin(), text.end()));
}

void GameHud::updateShufflesLabel() {
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        setLabelNumber(shufflesLabel, player->getShuffleStock().getShown());
    }
}

void GameHud::updateHintsLabel() {
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        setLabelNumber(hintsLabel, player->getHintStock().getShown());
    }
}

// --- The score ---

void GameHud::restartScoreCount() {
    Game* game = Game::current();
    ModifierLabelValue* counter = scoreTicker ? scoreTicker->getCounter() : nullptr;
    if (game && counter) {
        counter->setStartValue(counter->getShownValue());
        counter->setTargetValue(game->getScore().getShown());
    }
}

Label* GameHud::getScoreLabel() const {
    return scoreTicker ? scoreTicker->getCounter()->getLabel() : nullptr;
}

void GameHud::setScoreAtOnce(int32_t score) {
    if (ModifierLabelValue* counter = scoreTicker ? scoreTicker->getCounter() : nullptr) {
        counter->setTargetValue(score);
        counter->setShownValue(score);
        counter->formatLabelNumber();
    }
}
