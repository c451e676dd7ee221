#include "framework/platform/AbstractPlayer.h"

#include <utility>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(AbstractPlayer, &BaseObject::typeRecord)

AbstractPlayer::AbstractPlayer(std::string name) : name(std::move(name)) {}

AbstractPlayer::AbstractPlayer(PropertyNode* node)
    : name(nodeOrDummy(node)->getChildValue("name")->getValue()) {}

void AbstractPlayer::writeProperties(AbstractProperty* target) {
    PropertyNode* node = nodeOrDummy(target);
    if (!node->isDummy()) {  // the null node would not take (nor free) the value
        node->addChild(new PropertyValue("name", name, true));
    }
}

void AbstractPlayer::save(PropertyNode*) {}

bool AbstractPlayer::load(PropertyNode*) {
    return true;
}

void AbstractPlayer::clearSavedGame() {}
