#include "game/dialogs/DialogHint.h"

#include <algorithm>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/ScreenSize.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "framework/scene/Scene.h"
#include "game/dialogs/DialogHintPainter.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/GameSound.h"
#include "game/rules/TileManager.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"
#include "game/visuals/Effects.h"

QUOVEL_DEFINE_TYPE(DialogHint, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogHint)

namespace {

constexpr int32_t FLOWER_HINT = 18;
constexpr int32_t SEASON_HINT = 19;
constexpr int32_t TILES_SHOWN = 4;
constexpr int32_t TILE_STEP = 60;

RefHolder<DialogHint>& openSlot() {
    static RefHolder<DialogHint> slot;
    return slot;
}

}  // namespace

DialogHint::DialogHint(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    setSoundsEnabled(false);
    textLabel = objectCast<Label>(findChild("LABEL_TEXT"));
    secondLabel = objectCast<Label>(findChild("LABEL_TEXT2"));
    okButton = objectCast<Button>(
        connect<&DialogHint::onOk>("BUTTON_OK", this, &getComponentsContainer()));
    PropertyNode* node = nodeOrDummy(getDefinition());
    middleHeight = node->getChildValue("TUT_MIDDLE_HEIGHT")->getInt();
    buttonYOffset = node->getChildValue("TUT_BUTTON_Y_OFFSET")->getInt();
    definedHeight = getRequestedHeight();
    pages = vectorOrDummy(nullptr);
}

DialogHint::~DialogHint() = default;

DialogHint* DialogHint::getOpen() {
    return openSlot().get();
}

void DialogHint::clearOpen() {
    openSlot() = nullptr;
}

DialogHint* DialogHint::showHint(const Rect* rect, int32_t hintId, GameNode* target) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player || !player->showHints) {
        return nullptr;
    }
    player->clearTutorialHint(hintId);
    Scene* scene = targetScene();
    auto* dialog = scene ? objectCast<DialogHint>(scene->getDialog("DIALOG_HINT")) : nullptr;
    if (!dialog) {
        return nullptr;
    }
    openSlot() = dialog;
    dialog->setText(hintId);
    dialog->layout();
    if (rect) {
        dialog->placeArrow(rect);
    } else if (target) {
        const Rect area = screenRect(target);
        dialog->placeArrow(&area);
    } else {
        dialog->placeArrow(nullptr);
    }
    scene->openDialog(dialog);
    return dialog;
}

Rect DialogHint::screenRect(GameNode* node) {
    Rect area{node->getAbsoluteX(), node->getAbsoluteY(), 0, 0};
    if (auto* sprite = objectCast<Sprite>(node)) {
        area.x -= static_cast<int32_t>(sprite->getAnchor().x);
        area.y -= static_cast<int32_t>(sprite->getAnchor().y);
        area.w = sprite->getWidth();
        area.h = sprite->getHeight();
    }
    return area;
}

void DialogHint::show() {
    DialogQuovelMahjong::show();
    playSectionSound("SOUND_HELPDIALOG_OPEN", "default");
}

void DialogHint::update(int32_t elapsedMs) {
    DialogQuovelMahjong::update(elapsedMs);
    openTime += elapsedMs;
}

void DialogHint::setText(int32_t id) {
    hintId = id;
    PropertyVector* descs = nodeOrDummy(getDefinition())->getChildVector("descs");
    pages = vectorOrDummy(descs->getChildAt(id - FIRST_HINT));
    pageCount = pages->getChildCount();
}

void DialogHint::layout() {
    if (isAutoCenter()) {
        setPosition((SCREEN_WIDTH - getWidth()) / 2, (SCREEN_HEIGHT - getHeight()) / 2);
    }
    int32_t tallest = 0;
    for (int32_t page = 0; page < pageCount; ++page) {
        setPage(page);
        if (textLabel) {
            tallest = std::max(tallest, textLabel->getHeight());
        }
    }
    placeMiddle(tallest, true);
    showPage();
    playSectionSound("SOUND_HELPDIALOG_OPEN", "default");
}

void DialogHint::setPage(int32_t page) {
    const std::string key =
        nodeOrDummy(pages->getChildAt(page))->getChildValue("textid")->getValue();
    if ((key == "HINT_FLOWER_TILES" || key == "HINT_SEASON_TILES") && secondLabel) {
        secondLabel->setText(getBasicText(key + "2"));
        secondLabel->renderText();
    }
    if (textLabel) {
        textLabel->setText(getBasicText(key));
        textLabel->renderText();
    }
}

void DialogHint::showPage() {
    setPage(pageIndex);
    removeTiles();
    if (hintId == FLOWER_HINT || hintId == SEASON_HINT) {
        placeTiles();
    }
    setRepaint(true);
}

