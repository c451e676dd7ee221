#include "game/dialogs/DialogLayoutPreview.h"

#include <string>
#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/platform/Image.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/Game.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/ImageEffects.h"

QUOVEL_DEFINE_TYPE(DialogLayoutPreview, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogLayoutPreview)

namespace {

// The space between two entries of a page, across and down.
constexpr int32_t COLUMN_GAP = 23;
constexpr int32_t ROW_GAP = 32;

void setLabelText(GameNode* node, const std::wstring& text) {
    if (auto* label = objectCast<Label>(node)) {
        label->setText(text);
    }
}

}  // namespace

DialogLayoutPreview::DialogLayoutPreview(PropertyNode* definition)
    : DialogQuovelMahjong(definition) {
    setSoundsEnabled(false);
    // The room's switches stay usable beside the open preview.
    getComponentsContainer().setModal(false);
    iInputListenerContainer* container = &getComponentsContainer();
    previousButton = objectCast<Button>(
        connect<&DialogLayoutPreview::onPrevious>("BUTTON_PREVIOUS", this, container));
    nextButton =
        objectCast<Button>(connect<&DialogLayoutPreview::onNext>("BUTTON_NEXT", this, container));
    header = objectCast<Label>(findChild("LABEL_HEADER"));
}

DialogLayoutPreview::~DialogLayoutPreview() = default;

void DialogLayoutPreview::show() {
    DialogQuovelMahjong::show();
    updatePageButtons();
}

void DialogLayoutPreview::updatePageButtons() {
    if (previousButton) {
        previousButton->setEnabled(pageStart > 0);
    }
    if (nextButton) {
        nextButton->setEnabled(pageStart + PAGE_SIZE < static_cast<int32_t>(layouts.size()));
    }
}

Button* DialogLayoutPreview::getSlotButton(int32_t slot) const {
    return slot >= 0 && slot < PAGE_SIZE ? slotButtons[static_cast<size_t>(slot)].get() : nullptr;
}

bool DialogLayoutPreview::isPageUnlocked(const QuovelMahjongPlayer* player, int32_t page) {
    if (page <= 1) {
        return true;
    }
    if (!player) {
        return false;
    }
    const bool allPages = player->isUnlocked(UnlockItem::LAYOUT_ALL_PAGES);
    if (page == 2) {
        return player->isUnlocked(UnlockItem::LAYOUT_PAGE_2) ||
               player->isUnlocked(UnlockItem::LAYOUT_PAGE_3) || allPages;
    }
    if (page == 3) {
        return player->isUnlocked(UnlockItem::LAYOUT_PAGE_3) || allPages;
    }
    return allPages;
}

RefHolder<GameNode> DialogLayoutPreview::makeFromTemplate(const char* name) const {
    PropertyNode* definition = nodeOrDummy(getDefinition())->getChildNode(name);
    if (!definition) {
        return RefHolder<GameNode>();
    }
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(definition));
    return RefHolder<GameNode>(objectCast<GameNode>(made.get()));
}

RefHolder<Panel> DialogLayoutPreview::buildPage(int32_t start) {
    RefHolder<Panel> page(objectCast<Panel>(makeFromTemplate("page_panel").get()));
    if (!page) {
        return page;
    }
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const bool unlocked = isPageUnlocked(player, start / PAGE_SIZE);
    const float scale = tuning().PREVIEW_SCALE_RECROOM;
    for (int32_t column = 0; column < COLUMNS; ++column) {
        for (int32_t row = 0; row < ROWS; ++row) {
            const int32_t index = start + column + COLUMNS * row;
            if (index < 0 || index >= static_cast<int32_t>(layouts.size())) {
                continue;
            }
            RecRoomRecord record;
            if (player) {
                if (RecRoomRecord* kept = player->getStats().recRoomRecordFor(gameType, index)) {
                    record = *kept;
                }
            }
            RefHolder<Panel> entry(objectCast<Panel>(makeFromTemplate("button_panel").get()));
            if (!entry) {
                continue;
            }
            entry->setPosition(entry->getX() + (entry->getWidth() + COLUMN_GAP) * column,
                               entry->getY() + (entry->getHeight() + ROW_GAP) * row);
            if (auto* button = objectCast<Button>(entry->findChild("BUTTON"))) {
                button->setTag(index);
                button->setEnabled(unlocked);
                button->setCallback(callback<&DialogLayoutPreview::startLayout>(this));
                getComponentsContainer().addListener(button);
                slotButtons[static_cast<size_t>(column + COLUMNS * row)] = button;
            }
            setLabelText(entry->findChild("TIME"),
                         record.bestTime == 0
                             ? std::wstring(L"-")
                             : formatDuration(static_cast<uint32_t>(record.bestTime), true, false));
            setLabelText(entry->findChild("PLAYED"), intToWString(record.playCount));
            setLabelText(entry->findChild("COMPLETED"), intToWString(record.levelWinCount));
            for (const char* name :
                 {"TIME", "PLAYED", "COMPLETED", "TIME_TEXT", "PLAYED_TEXT", "COMPLETED_TEXT"}) {
                setShownIfAny(entry->findChild(name), unlocked);
            }
            setShownIfAny(entry->findChild("LOCK"), !unlocked);
            Level* level = layouts[static_cast<size_t>(index)].get();
            preview.build(level ? level->getLayoutObject() : nullptr, gameType);
            RefHolder<Image> picture(preview.getPicture());
            if (picture && !unlocked) {
                greyImageRect(picture.get(), 0, 0, picture->getWidth(), picture->getHeight());
            }
            if (auto* sprite = objectCast<Sprite>(entry->findChild("SPRITE"))) {
                sprite->setImage(picture.get());
                sprite->setScale(scale);
            }
            page->addChild(entry.get());
        }
    }
    return page;
}

