#include "game/dialogs/DialogTrophy.h"

#include <algorithm>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/StringUtils.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "framework/platform/InputHandler.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "framework/scene/TransitionScene.h"
#include "game/dialogs/DialogRoomInfo.h"
#include "game/dialogs/DialogTrophyText.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/RoomKind.h"
#include "game/rules/TrophyId.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameDialogHost.h"

QUOVEL_DEFINE_TYPE(DialogTrophy, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogTrophy)

namespace {

constexpr int32_t FADE_IN_TIME = 250;
constexpr int32_t FADE_IN_PAUSE = 200;
constexpr int32_t REVEAL_STEP = 100;
constexpr int32_t REVEAL_FADE = 100;
constexpr int32_t REVEAL_GROW = 200;
constexpr int32_t SPARKLE_COUNT = 10;
constexpr int32_t SPARKLE_FADE = 200;
constexpr int32_t ORBIT_TIME = 2000;
constexpr float PI = 3.14159265f;
constexpr int32_t FLOORS = 20;
constexpr int32_t ROOMS = 5;

// The building picture's window grid: the left edge of each room's column, 20 pixels wide,
// and floor f's row from y = 490 - 24 f, 20 pixels high.
constexpr int32_t ROOM_LEFT[ROOMS] = {298, 323, 393, 463, 488};
constexpr int32_t WINDOW_SIZE = 20;
constexpr int32_t GROUND_ROW_Y = 490;
constexpr int32_t ROW_STEP = 24;
constexpr int32_t BUILDING_LEFT = 298;
constexpr int32_t BUILDING_RIGHT = 888;
constexpr int32_t BUILDING_TOP = 30;
constexpr int32_t BUILDING_BOTTOM = 510;

// Whether a won trophy's state is.
bool isWon(const Trophy* trophy) {
    return trophy && trophy->state != Trophy::NOT_EARNED && trophy->state != Trophy::HELD_BACK;
}

const RoomRecord* recordOf(int32_t floor, int32_t room) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    return player ? player->getStats().roomRecord(floor, room) : nullptr;
}

bool reachesGold(const RoomRecord& record, int32_t floor, int32_t room) {
    LevelCatalog* catalog = LevelCatalog::instance();
    RefHolder<Level> level = catalog ? catalog->findLevel(floor, room) : RefHolder<Level>();
    return level && record.bestScore >= level->getGold();
}

}  // namespace

DialogTrophy::DialogTrophy(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    awardPanel = objectCast<Sprite>(findChild("TTROPHY_SPRITE_DIALOG"));
    emitter = objectCast<Sprite>(findChild("SPRITE_EMITTER"));
    wonHeader = objectCast<Sprite>(findChild("TROPHY_WON_HEADER"));
    headerLabel = objectCast<Label>(findChild("LABEL_HEADER"));
    descriptionLabel = objectCast<Label>(findChild("LABEL_DESCRIPTION"));
    connect<&DialogTrophy::onMenuButton>("BUTTON_MENU", this, &getComponentsContainer());
    trophyLayer = new GameNode();
    placeholderLayer = new GameNode();
    starLayer = new GameNode();
    windowLayer = new GameNode();
    sparkleLayer = new GameNode();
    // Drawn in chain order: placeholders under sparkles under trophies under the won header;
    // windows under stars under the award panel.
    const auto insert = [this](GameNode* layer, GameNode* before) {
        if (before && before->getParent()) {
            GameNode::insertBefore(layer, before);
        } else {
            GameNode::appendChild(layer, getComponents());
        }
    };
    insert(placeholderLayer.get(), wonHeader);
    insert(sparkleLayer.get(), wonHeader);
    insert(trophyLayer.get(), wonHeader);
    insert(windowLayer.get(), awardPanel);
    insert(starLayer.get(), awardPanel);
    setFadeInOnShow(true);
}

DialogTrophy::~DialogTrophy() {
    if (firstAwardWait) {
        firstAwardWait->setRemoved(true);
    }
}

