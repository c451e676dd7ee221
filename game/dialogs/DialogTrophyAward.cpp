// The award sequence of the trophy cabinet: a header slides in, a fountain of stars rises from
// the emitter, and each new trophy in turn spins up in the middle of the screen, shows its texts
// on a painted panel, then flies to its place on the shelves.
#include <algorithm>

#include "framework/core/ModifierContainer.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/Random.h"
#include "framework/gui/AbstractPainter.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/scene/Scene.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/dialogs/DialogTrophyText.h"
#include "game/profile/TrophyList.h"
#include "game/rules/GameSound.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/GameModifiers.h"

namespace {

constexpr int32_t CENTRE_X = 400;
constexpr int32_t SHOW_Y = 200;
constexpr int32_t FIRST_AWARD_DELAY = 800;
constexpr int32_t STAR_SPACING = 7;
constexpr int32_t STAR_FLIGHT = 2000;
constexpr int32_t STAR_FULL = 1000;
constexpr int32_t STAR_FADE = 500;
constexpr int32_t RESPAWN_SPREAD = 50;
constexpr float STAR_GRAVITY = 3.0f;
constexpr float STAR_DRIFT = 0.3f;
constexpr float SIX_TURNS = 37.699112f;
constexpr int32_t SPIN_TIME = 1500;
constexpr int32_t RISE_TIME = 1000;
constexpr int32_t STEP = 500;
constexpr int32_t TEXT_TIME = 3000;
constexpr int32_t FLY_TIME = 600;
constexpr float FLY_SCALE = 0.5f;
constexpr int32_t PULSES = 3;
constexpr int32_t PULSE_TIME = 100;
constexpr float PULSE_SCALE = 1.1f;
constexpr int32_t PANEL_TIME = 150;
constexpr int32_t LABEL_DELAY = 500;
constexpr int32_t DESCRIPTION_WIDTH = 360;
constexpr size_t MOST_DESCRIPTION_LINES = 2;
constexpr int32_t PANEL_MARGIN_X = 60;
constexpr int32_t PANEL_MARGIN_Y = 40;
constexpr int32_t PANEL_ABOVE_HEADER = 20;

Modifier* sceneTree(Scene* scene) {
    return scene ? scene->getAnimTree() : nullptr;
}

}  // namespace

void DialogTrophy::collectNewTrophies() {
    newTrophies.clear();
    for (int32_t i = 0; i < TROPHY_COUNT; ++i) {
        Trophy* trophy = trophyAt(i);
        if (trophy && trophy->state == Trophy::EARNED) {
            newTrophies.push_back(i);
            trophy->state = Trophy::ANNOUNCED;
        }
    }
    awardPending = !newTrophies.empty();
}

void DialogTrophy::fireworks() {
    if (wonHeader) {
        GameNode::addModifier(
            wonHeader,
            new ModifierLocationLine(CENTRE_X, -wonHeader->getHeight(), CENTRE_X, wonHeader->getY(),
                                     tuning().TROPHY_HEADER_APPEAR, true));
        wonHeader->setVisible(true);
    }
    Modifier* tree = sceneTree(currentScene());
    if (tree) {
        ModifierContainer::addModifier(
            tree, new ModifierSound("SOUND_TROPHY_FIREWORKS", "trophy", false));
    }
    for (int32_t n = 0; n < tuning().TROPHY_STAR_COUNT; ++n) {
        dropStar(n * STAR_SPACING);
    }
    if (tree) {
        firstAwardWait = ModifierContainer::addModifier(tree, new ModifierDelay(FIRST_AWARD_DELAY));
        ModifierContainer::addModifier(
            firstAwardWait.get(), new ModifierFunction(callback<&DialogTrophy::awardNext>(this)));
    } else {
        GameNode::addModifier(this, new ModifierDelay(FIRST_AWARD_DELAY));
        GameNode::addModifier(this, new ModifierFunction(callback<&DialogTrophy::awardNext>(this)));
    }
}

