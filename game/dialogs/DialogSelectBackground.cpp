#include "game/dialogs/DialogSelectBackground.h"

#include <algorithm>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/visuals/ImageEffects.h"

QUOVEL_DEFINE_TYPE(DialogSelectBackground, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogSelectBackground)

namespace {

// The picture areas of the previews, greyed when locked.
constexpr int32_t BACKGROUND_AREA[4] = {5, 4, 218, 163};
constexpr int32_t TILESET_AREA[4] = {16, 17, 196, 60};

const char* const PICTURE_SECTION = "default";

void enable(Button* button, bool enabled) {
    if (button) {
        button->setEnabled(enabled);
    }
}

void blinkForEver(Sprite* marker) {
    if (marker) {
        GameNode::addModifier(marker, new ModifierBlink(255, 180, 1000, 0, 1000, 0, -1));
    }
}

void setLabelIfAny(Label* label, const std::wstring& text) {
    if (label) {
        label->setText(text);
    }
}

int32_t nextBackground(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showBackground(1);
    return 0;
}
int32_t previousBackground(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showBackground(-1);
    return 0;
}
int32_t nextTileSet(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showTileSet(1);
    return 0;
}
int32_t previousTileSet(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showTileSet(-1);
    return 0;
}

}  // namespace

DialogSelectBackground::DialogSelectBackground(PropertyNode* definition)
    : DialogQuovelMahjong(definition) {
    iInputListenerContainer* container = &getComponentsContainer();
    auto button = [&](const char* name, const iGuiMethod::Bound& bound) {
        return objectCast<Button>(connect(name, bound, container));
    };
    okButton = button("BUTTON_OK", callback<&DialogSelectBackground::onOk>(this));
    button("BUTTON_CANCEL", callback<&DialogSelectBackground::onCancel>(this));
    nextBackgroundButton = button("BUTTON_NEXT_BACKGROUND", callback<&nextBackground>(this));
    previousBackgroundButton =
        button("BUTTON_PREV_BACKGROUND", callback<&previousBackground>(this));
    nextTileSetButton = button("BUTTON_NEXT_TILESET", callback<&nextTileSet>(this));
    previousTileSetButton = button("BUTTON_PREV_TILESET", callback<&previousTileSet>(this));
    auto sprite = [&](const char* name) { return objectCast<Sprite>(findChild(name)); };
    auto label = [&](const char* name) { return objectCast<Label>(findChild(name)); };
    backgroundPreview = sprite("BACKGROUND_PREVIEW");
    tileSetPreview = sprite("TILESET_PREVIEW");
    backgroundLabel = label("LABEL_BACKGROUND");
    tileSetLabel = label("LABEL_TILESET");
    backgroundCountLabel = label("LABEL_BACKGROUND_COUNT");
    tileSetCountLabel = label("LABEL_TILESET_COUNT");
    backgroundLock = sprite("BACKGROUND_LOCK");
    tileSetLock = sprite("TILESET_LOCK");
    newBackgroundMarker = sprite("NEW_BACK");
    newTileSetMarker = sprite("NEW_TILE");
    blinkForEver(newBackgroundMarker);
    blinkForEver(newTileSetMarker);
    if (const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        background = player->background;
        tileSet = player->tileSet;
    }
    showBackground(0);
    showTileSet(0);
    updateButtons();
    updateCounts();
}

DialogSelectBackground::~DialogSelectBackground() = default;

void DialogSelectBackground::showPicture(Sprite* preview, const std::string& key, bool locked,
                                         int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!preview) {
        return;
    }
    RefHolder<Image> picture = findOrLoad<Image>(key, PICTURE_SECTION);
    if (picture && locked) {
        RefHolder<Image> grey = Image::copyImage(picture.get());
        if (grey) {
            greyImageRect(grey.get(), x, y, width, height);
            picture = grey;
        }
    }
    preview->setImage(picture.get());
}

void DialogSelectBackground::showBackground(int32_t delta) {
    const int32_t n = background + delta;
    if (n >= 0 && n < QuovelMahjongPlayer::BACKGROUND_COUNT) {
        background = n;
        const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        const bool locked = QuovelMahjongPlayer::isBackgroundLocked(player, n);
        showPicture(backgroundPreview, previewKey(n), locked, BACKGROUND_AREA[0],
                    BACKGROUND_AREA[1], BACKGROUND_AREA[2], BACKGROUND_AREA[3]);
        setShownIfAny(newBackgroundMarker, false);
        setShownIfAny(backgroundLock, locked);
        if (!locked && player) {
            showNewMarker(newBackgroundMarker, player->newBackgroundGroup(n));
        }
    }
    updateButtons();
    updateCounts();
}

void DialogSelectBackground::showTileSet(int32_t delta) {
    const int32_t m = tileSet + delta;
    if (m >= 0 && m < TILESET_COUNT) {
        tileSet = m;
        const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        const bool locked = QuovelMahjongPlayer::isTileSetLocked(player, m);
        showPicture(tileSetPreview, "TILESET" + std::to_string(m), locked, TILESET_AREA[0],
                    TILESET_AREA[1], TILESET_AREA[2], TILESET_AREA[3]);
        setShownIfAny(newTileSetMarker, false);
        setShownIfAny(tileSetLock, locked);
        if (!locked && player) {
            showNewMarker(newTileSetMarker, player->newTileSet(m));
        }
    }
    updateButtons();
    updateCounts();
}

void DialogSelectBackground::showNewMarker(Sprite* marker, std::optional<UnlockItem> item) {
    if (item) {
        setShownIfAny(marker, true);
        if (std::find(newShown.begin(), newShown.end(), *item) == newShown.end()) {
            newShown.push_back(*item);
        }
    }
}

void DialogSelectBackground::updateButtons() {
    enable(nextBackgroundButton, background < QuovelMahjongPlayer::BACKGROUND_COUNT - 1);
    enable(previousBackgroundButton, background > 0);
    enable(nextTileSetButton, tileSet < TILESET_COUNT - 1);
    enable(previousTileSetButton, tileSet > 0);
    const bool lockShown = (backgroundLock && backgroundLock->isVisible()) ||
                           (tileSetLock && tileSetLock->isVisible());
    enable(okButton, !lockShown);
}

void DialogSelectBackground::updateCounts() {
    // Background 0 is no choice of the player's: each game type keeps its own picture. The
    // others are named by their number; the tile sets count from 1, as the counter does.
    setLabelIfAny(backgroundLabel,
                  background == 0 ? getBasicText("TEXT_BACKGROUND_OWN")
                                  : getBasicText("TEXT_BACKGROUND") + std::to_wstring(background));
    setLabelIfAny(tileSetLabel, getBasicText("TEXT_TILESET") + std::to_wstring(tileSet + 1));
    setLabelIfAny(backgroundCountLabel, std::to_wstring(background + 1) + L"/" +
                                            std::to_wstring(QuovelMahjongPlayer::BACKGROUND_COUNT));
    setLabelIfAny(tileSetCountLabel,
                  std::to_wstring(tileSet + 1) + L"/" + std::to_wstring(TILESET_COUNT));
}

void DialogSelectBackground::markNewSeen() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        return;
    }
    for (UnlockItem item : newShown) {
        player->unlockState(item) = UNLOCKED_SEEN;
    }
}

int32_t DialogSelectBackground::onOk(BaseObject* sender) {
    markNewSeen();
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->background = background;
        player->tileSet = tileSet;
    }
    return closeAsOwnTarget(sender);
}

int32_t DialogSelectBackground::onCancel(BaseObject* sender) {
    markNewSeen();
    return closeAsOwnTarget(sender);
}