Scene* DialogTrophy::currentScene() {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (auto* transition = objectCast<TransitionScene>(scene)) {
        scene = transition->getTargetScene();
    }
    return scene;
}

TrophyList* DialogTrophy::trophies() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    return player ? &player->getTrophies() : nullptr;
}

Trophy* DialogTrophy::trophyAt(int32_t index) {
    TrophyList* list = trophies();
    return list && index < TROPHY_COUNT ? list->getTrophy(index) : nullptr;
}

RefHolder<Image> DialogTrophy::picture(const std::string& key, const std::string& section) {
    return findLoaded<Image>(key, section);
}

bool DialogTrophy::showIfNew(const iGuiMethod::Bound& afterClose) {
    bool anyNew = false;
    for (int32_t i = 0; i < TROPHY_COUNT && !anyNew; ++i) {
        const Trophy* trophy = trophyAt(i);
        anyNew = trophy && trophy->state == Trophy::EARNED;
    }
    Scene* scene = currentScene();
    if (!anyNew || !scene) {
        return false;
    }
    auto* cabinet = objectCast<DialogTrophy>(scene->getDialog("DIALOG_TROPHY"));
    if (!cabinet) {
        return false;
    }
    cabinet->setCallback(afterClose);
    scene->openDialog(cabinet);
    return true;
}

void DialogTrophy::show() {
    DialogQuovelMahjong::show();
    GameNode::removeAllModifiers(this);
    setAlpha(0);
    GameNode::addModifier(this, blocking(new ModifierAlpha(FADE_IN_TIME, 0, OPAQUE)));
    GameNode::addModifier(this, new ModifierDelay(FADE_IN_PAUSE));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogTrophy::onShown>(this)));
    revealRunning = true;
    hoveredTrophy = nullptr;
    hoveredRoom = -1;
    hoveredFloor = -1;
    collectNewTrophies();
    placeUnclaimedTrophies();
    Scene* scene = currentScene();
    if (!scene) {
        return;
    }
    trophyText = objectCast<DialogTrophyText>(scene->getDialog("DIALOG_TROPHY_TEXT"));
    if (trophyText) {
        scene->openDialog(trophyText);
    }
    roomInfo = objectCast<DialogRoomInfo>(scene->getDialog("DIALOG_ROOM_INFO"));
    if (roomInfo) {
        scene->openDialog(roomInfo);
    }
}

int32_t DialogTrophy::onShown(BaseObject*) {
    // Closed during the fade-in: the fade-out follows, nothing more starts.
    if (isClosing()) {
        return 0;
    }
    if (awardPending) {
        fireworks();
    } else {
        revealTrophies();
        makeWindows();
    }
    resetButtons();
    return 0;
}

void DialogTrophy::placeUnclaimedTrophies() {
    for (int32_t i = 0; i < TROPHY_COUNT; ++i) {
        const Trophy* trophy = trophyAt(i);
        if (!trophy) {
            break;
        }
        const TrophyInfo& entry = trophy->getInfo(0);
        auto* sprite =
            new Sprite(entry.x, entry.y, picture(entry.image + "_UNCLAIMED", entry.section).get());
        sprite->setAnchor(ANCHOR_CENTER);
        sprite->setTag(i);
        GameNode::appendChild(sprite, isWon(trophy) ? placeholderLayer.get() : trophyLayer.get());
    }
}

void DialogTrophy::revealTrophies() {
    revealWon(false);
}

void DialogTrophy::revealAfterAward() {
    revealWon(true);
    makeWindows();
}

