#pragma once

#include <cstdint>

#include "framework/core/BaseObject.h"

class AbstractProperty;

// The six user settings that the settings manager loads from and saves to the settings store.
// Owned by one holder and deleted by it: its reference count is never used.
class IGameSettings : public BaseObject {
    QUOVEL_TYPE(IGameSettings)
public:
    IGameSettings() = default;
    IGameSettings(bool fullscreen, bool fullscreenwarning, bool usehardware, bool usehints,
                  int32_t soundvolume, int32_t musicvolume);
    ~IGameSettings() override;

    // Adds the four flags as "Boolean" values and the two volumes as "Integer" values to a
    // node; nothing is added when `target` is not a node.
    virtual void writeSettings(AbstractProperty* target);
    // Takes each of the six keys the node holds, read as an integer (a flag is set when the
    // low byte is not 0); absent keys, and a target that is not a node, change nothing.
    virtual void readSettings(AbstractProperty* source);
    // The six values of `other`, through its getters.
    virtual void copyFrom(IGameSettings* other);

    virtual bool getFullscreen() const { return fullscreen; }
    virtual bool getFullscreenWarning() const { return fullscreenwarning; }
    virtual bool getUseHardware() const { return usehardware; }
    virtual bool getUseHints() const { return usehints; }
    virtual int32_t getSoundVolume() const { return soundvolume; }
    virtual int32_t getMusicVolume() const { return musicvolume; }

    // Each stores its argument and returns it.
    virtual bool setFullscreen(bool value) { return fullscreen = value; }
    virtual bool setFullscreenWarning(bool value) { return fullscreenwarning = value; }
    virtual bool setUseHardware(bool value) { return usehardware = value; }
    virtual bool setUseHints(bool value) { return usehints = value; }
    virtual int32_t setSoundVolume(int32_t value) { return soundvolume = value; }
    virtual int32_t setMusicVolume(int32_t value) { return musicvolume = value; }

private:
    bool fullscreen = false;
    bool fullscreenwarning = false;
    bool usehardware = false;
    bool usehints = false;
    int32_t soundvolume = 0;  // 0 to 255, as the sound service takes it
    int32_t musicvolume = 0;
};