Rect DialogLayoutPreview::pageWindow(const Panel* page) const {
    const int32_t padding = tuning().PANEL_PADDING;
    return Rect{page->getParentsX() + pageX - padding, page->getParentsY() + page->getY(),
                page->getWidth() + 2 * padding, page->getHeight()};
}

void DialogLayoutPreview::clipToWindow(GameNode* node, const Rect& window) {
    for (; node; node = node->getNextSibling()) {
        if (auto* sprite = objectCast<Sprite>(node)) {
            // Clips are kept relative to the parent and are not inherited, so each sprite of a
            // moving page gets the fixed window in its own parent's terms.
            sprite->setClipRect(Rect{window.x - sprite->getParentsX(),
                                     window.y - sprite->getParentsY(), window.w, window.h});
        }
        clipToWindow(node->getFirstChild(), window);
    }
}

void DialogLayoutPreview::update(int32_t elapsedMs) {
    DialogQuovelMahjong::update(elapsedMs);
    clipSlidingPages();
}

void DialogLayoutPreview::clipSlidingPages() {
    std::erase_if(slidingPages, [](const RefHolder<Panel>& page) {
        return page->isRemoved() || page->getParent() == nullptr;
    });
    for (RefHolder<Panel>& page : slidingPages) {
        const Rect window = pageWindow(page.get());
        page->setClipRect(Rect{window.x - page->getParentsX(), window.y - page->getParentsY(),
                               window.w, window.h});
        clipToWindow(page->getFirstChild(), window);
    }
}

void DialogLayoutPreview::slide(Panel* page, int32_t fromX, int32_t toX, bool leaves) {
    const int32_t duration = tuning().PREVIEW_SCROLL_DURATION;
    page->setX(fromX);
    Modifier* move = GameNode::addModifier(
        page, new ModifierLocationLine(fromX, page->getY(), toX, page->getY(), duration, true));
    move->setFlags(move->getFlags() |
                   (leaves ? Modifier::FLAG_REMOVE_TARGET : Modifier::FLAG_BLOCKING));
    slidingPages.emplace_back(page);
}

void DialogLayoutPreview::showPage(int32_t direction) {
    pageStart += direction * PAGE_SIZE;
    updatePageButtons();
    const int32_t padding = tuning().PANEL_PADDING;
    if (pagePanel) {
        Panel* old = pagePanel.get();
        if (direction == 0) {
            removeChild(old);
        } else {
            const int32_t away = (old->getWidth() + padding) * (direction > 0 ? -1 : 1);
            slide(old, pageX, pageX + away, true);
        }
        for (RefHolder<Button>& slot : slotButtons) {
            if (slot) {
                getComponentsContainer().removeListener(slot.get());
            }
            slot = nullptr;
        }
    }
    pagePanel = buildPage(pageStart);
    if (!pagePanel) {
        return;
    }
    Panel* page = pagePanel.get();
    pageX = page->getX();
    addChild(page);
    if (direction == 0) {
        return;
    }
    slide(page, pageX + (page->getWidth() + padding) * (direction > 0 ? 1 : -1), pageX, false);
    GameNode::addModifier(
        page, new ModifierFunction(callback<&DialogLayoutPreview::reactivateInput>(this)));
    clipSlidingPages();
    getComponentsContainer().setActive(false);
    if (SceneManager* manager = SceneManager::getInstance()) {
        if (Scene* scene = manager->getCurrentScene()) {
            scene->getComponentsContainer().setActive(false);
        }
    }
}

int32_t DialogLayoutPreview::reactivateInput(BaseObject*) {
    if (SceneManager* manager = SceneManager::getInstance()) {
        if (Scene* scene = manager->getCurrentScene()) {
            scene->getComponentsContainer().setActive(true);
        }
    }
    getComponentsContainer().setActive(true);
    // The page at rest keeps the clip of its last step, which is the window itself.
    clipSlidingPages();
    std::erase(slidingPages, pagePanel);
    return 0;
}

int32_t DialogLayoutPreview::onPrevious(BaseObject*) {
    showPage(-1);
    return 0;
}

int32_t DialogLayoutPreview::onNext(BaseObject*) {
    showPage(1);
    return 0;
}

int32_t DialogLayoutPreview::startLayout(BaseObject* sender) {
    auto* button = objectCast<Button>(sender);
    if (!button) {
        return 0;
    }
    const int32_t index = button->getTag();
    if (index < 0 || index >= static_cast<int32_t>(layouts.size())) {
        return 0;
    }
    // A layout that could not be read is told and not played: nothing of it is recorded.
    Level* level = layouts[static_cast<size_t>(index)].get();
    if (level) {
        level->setGameMode(RoomKind::RECROOM);
    }
    if (!Game::createForLevel(gameType, level)) {
        return 0;
    }
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    RefHolder<PropertyNode> event(new PropertyNode("QVCustomEvent", ""));
    event->addChild(new PropertyValue("playerName",
                                      stringToWString(player ? player->getName() : std::string())));
    if (player && !player->getStats().firstRecrLayoutClicked) {
        event->addChild(PropertyValue::fromBool("firstTimeRecr", true));
        player->getStats().firstRecrLayoutClicked = true;
    }
    event->addChild(new PropertyValue("gameType", gameType));
    event->addChild(new PropertyValue("layoutIndex", index));
    addSessionEvent(getStatisticsCollector(), event.get());

    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_GAME", "TRANSITION_DEFAULT");
    }
    return 0;
}
