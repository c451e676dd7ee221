#pragma once

class Dialog;
class iInputListener;

// How a dialog reaches the scene layer above it: two plain functions that the scene manager
// installs while it exists. Without them a dialog feeds no tool tip and its removal does nothing.
namespace DialogHooks {

// The listener that shows tool tips, or null.
using ToolTipListenerFunction = iInputListener* (*)();
// Closes `dialog` and drops it from the current scene when that scene shows it.
using RemoveDialogFunction = void (*)(Dialog* dialog);

// Installs both hooks; null removes one.
void install(ToolTipListenerFunction toolTipListener, RemoveDialogFunction removeDialog);

// Null while no hook is installed or no tool tip is set.
iInputListener* toolTipListener();
void removeDialog(Dialog* dialog);

}  // namespace DialogHooks
