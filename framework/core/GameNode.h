#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"

class Modifier;
class PropertyNode;

// A named object on a screen with a position relative to its parent, linked into the node tree
// that a scene owns. Every sprite, widget, dialog and sound node is one. A node runs its own
// modifiers each frame (`tick`) and knows the animation-tree modifiers that target it.
//
// Ownership: a parent holds one reference to each child. Removal during a frame is deferred:
// mark the node with setRemoved(true) and the purge pass unlinks and releases it.
//
// The operations that take the nodes they work on as arguments (appendChild (node, parent),
// tick (node, ms) ...) are static, so that a call reads in the order of its arguments.
class GameNode : public BaseObject {
    QUOVEL_TYPE(GameNode)
public:
    // Called as callback(node, context) by walk.
    using WalkCallback = void (*)(GameNode* node, void* context);

    explicit GameNode(std::string name = std::string());
    // A new, unlinked node at the other's position (read through its getX and getY), with an
    // empty name; nothing else is copied.
    GameNode(const GameNode& other);
    GameNode& operator=(const GameNode&) = delete;
    // Reads "name", "tag", "x", "y", "suspended", "visible", "children" and "modifiers" from the
    // definition, each only when present. Entries of "children" and "modifiers" are built by the
    // object factory from their type word; an entry that names no registered class, or whose
    // object is not a node (respectively a modifier), is skipped.
    explicit GameNode(PropertyNode* definition);
    // Unlinks the node, releases its children and running modifiers, and takes the animation
    // modifiers that target it out of their trees.
    ~GameNode() override;

    virtual int32_t getX() const;
    virtual void setX(int32_t value);
    virtual int32_t getY() const;
    virtual void setY(int32_t value);
    // setX then setY, through the virtual operations.
    virtual void setPosition(int32_t newX, int32_t newY);
    virtual int32_t getTag() const;
    virtual void setTag(int32_t value);
    virtual void setRemoved(bool value);
    virtual void setVisible(bool value);
    // The node's own per-frame work; nothing here.
    virtual void update(int32_t elapsedMs);

    bool isRemoved() const { return removed; }
    bool isVisible() const { return visible; }
    bool isSuspended() const { return suspended; }
    void setSuspended(bool value) { suspended = value; }
    const std::string& getName() const { return name; }
    void setName(std::string value) { name = std::move(value); }

    GameNode* getParent() const { return parent; }
    GameNode* getNextSibling() const { return nextSibling; }
    GameNode* getFirstChild() const { return firstChild; }
    GameNode* getLastChild() const;

    // Sum of the ancestors' getX (getY); 0 for a root.
    int32_t getParentsX() const;
    int32_t getParentsY() const;
    // Own position plus the ancestors'.
    int32_t getAbsoluteX() const;
    int32_t getAbsoluteY() const;

    // The modifiers the node runs itself, in running order (the list holds a reference to each).
    const std::vector<RefHolder<Modifier>>& getRunningModifiers() const { return running; }
    // The animation-tree modifiers that target the node (not owned).
    const std::vector<Modifier*>& getRegisteredModifiers() const { return registered; }

    // Tree operations. None releases a reference the caller did not hand in: the tree owns one
    // reference per linked node, and detach hands it to the caller. A request that would link
    // a node below itself (a cycle) or into no tree does nothing.

    // Makes the node the parent's last child (detaching it first) and clears its removed flag.
    static void appendChild(GameNode* node, GameNode* parent);
    // Links the node just before `sibling`, under the sibling's parent. Nothing happens when it
    // already stands there (its removed flag is then left alone) or the sibling has no parent.
    static void insertBefore(GameNode* node, GameNode* sibling);
    // Takes the node out of its parent's chain and clears its removed flag; afterwards the caller
    // holds exactly one reference that no tree owns (a parentless node gets one added).
    static void detach(GameNode* node);
    // Releases the node and every sibling after it, the last first, clearing their links; the
    // chain is cut before the node, so nothing keeps pointing at the released nodes.
    static void releaseChain(GameNode* node);
    // Releases every child of the node.
    static void releaseChildren(GameNode* node);
    // Calls callback on the root and its subtree in pre-order (never on the root's siblings),
    // with `context`, or with the root when the context is null.
    static void walk(GameNode* root, WalkCallback callback, void* context);

    // Running and registered modifiers.

    // Puts the modifier in the running list (at the end when `append`, else at the front) unless
    // it is already there, sets its target to the node and takes a reference. Its in-tree flag is
    // cleared. Returns the modifier.
    static Modifier* addModifier(GameNode* node, Modifier* modifier, bool append = true);
    // Releases every running modifier.
    static void removeAllModifiers(GameNode* node);
    // Records an animation-tree modifier that targets the node; false when already recorded.
    static bool registerModifier(GameNode* node, Modifier* modifier);
    // Forgets a registered modifier; false when it was not registered.
    static bool unregisterModifier(GameNode* node, Modifier* modifier);
    // Marks every registered modifier up to and including `modifier` removed and takes them out
    // of the list (their target is cleared, as they no longer belong to the node). When the
    // modifier is not registered, every registered modifier is marked removed and stays listed.
    static void killModifiersUpTo(GameNode* node, Modifier* modifier);
    // Takes every registered modifier out of its animation tree, its children moving into its
    // place, and empties the list.
    static void removeRegisteredModifiers(GameNode* node);

    // Frame passes.

    // One node's step: update, then the running modifiers in order. A finished modifier is
    // dropped (flag 2 marks the node removed; flag 4 drops every modifier before it too); an
    // unfinished blocking one (flag 1) holds back those behind it. Modifiers may add or remove
    // running modifiers of the node from their update; each is updated at most once per tick.
    static void tick(GameNode* node, int32_t elapsedMs);
    // The move pass over a node tree: tick the root, then every child that is neither removed
    // nor suspended, depth first in child order (a skipped node's subtree is skipped too).
    static void tickTree(GameNode* root, int32_t elapsedMs);
    // The purge pass: below the root, children first, every node marked removed is unlinked,
    // its removed flag cleared, and released.
    static void purgeTree(GameNode* root);

private:
    // The modifier walk of tick, apart so that a node without running modifiers does not pay
    // for the walk's set-up.
    static void runModifiers(GameNode* node, int32_t elapsedMs);
    // Unlinks from the parent's chain and clears the parent and next-sibling links.
    void unlink();
    // The child of the same parent linked just before this one, or null.
    GameNode* getPreviousSibling() const;
    // Puts `replacement` where this node stands in its parent's chain (the parent must exist).
    void relinkInParent(GameNode* replacement);
    // True when this node is `node` or lies in its subtree.
    bool isWithin(const GameNode* node) const;

    GameNode* parent = nullptr;
    GameNode* nextSibling = nullptr;
    GameNode* firstChild = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    int32_t tag = 0;
    bool removed = false;
    bool suspended = false;
    bool visible = true;
    std::vector<RefHolder<Modifier>> running;
    std::vector<Modifier*> registered;
    std::string name;
};

// Shows or hides a node that may be missing (a definition may leave it out).
inline void setShownIfAny(GameNode* node, bool shown) {
    if (node) {
        node->setVisible(shown);
    }
}
