#include "framework/nodes/ModifierSound.h"

#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundNode.h"

QUOVEL_DEFINE_TYPE(ModifierSound, &Modifier::typeRecord)

ModifierSound::ModifierSound(const std::string& resourceName, const std::string& section,
                             bool noWait)
    : noWait(noWait) {
    sound = findLoaded<Sound>(resourceName, section);
}

ModifierSound::ModifierSound(Sound* sound, bool noWait) : sound(sound), noWait(noWait) {}

void ModifierSound::update(int32_t elapsedMs) {
    if (!started) {
        started = true;
        if (sound) {
            sound->play(255, 128, false);
            remaining = sound->getLength();
        } else if (SoundNode* node = objectCast<SoundNode>(getTarget())) {
            node->play(false, node->getVolume(), node->getPan(), false);
            remaining = node->getLength();
        } else {
            finish();
            return;
        }
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
