#include "framework/platform/IGameSettings.h"

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(IGameSettings, &BaseObject::typeRecord)

namespace {

// The integer reading of the child `key`, when the node holds one.
bool readInteger(const PropertyNode* node, const char* key, int32_t& value) {
    const AbstractProperty* child = node->getChild(key);
    if (!child) {
        return false;
    }
    value = child->getInt();
    return true;
}

// Stored flags are numbers; only their low byte counts, as the settings were always read.
bool flagOf(int32_t value) {
    return (value & 0xFF) != 0;
}

}  // namespace

IGameSettings::IGameSettings(bool fullscreen, bool fullscreenwarning, bool usehardware,
                             bool usehints, int32_t soundvolume, int32_t musicvolume)
    : fullscreen(fullscreen),
      fullscreenwarning(fullscreenwarning),
      usehardware(usehardware),
      usehints(usehints),
      soundvolume(soundvolume),
      musicvolume(musicvolume) {}

IGameSettings::~IGameSettings() = default;

void IGameSettings::writeSettings(AbstractProperty* target) {
    // The null node would receive them without effect; new values given to it would leak.
    if (!target || !target->isNode() || target->isDummy()) {
        return;
    }
    auto* node = static_cast<PropertyNode*>(target);
    node->addBool("fullscreen", getFullscreen(), false);
    node->addBool("fullscreenwarning", getFullscreenWarning(), false);
    node->addBool("usehardware", getUseHardware(), false);
    node->addBool("usehints", getUseHints(), false);
    node->addChild(new PropertyValue("soundvolume", getSoundVolume()));
    node->addChild(new PropertyValue("musicvolume", getMusicVolume()));
}

void IGameSettings::readSettings(AbstractProperty* source) {
    if (!source || !source->isNode()) {
        return;
    }
    const auto* node = static_cast<const PropertyNode*>(source);
    int32_t value = 0;
    if (readInteger(node, "fullscreen", value)) {
        setFullscreen(flagOf(value));
    }
    if (readInteger(node, "fullscreenwarning", value)) {
        setFullscreenWarning(flagOf(value));
    }
    if (readInteger(node, "usehardware", value)) {
        setUseHardware(flagOf(value));
    }
    if (readInteger(node, "usehints", value)) {
        setUseHints(flagOf(value));
    }
    if (readInteger(node, "soundvolume", value)) {
        setSoundVolume(value);
    }
    if (readInteger(node, "musicvolume", value)) {
        setMusicVolume(value);
    }
}

void IGameSettings::copyFrom(IGameSettings* other) {
    if (!other) {
        return;
    }
    setFullscreen(other->getFullscreen());
    setFullscreenWarning(other->getFullscreenWarning());
    setUseHardware(other->getUseHardware());
    setUseHints(other->getUseHints());
    setSoundVolume(other->getSoundVolume());
    setMusicVolume(other->getMusicVolume());
}