void DialogTrophy::revealWon(bool skipAnnounced) {
    int32_t delay = 0;
    Sprite* last = nullptr;
    for (int32_t i = 0; i < TROPHY_COUNT; ++i) {
        const Trophy* trophy = trophyAt(i);
        if (!trophy) {
            break;
        }
        if (!isWon(trophy) || (skipAnnounced && trophy->state == Trophy::ANNOUNCED)) {
            continue;
        }
        const TrophyInfo& entry = trophy->getInfo(0);
        auto* sprite = new Sprite(entry.x, entry.y, picture(entry.image, entry.section).get());
        sprite->setAnchor(ANCHOR_CENTER);
        sprite->setAlpha(0);
        sprite->setTag(i);
        GameNode::appendChild(sprite, trophyLayer.get());
        GameNode::addModifier(sprite, new ModifierDelay(delay));
        GameNode::addModifier(sprite, new ModifierAlpha(REVEAL_FADE, 0, OPAQUE));
        GameNode::addModifier(sprite, blocking(new ModifierScale(0.0f, 1.0f, REVEAL_GROW)));
        delay += REVEAL_STEP;
        last = sprite;
    }
    if (last) {
        GameNode::addModifier(last,
                              new ModifierFunction(callback<&DialogTrophy::onRevealDone>(this)));
    } else {
        revealRunning = false;
        GameNode::releaseChildren(placeholderLayer.get());
    }
    setShownAsSeen();
}

int32_t DialogTrophy::onRevealDone(BaseObject*) {
    revealRunning = false;
    GameNode::releaseChildren(placeholderLayer.get());
    return 0;
}

void DialogTrophy::setShownAsSeen() {
    for (int32_t i = 0; i < TROPHY_COUNT; ++i) {
        Trophy* trophy = trophyAt(i);
        if (trophy && trophy->state == Trophy::ANNOUNCED) {
            trophy->state = Trophy::SEEN;
        }
    }
}

void DialogTrophy::makeWindows() {
    GameNode::releaseChildren(windowLayer.get());
    for (int32_t f = 0; f < FLOORS; ++f) {
        for (int32_t r = 0; r < ROOMS; ++r) {
            const RoomRecord* record = recordOf(f + 1, r + 1);
            if (!record || record->levelWinCount <= 0) {
                continue;
            }
            const char* key = reachesGold(*record, f + 1, r + 1) ? "WINDOW_STAR" : "WINDOW_LIGHT";
            GameNode::appendChild(
                new Sprite(ROOM_LEFT[r], GROUND_ROW_Y - ROW_STEP * f, picture(key, "trophy").get()),
                windowLayer.get());
        }
    }
}

void DialogTrophy::hitTestWindow(int32_t x, int32_t y, int32_t& room, int32_t& floor) {
    room = -1;
    floor = -1;
    if (x < BUILDING_LEFT || x >= BUILDING_RIGHT || y < BUILDING_TOP || y >= BUILDING_BOTTOM) {
        return;
    }
    int32_t column = -1;
    for (int32_t r = 0; r < ROOMS && column < 0; ++r) {
        if (x >= ROOM_LEFT[r] && x <= ROOM_LEFT[r] + WINDOW_SIZE) {
            column = r + 1;
        }
    }
    int32_t row = -1;
    for (int32_t i = 0; i < FLOORS && row < 0; ++i) {
        const int32_t top = GROUND_ROW_Y - ROW_STEP * i;
        if (y >= top && y <= top + WINDOW_SIZE) {
            row = i + 1;
        }
    }
    if (column > 0 && row > 0) {
        room = column;
        floor = row;
    }
}

std::wstring DialogTrophy::roomText(int32_t floor, int32_t room) {
    std::string legend = "TEXT_LEGEND_NOTPLAYED";
    if (const RoomRecord* record = recordOf(floor, room)) {
        if (record->levelWinCount > 0) {
            legend = "TEXT_LEGEND_PLAYED";
        }
        if (reachesGold(*record, floor, room)) {
            legend = "TEXT_LEGEND_GOLD";
        }
    }
    return getBasicText("TEXT_ROOM") + L" " + std::to_wstring(floor) + std::to_wstring(room) +
           L": " + getBasicText(legend);
}

