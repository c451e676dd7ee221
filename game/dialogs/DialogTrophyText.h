#pragma once

#include <string>

#include "framework/gui/Label.h"
#include "game/dialogs/DialogInfoPop.h"

// The trophy cabinet's text box for a hovered trophy: its header over its description, the
// box keeping its bottom edge and growing upward with the texts.
class DialogTrophyText : public DialogInfoPop {
    QUOVEL_TYPE(DialogTrophyText)
public:
    explicit DialogTrophyText(PropertyNode* definition);
    ~DialogTrophyText() override;

    void setTexts(const std::wstring& header, const std::wstring& body);
    void appear() { popIn(); }
    void disappear() { popOut(); }

    Label* getHeaderLabel() const { return headerLabel; }
    Label* getTextLabel() const { return textLabel; }

private:
    Label* headerLabel = nullptr;
    Label* textLabel = nullptr;
    int32_t baseHeight = 0;
    int32_t baseWidth = 0;
    int32_t baseY = 0;
    int32_t textBaseY = 0;
};

// Lays a label's text out at widths 50, 100, 150 ... until it takes at most two lines or the
// width 750 has been tried.
void widenToTwoLines(Label* label, int32_t firstWidth = 50);
