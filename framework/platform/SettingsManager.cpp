#include "framework/platform/SettingsManager.h"

#include <vector>

#include "framework/core/FileSourceMode.h"
#include "framework/core/ProcessInstance.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/os/KeyStore.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/RegistryValue.h"

QUOVEL_DEFINE_TYPE(SettingsManager, &BaseObject::typeRecord)

namespace {

constinit ProcessInstance<SettingsManager> processManager;

// The node name the settings always travelled under (sic).
constexpr const char* SETTINGS_NODE_NAME = "GameSettngs";
// Names and texts that did not fit the store's enumeration buffers were never read.
constexpr size_t ENUMERATION_BUFFER_BYTES = 260;

void readFlag(const PropertyNode* node, const char* key, bool& flag) {
    if (const AbstractProperty* child = node->getChild(key)) {
        flag = child->getBool();
    }
}

}  // namespace

SettingsManager::SettingsManager(IGameSettings* settings)
    : settings(settings), registryPath(withRegistrySeparators(getGameRegistryPath())) {}

SettingsManager::~SettingsManager() = default;

void SettingsManager::createInstance(IGameSettings* settings) {
    if (processManager.get()) {
        delete settings;
        return;
    }
    processManager.create([settings] { return new SettingsManager(settings); })->loadFromRegistry();
}

void SettingsManager::releaseInstance() {
    processManager.release();
}

SettingsManager* SettingsManager::instance() {
    return processManager.get();
}

void SettingsManager::saveToRegistry() {
    if (settingsHeld) {
        return;
    }
    RefHolder<PropertyNode> node(new PropertyNode(SETTINGS_NODE_NAME));
    if (settings) {
        settings->writeSettings(node.get());
    }
    KeyStore& store = KeyStore::currentUser();
    bool written = true;
    for (const auto& [name, child] : node->getNameTable()) {
        const std::string& typeWord = child->getTypeWord();
        if (typeWord == "String") {
            written = store.writeString(registryPath, name, child->getValue()) && written;
        } else if (typeWord == "Boolean") {
            written = store.writeDword(registryPath, name, child->getBool() ? 1 : 0) && written;
        } else {
            written =
                store.writeDword(registryPath, name, static_cast<uint32_t>(child->getInt())) &&
                written;
        }
    }
    savedListener(written);
}

std::string SettingsManager::getSettingsFolder() const {
    return KeyStore::currentUser().keyFolder(registryPath);
}

void SettingsManager::loadFromRegistry() {
    RefHolder<PropertyNode> node(new PropertyNode(SETTINGS_NODE_NAME));
    std::vector<KeyValue> values;
    // A damaged settings file reads as no values: it is kept before the defaults replace it.
    bool otherVersion = false;
    const std::string damaged =
        KeyStore::currentUser().damagedValuesFile(registryPath, &otherVersion);
    if (!damaged.empty()) {
        settingsHeld = !setAsideUnloadableFile(FileSource::LOOSE_FILES, damaged,
                                               {StoredFileKind::SETTINGS, {}, otherVersion});
    }
    if (KeyStore::currentUser().readValues(registryPath, values)) {
        for (const KeyValue& value : values) {
            if (value.name.size() >= ENUMERATION_BUFFER_BYTES) {
                continue;
            }
            if (value.type == KeyValueType::STRING) {
                if (value.text.size() >= ENUMERATION_BUFFER_BYTES) {
                    continue;
                }
                node->addChild(new PropertyValue(value.name, value.text, true));
            } else if (value.type == KeyValueType::DWORD) {
                node->addChild(
                    new PropertyValue(value.name, static_cast<int32_t>(value.dword), true));
            }
            // Any other kind of value is not a setting.
        }
    }
    readSettings(node.get());
    // A run that did not end properly starts the next one in a window.
    if (!shutdowncorrect && settings) {
        settings->setFullscreen(false);
    }
}

void SettingsManager::writeSettings(AbstractProperty* target) {
    if (settings) {
        settings->writeSettings(target);
    }
    if (!target || !target->isNode() || target->isDummy()) {
        return;
    }
    auto* node = static_cast<PropertyNode*>(target);
    node->addBool("dontuseregistry", dontuseregistry, true);
    node->addBool("shutdowncorrect", shutdowncorrect, true);
    node->addBool("fatalerror", fatalerror, true);
}

void SettingsManager::readSettings(AbstractProperty* source) {
    if (settings) {
        settings->readSettings(source);
    }
    if (!source || !source->isNode()) {
        return;
    }
    const auto* node = static_cast<const PropertyNode*>(source);
    readFlag(node, "dontuseregistry", dontuseregistry);
    readFlag(node, "shutdowncorrect", shutdowncorrect);
    readFlag(node, "fatalerror", fatalerror);
}