std::wstring DialogTrophy::bodyWithFigure(int32_t index, const Trophy& trophy, bool grouped) {
    std::wstring body = trophy.getInfo(1).bodyText(true);
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        return body;
    }
    const QuovelMahjongStats& stats = player->getStats();
    const auto figure = [&](int32_t value, bool group) {
        return group ? formatGroupedNumber(static_cast<uint32_t>(value),
                                           getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL"))
                     : std::to_wstring(value);
    };
    std::wstring value;
    switch (static_cast<TrophyId>(index)) {
        case TrophyId::TEN_BONUSES:
            value = figure(stats.maxBonus, false);
            break;
        case TrophyId::COMBO_FRENZY:
            value = figure(stats.maxCombo, false);
            break;
        case TrophyId::BIG_SCORE:
            value = figure(stats.quovelRecord, grouped);
            break;
        case TrophyId::PAIRS:
            value = figure(stats.numMatches, grouped);
            break;
        default:
            return body;
    }
    wstringReplace(body, L"%3", value, true);
    return body;
}

void DialogTrophy::update(int32_t elapsedMs) {
    DialogQuovelMahjong::update(elapsedMs);
    // The award's banner slides out after the last landing, when the reveal may be over
    // already: the room box at the top would cover it.
    if (revealRunning || (wonHeader && wonHeader->isVisible())) {
        return;
    }
    int32_t room = -1;
    int32_t floor = -1;
    hitTestWindow(InputHandler::getMouseX(), InputHandler::getMouseY(), room, floor);
    if (room > 0) {
        hoverWindow(room, floor);
        return;
    }
    hoverTrophies(elapsedMs);
}

void DialogTrophy::hoverWindow(int32_t room, int32_t floor) {
    if (room == hoveredRoom && floor == hoveredFloor) {
        return;
    }
    if (trophyText) {
        trophyText->hideNow();
    }
    if (roomInfo) {
        roomInfo->setText(roomText(floor, room));
        roomInfo->popIn();
    }
    infoTimer = tuning().TROPHY_DIALOG_TIME;
    hoveredRoom = room;
    hoveredFloor = floor;
}

void DialogTrophy::hoverTrophies(int32_t elapsedMs) {
    hoveredRoom = -1;
    hoveredFloor = -1;
    const int32_t mouseX = InputHandler::getMouseX();
    const int32_t mouseY = InputHandler::getMouseY();
    bool hovered = false;
    for (GameNode* node = trophyLayer->getFirstChild(); node; node = node->getNextSibling()) {
        auto* sprite = objectCast<Sprite>(node);
        if (!sprite) {
            continue;
        }
        if (sprite->containsPoint(mouseX, mouseY)) {
            hovered = true;
            if (!hoveredTrophy) {
                startHovering(sprite);
            }
            if (roomInfo) {
                roomInfo->hideNow();
            }
            if (trophyText) {
                trophyText->appear();
            }
            infoTimer = tuning().TROPHY_DIALOG_TIME;
        } else if (sprite == hoveredTrophy) {
            stopHovering(sprite);
        }
    }
    if (hovered) {
        return;
    }
    GameNode::releaseChildren(sparkleLayer.get());
    infoTimer -= elapsedMs;
    if (infoTimer <= 0) {
        if (roomInfo) {
            roomInfo->popOut();
        }
        if (trophyText) {
            trophyText->disappear();
        }
    }
}

void DialogTrophy::startHovering(Sprite* sprite) {
    const int32_t index = sprite->getTag();
    const Trophy* trophy = trophyAt(index);
    GameNode::releaseChildren(sparkleLayer.get());
    if (isWon(trophy)) {
        RefHolder<Image> star = picture("FADING_STAR", "default");
        for (int32_t k = 0; k < SPARKLE_COUNT; ++k) {
            auto* sparkle = new AdditiveSprite(sprite->getX(), sprite->getY(), star.get());
            sparkle->setAlpha(0);
            sparkle->setTag(k);
            sparkle->setAnchor(ANCHOR_CENTER);
            GameNode::addModifier(sparkle, blocking(new ModifierAlpha(SPARKLE_FADE, 0, OPAQUE)));
            GameNode::appendChild(sparkle, sparkleLayer.get());
            orbitStar(sprite, sparkle);
        }
    } else {
        GameNode::addModifier(sprite,
                              blocking(new ModifierBlink(OPAQUE, 127, 750, 0, 750, 500, 1)));
        GameNode::addModifier(sprite,
                              new ModifierFunction(callback<&DialogTrophy::clearHovered>(this)));
    }
    hoveredTrophy = sprite;
    if (trophy && trophyText) {
        trophyText->setTexts(trophy->getInfo(1).headerText(), bodyWithFigure(index, *trophy, true));
    }
}

