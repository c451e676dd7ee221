#pragma once

#include <cstdint>
#include <list>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>

#include "framework/core/PropertyVector.h"

// Children of a node by name, one per name, iterated in insertion order (a re-added name moves
// to the end), so that trees written back to files come out in a stable order.
class PropertyNameTable {
public:
    using Entry = std::pair<const std::string, RefHolder<AbstractProperty>>;
    using const_iterator = std::list<Entry>::const_iterator;

    PropertyNameTable() = default;
    PropertyNameTable(const PropertyNameTable&) = delete;
    PropertyNameTable& operator=(const PropertyNameTable&) = delete;

    AbstractProperty* find(const std::string& name) const;
    // Stores `child` under `name` at the end of the order, replacing an entry of that name.
    void insert(const std::string& name, AbstractProperty* child);
    // Removes the entry (releasing its child); false when there is none.
    bool erase(const std::string& name);

    size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }

private:
    std::list<Entry> entries;
    std::unordered_map<std::string, std::list<Entry>::iterator> index;
};

// A property with named children: the ordered list (inherited from PropertyVector) holds every
// typed child in insertion order, and the name table holds every child, one per name. An
// untyped value (an XML attribute) is found by name only and does not count in the list.
//
// The node shares the vector's list and operations, but its type record's parent is
// AbstractProperty: a node is not isA PropertyVector.
class PropertyNode : public PropertyVector {
    QUOVEL_TYPE(PropertyNode)
public:
    explicit PropertyNode(std::string name, std::string typeWord = std::string());

    // The run-long null node "DUMMY_NODE": empty, never changed, never deleted.
    static PropertyNode* dummy();

    // The child of that name, or null.
    AbstractProperty* getChild(const std::string& name) const;
    // The child of that name as the wanted kind, or the matching null object.
    PropertyValue* getChildValue(const std::string& name) const;
    PropertyNode* getChildNode(const std::string& name) const;
    PropertyVector* getChildVector(const std::string& name) const;
    const PropertyNameTable& getNameTable() const { return nameTable; }
    // Whether a child is kept in the ordered list as well as by name: untyped values
    // (attributes) are held by name only.
    static bool isListed(const AbstractProperty& child);

    // Stores the child under its name, replacing (and unlisting) a child of that name; a typed
    // child goes to the end of the ordered list. Returns the child; nothing is stored on
    // DUMMY_NODE.
    AbstractProperty* addChild(AbstractProperty* child) override;
    using PropertyVector::addBool;
    // Adds a "Boolean" value (untyped with `untyped`) under `name`; returns it.
    virtual PropertyValue* addBool(const std::string& name, bool value, bool untyped);
    // Removes the child of that name from the name table and the ordered list, in constant
    // time.
    void removeChild(const std::string& name);

    // Index of the first word equal to the text of the child named `key`; `defaultIndex` when
    // the child is absent or no word matches.
    int32_t getChoice(const std::string& key, std::span<const char* const> words,
                      int32_t defaultIndex) const;

    // Hands every child, in name-table order, to the object factory by its type word; each
    // object made is referenced and released at once (kept only if someone else took it).
    // Children whose type word has no registration are skipped.
    void createChildObjects();

    // A child "setup" names a node of BasicProperties' node table; every child of that setup
    // whose name this node lacks is added here, shared, and the "setup" entry is dropped. Then
    // the same runs on every child. A setup child that contains this node is not added (it
    // would make the tree hold itself), and no node is walked twice in one walk.
    void applySetupWithin(SetupWalk& walk) override;

private:
    // Closes the empty slots of the ordered list.
    void relist() const override;

    // Slot in `children` of every listed child.
    mutable std::unordered_map<const AbstractProperty*, size_t> listedAt;

    PropertyNameTable nameTable;
};

#define DUMMY_NODE (::PropertyNode::dummy())