void DialogHint::removeTiles() {
    for (RefHolder<Sprite>& sprite : tileSprites) {
        removeChild(sprite.get());
    }
    tileSprites.clear();
}

void DialogHint::placeTiles() {
    PlayScreen* scene = PlayScreen::fromHost();
    LayoutRenderer* renderer = scene ? scene->getRenderer() : nullptr;
    if (!textLabel || !renderer) {
        return;
    }
    const int32_t suit =
        hintId == FLOWER_HINT ? TileManager::FLOWER_SUIT : TileManager::SEASON_SUIT;
    const int32_t y0 = textLabel->getY() + textLabel->getHeight();
    int32_t x = (getWidth() - TILE_STEP * 3) / 2;
    for (int32_t value = 0; value < TILES_SHOWN; ++value, x += TILE_STEP) {
        RefHolder<Sprite> sprite(createTilePictureSprite(*renderer, suit, value));
        sprite->setPosition(x, y0);
        sprite->setAnchor(Sprite::ANCHOR_TOP);
        addChild(sprite.get());
        tileSprites.push_back(sprite);
    }
    if (secondLabel) {
        secondLabel->setY(y0 + tuning().TILE_HEIGHT);
        // The defined height holds text down to the middle's end; the dialog grows by what the
        // second text reaches beyond it, however many lines the first text took.
        const int32_t bottom = secondLabel->getY() + secondLabel->getHeight();
        placeMiddle(std::max(bottom - textLabel->getY() - middleHeight, 0), false);
    }
}

void DialogHint::placeMiddle(int32_t height, bool useMiddle) {
    int32_t extra = height;
    if (useMiddle) {
        extra = height > middleHeight ? height - middleHeight : 0;
    }
    setHeight(definedHeight + extra);
    if (okButton) {
        okButton->setY(getHeight() - buttonYOffset);
    }
}

int32_t DialogHint::cornerFor(const Rect& rect) {
    const bool below = 2 * rect.y + rect.h > SCREEN_HEIGHT;
    const bool right = 2 * rect.x + rect.w > SCREEN_WIDTH;
    if (below) {
        return right ? BOTTOM_RIGHT : BOTTOM_LEFT;
    }
    return right ? TOP_RIGHT : TOP_LEFT;
}

const char* DialogHint::cornerName(int32_t corner) {
    switch (corner) {
        case TOP_RIGHT:
            return "TOP_RIGHT";
        case BOTTOM_LEFT:
            return "BOTTOM_LEFT";
        case BOTTOM_RIGHT:
            return "BOTTOM_RIGHT";
        default:
            return "TOP_LEFT";
    }
}

void DialogHint::placeArrow(const Rect* rect) {
    const int32_t w = getWidth();
    const int32_t h = getHeight();
    if (!rect) {
        setPosition(SCREEN_WIDTH / 2 - w / 2, SCREEN_HEIGHT / 2 - h / 2);
        setAutoCenter(true);
        return;
    }
    const int32_t corner = cornerFor(*rect);
    const bool right = corner == TOP_RIGHT || corner == BOTTOM_RIGHT;
    const bool below = corner == BOTTOM_LEFT || corner == BOTTOM_RIGHT;
    if (auto* painter = objectCast<DialogHintPainter>(getPainter())) {
        // The arrow goes into the corner's alternate, so the frame's own corner stays for the
        // next hint that points elsewhere.
        painter->setImageName(corner + DialogHintPainter::ALTERNATE_OFFSET,
                              std::string("HINT_ARROW_") + cornerName(corner));
        painter->setCorner(corner);
        painter->loadImages();
    }
    // Placed beside its target, the dialog must not be centred again when it is shown.
    setAutoCenter(false);
    const int32_t x = right ? rect->x + ARROW_OVERLAP - w : rect->x + rect->w - ARROW_OVERLAP;
    const int32_t y = below ? rect->y + ARROW_OVERLAP - h : rect->y + rect->h - ARROW_OVERLAP;
    setPosition(x, y);
    clampToScreen();
}

void DialogHint::clampToScreen() {
    int32_t x = std::max(getX(), 0);
    int32_t y = std::max(getY(), 0);
    if (x + getWidth() > SCREEN_WIDTH) {
        x = SCREEN_WIDTH - getWidth();
    }
    if (y + getHeight() > SCREEN_HEIGHT) {
        y = SCREEN_HEIGHT - getHeight();
    }
    setPosition(x, y);
}

int32_t DialogHint::onOk(BaseObject*) {
    playSectionSound("SOUND_HELPDIALOG_CLOSE", "default");
    if (openTime < tuning().HINT_ENTER_FROM_OPEN) {
        return 0;
    }
    if (pageIndex < pageCount - 1) {
        openTime = 0;
        ++pageIndex;
        showPage();
    } else {
        close();
    }
    return 0;
}