void DialogTrophy::stopHovering(Sprite* sprite) {
    GameNode::removeAllModifiers(sprite);
    sprite->setRotation(0.0f);
    sprite->setScale(1.0f);
    sprite->setAlpha(OPAQUE);
    hoveredTrophy = nullptr;
}

int32_t DialogTrophy::clearHovered(BaseObject*) {
    hoveredTrophy = nullptr;
    return 0;
}

// Target: the trophy sprite; sender: the star, or the finished orbit whose target is the star.
int32_t DialogTrophy::orbitStar(Sprite* trophySprite, BaseObject* sender) {
    GameNode* star = objectCast<GameNode>(sender);
    if (!star) {
        auto* finished = objectCast<Modifier>(sender);
        star = finished ? finished->getTarget() : nullptr;
    }
    if (!star) {
        return 0;
    }
    const float start = static_cast<float>(star->getTag()) * PI / 5.0f;
    auto* wave = new ModifierLocationWave(trophySprite->getX(), trophySprite->getY());
    const float radius = static_cast<float>(trophySprite->getWidth()) / 2.0f;
    wave->setRadius(radius, radius, 0);
    wave->setAngle(start, start + 2.0f * PI, ORBIT_TIME);
    GameNode::addModifier(star, blocking(wave));
    GameNode::addModifier(star,
                          new ModifierFunction(callback<&DialogTrophy::orbitStar>(trophySprite)));
    return 0;
}

int32_t DialogTrophy::onMenuButton(BaseObject*) {
    RefHolder<DialogTrophy> keep(this);
    Scene* scene = currentScene();
    const iGuiMethod::Bound opener = getBound();
    GameDialogHost* host = GameDialogHost::get();
    // The opener's callback runs once, here at the button: the close must not run it again.
    // On the game screen this road is the level's end; opened from the in-game menu during
    // play, the cabinet simply closes below.
    if (host && scene && scene == host->getGameScene() && host->isInLevelPhase()) {
        const Game* game = Game::current();
        const Level* level = game ? game->getLevel() : nullptr;
        const bool closes =
            game && game->getHasWon() && level &&
            (level->getGameMode() == RoomKind::CASINO || level->getGameMode() == RoomKind::ROOF);
        if (closes) {
            setCallback({});
            closeCabinet();
        }
        // A won floor level keeps the cabinet open: the opener decides what comes next.
        if (opener.function) {
            opener.function(opener.target, this);
        }
        return 0;
    }
    SceneManager* manager = SceneManager::getInstance();
    Scene* hallway = manager ? manager->getScene("SCENE_HALLWAY") : nullptr;
    if (scene && scene == hallway && opener.function) {
        setCallback({});
        opener.function(opener.target, this);
    }
    closeCabinet();
    return 0;
}

void DialogTrophy::closeTextBoxes() {
    Scene* scene = currentScene();
    if (trophyText) {
        trophyText->hideNow();
        if (scene) {
            scene->closeDialog(trophyText);
        }
    }
    if (roomInfo) {
        roomInfo->hideNow();
        if (scene) {
            scene->closeDialog(roomInfo);
        }
    }
    trophyText = nullptr;
    roomInfo = nullptr;
}

void DialogTrophy::closeCabinet() {
    stopAward();
    GameNode::releaseChildren(trophyLayer.get());
    GameNode::releaseChildren(placeholderLayer.get());
    GameNode::releaseChildren(starLayer.get());
    hoveredTrophy = nullptr;
    closeTextBoxes();
    close();
    // The trophies it showed are marked seen: written now, so that a kill before the next save
    // does not show them again.
    PlayerFileReport::savePlayer(QuovelMahjongPlayer::current());
}

void DialogTrophy::hide() {
    stopAward();
    closeTextBoxes();
    DialogQuovelMahjong::hide();
}
