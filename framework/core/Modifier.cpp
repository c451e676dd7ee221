#include "framework/core/Modifier.h"

#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/RefHolder.h"

QUOVEL_DEFINE_TYPE(Modifier, &BaseObject::typeRecord)

namespace {

constinit uint64_t lastWalkStamp = 0;

// The container a walk is in when `path` holds the containers below the root.
Modifier* containerOf(Modifier* root, const std::vector<RefHolder<Modifier>>& path) {
    return path.empty() ? root : path.back().get();
}

// True while every link the walk followed from the root down to `current` is still in place.
bool pathIntact(Modifier* root, const std::vector<RefHolder<Modifier>>& path, Modifier* current) {
    Modifier* expected = root;
    for (const RefHolder<Modifier>& step : path) {
        if (step->getContainer() != expected) {
            return false;
        }
        expected = step.get();
    }
    return current == root || current->getContainer() == expected;
}

// The modifier after `current` in the walk, climbing through the containers when it has no
// next sibling; null when the walk would leave the root. The path must be intact.
Modifier* nextInWalk(Modifier* root, std::vector<RefHolder<Modifier>>& path, Modifier* current) {
    while (current != root) {
        if (Modifier* next = current->getNextSibling()) {
            return next;
        }
        // Still linked under its own container, which keeps it alive once the walk lets go.
        current = containerOf(root, path);
        if (!path.empty()) {
            path.pop_back();
        }
    }
    return nullptr;
}

// Where a walk goes on after an update rearranged the tree around it: the first child of the
// deepest container still linked as the walk found it. Modifiers already updated are skipped.
Modifier* resumeWalk(Modifier* root, std::vector<RefHolder<Modifier>>& path) {
    Modifier* expected = root;
    size_t intact = 0;
    while (intact < path.size() && path[intact]->getContainer() == expected) {
        expected = path[intact].get();
        ++intact;
    }
    path.resize(intact);
    if (Modifier* first = expected->getFirstChild()) {
        return first;
    }
    if (expected == root) {
        return nullptr;
    }
    path.pop_back();
    return nextInWalk(root, path, expected);
}

}  // namespace

Modifier::Modifier() = default;

Modifier::~Modifier() {
    if (inTree) {
        if (target && hasFlag(FLAG_REMOVE_TARGET_ON_DESTROY)) {
            target->setRemoved(true);
        }
        unlinkFromContainer();
        leaveTarget();
    }
    std::vector<Modifier*> children;
    for (Modifier* child = firstChild; child; child = child->nextSibling) {
        children.push_back(child);
    }
    firstChild = nullptr;
    // All are cut loose before any goes: a child's release can free a node that a sibling
    // targets, whose removal must then find that sibling outside this container.
    for (Modifier* child : children) {
        child->container = nullptr;
        child->nextSibling = nullptr;
    }
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        (*child)->release();
    }
}

void Modifier::setTarget(GameNode* node) {
    target = node;
}

void Modifier::finish() {
    finished = true;
}

Modifier* Modifier::getLastChild() const {
    Modifier* last = firstChild;
    while (last && last->nextSibling) {
        last = last->nextSibling;
    }
    return last;
}

void Modifier::relinkInContainer(Modifier* replacement) {
    if (container->firstChild == this) {
        container->firstChild = replacement;
        return;
    }
    for (Modifier* before = container->firstChild; before; before = before->nextSibling) {
        if (before->nextSibling == this) {
            before->nextSibling = replacement;
            return;
        }
    }
}

void Modifier::unlinkFromContainer() {
    if (!container) {
        return;
    }
    relinkInContainer(nextSibling);
    container = nullptr;
    nextSibling = nullptr;
}

void Modifier::leaveTarget() {
    if (target) {
        GameNode::unregisterModifier(target, this);
        target = nullptr;
    }
}

void Modifier::linkLastChild(Modifier* child) {
    child->container = this;
    child->nextSibling = nullptr;
    if (Modifier* last = getLastChild()) {
        last->nextSibling = child;
    } else {
        firstChild = child;
    }
}

bool Modifier::isWithin(const Modifier* modifier) const {
    for (const Modifier* ancestor = this; ancestor; ancestor = ancestor->container) {
        if (ancestor == modifier) {
            return true;
        }
    }
    return false;
}

uint64_t Modifier::newWalkStamp() {
    return ++lastWalkStamp;
}

void Modifier::detach(Modifier* modifier) {
    if (!modifier) {
        return;
    }
    modifier->inTree = true;
    if (!modifier->container) {
        modifier->addRef();
        return;
    }
    modifier->unlinkFromContainer();
    modifier->leaveTarget();
}

Modifier* Modifier::removeKeepChildren(Modifier* modifier) {
    if (!modifier || !modifier->container) {
        return nullptr;
    }
    Modifier* owner = modifier->container;
    Modifier* first = modifier->firstChild;
    Modifier* next = modifier->nextSibling;
    Modifier* last = nullptr;
    for (Modifier* child = first; child; child = child->nextSibling) {
        child->container = owner;
        last = child;
    }
    if (last) {
        last->nextSibling = next;
    }
    Modifier* replacement = first ? first : next;
    modifier->relinkInContainer(replacement);
    modifier->container = nullptr;
    modifier->nextSibling = nullptr;
    modifier->firstChild = nullptr;
    modifier->leaveTarget();
    modifier->release();
    return replacement;
}

void Modifier::runTree(Modifier* root, int32_t elapsedMs) {
    if (!root) {
        return;
    }
    const uint64_t stamp = newWalkStamp();
    // The containers below the root that the walk has descended into, held so that an update
    // that releases one cannot free it under the walk.
    std::vector<RefHolder<Modifier>> path;
    Modifier* current = root;
    while (current) {
        RefHolder<Modifier> held(current == root ? nullptr : current);
        if (!current->removed && !current->finished && current->walkStamp != stamp) {
            current->walkStamp = stamp;
            current->update(elapsedMs);
            if (!pathIntact(root, path, current)) {
                current = resumeWalk(root, path);
                continue;
            }
        }
        if (!current->removed && current->finished && current->firstChild) {
            // Its children start in the frame in which it finished.
            if (current != root) {
                path.push_back(held);
            }
            current = current->firstChild;
            continue;
        }
        current = nextInWalk(root, path, current);
    }
}

void Modifier::purgeWithin(Modifier* modifier, bool isRoot) {
    RefHolder<Modifier> child(modifier->getFirstChild());
    while (child) {
        RefHolder<Modifier> next(child->getNextSibling());
        purgeWithin(child.get(), false);
        child = std::move(next);
    }
    if (isRoot || !modifier->getContainer()) {
        return;
    }
    if (!modifier->isA(&ModifierContainer::typeRecord) && !modifier->isRemoved() &&
        modifier->isFinished()) {
        if (GameNode* target = modifier->getTarget()) {
            if (modifier->hasFlag(FLAG_REMOVE_TARGET)) {
                target->setRemoved(true);
            }
            if (modifier->hasFlag(FLAG_KILL_EARLIER)) {
                GameNode::killModifiersUpTo(target, modifier);
            }
        }
        removeKeepChildren(modifier);
    } else if (modifier->isRemoved()) {
        // Unlinked before the tree's reference goes: a modifier that someone else still holds
        // must not stay in the chain without the reference the tree counts on.
        modifier->unlinkFromContainer();
        modifier->release();
    }
}

void Modifier::purge(Modifier* root) {
    if (root) {
        purgeWithin(root, true);
    }
}
