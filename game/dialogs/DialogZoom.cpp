#include "game/dialogs/DialogZoom.h"

#include <cmath>
#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(DialogZoom, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogZoom)

namespace {

constexpr int32_t WINDOW_BORDER = 25;

// Every sprite below `node` clipped to `window`, given relative to `node`.
void clipBelow(GameNode* node, const Rect& window) {
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        if (auto* sprite = objectCast<Sprite>(child)) {
            sprite->setClipRect(window);
        }
        clipBelow(child,
                  Rect{window.x - child->getX(), window.y - child->getY(), window.w, window.h});
    }
}

}  // namespace

DialogZoom::DialogZoom(PropertyNode* definition)
    : DialogQuovelMahjong(definition),
      content(new Sprite()),
      appearTime(tuning().DIALOG_ZOOM_APPEAR_TIME),
      disappearTime(tuning().DIALOG_ZOOM_DISAPPEAR_TIME),
      hideDelay(tuning().DIALOG_ZOOM_HIDE_DELAY) {
    if (!definition || !definition->getChild("anchorpoint")) {
        setAnchor(ANCHOR_CENTER);
    }
    std::vector<GameNode*> components;
    for (GameNode* child = getComponents()->getFirstChild(); child;
         child = child->getNextSibling()) {
        components.push_back(child);
    }
    for (GameNode* child : components) {
        GameNode::appendChild(child, content.get());
        child->setRemoved(false);
    }
    Panel::addChild(content.get());
    window = Rect{WINDOW_BORDER - static_cast<int32_t>(std::trunc(getAnchor().x)),
                  WINDOW_BORDER - static_cast<int32_t>(std::trunc(getAnchor().y)),
                  getWidth() - 2 * WINDOW_BORDER, getHeight() - 2 * WINDOW_BORDER};
    content->setClipRect(window);
    clipContent();
    setRepaint(true);
    setVisible(false);
    setPausesGame(false);
    getComponentsContainer().setModal(false);
    content->setVisible(false);
}

DialogZoom::~DialogZoom() = default;

void DialogZoom::addChild(GameNode* child) {
    if (!child) {
        return;
    }
    GameNode::appendChild(child, content.get());
    child->setRemoved(false);
    clipContent();
    setRepaint(true);
}

GameNode* DialogZoom::searchChild(const std::string& name) {
    if (GameNode* found = DialogQuovelMahjong::searchChild(name)) {
        return found;
    }
    for (GameNode* child = content->getFirstChild(); child; child = child->getNextSibling()) {
        if (!child->isRemoved() && child->getName() == name) {
            return child;
        }
        if (auto* panel = objectCast<Panel>(child); panel && !panel->isRemoved()) {
            if (GameNode* found = panel->searchChild(name)) {
                return found;
            }
        }
    }
    return nullptr;
}

void DialogZoom::clipContent() {
    clipBelow(content.get(),
              Rect{window.x - content->getX(), window.y - content->getY(), window.w, window.h});
}

void DialogZoom::render(Graphics* graphics) {
    // The content moves during the frame's updates; its components draw after the dialog.
    clipContent();
    DialogQuovelMahjong::render(graphics);
}

void DialogZoom::zoomIn() {
    if (hidden) {
        setScale(0.0f);
        setVisible(true);
        const float from = getScale();
        GameNode::addModifier(
            this, blocking(new ModifierScale(from, 1.0f,
                                             static_cast<int32_t>((1.0f - from) * appearTime))));
        GameNode::addModifier(this, new ModifierFunction(callback<&DialogZoom::showContent>(this)));
        hidden = false;
        return;
    }
    const int32_t height = getHeight();
    const int32_t scrollTime = tuning().DIALOG_ZOOM_SCROLL_TIME;
    GameNode::removeAllModifiers(content.get());
    GameNode::addModifier(content.get(),
                          blocking(new ModifierLocationLine(0, 0, 0, -height, scrollTime, true)));
    GameNode::addModifier(content.get(),
                          blocking(new ModifierFunction(callback<&DialogZoom::swapContent>(this))));
    GameNode::addModifier(content.get(),
                          new ModifierLocationLine(0, -height, 0, 0, scrollTime, true));
}

void DialogZoom::scheduleHide() {
    if (hidden) {
        return;
    }
    GameNode::addModifier(this, new ModifierDelay(hideDelay));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogZoom::shrink>(this)));
}

void DialogZoom::onContentSwap() {}

int32_t DialogZoom::showContent(BaseObject*) {
    content->setVisible(true);
    return 0;
}

int32_t DialogZoom::swapContent(BaseObject*) {
    onContentSwap();
    return 0;
}

int32_t DialogZoom::shrink(BaseObject*) {
    content->setVisible(false);
    const float from = getScale();
    GameNode::addModifier(
        this, blocking(new ModifierScale(from, 0.0f, static_cast<int32_t>(from * disappearTime))));
    GameNode::addModifier(this, new ModifierVisible(ModifierVisible::MODE_HIDE));
    hidden = true;
    return 0;
}
