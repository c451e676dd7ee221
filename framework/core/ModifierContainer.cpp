#include "framework/core/ModifierContainer.h"

#include "framework/core/GameNode.h"

QUOVEL_DEFINE_TYPE(ModifierContainer, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(AnimTree, &ModifierContainer::typeRecord)

ModifierContainer::ModifierContainer() {
    finish();
}

void ModifierContainer::update(int32_t) {}

Modifier* ModifierContainer::addModifier(Modifier* container, Modifier* modifier) {
    if (!container || !modifier || container->isWithin(modifier)) {
        return modifier;
    }
    detach(modifier);
    container->linkLastChild(modifier);
    if (GameNode* target = modifier->getTarget()) {
        GameNode::registerModifier(target, modifier);
    }
    return modifier;
}

AnimTree::AnimTree() {
    // A root counts as placed in its tree: destroying it releases the whole tree.
    setInTree(true);
    setName("AnimationTree");
}
