#include "framework/core/ModifierSound.h"

#include "framework/core/ResourceLookup.h"
#include "framework/platform/Sound.h"

QUOVEL_DEFINE_TYPE(ModifierSound, &Modifier::typeRecord)

ModifierSound::ModifierSound(const std::string& resourceName, const std::string& section,
                             bool noWait)
    : ModifierSound(objectCast<Sound>(findLoadedResource(resourceName, section)), noWait) {}

ModifierSound::ModifierSound(Sound* sound, bool noWait) : sound(sound), noWait(noWait) {}

void ModifierSound::update(int32_t elapsedMs) {
    if (!started) {
        started = true;
        if (!sound) {
            // A target's own sound (a sound node) would play here; no node plays sounds yet.
            finish();
            return;
        }
        sound->play(255, 128, false);
        remaining = sound->getLength();
        if (noWait) {
            finish();
            return;
        }
    }
    remaining -= elapsedMs;
    if (remaining <= 0) {
        finish();
    }
}
