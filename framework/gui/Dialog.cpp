#include "framework/gui/Dialog.h"

#include <cmath>
#include <cstdlib>

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/DialogHooks.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"

QUOVEL_DEFINE_TYPE(Dialog, &Panel::typeRecord, &iInputListener::typeRecord)
QUOVEL_REGISTER_CLASS(Dialog)

namespace {

// A press has to move the pointer further than this on either axis to start a drag.
constexpr int32_t DRAG_THRESHOLD = 3;

int32_t windowBytesPerPixel() {
    GameWindow* window = GameWindow::getInstance();
    const int32_t depth = window ? window->getBytesPerPixel() : 0;
    return depth > 0 ? depth : 4;
}

int32_t rounded(float value) {
    return static_cast<int32_t>(std::lround(value));
}

}  // namespace

Dialog::Dialog() {
    prepareContainer();
}

Dialog::Dialog(PropertyNode* node) : Panel(node) {
    prepareContainer();
    if (node) {
        readDefinition(node);
    }
}

Dialog::~Dialog() = default;

void Dialog::prepareContainer() {
    componentsContainer.setFocusListener(this);
    componentsContainer.setModal(true);
    componentsContainer.setActive(false);
    if (iInputListener* tip = DialogHooks::toolTipListener()) {
        componentsContainer.addListener(tip);
    }
}

void Dialog::readDefinition(PropertyNode* given) {
    PropertyNode* node = nodeOrDummy(given);
    definition = node;
    if (AbstractProperty* value = node->getChild("movable")) {
        movable = value->getBool();
    }
    if (AbstractProperty* value = node->getChild("usebuffer")) {
        setBuffered(value->getBool());
    }
    if (AbstractProperty* value = node->getChild("autoenlarge");
        value && value->getBool() != autoenlarge) {
        autoenlarge = value->getBool();
        setSize(getWidth(), getHeight());
    }
    if (AbstractProperty* value = node->getChild("autocenter")) {
        autocenter = value->getBool();
    }
    PropertyNode* painterDefinition = nullptr;
    if (AbstractProperty* value = node->getChild("painter")) {
        painterDefinition = nodeOrDummy(value);
    } else if (AbstractProperty* id = node->getChild("painterid")) {
        painterDefinition = GuiDefinitions::instance()->findTemplate(id->getValue());
    }
    RefHolder<BaseObject> made;
    if (painterDefinition) {
        made = ObjectFactoryContainer::instance()->createObject(painterDefinition);
    }
    if (AbstractPainter* newPainter = objectCast<AbstractPainter>(made.get())) {
        setPainter(newPainter);
        if (autoenlarge) {
            setWidth(intKeyOr(node, "minwidth", 0));
            setHeight(intKeyOr(node, "minheight", 0));
        }
    } else {
        // No painter (none defined, or its type word makes none): the size stands as it is.
        requestedWidth = getWidth();
        requestedHeight = getHeight();
    }
    if (AbstractProperty* key = node->getChild("background")) {
        const std::string section = textKeyOr(node, "section", std::string());
        RefHolder<Image> image = findOrLoad<Image>(key->getValue(), section);
        // A key that names no picture keeps the current size.
        if (image) {
            setBackgroundImage(image.get());
            setWidth(image->getWidth());
            setHeight(image->getHeight());
        }
    }
}

void* Dialog::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(this);
    }
    return Sprite::castTo(type);
}

void Dialog::setPainter(AbstractPainter* newPainter) {
    if (newPainter == painter.get()) {
        return;
    }
    painter = newPainter;
    if (newPainter) {
        newPainter->setDirty(true);
    } else {
        repaint = true;
    }
    // A size never asked for (a painter that does not enlarge, built before any size was set)
    // is the current one.
    setSize(requestedWidth < 0 ? getWidth() : requestedWidth,
            requestedHeight < 0 ? getHeight() : requestedHeight);
    setDirty(true);
}

void Dialog::setBuffered(bool value) {
    if (value == usebuffer) {
        return;
    }
    usebuffer = value;
    getComponents()->setVisible(!usebuffer);
    repaint = true;
    setDirty(true);
}

void Dialog::setBackgroundImage(Image* image) {
    if (image == background.get()) {
        return;
    }
    background = image;
    repaint = true;
    setDirty(true);
}

void Dialog::setWidth(int32_t value) {
    requestedWidth = value;
    Sprite::setWidth(autoenlarge && painter ? painter->fitWidth(value) : value);
    repaint = true;
    setDirty(true);
}

void Dialog::setHeight(int32_t value) {
    requestedHeight = value;
    Sprite::setHeight(autoenlarge && painter ? painter->fitHeight(value) : value);
    repaint = true;
    setDirty(true);
}

void Dialog::addChild(GameNode* child) {
    Panel::addChild(child);
    repaint = true;
}

void Dialog::removeChild(GameNode* child) {
    Panel::removeChild(child);
    repaint = true;
}

void Dialog::show() {
    if (autocenter) {
        if (GameWindow* window = GameWindow::getInstance()) {
            setPosition((window->getWidth() - getWidth()) / 2,
                        (window->getHeight() - getHeight()) / 2);
        }
    }
    repaint = true;
    setDirty(true);
    componentsContainer.setActive(true);
}

void Dialog::hide() {
    componentsContainer.setActive(false);
}

