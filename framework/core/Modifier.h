#pragma once

#include <cstdint>
#include <string>

#include "framework/core/BaseObject.h"

class GameNode;

// A time-driven change applied to a target node (a move, a fade, a pause, a call back into the
// game). A modifier runs either in a node's running list (GameNode::addModifier, where blocking
// modifiers make the list a queue of steps) or in an animation tree rooted in an AnimTree,
// where siblings run side by side and a modifier's children start in the frame it finishes.
//
// The tree holds one reference per linked modifier. Removal is deferred: a modifier marked
// removed is skipped by runTree with its subtree and released by the next purge.
class Modifier : public BaseObject {
    QUOVEL_TYPE(Modifier)
public:
    // Flag bits; they say what happens once the modifier has finished.
    enum Flag : uint32_t {
        // Running list: the modifiers behind it wait until it has finished.
        FLAG_BLOCKING = 1,
        // The target is marked for removal.
        FLAG_REMOVE_TARGET = 2,
        // Running list: it and every modifier before it are dropped. Animation tree: the
        // target's registered modifiers up to it are killed (GameNode::killModifiersUpTo).
        FLAG_KILL_EARLIER = 4,
        // Animation tree: destroying the modifier marks its target for removal.
        FLAG_REMOVE_TARGET_ON_DESTROY = 16,
    };

    Modifier();
    Modifier(const Modifier&) = delete;
    Modifier& operator=(const Modifier&) = delete;
    // A modifier of an animation tree leaves its tree and its target and releases its children.
    ~Modifier() override;

    // The per-frame step; calls finish when the change is complete.
    virtual void update(int32_t elapsedMs) = 0;
    virtual void setTarget(GameNode* node);
    // The only way to the finished state.
    virtual void finish();

    GameNode* getTarget() const { return target; }
    uint32_t getFlags() const { return flags; }
    void setFlags(uint32_t value) { flags = value; }
    bool hasFlag(uint32_t flag) const { return (flags & flag) != 0; }
    bool isFinished() const { return finished; }
    bool isRemoved() const { return removed; }
    void setRemoved(bool value) { removed = value; }
    bool isInTree() const { return inTree; }
    void setInTree(bool value) { inTree = value; }
    const std::string& getName() const { return name; }
    void setName(std::string value) { name = std::move(value); }

    Modifier* getContainer() const { return container; }
    Modifier* getNextSibling() const { return nextSibling; }
    Modifier* getFirstChild() const { return firstChild; }
    Modifier* getLastChild() const;

    // Takes the modifier out of its container (its target forgets it and is cleared) and sets
    // its in-tree flag; afterwards the caller holds exactly one reference that no tree owns (a
    // modifier without a container gets one added).
    static void detach(Modifier* modifier);
    // Replaces the modifier in its container's chain by its children, unregisters it from its
    // target and releases it. Returns what a walk visits next: its former first child, else its
    // former next sibling. A modifier without a container is left in place (null is returned).
    static Modifier* removeKeepChildren(Modifier* modifier);
    // Advances the tree below and including `root`: every modifier that is neither removed nor
    // finished is updated, and the children of a finished modifier run in the same frame.
    // Updates may add, detach or release modifiers of the tree; each modifier is updated at most
    // once per call.
    static void runTree(Modifier* root, int32_t elapsedMs);
    // Drops what has ended below `root`: a finished modifier hands its place to its children
    // (applying its flags 2 and 4 first), a removed one is taken out with its subtree.
    // Containers leave only when removed; the root itself stays.
    static void purge(Modifier* root);

protected:
    // For modifiers that stay on their node after reaching an end (they count again later).
    void clearFinished() { finished = false; }

private:
    friend class GameNode;
    friend class ModifierContainer;

    // Links `child` as the last child; the tree takes over the reference the caller holds.
    void linkLastChild(Modifier* child);

    // Puts `replacement` where this modifier stands in its container's chain (the container
    // must exist).
    void relinkInContainer(Modifier* replacement);
    // Unlinks from the container's chain, clearing the container and next-sibling links.
    void unlinkFromContainer();
    // Forgets the target's registration of this modifier and clears the target.
    void leaveTarget();
    // True when this modifier is `modifier` or lies in its subtree.
    bool isWithin(const Modifier* modifier) const;
    static uint64_t newWalkStamp();
    static void purgeWithin(Modifier* modifier, bool isRoot);

    GameNode* target = nullptr;
    uint32_t flags = 0;
    bool finished = false;
    bool removed = false;
    Modifier* container = nullptr;
    Modifier* nextSibling = nullptr;
    Modifier* firstChild = nullptr;
    std::string name;
    bool inTree = false;
    // The walk (tick or runTree) that last updated the modifier; keeps a walk that restarts
    // after its list or tree changed from updating anything twice.
    uint64_t walkStamp = 0;
};

// Marks the modifier blocking (what follows it in a running list waits for it) and hands it back.
inline Modifier* blocking(Modifier* modifier) {
    modifier->setFlags(modifier->getFlags() | Modifier::FLAG_BLOCKING);
    return modifier;
}
