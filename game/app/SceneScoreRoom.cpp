#include "game/app/SceneScoreRoom.h"

#include <climits>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "framework/gui/Switch.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/Image.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/scene/SceneManager.h"
#include "game/app/GlowColumn.h"
#include "game/dialogs/DialogDorrickHint.h"
#include "game/profile/HighScoreTables.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/QuovelMahjongScoreEntry.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/visuals/GameModifiers.h"
#include "game/visuals/LayoutPreview.h"

QUOVEL_DEFINE_TYPE(SceneScoreRoom, &SceneQuovelMahjong::typeRecord)

namespace {

constexpr int32_t PREVIEW_SHOWN_WIDTH = 111;
constexpr int32_t PREVIEW_SHOWN_HEIGHT = 80;
constexpr int32_t ROW_GAP = 3;
constexpr const char* ROW_LABELS[SceneScoreRoom::COLUMNS] = {"NAME", "LEVEL", "SCORE"};

Sprite* spriteNamed(Scene* scene, const char* name) {
    return objectCast<Sprite>(scene->findChild(name));
}

std::wstring groupedOrDash(int32_t value) {
    if (value == 0) {
        return L"-";
    }
    return formatGroupedNumber(static_cast<uint32_t>(value),
                               getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL"));
}

void setLabelTextOf(GameNode* node, const std::wstring& text) {
    if (auto* label = objectCast<Label>(node)) {
        label->setText(text);
    }
}

}  // namespace

SceneScoreRoom::SceneScoreRoom(PropertyNode* definition) : SceneQuovelMahjong(definition) {}

SceneScoreRoom::~SceneScoreRoom() = default;

Label* SceneScoreRoom::getRowLabel(int32_t row, int32_t column) const {
    if (row < 0 || row >= ROWS || column < 0 || column >= COLUMNS) {
        return nullptr;
    }
    return rowLabels[static_cast<size_t>(row)][static_cast<size_t>(column)].get();
}

Switch* SceneScoreRoom::wireSwitch(const char* name, int32_t tag, const iGuiMethod::Bound& choice) {
    auto* widget = objectCast<Switch>(findChild(name));
    if (!widget) {
        return nullptr;
    }
    widget->setTag(tag);
    widget->setCallback(choice);
    getComponentsContainer().addListener(widget);
    return widget;
}

void SceneScoreRoom::loadResources() {
    SceneQuovelMahjong::loadResources();
    gameTypeLabel = objectCast<Label>(findChild("LABEL_GAMETYPE"));
    previewSprite = spriteNamed(this, "SPRITE_PREVIEW");
    highScorePanel = objectCast<Panel>(findChild("PANEL"));
    restPicture = spriteNamed(this, restPictureName());
    highScoreBar = new GameNode();
    if (highScorePanel) {
        GameNode::appendChild(highScoreBar.get(), highScorePanel.get());
    }
    highScoreBar->setRemoved(false);
    // The bar's animation runs for as long as the scene lives.
    GameNode::addModifier(highScoreBar.get(), new ModifierHighScoreBar(
                                                  INT32_MAX, highScoreBar.get(), nullptr, nullptr));
    iInputListenerContainer* container = &getComponentsContainer();
    menuButton =
        objectCast<Button>(connect<&SceneScoreRoom::onMenu>("BUTTON_MENU", this, container));
    elevatorButton = objectCast<Button>(
        connect("BUTTON_ELEVATOR", callback<&SceneQuovelMahjong::goToElevator>(), container));
    startButton =
        objectCast<Button>(connect<&SceneScoreRoom::onStart>("BUTTON_START", this, container));
    wireSwitch("SWITCH_NORMAL", 0, callback<&SceneScoreRoom::onDifficultyChosen>(this));
    wireSwitch("SWITCH_HARD", 1, callback<&SceneScoreRoom::onDifficultyChosen>(this));
    expertSwitch =
        wireSwitch("SWITCH_EXPERT", 2, callback<&SceneScoreRoom::onDifficultyChosen>(this));
    connect<&SceneScoreRoom::onCustomize>("BUTTON_CUSTOMIZE", this, container);
    connect("BUTTON_TROPHIES", callback<&SceneScoreRoom::openDialog>(), container);
    buildRows();
}

void SceneScoreRoom::buildRows() {
    PropertyNode* rowDefinition = nodeOrDummy(getDefinition()->getChild("panel_highscore"));
    for (int32_t row = 0; row < ROWS; ++row) {
        RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(rowDefinition));
        auto* panel = objectCast<Panel>(made.get());
        if (!panel || !highScorePanel) {
            continue;
        }
        panel->setY(panel->getY() + (panel->getHeight() + ROW_GAP) * row);
        highScorePanel->addChild(panel);
        for (int32_t column = 0; column < COLUMNS; ++column) {
            rowLabels[static_cast<size_t>(row)][static_cast<size_t>(column)] =
                objectCast<Label>(panel->findChild(ROW_LABELS[column]));
        }
    }
    glowButton = spriteNamed(this, "GLOW_BUTTON");
    glowDialog = spriteNamed(this, "GLOW_DIALOG");
    glowMiddle = spriteNamed(this, "GLOW_MIDDLE");
    setShownIfAny(glowButton.get(), false);
    setShownIfAny(glowDialog.get(), false);
    setShownIfAny(glowMiddle.get(), false);
}