void Dialog::render(Graphics* graphics) {
    if (usebuffer && !repaint && componentsChanged()) {
        repaint = true;
        setDirty(true);
    }
    if (repaint || (painter && painter->isDirty())) {
        updateBackground();
    }
    Sprite::render(graphics);
}

void Dialog::updateBackground() {
    if (painter) {
        if (!background || background->getWidth() != getWidth() ||
            background->getHeight() != getHeight()) {
            background = Image::createImage(getWidth(), getHeight(), windowBytesPerPixel());
            painter->setDirty(true);
        }
        if (painter->isDirty() && background) {
            RefHolder<Graphics> graphics = background->createGraphics();
            if (graphics) {
                painter->paint(graphics.get());
            }
            painter->setDirty(false);
            repaint = true;
            setDirty(true);
        }
    }
    if (background && repaint) {
        const std::optional<Rect> stretch = getStretchRect();
        RefHolder<Image> shown = Image::copyImage(background.get());
        setImage(shown.get());
        if (stretch) {
            setStretchWidth(stretch->w);
            setStretchHeight(stretch->h);
        }
        bufferGraphics = shown ? shown->createGraphics() : nullptr;
        if (usebuffer && bufferGraphics) {
            drawComponents(getComponents(), true);
        }
        repaint = false;
        setDirty(true);
    }
}

bool Dialog::componentsChanged() const {
    struct Search {
        static bool changed(GameNode* node) {
            for (; node; node = node->getNextSibling()) {
                if (node->isRemoved() || !node->isVisible()) {
                    continue;
                }
                if (Sprite* sprite = objectCast<Sprite>(node); sprite && sprite->isDirty()) {
                    return true;
                }
                if (!objectCast<Dialog>(node) && changed(node->getFirstChild())) {
                    return true;
                }
            }
            return false;
        }
    };
    return Search::changed(getComponents()->getFirstChild());
}

void Dialog::renderToBuffer(Sprite* sprite) {
    if (bufferGraphics) {
        static_cast<IRenderable*>(sprite)->render(bufferGraphics.get());
    }
}

void Dialog::drawComponents(GameNode* node, bool isStart) {
    Graphics* graphics = bufferGraphics.get();
    for (; node; node = isStart ? nullptr : node->getNextSibling()) {
        if ((!node->isVisible() && !isStart) || node->isRemoved()) {
            continue;
        }
        if (Sprite* sprite = objectCast<Sprite>(node)) {
            if (const std::optional<Rect> clip = sprite->getClipRect()) {
                // The sprite clips in screen coordinates (its clip plus its parents' positions);
                // in the buffer the same rectangle lies at the buffer's current origin. It is
                // drawn with a clip that maps there and given its own back afterwards.
                const Rect mapped{clip->x + graphics->getOffsetX() - sprite->getParentsX(),
                                  clip->y + graphics->getOffsetY() - sprite->getParentsY(), clip->w,
                                  clip->h};
                sprite->setClipRect(mapped);
                renderToBuffer(sprite);
                sprite->setClipRect(*clip);
                sprite->setDirty(false);
            } else {
                renderToBuffer(sprite);
            }
        }
        if (GameNode* child = node->getFirstChild()) {
            // Components sit relative to the dialog's position; the buffer's origin is the
            // displayed image's corner, which lies the anchor offset away from it.
            const int32_t dx = isStart ? node->getX() + rounded(getAnchor().x) : node->getX();
            const int32_t dy = isStart ? node->getY() + rounded(getAnchor().y) : node->getY();
            graphics->translate(dx, dy);
            drawComponents(child, false);
            graphics->translate(-dx, -dy);
        }
    }
}

GameNode* Dialog::connect(const std::string& name, void* target, iGuiMethod::Callback callback,
                          iInputListenerContainer* container) {
    GameNode* component = findChild(name);
    if (!component) {
        return nullptr;
    }
    if (auto* listener = interfaceCast<iInputListener>(component)) {
        if (container) {
            container->addListener(listener);
        }
    }
    if (auto* method = interfaceCast<iGuiMethod>(component)) {
        method->setCallback(target, callback);
    }
    return component;
}

int32_t Dialog::removeFromScene(BaseObject*) {
    DialogHooks::removeDialog(this);
    return 0;
}

bool Dialog::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    if (!containsPoint(x, y)) {
        return false;
    }
    if (movable) {
        lastX = startX = x;
        lastY = startY = y;
        dragState = DRAG_PRESSED;
    }
    return true;
}

bool Dialog::onMouseMove(int32_t x, int32_t y, int32_t) {
    if (dragState == DRAG_PRESSED &&
        (std::abs(x - startX) > DRAG_THRESHOLD || std::abs(y - startY) > DRAG_THRESHOLD)) {
        componentsContainer.setActive(false);
        dragState = DRAG_MOVING;
    }
    if (dragState == DRAG_MOVING) {
        setX(getX() + (x - lastX));
        setY(getY() + (y - lastY));
        lastX = x;
        lastY = y;
    }
    return false;
}

bool Dialog::onLeftButtonUp(int32_t x, int32_t y, int32_t) {
    if (dragState == DRAG_PRESSED) {
        dragState = DRAG_IDLE;
        return containsPoint(x, y);
    }
    if (dragState == DRAG_MOVING) {
        componentsContainer.setActive(true);
        dragState = DRAG_IDLE;
        return true;
    }
    return false;
}

void Dialog::cancelInput() {
    if (dragState == DRAG_MOVING) {
        componentsContainer.setActive(true);
    }
    dragState = DRAG_IDLE;
}
