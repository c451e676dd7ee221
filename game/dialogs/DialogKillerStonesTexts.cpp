// The arcade dialog's texts: the popping captions, the status labels, and the game over with
// its high-score table.
#include <array>

#include "framework/core/BasicProperties.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/PlayerManager.h"
#include "game/dialogs/DialogKillerStones.h"
#include "game/dialogs/DialogKillerStonesSupport.h"
#include "game/profile/HighScoreTables.h"
#include "game/profile/QuovelMahjongScoreEntry.h"

namespace {

constexpr int32_t MIDDLE_X = 400;
constexpr int32_t MIDDLE_Y = 300;
constexpr int32_t RISE = 100;
constexpr int32_t LABEL_FADE_OUT = 400;
// The header font's dark ink is written light on the black screen.
constexpr uint32_t CAPTION_COLOUR = 0xFFFFF4D6;
constexpr int32_t GAME_OVER_WAIT = 1000;
constexpr int32_t TABLE_HEAD_Y = 320;
constexpr int32_t TABLE_FIRST_ROW_Y = 370;
constexpr int32_t TABLE_ROW_STEP = 30;
constexpr int32_t COLUMN_NAME = 100;
constexpr int32_t COLUMN_SCORE = 500;
constexpr int32_t COLUMN_LEVEL = 700;
// The widest a name may be and still leave room for the widest score left of its column.
constexpr int32_t NAME_WIDTH = 260;

void queueShakeStep(Label* label, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    GameNode::addModifier(label, blocking(new ModifierLocationLine(x0, y0, x1, y1, 30, false)));
}

}  // namespace

Label* DialogKillerStones::floatLabel(const std::wstring& text, bool removeAtEnd, int32_t x,
                                      int32_t y, int32_t delay, int32_t duration, Font* font) {
    RefHolder<Label> label = new Label(x, y, 0, 0, font, Label::WRAP_AUTOWIDTH);
    if (font == headerFont.get()) {
        label->setTextColor(CAPTION_COLOUR, 0);
    }
    label->setText(text);
    label->setAnchorType(Sprite::ANCHOR_CENTER);
    label->renderText();
    const int32_t w = label->getWidth();
    const int32_t h = label->getHeight();
    if (delay > 0) {
        GameNode::addModifier(label.get(), new ModifierDelay(delay));
    }
    label->setStretchSize(0, 0);
    GameNode::addModifier(label.get(), blocking(new ModifierStretch(150, 0, 0, w + 25, h - 15)));
    GameNode::addModifier(label.get(),
                          blocking(new ModifierStretch(100, w + 25, h - 15, w - 20, h + 15)));
    GameNode::addModifier(label.get(), blocking(new ModifierStretch(100, w - 20, h + 15, w, h)));
    GameNode::addModifier(label.get(),
                          new ModifierLocationLine(x, y, x, y - RISE, duration, false));
    if (removeAtEnd) {
        GameNode::addModifier(label.get(), new ModifierDelay(duration - LABEL_FADE_OUT));
        killerstones::fadeOutAndGo(label.get(), LABEL_FADE_OUT);
    }
    addChild(label.get());
    return label.get();
}

Font* DialogKillerStones::header() {
    if (!headerFont) {
        headerFont = killerstones::takeResource<Font>("FONT_HEADER", "preloading");
    }
    return headerFont.get();
}

Label* DialogKillerStones::showHeader(const std::wstring& text, bool removeAtEnd, int32_t dy,
                                      int32_t delay, int32_t duration) {
    return floatLabel(text, removeAtEnd, MIDDLE_X, MIDDLE_Y + dy, delay, duration, header());
}

void DialogKillerStones::showLevel(int32_t delay) {
    showHeader(getBasicText("TEXT_LEVEL") + L" " + std::to_wstring(level + 1), true, 0, delay,
               1000);
}

void DialogKillerStones::updateScoreLabel() {
    scoreLabel->setText(L"Score: " + std::to_wstring(score));
}

void DialogKillerStones::updateBulletsLabel() {
    bulletsLabel->setText(L"Bullets: " + std::to_wstring(specialShotsLeft));
}

