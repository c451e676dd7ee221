#include "framework/core/GameNode.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "framework/core/Modifier.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(GameNode, &BaseObject::typeRecord)
QUOVEL_REGISTER_CLASS(GameNode)

namespace {

// The object the factory makes from the entry's type word, as a T; anything else it makes is
// dropped at once.
template <class T>
RefHolder<T> createAs(AbstractProperty* entry) {
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->createObject(nodeOrDummy(entry)));
    return RefHolder<T>(objectCast<T>(made.get()));
}

void tickChildren(GameNode* parent, int32_t elapsedMs) {
    // Each child is held while it runs, so that a node its own update releases stays valid
    // until the walk has left it; its successor is held from before the update on, for when
    // the update takes the child out of this parent.
    RefHolder<GameNode> child(parent->getFirstChild());
    while (child) {
        RefHolder<GameNode> next(child->getNextSibling());
        // A skipped child runs nothing, so its links stand as they were read.
        if (!child->isRemoved() && !child->isSuspended()) {
            GameNode::tick(child.get(), elapsedMs);
            // Most nodes are leaves: no call for them.
            if (child->getFirstChild()) {
                tickChildren(child.get(), elapsedMs);
            }
            if (child->getParent() == parent) {
                // Taken again only when the updates changed it, sparing the reference churn.
                if (GameNode* after = child->getNextSibling(); after != next.get()) {
                    next = after;
                }
            } else if (next && next->getParent() != parent) {
                // Both the child and its old successor left this parent: the chain is lost.
                break;
            }
        }
        child = std::move(next);
    }
}

void purgeChildren(GameNode* parent) {
    RefHolder<GameNode> child(parent->getFirstChild());
    while (child) {
        RefHolder<GameNode> next(child->getNextSibling());
        purgeChildren(child.get());
        if (child->isRemoved() && child->getParent() == parent) {
            GameNode::detach(child.get());
            child->release();  // the tree's reference, which detach handed over
        }
        child = std::move(next);
    }
}

void walkFrom(GameNode* node, GameNode::WalkCallback callback, void* context) {
    callback(node, context);
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        walkFrom(child, callback, context);
    }
}

}  // namespace

GameNode::GameNode(std::string name) : name(std::move(name)) {}

GameNode::GameNode(const GameNode& other) : BaseObject(other), x(other.getX()), y(other.getY()) {}

GameNode::GameNode(PropertyNode* definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* value = node->getChild("name")) {
        name = value->getValue();
    }
    if (AbstractProperty* value = node->getChild("tag")) {
        tag = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("x")) {
        x = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("y")) {
        y = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("suspended")) {
        suspended = value->getBool();
    }
    if (AbstractProperty* value = node->getChild("visible")) {
        visible = value->getBool();
    }
    if (AbstractProperty* value = node->getChild("children")) {
        PropertyVector* children = vectorOrDummy(value);
        for (int32_t index = 0; index < children->getChildCount(); ++index) {
            if (RefHolder<GameNode> child = createAs<GameNode>(children->getChildAt(index))) {
                appendChild(child.get(), this);
            }
        }
    }
    if (AbstractProperty* value = node->getChild("modifiers")) {
        PropertyVector* modifiers = vectorOrDummy(value);
        for (int32_t index = 0; index < modifiers->getChildCount(); ++index) {
            if (RefHolder<Modifier> modifier = createAs<Modifier>(modifiers->getChildAt(index))) {
                addModifier(this, modifier.get(), true);
            }
        }
    }
}

GameNode::~GameNode() {
    unlink();
    releaseChildren(this);
    removeAllModifiers(this);
    removeRegisteredModifiers(this);
}

int32_t GameNode::getX() const {
    return x;
}

void GameNode::setX(int32_t value) {
    if (value != x) {
        x = value;
        PictureChanges::mark();
    }
}

int32_t GameNode::getY() const {
    return y;
}

void GameNode::setY(int32_t value) {
    if (value != y) {
        y = value;
        PictureChanges::mark();
    }
}

void GameNode::setPosition(int32_t newX, int32_t newY) {
    setX(newX);
    setY(newY);
}

int32_t GameNode::getTag() const {
    return tag;
}

void GameNode::setTag(int32_t value) {
    tag = value;
}

