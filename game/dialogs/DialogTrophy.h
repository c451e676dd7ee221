#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/profile/TrophyList.h"

class DialogRoomInfo;
class DialogTrophyText;
class Scene;

// The trophy cabinet: the building with one window per room and the shelves with the current
// player's twenty trophies; newly won trophies are awarded one after the other before the
// whole cabinet is revealed. Hovering a trophy shows its texts in the trophy text box, hovering
// a window the room's number and result in the room info box.
class DialogTrophy : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogTrophy)
public:
    // The trophies the cabinet has places for; "no trophy being awarded" is this index.
    static constexpr int32_t TROPHY_COUNT = TrophyList::TROPHY_COUNT;
    static constexpr int32_t NO_TROPHY = TROPHY_COUNT;

    explicit DialogTrophy(PropertyNode* definition);
    ~DialogTrophy() override;

    // When the current player has a trophy in state 1, opens "DIALOG_TROPHY" on the current
    // scene (a running transition's target) with the given after-close callback and answers
    // true; otherwise does nothing and answers false.
    static bool showIfNew(const iGuiMethod::Bound& afterClose);

    // Fades in, collects the new trophies, places the unclaimed pictures and opens the two text
    // boxes; the award sequence or the reveal follows the fade.
    void show() override;
    // Closes the two text boxes; the cabinet itself stays as it is.
    void hide() override;
    // Hover handling, once the reveal has ended.
    void update(int32_t elapsedMs) override;
    // Empties the cabinet, closes the text boxes and fades out.
    void closeCabinet();

    // The window under (x, y): room 1-5 and floor 1-20, both -1 when none.
    static void hitTestWindow(int32_t x, int32_t y, int32_t& room, int32_t& floor);
    // A trophy's body text with "%3" filled for the trophies that show a figure: grouped in
    // thousands on the shelves, plain on the award panel.
    static std::wstring bodyWithFigure(int32_t index, const Trophy& trophy, bool grouped);
    // The room info text of a window: "Room 123: " and its legend.
    static std::wstring roomText(int32_t floor, int32_t room);

    GameNode* getTrophyLayer() const { return trophyLayer.get(); }
    GameNode* getPlaceholderLayer() const { return placeholderLayer.get(); }
    GameNode* getStarLayer() const { return starLayer.get(); }
    GameNode* getWindowLayer() const { return windowLayer.get(); }
    GameNode* getSparkleLayer() const { return sparkleLayer.get(); }
    Sprite* getAwardPanel() const { return awardPanel; }
    Label* getHeaderLabel() const { return headerLabel; }
    Label* getDescriptionLabel() const { return descriptionLabel; }
    Sprite* getWonHeader() const { return wonHeader; }
    DialogTrophyText* getTrophyText() const { return trophyText; }
    DialogRoomInfo* getRoomInfo() const { return roomInfo; }
    bool isRevealRunning() const { return revealRunning; }
    int32_t getCurrentTrophy() const { return currentTrophy; }
    int32_t getHoveredRoom() const { return hoveredRoom; }
    int32_t getHoveredFloor() const { return hoveredFloor; }
    const std::vector<int32_t>& getNewTrophies() const { return newTrophies; }

private:
    // The cabinet's parts.
    void placeUnclaimedTrophies();
    void revealTrophies();
    void revealAfterAward();
    // The reveal loop; trophies in state 2 are skipped when `skipAnnounced`.
    void revealWon(bool skipAnnounced);
    void setShownAsSeen();
    void makeWindows();
    void hoverWindow(int32_t room, int32_t floor);
    void hoverTrophies(int32_t elapsedMs);
    void startHovering(Sprite* trophySprite);
    void stopHovering(Sprite* trophySprite);
    // Closes both text boxes on the scene, reset at once.
    void closeTextBoxes();
    int32_t onShown(BaseObject* sender);
    int32_t onRevealDone(BaseObject* sender);
    int32_t onMenuButton(BaseObject* sender);
    int32_t clearHovered(BaseObject* sender);
    static int32_t orbitStar(Sprite* trophy, BaseObject* sender);

    // The award sequence.
    void collectNewTrophies();
    void fireworks();
    void dropStar(int32_t delay);
    void animateNewTrophy();
    void showAwardText(int32_t index);
    void hideAwardText();
    // Ends a running award at once: nothing more is awarded, the pending first award is
    // cancelled and the award texts are hidden. The trophies not yet awarded stay won and
    // appear at the next opening.
    void stopAward();
    int32_t awardNext(BaseObject* sender);
    int32_t onStarDone(BaseObject* sender);
    int32_t onTrophyArrived(BaseObject* sender);
    int32_t showAwardTextOf(BaseObject* sender);

    // Helpers.
    static Scene* currentScene();
    static TrophyList* trophies();
    static Trophy* trophyAt(int32_t index);
    // A picture of the resource section, or null.
    static RefHolder<Image> picture(const std::string& key, const std::string& section);

    RefHolder<GameNode> trophyLayer;
    RefHolder<GameNode> placeholderLayer;
    RefHolder<GameNode> starLayer;
    RefHolder<GameNode> windowLayer;
    RefHolder<GameNode> sparkleLayer;
    Sprite* hoveredTrophy = nullptr;
    Sprite* awardPanel = nullptr;
    Sprite* emitter = nullptr;
    Sprite* wonHeader = nullptr;
    Label* headerLabel = nullptr;
    Label* descriptionLabel = nullptr;
    bool revealRunning = true;
    DialogTrophyText* trophyText = nullptr;
    DialogRoomInfo* roomInfo = nullptr;
    int32_t hoveredRoom = -1;
    int32_t hoveredFloor = -1;
    int32_t infoTimer = -1;
    bool awardPending = false;
    int32_t currentTrophy = NO_TROPHY;
    std::vector<int32_t> newTrophies;
    // The wait for the first award in the scene's animation tree, which outlives the cabinet.
    RefHolder<Modifier> firstAwardWait;
};
