#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"

class Button;
class Sprite;

// The manual ("DIALOG_HELP"): four page pictures of the section "manual", one at a time, with
// back and next buttons and OK to close. Each opening is a new dialog on page one.
class DialogHelp : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogHelp)
public:
    static constexpr int32_t PAGE_COUNT = 4;

    explicit DialogHelp(PropertyNode* definition);
    ~DialogHelp() override;

    int32_t previousPage(BaseObject* sender);
    int32_t nextPage(BaseObject* sender);
    // The picture "HELP_PAGE" page + 1 on the page sprite (none when it is missing); next is
    // enabled before the last page, back after the first.
    void showPage();

    int32_t getPage() const { return page; }
    Sprite* getPageSprite() const { return pageSprite; }
    Button* getPreviousButton() const { return previousButton; }
    Button* getNextButton() const { return nextButton; }

private:
    // Widgets of the definition, held by its tree.
    Sprite* pageSprite = nullptr;
    Button* previousButton = nullptr;
    Button* nextButton = nullptr;
    Button* okButton = nullptr;
    int32_t page = 0;
};
