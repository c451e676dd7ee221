#pragma once

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"

class ModifierLabelValue;
class PropertyNode;

// A counting number of the game screen (the score ticker): a label child and a counter that
// never finishes; its owner only sets new target values.
class LabelTicker : public GameNode {
    QUOVEL_TYPE(LabelTicker)
public:
    explicit LabelTicker(PropertyNode* definition);
    ~LabelTicker() override;

    ModifierLabelValue* getCounter() const { return counter.get(); }

private:
    RefHolder<ModifierLabelValue> counter;
};
