#pragma once

class Scene;

// The frame buttons drawn over the current scene in full screen, as scenes and transitions
// reach them: the full-screen handler installs itself here when it is made. Without one,
// nothing is attached and no frame input changes.
class FullScreenFrame {
public:
    virtual ~FullScreenFrame() = default;

    // Puts the frame on top of the scene's dialog layer (null: the current scene).
    virtual void attachToScene(Scene* scene) = 0;
    virtual void setFrameInputActive(bool active) = 0;

    // The installed frame, or null.
    static FullScreenFrame* get();
    static void install(FullScreenFrame* frame);
};
