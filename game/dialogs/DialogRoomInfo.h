#pragma once

#include <string>

#include "framework/gui/Label.h"
#include "game/dialogs/DialogInfoPop.h"

// The one-line box over the trophy cabinet naming the hovered window's room and its result.
class DialogRoomInfo : public DialogInfoPop {
    QUOVEL_TYPE(DialogRoomInfo)
public:
    explicit DialogRoomInfo(PropertyNode* definition);
    ~DialogRoomInfo() override;

    // The text, and a box 25 pixels wider than it.
    void setText(const std::wstring& text);

    Label* getTextLabel() const { return textLabel; }

private:
    Label* textLabel = nullptr;
};
