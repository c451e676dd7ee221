#include "framework/gui/DialogHooks.h"

namespace DialogHooks {

namespace {
ToolTipListenerFunction toolTipListenerHook = nullptr;
RemoveDialogFunction removeDialogHook = nullptr;
}  // namespace

void install(ToolTipListenerFunction toolTipListener, RemoveDialogFunction removeDialog) {
    toolTipListenerHook = toolTipListener;
    removeDialogHook = removeDialog;
}

iInputListener* toolTipListener() {
    return toolTipListenerHook ? toolTipListenerHook() : nullptr;
}

void removeDialog(Dialog* dialog) {
    if (removeDialogHook) {
        removeDialogHook(dialog);
    }
}

}  // namespace DialogHooks
