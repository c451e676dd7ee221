#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "framework/scene/Scene.h"

class Graphics;
class Image;

// The first scene of every run: the maker's animated logo (a round badge whose layers are wiped
// in through their masks, a burst of light, the word mark and its two sounds), then a curtain
// in the scene's color covers the screen, the numbered splash pictures ("splash/splash0",
// "splash/splash1"...) fade in, stay and fade out one after another, and once none is left and
// the resource section "preloading" is loaded the scene leaves for the loading scene through
// TRANSITION_SPLASH. Timings and whether the logo plays come from the optional
// "splash/branding.xml". A quit request closes the window at once (no question here).
class SceneSplash : public Scene {
    QUOVEL_TYPE(SceneSplash)
public:
    static constexpr const char* BRANDING_FILE = "splash/branding.xml";
    static constexpr const char* PICTURE_PREFIX = "splash/splash";

    explicit SceneSplash(PropertyNode* definition);
    ~SceneSplash() override;

    // Builds the scene on its first show, reads the branding file and starts the logo, or the
    // pictures when the logo is off.
    void loadResources() override;
    // The scene's color under everything: nothing else covers the screen while the logo plays.
    void render(Graphics* graphics) override;
    // Per frame: leaves once no picture runs and "preloading" is loaded.
    void update(int32_t elapsedMs) override;

    // Steps run by function modifiers with the scene as target.
    int32_t fadeToBlack(BaseObject* sender);
    int32_t showPicture(BaseObject* sender);
    int32_t playSplashSound(BaseObject* sender);
    int32_t playLogoSound(BaseObject* sender);

    bool isLogoDone() const { return logoDone; }
    bool isReadyToLeave() const { return readyToLeave; }
    int32_t getDisplayTime() const { return displayTime; }
    int32_t getFadeTime() const { return fadeTime; }
    int32_t getPictureIndex() const { return pictureIndex; }
    Sprite* getCurtain() const { return curtain.get(); }

    // The picture "splash/splash<index>": the JPEG file when it exists, else the PNG file;
    // null when neither can be read.
    static Image* loadPicture(int32_t index);

private:
    // True when the logo is to be played.
    bool readBranding();
    // The logo's layers under the component layer and the chain of steps that plays them.
    void startLogo();

    bool logoDone = false;
    bool readyToLeave = false;
    int32_t displayTime = 1700;
    int32_t fadeTime = 500;
    int32_t pictureIndex = 0;
    RefHolder<Sprite> curtain;
};