void DialogTrophy::dropStar(int32_t delay) {
    const int32_t startX = emitter ? emitter->getX() + emitter->getWidth() / 2 : CENTRE_X;
    const int32_t startY = emitter ? emitter->getY() + emitter->getHeight() / 2 : SHOW_Y;
    Random* random = Random::getInstance();
    const float b = static_cast<float>(random ? random->nextInt(0, 1000) : 0) * 0.01f - 55.0f;
    const float a = static_cast<float>(random ? random->nextInt(0, 2000) : 0) * 0.01f - 10.0f;
    auto* star = new Sprite(startX, startY, picture("TROPHY_STAR", "default").get());
    star->setVisible(false);
    star->setAnchor(ANCHOR_CENTER);
    auto* flight = new ModifierGravity(STAR_FLIGHT, startX, startY);
    flight->vx = a;
    flight->vy = b;
    flight->gx = a < 0.0f ? -STAR_DRIFT : STAR_DRIFT;
    flight->gy = STAR_GRAVITY;
    GameNode::addModifier(star, new ModifierDelay(delay));
    GameNode::addModifier(star, new ModifierVisible(ModifierVisible::MODE_SHOW));
    GameNode::addModifier(star, flight);
    GameNode::addModifier(star, new ModifierDelay(STAR_FULL));
    GameNode::addModifier(star, blocking(new ModifierAlpha(STAR_FADE, 255, 0)));
    GameNode::addModifier(star, new ModifierFunction(callback<&DialogTrophy::onStarDone>(this)));
    GameNode* first = starLayer->getFirstChild();
    if (first) {
        GameNode::insertBefore(star, first);
    } else {
        GameNode::appendChild(star, starLayer.get());
    }
}

int32_t DialogTrophy::onStarDone(BaseObject* sender) {
    auto* finished = objectCast<Modifier>(sender);
    if (finished && finished->getTarget()) {
        finished->getTarget()->setRemoved(true);
    }
    if (currentTrophy != NO_TROPHY) {
        Random* random = Random::getInstance();
        dropStar(random ? random->nextInt(0, RESPAWN_SPREAD) : 0);
    }
    return 0;
}

int32_t DialogTrophy::awardNext(BaseObject*) {
    firstAwardWait = nullptr;
    if (isClosing()) {
        return 0;
    }
    hideAwardText();
    if (!newTrophies.empty()) {
        currentTrophy = newTrophies.back();
        newTrophies.pop_back();
        animateNewTrophy();
        return 0;
    }
    if (Sprite* header = wonHeader) {
        GameNode::addModifier(header, blocking(new ModifierLocationLine(
                                          CENTRE_X, header->getY(), CENTRE_X, -header->getHeight(),
                                          tuning().TROPHY_HEADER_DISAPPEAR, false)));
        GameNode::addModifier(header, new ModifierVisible(ModifierVisible::MODE_HIDE));
    }
    currentTrophy = NO_TROPHY;
    revealAfterAward();
    return 0;
}

void DialogTrophy::animateNewTrophy() {
    const int32_t index = currentTrophy;
    Trophy* trophy = trophyAt(index);
    const TrophyInfo none;
    const TrophyInfo& entry = trophy ? trophy->getInfo(1) : none;
    auto* sprite = new Sprite(CENTRE_X, SHOW_Y, picture(entry.image, entry.section).get());
    sprite->setVisible(false);
    sprite->setTag(index);
    sprite->setAnchor(ANCHOR_CENTER);
    GameNode::appendChild(sprite, trophyLayer.get());
    const int32_t emitterY = emitter ? emitter->getY() : SHOW_Y;
    GameNode::addModifier(sprite, new ModifierVisible(ModifierVisible::MODE_SHOW));
    GameNode::addModifier(sprite,
                          new ModifierRotationScale(0.0f, SIX_TURNS, 0.0f, 1.0f, SPIN_TIME));
    GameNode::addModifier(
        sprite, new ModifierLocationLine(CENTRE_X, emitterY, CENTRE_X, SHOW_Y, RISE_TIME, true));
    GameNode::addModifier(sprite, new ModifierDelay(STEP));
    GameNode::addModifier(sprite, new ModifierSound("SOUND_TROPHY_POPS_UP", "trophy", true));
    GameNode::addModifier(sprite, new ModifierDelay(STEP));
    GameNode::addModifier(sprite,
                          new ModifierFunction(callback<&DialogTrophy::showAwardTextOf>(this)));
    GameNode::addModifier(sprite, new ModifierDelay(TEXT_TIME));
    GameNode::addModifier(sprite, new ModifierScale(1.0f, FLY_SCALE, FLY_TIME));
    GameNode::addModifier(sprite, new ModifierSound("SOUND_TROPHY_MOVES", "trophy", true));
    GameNode::addModifier(sprite, blocking(new ModifierLocationLine(CENTRE_X, SHOW_Y, entry.x,
                                                                    entry.y, FLY_TIME, true)));
    GameNode::addModifier(sprite,
                          new ModifierFunction(callback<&DialogTrophy::onTrophyArrived>(this)));
    GameNode::addModifier(sprite, new ModifierFunction(callback<&DialogTrophy::awardNext>(this)));
    for (int32_t n = 0; n < PULSES; ++n) {
        GameNode::addModifier(sprite, blocking(new ModifierScale(1.0f, PULSE_SCALE, PULSE_TIME)));
        GameNode::addModifier(sprite, blocking(new ModifierScale(PULSE_SCALE, 1.0f, PULSE_TIME)));
    }
    if (trophy) {
        trophy->state = Trophy::ANNOUNCED;
    }
}

