#include "game/rules/GameSound.h"

#include "framework/platform/ResourceManager.h"
#include "framework/platform/Sound.h"

void playGameSound(const std::string& name) {
    playSectionSound(name, "game");
}

void playSectionSound(const std::string& name, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    if (manager == nullptr) {
        return;
    }
    // The loader thread may free a section meanwhile: look up and play under the data lock.
    ResourceManager::DataLock lock;
    Sound* sound = objectCast<Sound>(manager->getResourceHandle(name, section));
    if (sound != nullptr) {
        sound->play(255, 128, false);
    }
}