void SceneScoreRoom::enterRoom(int32_t hintNumber, const char* floorNumber) {
    playBuildingMusic();
    PlayerManager* players = PlayerManager::getInstance();
    AbstractPlayer* current = players ? players->getCurrentPlayer() : nullptr;
    RefHolder<PropertyNode> event(new PropertyNode("QVCustomEvent", ""));
    event->addChild(new PropertyValue("playerName", current ? current->getName() : ""));
    event->addChild(new PropertyValue("floorNumber", std::string(floorNumber)));
    addSessionEvent(getStatisticsCollector(), event.get());
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        auto* hint = player->showHints && player->hints[static_cast<size_t>(hintNumber)]
                         ? objectCast<DialogDorrickHint>(getDialog("DIALOG_DORRICK_HINT"))
                         : nullptr;
        if (hint) {
            hint->showHint(hintNumber);
            SceneQuovelMahjong::openDialog(hint);
        } else {
            askContinueSavedGame(static_cast<int32_t>(roomKind()), this);
        }
        player->hints[static_cast<size_t>(hintNumber)] = false;
    }
    clearNewScore();
    setShownIfAny(gameTypeLabel.get(), false);
    showGameTypePanel();
}

void SceneScoreRoom::savedGameContinued() {
    Game* game = Game::current();
    if (Level* level = game ? game->getLevel() : nullptr) {
        choose(level->getGameType());
        selectedDifficulty = level->getDifficulty();
    }
}

void SceneScoreRoom::clearNewScore() {
    setShownIfAny(highScoreBar.get(), false);
    GameNode::removeAllModifiers(getTree());
    blinkModifier = nullptr;
}

void SceneScoreRoom::hide() {
    SceneQuovelMahjong::hide();
    setShownIfAny(highScorePanel.get(), false);
    for (const char* name :
         {"GLOW_TOP_NORMAL", "GLOW_BOTTOM_NORMAL", "GLOW_MIDDLE", "GLOW_BUTTON", "GLOW_DIALOG"}) {
        setShownIfAny(findChild(name), false);
    }
}

RefHolder<Image> SceneScoreRoom::findBackground() const {
    return findLoaded<Image>("BACKGROUND", backgroundSection());
}

void SceneScoreRoom::setBackgroundKey(Image* image) {
    if (image && image != getBackgroundImage()) {
        setBackgroundImage(image);
        setDirty(true);
    }
}

void SceneScoreRoom::showGameTypePanel() {
    RefHolder<Image> background = findBackground();
    setShownIfAny(restPicture.get(), chosenGameType() == NO_GAME_TYPE);
    if (chosenGameType() == NO_GAME_TYPE) {
        setBackgroundKey(background.get());
        if (startButton) {
            startButton->setVisible(false);
            startButton->setEnabled(false);
        }
        return;
    }
    // Coming back from a game finds the switches turned off by hide: the chosen one is lit again.
    if (auto* chosen = objectCast<Switch>(chosenSwitch())) {
        chosen->setOn(true);
    }
    if (gameTypeLabel) {
        gameTypeLabel->setText(gameTypeText());
        gameTypeLabel->setVisible(true);
    }
    refresh();
    setShownIfAny(highScorePanel.get(), true);
    if (startButton) {
        startButton->setVisible(true);
        startButton->setEnabled(true);
    }
    drawGlow();
}

void SceneScoreRoom::drawGlow() {
    RefHolder<Image> background = findBackground();
    Sprite* chosen = chosenSwitch();
    const GlowColumn glow{spriteNamed(this, "GLOW_TOP_NORMAL"),
                          spriteNamed(this, "GLOW_BOTTOM_NORMAL"), glowMiddle.get(),
                          glowButton.get(), glowDialog.get()};
    if (!background || !chosen || !glow.top || !glow.bottom || !glow.middle || !glow.button) {
        return;
    }
    RefHolder<Image> fill = findLoaded<Image>("GLOW_FILL", glowFillSection());
    RefHolder<Image> drawn =
        glow.draw(background.get(), chosen, glowMiddleOffset(), glowButtonOffset(), fill.get());
    setBackgroundKey(drawn ? drawn.get() : background.get());
}

