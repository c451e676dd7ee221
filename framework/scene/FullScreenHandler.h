#pragma once

#include <cstdint>
#include <string>

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/MessageHandler.h"
#include "framework/platform/iInputListenerContainer.h"
#include "framework/scene/FullScreenFrame.h"

class Button;
class PropertyNode;

// The frame buttons of full screen (quit, back to a window, minimise), drawn in the top-right
// corner of whatever scene is current and fed input every frame by an input handler of their
// own. The same object listens to the game window's private messages: it stores the full-screen
// setting when the mode changes and mutes all sound while the window is inactive. One instance
// exists, made from a definition by createSetup; it stays hidden until `enabled` is set.
class FullScreenHandler : public GameNode, public WindowMessageListener, public FullScreenFrame {
    QUOVEL_TYPE(FullScreenHandler)
public:
    // Builds "button_quit", "button_restore" (only where the game can run in a window) and
    // "button_minimize" from the definition's children, side by side to the left of the
    // handler's position, quit rightmost; registers with the game window and the task manager.
    explicit FullScreenHandler(PropertyNode* definition);
    ~FullScreenHandler() override;

    // Makes the handler the template `setupName` of the GUI definitions describes and keeps it
    // as the one instance (installed as the scenes' full-screen frame). Null when the template
    // makes no handler.
    static FullScreenHandler* createSetup(const std::string& setupName);
    static FullScreenHandler* getInstance();
    static void releaseInstance();

    // Shown exactly when enabled and in full screen; put on top of the scene's tree (null: the
    // current scene, or the target of a running transition).
    void attachToScene(Scene* scene) override;
    // The buttons take input only while the frame is enabled as well.
    void setFrameInputActive(bool active) override;
    void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override;

    bool isEnabled() const { return enabled; }
    void setEnabled(bool value) { enabled = value; }
    Button* getQuitButton() const { return quitButton.get(); }
    Button* getRestoreButton() const { return restoreButton.get(); }
    Button* getMinimiseButton() const { return minimiseButton.get(); }
    InputHandler* getInputHandler() const { return inputHandler.get(); }

private:
    // The button the child `name` describes, added to the container and the children and
    // placed left of those before it; null when it makes no button.
    Button* makeButton(PropertyNode* node, const std::string& name, int32_t& placedWidth);

    int32_t onQuit(BaseObject* sender);
    int32_t onRestore(BaseObject* sender);
    int32_t onMinimise(BaseObject* sender);

    iInputListenerContainer buttons;
    RefHolder<InputHandler> inputHandler;
    RefHolder<Button> minimiseButton;
    RefHolder<Button> restoreButton;
    RefHolder<Button> quitButton;
    bool enabled = false;
};
