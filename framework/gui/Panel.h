#pragma once

#include <string>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"

class PropertyNode;
class PropertyVector;

// The container widget: a sprite whose components hang, in insertion order, under one unnamed
// node linked as the panel's last child, so they are drawn and moved with the panel and their
// positions are relative to it. Dialogs and scenes derive from it; a plain panel groups widgets
// inside them. Components are found again by node name.
class Panel : public Sprite {
    QUOVEL_TYPE(Panel)
public:
    Panel();
    // The sprite keys, then "components": a vector of definitions, each built by the object
    // factory from its type word and added with addChild.
    explicit Panel(PropertyNode* definition);
    ~Panel() override;
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // Builds each entry of `list` through the object factory and adds it to `panel` (through the
    // virtual addChild), named after its entry unless its "name" key names it. An entry whose type
    // word names no registered class, or that makes no node, is skipped.
    static void createComponents(PropertyVector* list, Panel* panel);

    // The first component, depth first in component order, whose name is `name`: a component is
    // found by its own name even when marked removed, but the subtree of a removed one, and of
    // anything that is not a panel, is not searched. Null when there is none.
    virtual GameNode* searchChild(const std::string& name);
    // searchChild for a component the panel's definition must have: a miss is reported as
    // missing content.
    GameNode* findChild(const std::string& name);
    // Moves the child (out of any other parent) to the end of the components; its removed flag
    // is cleared.
    virtual void addChild(GameNode* child);
    // Marks the child removed; the frame's purge pass unlinks it.
    virtual void removeChild(GameNode* child);
    // Gives every sprite below the components the panel's clip rectangle, unchanged; nothing
    // without a clip rectangle.
    virtual void clipChildren();

    GameNode* getComponents() const { return components.get(); }

private:
    RefHolder<GameNode> components;
};