void SceneScoreRoom::refresh() {
    selectedLevel = buildLevel();
    if (selectedLevel && previewSprite) {
        LayoutPreview preview;
        preview.build(selectedLevel->getLayoutObject(), selectedLevel->getGameType());
        previewSprite->setImage(preview.getPicture());
        previewSprite->setStretchHeight(PREVIEW_SHOWN_HEIGHT);
        previewSprite->setStretchWidth(PREVIEW_SHOWN_WIDTH);
    }
    showBestResults();
}

void SceneScoreRoom::showBestResults() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const std::array<int32_t, 3> best = record();
    setLabelTextOf(findChild("LABEL_TOPSCORE"), groupedOrDash(best[0]));
    // The first level is index 0: the best level is unknown only while no run was played.
    setLabelTextOf(findChild("LABEL_TOPLEVEL"), best[2] == 0 ? L"-" : intToWString(best[1] + 1));
    setLabelTextOf(findChild("LABEL_FINISHED"), intToWString(best[2]));
    HighScoreTable* table = getHighScoreTable(tableKey(), presetColumn(), true);
    if (!table) {
        return;
    }
    const bool newScore = player && player->newScorePending;
    const int32_t last = table->getLastScore();
    const auto& entries = table->getEntries();
    for (int32_t row = 0; row < ROWS && row < static_cast<int32_t>(entries.size()); ++row) {
        HighScoreEntry* entry = entries[static_cast<size_t>(row)].get();
        auto* scored = objectCast<QuovelMahjongScoreEntry>(entry);
        const auto& labels = rowLabels[static_cast<size_t>(row)];
        setLabelTextOf(labels[0].get(), stringToWString(entry->getPlayerName()));
        setLabelTextOf(labels[1].get(), intToWString((scored ? scored->getLevel() : 0) + 1));
        setLabelTextOf(labels[2].get(),
                       formatGroupedNumber(static_cast<uint32_t>(entry->getScore()),
                                           getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL")));
        if (row == last && newScore && !blinkModifier) {
            auto* blink = new ModifierBlink(128, 255, 300, 200, 300, 0, 0);
            for (const RefHolder<Label>& label : labels) {
                blink->addSprite(label.get());
            }
            blinkModifier = GameNode::addModifier(getTree(), blink);
        }
    }
    if (last >= 0 && newScore) {
        GameNode::addModifier(getTree(),
                              new ModifierSound("SOUND_NEW_HIGHSCORE", "casrecroof", false));
        highScoreBar->setVisible(true);
        highScoreBar->setX(barX());
        highScoreBar->setY(barY(last));
        GameNode* board = findChild(boardName());
        if (board && board->getParent() && board->getNextSibling() != highScoreBar.get()) {
            if (GameNode* next = board->getNextSibling()) {
                GameNode::insertBefore(highScoreBar.get(), next);
            } else {
                GameNode::appendChild(highScoreBar.get(), board->getParent());
            }
        }
        table->setLastScore(-1);
    }
    if (player) {
        player->newScorePending = false;
    }
}

int32_t SceneScoreRoom::onDifficultyChosen(BaseObject* sender) {
    auto* widget = objectCast<GameNode>(sender);
    if (!widget) {
        return 0;
    }
    selectedDifficulty = widget->getTag();
    clearNewScore();
    if (chosenGameType() != NO_GAME_TYPE) {
        refresh();
    }
    return 0;
}

int32_t SceneScoreRoom::onStart(BaseObject*) {
    if (!selectedLevel || chosenGameType() == NO_GAME_TYPE) {
        return 0;
    }
    selectedLevel->setGameMode(roomKind());
    if (!Game::createForLevel(chosenGameType(), selectedLevel.get())) {
        return 0;
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->clearSavedGame();
    }
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_GAME", "TRANSITION_DEFAULT");
    }
    return 0;
}

int32_t SceneScoreRoom::onMenu(BaseObject*) {
    if (Dialog* menu = getDialog("DIALOG_ROOM_MENU")) {
        SceneQuovelMahjong::openDialog(menu);
    }
    return 0;
}

namespace {

// The current scene, or the target of a transition that is running.
void openOnCurrentScene(const char* key) {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (Dialog* dialog = scene ? scene->getDialog(key) : nullptr) {
        scene->openDialog(dialog);
    }
}

}  // namespace

int32_t SceneScoreRoom::onCustomize(BaseObject*) {
    openOnCurrentScene("DIALOG_SELECT_BACKGROUND");
    return 0;
}

int32_t SceneScoreRoom::openDialog(BaseObject*) {
    openOnCurrentScene("DIALOG_TROPHY");
    return 0;
}
