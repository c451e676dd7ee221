#include "game/screen/Floaters.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ScreenSize.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Font.h"
#include "framework/platform/Image.h"
#include "framework/scene/Scene.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameHud.h"
#include "game/screen/LabelTicker.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/TimeBar.h"
#include "game/visuals/Effects.h"

namespace {

constexpr int32_t FLOATER_RISE = 100;
// Room a floater keeps from the side column it may not cross.
constexpr int32_t FLOATER_GAP = 4;
constexpr int32_t MAX_FLOATER_FONT = 6;

// A font of the "default" section, loaded now when the section has not loaded it yet.
RefHolder<Font> defaultFont(const std::string& key) {
    return findOrLoad<Font>(key, "default");
}

}  // namespace

Floaters::Floaters(PlayScreen& play) : play(play) {}

void Floaters::createLayer() {
    floaterLayer = new GameNode();
    GameNode::appendChild(floaterLayer.get(), play.getScene().getTree());
}

Label* Floaters::addFloater(const std::wstring& text, const std::string& fontKey, int32_t x,
                            int32_t y, const Rect& area) {
    if (!floaterLayer) {
        return nullptr;
    }
    RefHolder<Font> font = defaultFont(fontKey);
    auto* label = new Label(x, y, 0, 0, font.get(), Label::WRAP_AUTOWIDTH);
    label->setText(text);
    label->setAnchorType(Sprite::ANCHOR_CENTER);
    // The size is the rendered text's: wanted now for the stretches.
    label->renderText();
    GameNode::appendChild(label, floaterLayer.get());
    const int32_t w = label->getWidth();
    const int32_t h = label->getHeight();
    const int32_t sizes[][4] = {
        {0, 0, w + 25, h - 15}, {w + 25, h - 15, w - 20, h + 15}, {w - 20, h + 15, w, h}};
    // The whole flight stays in the area, stretches included: one that has no room for its
    // rise above it starts lower and rises to the area's top edge.
    const int32_t halfW = (w + 25) / 2;
    const int32_t halfH = (h + 15) / 2;
    x = std::max(area.x + halfW, std::min(x, area.x + area.w - halfW));
    y = std::max(area.y + halfH + FLOATER_RISE, std::min(y, area.y + area.h - halfH));
    label->setPosition(x, y);
    const int32_t times[] = {150, 100, 100};
    for (size_t i = 0; i < std::size(times); ++i) {
        Modifier* stretch =
            new ModifierStretch(times[i], sizes[i][0], sizes[i][1], sizes[i][2], sizes[i][3]);
        stretch->setFlags(Modifier::FLAG_BLOCKING);
        GameNode::addModifier(label, stretch);
    }
    GameNode::addModifier(label, new ModifierLocationLine(x, y, x, y - FLOATER_RISE, 1000, false));
    GameNode::addModifier(label, new ModifierDelay(500));
    Modifier* fade = new ModifierAlpha(500, 255, 0);
    fade->setFlags(Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(label, fade);
    return label;
}

void Floaters::showTimePenalty(int32_t seconds, int32_t x, int32_t y, const std::wstring& prefix,
                               const Rect& area) {
    const std::wstring amount = prefix + intToWString(seconds);
    std::wstring text = getBasicText("TEXT_TIME_PENALTY");
    for (size_t at = text.find(L'%'); at != std::wstring::npos;
         at = text.find(L'%', at + amount.size())) {
        text.replace(at, 1, amount);
    }
    addFloater(text, "FONT_SCORE_FLOATER1", x, y, area);
}

void Floaters::showTimeBarPenalty(int32_t seconds) {
    TimeBar* timeBar = play.getTimeBar();
    if (!timeBar) {
        return;
    }
    Sprite* filling = timeBar->getFilling();
    const DisplayValue& time = timeBar->getTime();
    int32_t x = timeBar->getX() + timeBar->getWidth() / 2;
    int32_t y = timeBar->getY();
    if (filling) {
        if (timeBar->getWidth() <= 0) {
            x = filling->getX() + filling->getWidth() / 2;
        }
        // A bar without time stands empty.
        const double full =
            time.getMaximum() > 0 ? static_cast<double>(time.getShown()) / time.getMaximum() : 0.0;
        y = filling->getY() +
            static_cast<int32_t>((1.0 - std::clamp(full, 0.0, 1.0)) * filling->getHeight());
    }
    // The bars stand close together in the side column under the room's name: the penalty
    // flies beside the column, over the board and below the top bar, at the bar's height.
    showTimePenalty(seconds, x, y, L"", floaterBoard());
}

Rect Floaters::floaterBoard() {
    Rect board = SCREEN_RECT;
    if (auto* top = objectCast<Sprite>(play.getScene().findChild("HUD_TOP"))) {
        board.y = top->getY() + top->getHeight();
        board.h -= board.y;
    }
    if (auto* side = objectCast<Sprite>(play.getScene().findChild("HUD_SIDE"))) {
        board.w = side->getX() - FLOATER_GAP;
    }
    return board;
}

void Floaters::showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) {
    LayoutRenderer* renderer = play.getRenderer();
    if (!tile || currentRoomKind() == RoomKind::RECROOM) {
        return;
    }
    int32_t x = 0;
    int32_t y = 0;
    SideBoard* sideBoard = currentSideBoard();
    if (tile->isOnSideBoard() && sideBoard) {
        x = tile->getGridX();
        y = tile->getGridY();
        sideBoard->slotToPoint(x, y);
    } else if (renderer) {
        x = renderer->gridToScreenX(tile->getGridZ(), tile->getGridX());
        y = renderer->gridToScreenY(tile->getGridZ(), tile->getGridY());
    }
    x += tuning().TILE_FACE_WIDTH / 2;
    y -= 30;
    const int32_t font = std::clamp(multiplier, 1, MAX_FLOATER_FONT);
    std::wstring text = intToWString(points);
    if (multiplier > 1) {
        text += L" x " + intToWString(multiplier);
    }
    addFloater(text, "FONT_SCORE_FLOATER" + std::to_string(font), x, y);
}