void DialogKillerStones::updateBombsLabel() {
    bombsLabel->setText(L"Bombs: " + std::to_wstring(bombs));
}

void DialogKillerStones::shakeLabel(Label* label, int32_t x, int32_t y) {
    for (int32_t round = 0; round < 3; ++round) {
        queueShakeStep(label, x + 6, y + 3, x, y - 9);
        queueShakeStep(label, x, y - 9, x - 6, y + 3);
        queueShakeStep(label, x - 6, y + 3, x + 3, y);
        queueShakeStep(label, x + 3, y, x, y);
    }
}

void DialogKillerStones::showContinueLabel() {
    continueLabel = new Label(400, 280, 0, 0, header(), Label::WRAP_AUTOWIDTH);
    continueLabel->setTextColor(CAPTION_COLOUR, 0);
    continueLabel->setText(getBasicText("CTEXT_CLICK_TO_CONTINUE"));
    continueLabel->setAnchorType(Sprite::ANCHOR_CENTER);
    continueLabel->setAlpha(0);
    GameNode::addModifier(continueLabel.get(), new ModifierAlpha(500, 0, 255));
    addChild(continueLabel.get());
}

int32_t DialogKillerStones::gameOver(BaseObject*) {
    // Two tiles may end their fall in one frame: the game ends, and is scored, once.
    if (over) {
        return 0;
    }
    over = true;
    wait = GAME_OVER_WAIT;
    showHeader(L"GAME OVER", true, -20, 0, 3000);
    showHighScores();
    return 0;
}

void DialogKillerStones::showHighScores() {
    // No preset rows: the casino's presets would crowd out every arcade score.
    HighScoreTable* table = getHighScoreTable(SCORE_TABLE, TYPE_CLASSIC, false);
    if (table) {
        PlayerManager* players = PlayerManager::getInstance();
        AbstractPlayer* player = players ? players->getCurrentPlayer() : nullptr;
        addHighScore(table, new QuovelMahjongScoreEntry(player ? player->getName() : std::string(),
                                                        score, true, level));
    }
    tableLabel(L"Name", COLUMN_NAME, TABLE_HEAD_Y, Sprite::ANCHOR_TOP_LEFT, header());
    tableLabel(L"Score", COLUMN_SCORE, TABLE_HEAD_Y, Sprite::ANCHOR_TOP_RIGHT, header());
    tableLabel(L"Level", COLUMN_LEVEL, TABLE_HEAD_Y, Sprite::ANCHOR_TOP_RIGHT, header());
    play("SOUND_LEVEL_LOST", "game", killerstones::PAN_CENTRE);
    if (!table) {
        return;
    }
    int32_t y = TABLE_FIRST_ROW_Y;
    for (const RefHolder<HighScoreEntry>& entry : table->getEntries()) {
        const auto* row = objectCast<QuovelMahjongScoreEntry>(entry.get());
        tableLabel(stringToWString(entry->getPlayerName()), COLUMN_NAME, y, Sprite::ANCHOR_TOP_LEFT,
                   bigFont.get(), NAME_WIDTH);
        tableLabel(std::to_wstring(entry->getScore()), COLUMN_SCORE, y, Sprite::ANCHOR_TOP_RIGHT,
                   bigFont.get());
        tableLabel(std::to_wstring((row ? row->getLevel() : 0) + 1), COLUMN_LEVEL, y,
                   Sprite::ANCHOR_TOP_RIGHT, bigFont.get());
        y += TABLE_ROW_STEP;
    }
}

void DialogKillerStones::tableLabel(const std::wstring& text, int32_t x, int32_t y, int32_t anchor,
                                    Font* font, int32_t width) {
    auto* label =
        new Label(x, y, width, 0, font, width > 0 ? Label::WRAP_TRUNCATE : Label::WRAP_AUTOWIDTH);
    label->setTextColor(CAPTION_COLOUR, 0);
    label->setText(text);
    label->setAnchorType(anchor);
    addChild(label);
}