int32_t DialogTrophy::showAwardTextOf(BaseObject* sender) {
    auto* finished = objectCast<Modifier>(sender);
    GameNode* sprite = finished ? finished->getTarget() : nullptr;
    showAwardText(sprite ? sprite->getTag() : currentTrophy);
    return 0;
}

void DialogTrophy::showAwardText(int32_t index) {
    const Trophy* trophy = trophyAt(index);
    if (!trophy || !headerLabel || !descriptionLabel || !awardPanel) {
        return;
    }
    headerLabel->setText(trophy->getInfo(1).headerText());
    descriptionLabel->setText(bodyWithFigure(index, *trophy, false));
    headerLabel->renderText();
    descriptionLabel->setWidth(DESCRIPTION_WIDTH);
    descriptionLabel->renderText();
    if (descriptionLabel->getLines().size() > MOST_DESCRIPTION_LINES) {
        widenToTwoLines(descriptionLabel);
    }
    const int32_t bodyWidth = descriptionLabel->getLines().size() == MOST_DESCRIPTION_LINES
                                  ? descriptionLabel->getWidth()
                                  : descriptionLabel->getTextBounds().w;
    const int32_t w = std::max(headerLabel->getWidth(), bodyWidth);
    RefHolder<AbstractPainter> painter(
        objectCast<AbstractPainter>(ObjectFactoryContainer::instance()->createObject(
            GuiDefinitions::instance()->findTemplate("TROPHY_PAINTER"))));
    if (painter) {
        const int32_t width = painter->fitWidth(w + PANEL_MARGIN_X);
        const int32_t height = painter->fitHeight(descriptionLabel->getHeight() +
                                                  headerLabel->getHeight() + PANEL_MARGIN_Y);
        GameWindow* window = GameWindow::getInstance();
        const int32_t depth =
            window && window->getBytesPerPixel() > 0 ? window->getBytesPerPixel() : 4;
        RefHolder<Image> image(Image::createImage(width, height, depth));
        RefHolder<Graphics> graphics(image ? image->createGraphics() : nullptr);
        if (graphics) {
            painter->paint(graphics.get());
            awardPanel->setImage(image.get());
        }
    }
    awardPanel->setPosition(CENTRE_X, headerLabel->getY() - PANEL_ABOVE_HEADER);
    descriptionLabel->setWidth(w);
    GameNode::addModifier(awardPanel, new ModifierVisible(ModifierVisible::MODE_SHOW));
    GameNode::addModifier(awardPanel, new ModifierScale(0.0f, 1.0f, PANEL_TIME));
    for (Label* label : {headerLabel, descriptionLabel}) {
        GameNode::addModifier(label, new ModifierDelay(LABEL_DELAY));
        GameNode::addModifier(label, new ModifierVisible(ModifierVisible::MODE_SHOW));
    }
}

void DialogTrophy::hideAwardText() {
    if (headerLabel) {
        headerLabel->setVisible(false);
    }
    if (descriptionLabel) {
        descriptionLabel->setVisible(false);
    }
    if (awardPanel) {
        GameNode::addModifier(awardPanel, blocking(new ModifierScale(1.0f, 0.0f, PANEL_TIME)));
        GameNode::addModifier(awardPanel, new ModifierVisible(ModifierVisible::MODE_HIDE));
    }
}

void DialogTrophy::stopAward() {
    if (firstAwardWait) {
        firstAwardWait->setRemoved(true);
        firstAwardWait = nullptr;
    }
    newTrophies.clear();
    currentTrophy = NO_TROPHY;
    awardPending = false;
    for (GameNode* node :
         {static_cast<GameNode*>(headerLabel), static_cast<GameNode*>(descriptionLabel),
          static_cast<GameNode*>(awardPanel)}) {
        if (node) {
            GameNode::removeAllModifiers(node);
            node->setVisible(false);
        }
    }
}

int32_t DialogTrophy::onTrophyArrived(BaseObject* sender) {
    auto* finished = objectCast<Modifier>(sender);
    auto* sprite = finished ? objectCast<Sprite>(finished->getTarget()) : nullptr;
    const Trophy* trophy = trophyAt(currentTrophy);
    if (sprite && trophy) {
        const TrophyInfo& entry = trophy->getInfo(0);
        sprite->setImage(picture(entry.image, entry.section).get());
    }
    playSectionSound("SOUND_TROPHY_ARRIVES", "trophy");
    for (GameNode* node = placeholderLayer->getFirstChild(); node; node = node->getNextSibling()) {
        if (node->getTag() == currentTrophy) {
            node->setRemoved(true);
            break;
        }
    }
    return 0;
}