// --- Super and mega score ---

namespace {

constexpr int32_t STAR_OVERLAP = 15;
constexpr float STAR_START_ANGLE = -2.8274f;
constexpr int32_t STAR_FADE_IN = 500;
constexpr int32_t STAR_PAUSE = 200;
constexpr int32_t STAR_FLIGHT = 350;
constexpr int32_t HEADER_SLIDE = 300;
constexpr int32_t TICKER_BLINKS = 900;
constexpr int32_t HOLD = 1000;
constexpr int32_t SUPER_SCORE_FADE_OUT = 300;

void wait(GameNode* node, int32_t ms) {
    if (ms > 0) {
        GameNode::addModifier(node, new ModifierDelay(ms));
    }
}

// The header leaves the row's clip once it stands clear of the row.
int32_t unclipHeader(BaseObject* sender) {
    auto* modifier = objectCast<Modifier>(sender);
    if (auto* header = modifier ? objectCast<Sprite>(modifier->getTarget()) : nullptr) {
        header->clearClipRect();
    }
    return 0;
}

}  // namespace

void Floaters::showSuperScore(int32_t newScore, int32_t increment) {
    LabelTicker* scoreTicker = play.getHud().getScoreTicker();
    Game* game = Game::current();
    if (!game || currentRoomKind() == RoomKind::RECROOM || !floaterLayer || !scoreTicker) {
        return;
    }
    const int32_t kind = game->checkSuperScore(newScore, increment);
    if (kind != 1 && kind != 2) {
        return;
    }
    const bool super = kind == 1;
    RefHolder<Image> starImage = gameImage("SUPERSCORE_STAR");
    RefHolder<Font> font = defaultFont("FONT_GAMESCENE_BIG");
    auto* group = new GameNode();
    group->setPosition(scoreTicker->getAbsoluteX(), scoreTicker->getAbsoluteY() - 30);
    GameNode::appendChild(group, floaterLayer.get());
    auto* header = new Label(0, 0, 0, 0, font.get(), Label::WRAP_AUTOWIDTH);
    header->setText(getBasicText(super ? "TEXT_SUPER_SCORE_HEADER" : "TEXT_MEGA_SCORE_HEADER"));
    header->setAnchorType(Sprite::ANCHOR_LEFT);
    header->renderText();
    GameNode::appendChild(header, group);

    const int32_t count = super ? 2 : 3;
    const int32_t w = starImage ? starImage->getWidth() : 0;
    const int32_t rowWidth = count * w - (count - 1) * STAR_OVERLAP;
    const int32_t firstX = w / 2 - rowWidth / 2;
    const int32_t lastX = firstX + (count - 1) * (w - STAR_OVERLAP);
    // The stars are all in place at this time; then the header comes out from behind them.
    const int32_t starsDone = STAR_FADE_IN + STAR_PAUSE + (count - 1) * STAR_FLIGHT;
    const int32_t fadeAt = starsDone + 2 * HEADER_SLIDE + TICKER_BLINKS + HOLD;
    std::vector<Sprite*> stars;
    for (int32_t i = 0; i < count && starImage; ++i) {
        auto* star = new Sprite(firstX + i * (w - STAR_OVERLAP), 0, starImage.get());
        star->setAnchor(Sprite::ANCHOR_CENTER);
        GameNode::appendChild(star, group);
        stars.push_back(star);
    }
    if (!stars.empty()) {
        Sprite* first = stars.front();
        first->setAlpha(0);
        GameNode::addModifier(
            first, new ModifierSound(super ? "SOUND_SUPERSCORE" : "SOUND_MEGASCORE", "game", true));
        GameNode::addModifier(first, new ModifierFunction(callback<&Effects::floaterStars>()));
        GameNode::addModifier(first, blocking(new ModifierAlpha(STAR_FADE_IN, 0, 255)));
        wait(first, fadeAt - STAR_FADE_IN);
        GameNode::addModifier(first, new ModifierAlpha(SUPER_SCORE_FADE_OUT, 255, 0));
    }
    for (size_t i = 1; i < stars.size(); ++i) {
        Sprite* star = stars[i];
        const int32_t start = STAR_FADE_IN + STAR_PAUSE + static_cast<int32_t>(i - 1) * STAR_FLIGHT;
        star->setVisible(false);
        star->setPosition(stars[i - 1]->getX(), 0);
        wait(star, start);
        GameNode::addModifier(star, new ModifierVisible(ModifierVisible::MODE_SHOW));
        GameNode::addModifier(star, new ModifierRotation(STAR_START_ANGLE, 0.0f, STAR_FLIGHT));
        GameNode::addModifier(star, blocking(new ModifierLocationLine(
                                        stars[i - 1]->getX(), 0, star->getX() + w - STAR_OVERLAP, 0,
                                        STAR_FLIGHT, false)));
        wait(star, fadeAt - start - STAR_FLIGHT);
        GameNode::addModifier(star, new ModifierAlpha(SUPER_SCORE_FADE_OUT, 255, 0));
    }
    // Hidden behind the row, the header slides out to its right, then over its middle.
    header->setPosition(lastX - header->getWidth(), 0);
    header->setClipRect(Rect{lastX, -SCREEN_HEIGHT / 2, SCREEN_WIDTH, SCREEN_HEIGHT});
    wait(header, starsDone);
    GameNode::addModifier(
        header, blocking(new ModifierLocationLine(lastX - header->getWidth(), 0, firstX + rowWidth,
                                                  0, HEADER_SLIDE, true)));
    GameNode::addModifier(header, new ModifierFunction(callback<&unclipHeader>()));
    GameNode::addModifier(
        header, blocking(new ModifierLocationLine(firstX + rowWidth, 0, -(header->getWidth() / 2),
                                                  0, HEADER_SLIDE, true)));
    if (Label* number = play.getHud().getScoreLabel()) {
        wait(number, starsDone + 2 * HEADER_SLIDE);
        GameNode::addModifier(number, blocking(new ModifierBlink(255, 0, 100, 0, 100, 100, 3)));
    }
    wait(header, TICKER_BLINKS + HOLD + SUPER_SCORE_FADE_OUT);
    Modifier* fade = new ModifierAlpha(SUPER_SCORE_FADE_OUT, header->getAlpha(), 0);
    GameNode::addModifier(header, blocking(fade));
    // The group goes with its header and stars once the last fade has ended.
    auto* end = new ModifierDelay(fadeAt + 2 * SUPER_SCORE_FADE_OUT);
    end->setFlags(end->getFlags() | Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(group, end);
}

// --- Face shine ---

void Floaters::showTileFaceShine(Tile* tile, int32_t chainCounter) {
    LayoutRenderer* renderer = play.getRenderer();
    Game* game = Game::current();
    if (tile && renderer && floaterLayer && game && game->getLayout()) {
        ::showTileFaceShine(floaterLayer.get(), *renderer, game->getLayout(), tile, chainCounter);
    }
}