void GameNode::setRemoved(bool value) {
    if (value != removed) {
        removed = value;
        PictureChanges::mark();
    }
}

void GameNode::setVisible(bool value) {
    if (value != visible) {
        visible = value;
        PictureChanges::mark();
    }
}

void GameNode::update(int32_t) {}

GameNode* GameNode::getLastChild() const {
    GameNode* last = firstChild;
    while (last && last->nextSibling) {
        last = last->nextSibling;
    }
    return last;
}

int32_t GameNode::getParentsX() const {
    int32_t sum = 0;
    for (const GameNode* node = parent; node; node = node->parent) {
        sum += node->getX();
    }
    return sum;
}

int32_t GameNode::getParentsY() const {
    int32_t sum = 0;
    for (const GameNode* node = parent; node; node = node->parent) {
        sum += node->getY();
    }
    return sum;
}

int32_t GameNode::getAbsoluteX() const {
    return getX() + getParentsX();
}

int32_t GameNode::getAbsoluteY() const {
    return getY() + getParentsY();
}

GameNode* GameNode::getPreviousSibling() const {
    for (GameNode* before = parent ? parent->firstChild : nullptr; before;
         before = before->nextSibling) {
        if (before->nextSibling == this) {
            return before;
        }
    }
    return nullptr;
}

void GameNode::relinkInParent(GameNode* replacement) {
    if (parent->firstChild == this) {
        parent->firstChild = replacement;
    } else if (GameNode* before = getPreviousSibling()) {
        before->nextSibling = replacement;
    }
}

void GameNode::unlink() {
    if (!parent) {
        return;
    }
    relinkInParent(nextSibling);
    parent = nullptr;
    nextSibling = nullptr;
    PictureChanges::mark();
}

bool GameNode::isWithin(const GameNode* node) const {
    for (const GameNode* ancestor = this; ancestor; ancestor = ancestor->parent) {
        if (ancestor == node) {
            return true;
        }
    }
    return false;
}

void GameNode::appendChild(GameNode* node, GameNode* parent) {
    if (!node || !parent || parent->isWithin(node)) {
        return;
    }
    detach(node);
    node->parent = parent;
    PictureChanges::mark();
    if (GameNode* last = parent->getLastChild()) {
        last->nextSibling = node;
    } else {
        parent->firstChild = node;
    }
    node->setRemoved(false);
}

void GameNode::insertBefore(GameNode* node, GameNode* sibling) {
    if (!node || !sibling || node == sibling || !sibling->parent || node->nextSibling == sibling ||
        sibling->parent->isWithin(node)) {
        return;
    }
    detach(node);
    GameNode* newParent = sibling->parent;
    node->parent = newParent;
    node->nextSibling = sibling;
    PictureChanges::mark();
    node->setRemoved(false);
    sibling->relinkInParent(node);
}

void GameNode::detach(GameNode* node) {
    if (!node) {
        return;
    }
    node->setRemoved(false);
    if (!node->parent) {
        node->addRef();
        return;
    }
    node->unlink();
}

void GameNode::releaseChain(GameNode* node) {
    if (!node) {
        return;
    }
    // Cut the chain before the node, so the parent keeps no link to what is released.
    if (node->parent) {
        node->relinkInParent(nullptr);
        PictureChanges::mark();
    }
    std::vector<GameNode*> chain;
    for (GameNode* each = node; each; each = each->nextSibling) {
        chain.push_back(each);
    }
    for (auto each = chain.rbegin(); each != chain.rend(); ++each) {
        (*each)->nextSibling = nullptr;
        (*each)->parent = nullptr;
        (*each)->release();
    }
}

void GameNode::releaseChildren(GameNode* node) {
    if (!node) {
        return;
    }
    releaseChain(node->firstChild);
    node->firstChild = nullptr;
}

void GameNode::walk(GameNode* root, WalkCallback callback, void* context) {
    if (!root || !callback) {
        return;
    }
    walkFrom(root, callback, context ? context : root);
}

Modifier* GameNode::addModifier(GameNode* node, Modifier* modifier, bool append) {
    if (!node || !modifier) {
        return modifier;
    }
    modifier->setInTree(false);
    std::vector<RefHolder<Modifier>>& list = node->running;
    if (std::find(list.begin(), list.end(), modifier) != list.end()) {
        return modifier;
    }
    list.insert(append ? list.end() : list.begin(), RefHolder<Modifier>(modifier));
    modifier->setTarget(node);
    return modifier;
}

