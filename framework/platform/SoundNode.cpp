#include "framework/platform/SoundNode.h"

#include <algorithm>
#include <memory>

#include "framework/core/DefinitionKeys.h"
#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/ScreenSize.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundManager.h"

QUOVEL_DEFINE_TYPE(SoundNode, &GameNode::typeRecord)
QUOVEL_REGISTER_CLASS(SoundNode)

SoundNode::SoundNode(PropertyNode* definition) : GameNode(definition) {
    init(definition);
}

SoundNode::SoundNode(Sound* sound)
    : sound(sound),
      volume(sound ? roundToInt32(static_cast<double>(sound->getVolumeMultiplier()) * 255.0)
                   : 255) {}

SoundNode::~SoundNode() {
    if (channel >= 0) {
        if (std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer()) {
            mixer->stopChannel(channel);
        }
    }
}

void SoundNode::init(PropertyNode* definition) {
    const std::string soundKey = textKeyOr(definition, "sound", std::string());
    const std::string section = textKeyOr(definition, "section", std::string());
    looped = boolKeyOr(definition, "looped", looped);
    volume = intKeyOr(definition, "volume", volume);
    pan = intKeyOr(definition, "panning", pan);
    screenPositionPanning = boolKeyOr(definition, "screenpospanning", screenPositionPanning);
    panMinX = intKeyOr(definition, "panminx", panMinX);
    panMaxX = intKeyOr(definition, "panmaxx", panMaxX);
    lowestPan = intKeyOr(definition, "panminvalue", lowestPan);
    highestPan = intKeyOr(definition, "panmaxvalue", highestPan);
    forcedRestart = boolKeyOr(definition, "forcedrestart", forcedRestart);
    forcedStop = boolKeyOr(definition, "forcedstop", forcedStop);
    maxUsers = intKeyOr(definition, "maxusers", maxUsers);
    minStartInterval = intKeyOr(definition, "minstartinterval", minStartInterval);
    ResourceManager* manager = ResourceManager::getInstance();
    if (manager && definition && definition->getChild("sound") && definition->getChild("section")) {
        sound = manager->findTyped<Sound>(soundKey, section, true);
    }
}

int32_t SoundNode::play(bool forced, int32_t playVolume, int32_t playPan, bool loop) {
    if (!sound) {
        return -1;
    }
    forced = forced || forcedRestart;
    loop = loop || looped;
    if (!forced && users >= maxUsers) {
        const int64_t sinceStart = int64_t{getLength()} - remainingTime;
        if (loop || sinceStart < minStartInterval) {
            ++users;
            return channel;
        }
    }
    channel = sound->play(playVolume, playPan, loop);
    looped = loop;
    playing = true;
    remainingTime = static_cast<int32_t>(std::min<uint32_t>(getLength(), INT32_MAX));
    ++users;
    return channel;
}

bool SoundNode::stop(bool forced) {
    if (!sound) {
        return false;
    }
    forced = forced || forcedStop;
    if (users >= 1) {
        users = forced ? 0 : users - 1;
    } else if (!forced) {
        return false;
    } else {
        users = 0;
    }
    if (users > 0) {
        return false;
    }
    std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer();
    const bool stopped = mixer && channel >= 0 && mixer->stopChannel(channel);
    channel = -1;
    playing = false;
    return stopped;
}

int32_t SoundNode::computePan() const {
    const GameWindow* window = GameWindow::getInstance();
    // Without a window, the game picture's width.
    const int32_t width = window && window->getWidth() > 0 ? window->getWidth() : SCREEN_WIDTH;
    // Places beyond the edges pan fully to that side (a byte would wrap them to the other).
    return std::clamp(roundToInt32(static_cast<double>(getAbsoluteX()) / width * 255.0), 0, 255);
}

void SoundNode::applyPan(int32_t newPan) {
    pan = std::clamp(newPan, lowestPan, std::max(lowestPan, highestPan));
    if (channel >= 0) {
        if (std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer()) {
            mixer->setPan(channel, pan);
        }
    }
}

void SoundNode::update(int32_t elapsedMs) {
    if (!sound) {
        return;
    }
    remainingTime = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{remainingTime} - elapsedMs, INT32_MIN, INT32_MAX));
    if (remainingTime < 1 && users > 0 && !looped) {
        stop(false);
    }
    if (screenPositionPanning) {
        applyPan(computePan());
    }
}

uint32_t SoundNode::getLength() {
    return sound ? sound->getLength() : 0;
}
