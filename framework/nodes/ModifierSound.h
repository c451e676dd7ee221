#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Modifier.h"
#include "framework/core/RefHolder.h"

class Sound;

// Plays a sound once, at full volume and centre pan, and lasts as long as the sound (or ends at
// once with no-wait). Without a sound of its own it plays its target's when the target is a
// sound node (at the node's volume and pan), else it finishes at once. Without sound output the
// length is 0, so it ends in its first update.
class ModifierSound : public Modifier {
    QUOVEL_TYPE(ModifierSound)
public:
    // The sound resource `resourceName` of the section `section`, when it has loaded.
    ModifierSound(const std::string& resourceName, const std::string& section, bool noWait);
    // The sound is referenced; null is allowed.
    explicit ModifierSound(Sound* sound, bool noWait = false);

    void update(int32_t elapsedMs) override;

    Sound* getSound() const { return sound.get(); }

private:
    RefHolder<Sound> sound;
    bool noWait;
    bool started = false;
    int64_t remaining = 0;
};
