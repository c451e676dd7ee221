#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/gui/AbstractPainter.h"
#include "framework/gui/Panel.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/iInputListener.h"
#include "framework/platform/iInputListenerContainer.h"

class PropertyNode;

// The window of the GUI toolkit: a panel with a background (an image resource, or painted by a
// painter at a size the painter rounds up), optionally drawn with its components into one
// buffered image, optionally dragged with the mouse, centred on demand, and routing input to
// its components through its own listener container. Scenes derive from it, as do the game's
// dialogs; a scene opens and closes dialogs (Scene::openDialog, Scene::closeDialog).
//
// The container is modal and holds the dialog itself as its focus listener (asked last), so a
// press on a component never starts a drag, and an open dialog takes every event of the scene.
// It is built inactive: `show` activates it and `hide` deactivates it.
class Dialog : public Panel, public iInputListener {
    QUOVEL_TYPE(Dialog)
public:
    // Drag states.
    enum DragState : int32_t { DRAG_IDLE = 0, DRAG_PRESSED = 1, DRAG_MOVING = 2 };

    Dialog();
    // The panel keys, then "movable", "usebuffer", "autoenlarge", "autocenter", "painter" (or
    // "painterid", a template), "minwidth" and "minheight" (with a painter that enlarges),
    // "background" and "section".
    explicit Dialog(PropertyNode* definition);
    ~Dialog() override;

    // Answers the listener type with the listener part and the render type with the render part.
    void* castTo(const TypeRecord* type) override;
    // Draws the displayed image, rebuilt first when the background or a buffered component
    // changed.
    void render(Graphics* graphics) override;

    // The requested width; with a painter that enlarges, the width becomes the painter's fit.
    void setWidth(int32_t value) override;
    void setHeight(int32_t value) override;
    void addChild(GameNode* child) override;
    void removeChild(GameNode* child) override;

    // Centres the dialog in the game window when autocenter is on, and activates the container.
    // It neither makes the dialog visible nor attaches it: Scene::openDialog does.
    virtual void show();
    // Deactivates the container.
    virtual void hide();
    // Paints the background when the painter asks for it (at the dialog's size) and rebuilds the
    // displayed image from it, with the components drawn in when buffering.
    virtual void updateBackground();
    // Draws the sprite into the displayed image.
    virtual void renderToBuffer(Sprite* sprite);
    // Binds the component of that name: its listener goes to the front of `container`, its
    // callback (when it has one) gets the target and function. The component, or null when no
    // component bears the name (then nothing is bound).
    virtual GameNode* connect(const std::string& name, void* target, iGuiMethod::Callback callback,
                              iInputListenerContainer* container);
    GameNode* connect(const std::string& name, const iGuiMethod::Bound& bound,
                      iInputListenerContainer* container) {
        return connect(name, bound.target, bound.function, container);
    }
    // Binds the component to target->Method: connect<&SceneLobby::onHelp>("BUTTON_HELP", ...).
    template <auto Method>
    GameNode* connect(const std::string& name, typename MemberCallback<Method>::Target* target,
                      iInputListenerContainer* container) {
        return connect(name, callback<Method>(target), container);
    }

    // Closes the dialog on the current scene when the scene has it open under the dialog's name,
    // and drops it from the scene's dialogs; a callback for function modifiers at the end of
    // closing animations.
    int32_t removeFromScene(BaseObject* sender);

    // Installs the painter (referenced; null removes it) and applies the requested size again.
    void setPainter(AbstractPainter* newPainter);
    void setBackgroundImage(Image* image);

    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    // Ends a drag; a drag under way also gives the components their input back.
    void cancelInput() override;

    iInputListenerContainer& getComponentsContainer() { return componentsContainer; }
    AbstractPainter* getPainter() const { return painter.get(); }
    Image* getBackgroundImage() const { return background.get(); }
    PropertyNode* getDefinition() const { return definition.get(); }
    Graphics* getBufferGraphics() const { return bufferGraphics.get(); }
    int32_t getDragState() const { return dragState; }
    int32_t getRequestedWidth() const { return requestedWidth; }
    int32_t getRequestedHeight() const { return requestedHeight; }
    bool isMovable() const { return movable; }
    void setMovable(bool value) { movable = value; }
    bool isBuffered() const { return usebuffer; }
    // Drawing from the buffer shows the dialog and its components as one picture (hiding the
    // live components); the displayed image is rebuilt at the next render.
    void setBuffered(bool value);
    bool isAutoCenter() const { return autocenter; }
    void setAutoCenter(bool value) { autocenter = value; }
    bool needsRepaint() const { return repaint; }
    void setRepaint(bool value) { repaint = value; }

private:
    void prepareContainer();
    void readDefinition(PropertyNode* node);
    // True when a visible sprite below the components (not inside nested dialogs) is dirty.
    bool componentsChanged() const;
    void drawComponents(GameNode* node, bool isStart);

    RefHolder<Graphics> bufferGraphics;
    RefHolder<Image> background;
    bool usebuffer = false;
    int32_t lastX = 0;
    int32_t lastY = 0;
    int32_t startX = 0;
    int32_t startY = 0;
    bool movable = false;
    int32_t dragState = DRAG_IDLE;
    RefHolder<AbstractPainter> painter;
    int32_t requestedWidth = -1;
    int32_t requestedHeight = -1;
    bool repaint = false;
    bool autoenlarge = true;
    bool autocenter = false;
    iInputListenerContainer componentsContainer;
    RefHolder<PropertyNode> definition;
};
