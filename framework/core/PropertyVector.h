#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/AbstractProperty.h"
#include "framework/core/RefHolder.h"

// An ordered list of properties (type word "Vector"): every element is kept, whatever its
// name, so lists whose elements share names or have none are written as vectors.
class PropertyVector : public AbstractProperty {
    QUOVEL_TYPE(PropertyVector)
public:
    explicit PropertyVector(std::string name);

    // The run-long null vector "DUMMY_VECTOR": empty, never changed, never deleted.
    static PropertyVector* dummy();

    // Length of the ordered list.
    int32_t getChildCount() const { return static_cast<int32_t>(children.size()); }
    // Element of the ordered list, or null when `index` is out of range.
    AbstractProperty* getChildAt(int32_t index) const;

    // Appends the child (holding a reference) and returns it; nothing is stored on the null
    // objects.
    virtual AbstractProperty* addChild(AbstractProperty* child);
    // Adds an unnamed "Boolean" value "true" or "false"; returns it (null on the null objects).
    virtual PropertyValue* addBool(bool value);

    void applySetupWithin(SetupPath& path) override;

protected:
    PropertyVector(Kind kind, std::string typeWord, std::string name);

    std::vector<RefHolder<AbstractProperty>> children;
};

#define DUMMY_VECTOR (::PropertyVector::dummy())
