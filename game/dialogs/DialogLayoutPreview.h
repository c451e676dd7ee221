#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/Level.h"
#include "game/visuals/LayoutPreview.h"

class QuovelMahjongPlayer;

// The rec room's chooser of layouts for one game type: pages of six (three columns, two rows)
// built from the definition's "page_panel" and "button_panel" templates, each entry a button
// with a miniature of the layout and the player's best time, plays and wins. Pages beyond the
// second open with the player's progress; a locked page shows locks, grey miniatures and
// disabled buttons. The previous and next buttons slide the pages sideways, with the room's
// and the dialog's input off while they move. Choosing a layout starts it on the game screen.
class DialogLayoutPreview : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogLayoutPreview)
public:
    static constexpr int32_t PAGE_SIZE = 6;
    static constexpr int32_t COLUMNS = 3;
    static constexpr int32_t ROWS = 2;
    // The room kind a chosen level is played in.

    explicit DialogLayoutPreview(PropertyNode* definition);
    ~DialogLayoutPreview() override;

    // The base's show, then the page buttons.
    void show() override;
    // Keeps the sliding pages clipped to the window they pass through.
    void update(int32_t elapsedMs) override;
    // Previous enabled exactly past the first page, next exactly while layouts follow the page.
    void updatePageButtons();
    // Moves the page start by direction (-1, 0, +1) pages and puts that page on screen: at once
    // for 0, otherwise sliding in beside the old page, input off until it stands.
    void showPage(int32_t direction);
    // A new page panel for the six layouts from `start`.
    RefHolder<Panel> buildPage(int32_t start);

    // Whether page p (from 0) is open to the player: pages 0 and 1 always, page 2 with entry 13,
    // 15 or 18 unlocked, page 3 with 15 or 18, later pages with 18.
    static bool isPageUnlocked(const QuovelMahjongPlayer* player, int32_t page);

    int32_t onPrevious(BaseObject* sender);
    int32_t onNext(BaseObject* sender);
    // A layout button: the level of its tag becomes the current game's, on the game screen.
    int32_t startLayout(BaseObject* sender);

    void setGameType(GameType value) { gameType = value; }
    GameType getGameType() const { return gameType; }
    void setLayouts(const std::vector<RefHolder<Level>>& value) { layouts = value; }
    const std::vector<RefHolder<Level>>& getLayouts() const { return layouts; }
    void setPageStart(int32_t value) { pageStart = value; }
    int32_t getPageStart() const { return pageStart; }
    Label* getHeader() const { return header.get(); }
    Button* getNextButton() const { return nextButton.get(); }
    Button* getPreviousButton() const { return previousButton.get(); }
    Panel* getPagePanel() const { return pagePanel.get(); }
    // The layout button of slot column + 3 x row on the page on screen, or null.
    Button* getSlotButton(int32_t slot) const;

private:
    int32_t reactivateInput(BaseObject* sender);
    RefHolder<GameNode> makeFromTemplate(const char* name) const;
    // Where the pages stand, widened by the panel padding left and right, on screen.
    Rect pageWindow(const Panel* page) const;
    static void clipToWindow(GameNode* first, const Rect& window);
    void clipSlidingPages();
    // The page moves from x to x over the scroll time; one that leaves is removed at the end.
    void slide(Panel* page, int32_t fromX, int32_t toX, bool leaves);

    RefHolder<Label> header;
    RefHolder<Panel> pagePanel;
    RefHolder<Button> nextButton;
    RefHolder<Button> previousButton;
    std::array<RefHolder<Button>, PAGE_SIZE> slotButtons;
    std::vector<RefHolder<Level>> layouts;
    int32_t pageStart = 0;
    GameType gameType = NO_GAME_TYPE;
    LayoutPreview preview;
    // The x where pages come to rest, and the pages moving now.
    int32_t pageX = 0;
    std::vector<RefHolder<Panel>> slidingPages;
};
