#pragma once

#include <string>

#include "framework/core/Interface.h"

// A widget that shows a text (labels); reached through castTo, so code that only sets a text
// (the loading text of a transition) need not know the widget's class.
class iText : public Interface {
    QUOVEL_INTERFACE_TYPE(iText)
public:
    virtual const std::wstring& getText() const = 0;
    virtual void setText(const std::wstring& text) = 0;
};
