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
    int32_t getChildCount() const {
        settleList();
        return static_cast<int32_t>(children.size());
    }
    // Element of the ordered list, or null when `index` is out of range.
    AbstractProperty* getChildAt(int32_t index) const;

    // Appends the child (holding a reference) and returns it; nothing is stored on the null
    // objects.
    virtual AbstractProperty* addChild(AbstractProperty* child);
    // Adds an unnamed "Boolean" value "true" or "false"; returns it (null on the null objects).
    virtual PropertyValue* addBool(bool value);

    void applySetupWithin(SetupWalk& walk) override;

protected:
    PropertyVector(Kind kind, std::string typeWord, std::string name);

    // A node drops a child from the middle of its list by leaving an empty slot (releasing the
    // child at once); the slots are closed up when the list is next read.
    void settleList() const {
        if (listStale) {
            relist();
        }
    }
    virtual void relist() const {}

    mutable std::vector<RefHolder<AbstractProperty>> children;
    mutable bool listStale = false;
};

#define DUMMY_VECTOR (::PropertyVector::dummy())
