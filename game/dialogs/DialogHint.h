#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Button;
class GameNode;
class Label;
class PropertyVector;
class Sprite;

// The tutorial hint: a framed popup of one or more pages of text that explains a situation of
// play the first time it arises, with an arrow in the corner facing what it is about and an OK
// button that turns the pages; the button takes effect only once the page has been shown for
// HINT_ENTER_FROM_OPEN ms. The flower and season hints show four of their tiles between two
// texts. While it is open the game holds, as under every game dialog. At most one is open: the
// one `showHint` made last, until the game scene learns that it closed.
class DialogHint : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogHint)
public:
    // Corner grid positions of the frame.
    enum Corner : int32_t { TOP_LEFT = 0, TOP_RIGHT = 2, BOTTOM_LEFT = 6, BOTTOM_RIGHT = 8 };
    static constexpr int32_t FIRST_HINT = 15;
    // How far the dialog overlaps its target's far edge.
    static constexpr int32_t ARROW_OVERLAP = 20;

    explicit DialogHint(PropertyNode* definition);
    ~DialogHint() override;

    // Shows hint `hintId` to the current player when the hints are on, and clears its flag: the
    // arrow points at `rect`, else at the target's screen rectangle; with neither the dialog is
    // centred without arrow. The dialog, or null when nothing showed.
    static DialogHint* showHint(const Rect* rect, int32_t hintId, GameNode* target);
    // The hint dialog that is open, or null.
    static DialogHint* getOpen();
    // Forgets the open hint dialog.
    static void clearOpen();

    // The base's show, then the hint's own sound.
    void show() override;
    void update(int32_t elapsedMs) override;

    // Takes the pages of the hint from the definition's "descs".
    void setText(int32_t id);
    // Sizes the dialog for its tallest page and shows the current one.
    void layout();
    void setPage(int32_t page);
    void showPage();
    void placeMiddle(int32_t height, bool useMiddle);
    // Puts the dialog beside the rectangle with the arrow in the corner facing it; null centres
    // it without changing the corner.
    void placeArrow(const Rect* rect);
    void clampToScreen();
    // The corner facing a rectangle: its centre against the middle of the screen, the middle
    // lines counting as left and top.
    static int32_t cornerFor(const Rect& rect);
    static const char* cornerName(int32_t corner);

    // The OK button: the close sound, then the next page or the closing animation, once the
    // page has been shown long enough.
    int32_t onOk(BaseObject* sender);

    int32_t getHintId() const { return hintId; }
    int32_t getOpenTime() const { return openTime; }
    int32_t getPageCount() const { return pageCount; }
    Label* getTextLabel() const { return textLabel.get(); }
    Label* getSecondLabel() const { return secondLabel.get(); }
    Button* getOkButton() const { return okButton.get(); }
    const std::vector<RefHolder<Sprite>>& getTileSprites() const { return tileSprites; }

private:
    // The screen rectangle of a node: its and its ancestors' positions less its anchor.
    static Rect screenRect(GameNode* node);
    void placeTiles();
    void removeTiles();

    int32_t hintId = -1;
    int32_t openTime = 0;
    int32_t pageIndex = 0;
    RefHolder<PropertyVector> pages;
    int32_t pageCount = 0;
    RefHolder<Label> textLabel;
    RefHolder<Label> secondLabel;
    RefHolder<Button> okButton;
    int32_t definedHeight = 0;
    int32_t middleHeight = 0;
    int32_t buttonYOffset = 0;
    // The tile pictures of the flower and season pages, replaced on each showing of a page.
    std::vector<RefHolder<Sprite>> tileSprites;
};
