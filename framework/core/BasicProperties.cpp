#include "framework/core/BasicProperties.h"

#include <utility>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/ProcessInstance.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"

QUOVEL_DEFINE_TYPE(BasicProperties, &BaseObject::typeRecord)

QUOVEL_REGISTER_FUNCTION(Integer, &BasicProperties::storeInteger)
QUOVEL_REGISTER_FUNCTION(Double, &BasicProperties::storeDouble)
QUOVEL_REGISTER_FUNCTION(Float, &BasicProperties::storeFloat)
QUOVEL_REGISTER_FUNCTION(Boolean, &BasicProperties::storeBoolean)
QUOVEL_REGISTER_FUNCTION(String, &BasicProperties::storeString)
QUOVEL_REGISTER_FUNCTION(Text, &BasicProperties::storeText)
QUOVEL_REGISTER_FUNCTION(Node, &BasicProperties::storeNode)
QUOVEL_REGISTER_FUNCTION(Vector, &BasicProperties::storeVector)

namespace {

constinit ProcessInstance<BasicProperties> processGlobals;

// The singleton, made if a handler runs before start-up made it.
BasicProperties& globals() {
    BasicProperties::createInstance();
    return *processGlobals.get();
}

// A cached global name: looked up while it is empty and the singleton exists, then kept.
const std::string& cachedString(std::string& cache, const char* key) {
    if (cache.empty() && processGlobals.get()) {
        cache = processGlobals.get()->getString(key);
    }
    return cache;
}

}  // namespace

void BasicProperties::createInstance() {
    processGlobals.create([] { return new BasicProperties(); });
}

void BasicProperties::releaseInstance() {
    processGlobals.release();
}

BasicProperties* BasicProperties::instance() {
    return processGlobals.get();
}

int32_t BasicProperties::getInteger(const std::string& name) {
    return integers[name];
}

double BasicProperties::getDouble(const std::string& name) {
    return doubles[name];
}

float BasicProperties::getFloat(const std::string& name) {
    return floats[name];
}

bool BasicProperties::getBoolean(const std::string& name) {
    return booleans[name];
}

const std::string& BasicProperties::getString(const std::string& name) {
    return strings[name];
}

const std::wstring& BasicProperties::getText(const std::string& name) {
    return texts[name];
}

bool BasicProperties::hasText(const std::string& name) const {
    return texts.find(name) != texts.end();
}

bool BasicProperties::hasInteger(const std::string& name) const {
    return integers.find(name) != integers.end();
}

bool BasicProperties::hasFloat(const std::string& name) const {
    return floats.find(name) != floats.end();
}

PropertyNode* BasicProperties::getNode(const std::string& name) {
    return nodes[name].get();
}

PropertyVector* BasicProperties::getVector(const std::string& name) {
    return vectors[name].get();
}

void BasicProperties::setInteger(const std::string& name, int32_t value) {
    integers[name] = value;
}

void BasicProperties::setDouble(const std::string& name, double value) {
    doubles[name] = value;
}

void BasicProperties::setFloat(const std::string& name, float value) {
    floats[name] = value;
}

void BasicProperties::setBoolean(const std::string& name, bool value) {
    booleans[name] = value;
}

void BasicProperties::setString(const std::string& name, std::string value) {
    strings[name] = std::move(value);
}

void BasicProperties::setText(const std::string& name, std::wstring value) {
    texts[name] = std::move(value);
}

void BasicProperties::setNode(const std::string& name, PropertyNode* node) {
    nodes[name] = node;
}

void BasicProperties::setVector(const std::string& name, PropertyVector* vector) {
    vectors[name] = vector;
}

// A null property has no name to store under: the handlers then store nothing.

BaseObject* BasicProperties::storeInteger(AbstractProperty* property) {
    if (property) {
        globals().setInteger(property->getName(), property->getInt());
    }
    return nullptr;
}

BaseObject* BasicProperties::storeDouble(AbstractProperty* property) {
    if (property) {
        globals().setDouble(property->getName(), property->getDouble());
    }
    return nullptr;
}

BaseObject* BasicProperties::storeFloat(AbstractProperty* property) {
    if (property) {
        globals().setFloat(property->getName(), property->getFloat());
    }
    return nullptr;
}

BaseObject* BasicProperties::storeBoolean(AbstractProperty* property) {
    if (property) {
        globals().setBoolean(property->getName(), property->getBool());
    }
    return nullptr;
}

BaseObject* BasicProperties::storeString(AbstractProperty* property) {
    if (property) {
        globals().setString(property->getName(), property->getValue());
    }
    return nullptr;
}

BaseObject* BasicProperties::storeText(AbstractProperty* property) {
    if (property) {
        globals().setText(property->getName(), property->getText());
    }
    return nullptr;
}

BaseObject* BasicProperties::storeNode(AbstractProperty* property) {
    if (property) {
        globals().setNode(property->getName(), nodeOrDummy(property));
    }
    return nullptr;
}

BaseObject* BasicProperties::storeVector(AbstractProperty* property) {
    if (property) {
        globals().setVector(property->getName(), vectorOrDummy(property));
    }
    return nullptr;
}

const std::string& BasicProperties::getGameId() {
    static std::string gameId;  // made on first use, like every cached static here
    return cachedString(gameId, "GAME_ID");
}

const std::string& BasicProperties::getGameName() {
    static std::string gameName;
    return cachedString(gameName, "GAME_NAME");
}

std::wstring getBasicText(const std::string& key) {
    BasicProperties* globals = BasicProperties::instance();
    if (!globals) {
        return std::wstring();
    }
    if (!globals->hasText(key)) {
        reportMissingContent("text", key);
        return std::wstring();
    }
    const std::wstring& text = globals->getText(key);
    return text == L"_" ? std::wstring(L" ") : text;
}
