#pragma once

#include "framework/core/Hook.h"

class Dialog;
class iInputListener;

// How a dialog reaches the scene layer above it: the scene manager installs both while it
// exists. Without them a dialog feeds no tool tip and its removal does nothing.
namespace DialogHooks {

// The listener that shows tool tips, or null.
inline Hook<iInputListener*()> toolTipListener;
// Closes `dialog` and drops it from the current scene when that scene shows it.
inline Hook<void(Dialog* dialog)> removeDialog;

}  // namespace DialogHooks
