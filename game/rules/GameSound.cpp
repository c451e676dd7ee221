#include "game/rules/GameSound.h"

#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Sound.h"

void playGameSound(const std::string& name) {
    playSectionSound(name, "game");
}

void playSectionSound(const std::string& name, const std::string& section) {
    if (RefHolder<Sound> sound = findLoaded<Sound>(name, section)) {
        sound->play(255, 128, false);
    }
}