void GameNode::removeAllModifiers(GameNode* node) {
    if (!node) {
        return;
    }
    // The list is empty before any modifier is freed, whatever their destructors do.
    std::vector<RefHolder<Modifier>> dropped;
    dropped.swap(node->running);
}

bool GameNode::registerModifier(GameNode* node, Modifier* modifier) {
    if (!node || !modifier) {
        return false;
    }
    std::vector<Modifier*>& list = node->registered;
    if (std::find(list.begin(), list.end(), modifier) != list.end()) {
        return false;
    }
    list.push_back(modifier);
    return true;
}

bool GameNode::unregisterModifier(GameNode* node, Modifier* modifier) {
    if (!node) {
        return false;
    }
    std::vector<Modifier*>& list = node->registered;
    const auto found = std::find(list.begin(), list.end(), modifier);
    if (found == list.end()) {
        return false;
    }
    list.erase(found);
    return true;
}

void GameNode::killModifiersUpTo(GameNode* node, Modifier* modifier) {
    if (!node) {
        return;
    }
    std::vector<Modifier*>& list = node->registered;
    for (size_t index = 0; index < list.size(); ++index) {
        list[index]->setRemoved(true);
        if (list[index] == modifier) {
            const auto end = list.begin() + static_cast<std::ptrdiff_t>(index) + 1;
            // Unlisted modifiers keep no pointer to the node: it may be freed before the purge
            // frees them.
            for (auto each = list.begin(); each != end; ++each) {
                (*each)->target = nullptr;
            }
            list.erase(list.begin(), end);
            return;
        }
    }
}

void GameNode::removeRegisteredModifiers(GameNode* node) {
    if (!node) {
        return;
    }
    std::vector<Modifier*> list;
    list.swap(node->registered);
    for (Modifier* modifier : list) {
        modifier->target = nullptr;
        Modifier::removeKeepChildren(modifier);
    }
}

void GameNode::tick(GameNode* node, int32_t elapsedMs) {
    if (!node) {
        return;
    }
    node->update(elapsedMs);
    // Most nodes of a still screen run no modifier: they pay for no walk.
    if (!node->running.empty()) {
        runModifiers(node, elapsedMs);
    }
}

void GameNode::runModifiers(GameNode* node, int32_t elapsedMs) {
    std::vector<RefHolder<Modifier>>& list = node->running;
    const uint64_t stamp = Modifier::newWalkStamp();
    size_t index = 0;
    while (index < list.size()) {
        // Held while it runs: its update may take it out of the list.
        RefHolder<Modifier> current = list[index];
        if (current->walkStamp == stamp) {
            // Already run in this tick (the walk restarted after the list changed).
            if (!current->isFinished() && current->hasFlag(Modifier::FLAG_BLOCKING)) {
                break;
            }
            ++index;
            continue;
        }
        current->walkStamp = stamp;
        current->update(elapsedMs);
        // The update may have added or removed running modifiers: find this one again.
        const auto found = std::find(list.begin(), list.end(), current);
        if (found == list.end()) {
            index = 0;
            continue;
        }
        if (!current->isFinished()) {
            if (current->hasFlag(Modifier::FLAG_BLOCKING)) {
                break;
            }
            index = static_cast<size_t>(found - list.begin()) + 1;
            continue;
        }
        const auto first = current->hasFlag(Modifier::FLAG_KILL_EARLIER) ? list.begin() : found;
        index = static_cast<size_t>(first - list.begin());
        // Freed only once the list is consistent again; `current` holds the finished one, so
        // a modifier finishing alone needs no list of its own.
        std::vector<RefHolder<Modifier>> dropped;
        if (first != found) {
            dropped.assign(std::make_move_iterator(first), std::make_move_iterator(found));
        }
        list.erase(first, found + 1);
        if (current->hasFlag(Modifier::FLAG_REMOVE_TARGET)) {
            node->setRemoved(true);
        }
    }
}

void GameNode::tickTree(GameNode* root, int32_t elapsedMs) {
    if (!root) {
        return;
    }
    tick(root, elapsedMs);
    tickChildren(root, elapsedMs);
}

void GameNode::purgeTree(GameNode* root) {
    if (root) {
        purgeChildren(root);
    }
}
