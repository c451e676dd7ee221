// The lobby's own doors played by synthetic input: the settings, the help pages, the trophy
// cabinet, the players, and the quit whose second start reads everything back.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/Slider.h"
#include "framework/gui/ToolTip.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceSection.h"
#include "framework/platform/SettingsManager.h"
#include "framework/scene/SceneManager.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneElevator.h"
#include "game/dialogs/DialogDorrickHint.h"
#include "game/dialogs/DialogHelp.h"
#include "game/dialogs/DialogHint.h"
#include "game/dialogs/DialogKillerStones.h"
#include "game/dialogs/DialogPlayerSelect.h"
#include "game/dialogs/DialogRoomPreview.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/LevelCatalog.h"
#include "game/screen/TypeLabel.h"
#include "gui/TextLayoutAudit.h"
#include "testsupport/e2e/RoadSteps.h"

namespace lobby_road_test {

int32_t musicVolume() {
    return SettingsManager::instance()->getSettings()->getMusicVolume();
}

// The music slider dragged from its middle to its left end.
void dragMusicDown(RoadDriver& road) {
    auto* slider = objectCast<Slider>(road.find("SLIDER_MUSICVOL"));
    ASSERT_NE(slider, nullptr);
    const int32_t y = slider->getAbsoluteY() + slider->getHeight() / 2;
    road.drag(slider->getAbsoluteX() + slider->getWidth() / 2, y, slider->getAbsoluteX() - 20, y);
}

std::string currentName() {
    AbstractPlayer* player = PlayerManager::getInstance()->getCurrentPlayer();
    return player ? player->getName() : std::string();
}

// As wide a name as the name input takes (it stops at 288 pixels, before 20 characters).
const std::wstring LONG_NAME = L"WWWWWWWWWW MMMMMMMM";

// The label shows `count` lines, the last ending in "...", and every line whole in the picture.
void expectWholeLinesEndingInDots(Image* picture, Label* label, size_t count) {
    ASSERT_EQ(label->getLines().size(), count);
    EXPECT_TRUE(label->getLines().back().text.ends_with(L"..."));
    EXPECT_EQ(auditTextLayout(label, 800, 600, picture), std::vector<std::string>());
}

// Where each named, visible widget of a dialog stands on the screen, the dialog included.
void addWidgetPlace(GameNode* node, void* places) {
    if (!node->getName().empty() && node->isVisible() && !node->isRemoved()) {
        static_cast<std::vector<std::string>*>(places)->push_back(
            node->getName() + " " + std::to_string(node->getAbsoluteX()) + "," +
            std::to_string(node->getAbsoluteY()));
    }
}

// Each shipped dialog taken from the running scene, opened for 800 ms, shown to `look`, then
// closed and dropped.
void showEveryDialog(RoadDriver& road,
                     const std::function<void(const std::string&, Dialog*)>& look) {
    Scene* scene = road.scene();
    PropertyNode* dialogs = GuiDefinitions::instance()->getDialogs();
    for (int32_t index = 0; index < dialogs->getChildCount(); ++index) {
        const std::string name = dialogs->getChildAt(index)->getName();
        SCOPED_TRACE(name);
        Dialog* dialog = scene->getDialog(name);
        ASSERT_NE(dialog, nullptr);
        scene->openDialog(dialog);
        road.run(800);
        look(name, dialog);
        scene->closeDialog(dialog);
        scene->dropDialog(name);
        road.run(100);
    }
}

// The pictures, fonts, sounds and texts that the definitions below `property` name by their
// own keys, each missing one added to `missing`; `checked` counts them.
void checkDefinitionKeys(AbstractProperty* property, std::set<std::string>& missing, int& checked) {
    if (!property->isNode() && !property->isVector()) {
        return;
    }
    auto* list = static_cast<PropertyVector*>(property);  // a node is a vector with names
    for (int32_t index = 0; index < list->getChildCount(); ++index) {
        checkDefinitionKeys(list->getChildAt(index), missing, checked);
    }
    auto* keys = objectCast<PropertyNode>(property);
    const auto value = [&](const char* key) {
        return keys->getChild(key) ? keys->getChild(key)->getValue() : std::string();
    };
    for (const char* key :
         {"image", "background", "scenebackground", "font", "cursorimage", "clicksound",
          "oversound", "disabledsound", "onsound", "offsound", "sound", "textid", "tooltip"}) {
        if (!keys || !keys->getChild(key)) {
            continue;
        }
        ++checked;
        const bool sound = std::string(key).find("sound") != std::string::npos;
        const std::string section =
            sound && keys->getChild("soundsection") ? value("soundsection") : value("section");
        ResourceSection* found = ResourceManager::getInstance()->getSection(section);
        if (key[0] == 't' ? !BasicProperties::instance()->hasText(value(key))
                          : !(found && found->findResource(value(key)))) {
            missing.insert(std::string(key) + " " + section + "/" + value(key));
        }
    }
}

TEST(Road, SettingsADraggedVolumeIsUndoneByCancelAndKeptByOk) {
    RoadDriver road("settings");
    ASSERT_TRUE(startAsAnn(road));
    road.run(600);
    const int32_t before = musicVolume();
    ASSERT_TRUE(road.openDialog("BUTTON_SETTINGS", "DIALOG_SETTINGS"));
    road.picture("settings");
    dragMusicDown(road);
    road.picture("music-dragged-down");
    ASSERT_TRUE(road.closeDialog("BUTTON_CANCEL", "DIALOG_SETTINGS"));
    EXPECT_EQ(musicVolume(), before);

    ASSERT_TRUE(road.openDialog("BUTTON_SETTINGS", "DIALOG_SETTINGS"));
    dragMusicDown(road);
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_SETTINGS"));
    EXPECT_LT(musicVolume(), before);
    road.picture("lobby-after-settings");
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, TheHelpPagesTurnForwardAndBack) {
    RoadDriver road("help");
    ASSERT_TRUE(startAsAnn(road));
    road.run(600);
    ASSERT_TRUE(road.openDialog("BUTTON_HELP", "DIALOG_HELP"));
    auto* help = objectCast<DialogHelp>(road.dialog("DIALOG_HELP"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->getPage(), 0);
    road.picture("help-page-1");
    // Each click turns one page, and the picture shows the page reached.
    const auto turn = [&](const char* button, int32_t page, const std::string& step) {
        ASSERT_TRUE(road.click(button));
        road.run(400);
        EXPECT_EQ(help->getPage(), page) << step;
        road.picture(step);
    };
    turn("BUTTON_NEXT", 1, "help-page-2");
    turn("BUTTON_NEXT", 2, "help-page-3");
    turn("BUTTON_PREV", 1, "help-page-2-again");
    EXPECT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_HELP"));
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, TheTrophyCabinetOpensFromTheLobby) {
    RoadDriver road("trophies");
    ASSERT_TRUE(startAsAnn(road));
    road.run(600);
    ASSERT_TRUE(road.click("BUTTON_TROPHIES") && road.waitForDialog("DIALOG_TROPHY"));
    auto* cabinet = objectCast<DialogTrophy>(road.dialog("DIALOG_TROPHY"));
    ASSERT_TRUE(road.waitFor([&] { return !cabinet->isRevealRunning(); }, "the shelves"));
    road.run(600);
    road.picture("cabinet");
    EXPECT_TRUE(road.closeDialog("BUTTON_MENU", "DIALOG_TROPHY"));
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, PlayersBobIsAddedChosenInTurnAndRemoved) {
    RoadDriver road("players");
    ASSERT_TRUE(startAsAnn(road));
    road.run(600);
    ASSERT_TRUE(road.openDialog("BUTTON_CHANGENAME", "DIALOG_PLAYERSELECT"));
    road.picture("players");
    ASSERT_TRUE(road.openDialog("BUTTON_ADD", "DIALOG_NEWPLAYER"));
    road.type(L"Bob");
    road.picture("bob-typed");
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_NEWPLAYER"));
    ASSERT_TRUE(road.waitForDialog("DIALOG_DORRICK_HINT"));
    // The host's welcome types itself out; a click on the text shows it whole.
    TypeLabel* welcome =
        objectCast<DialogDorrickHint>(road.dialog("DIALOG_DORRICK_HINT"))->getTextLabel();
    road.run(600);
    const Image* typing = welcome->getImage();
    road.picture("bob-welcome-typing");
    ASSERT_TRUE(road.clickWidget(welcome, "TEXT") && (road.run(100), welcome->isFinished()));
    EXPECT_NE(welcome->getImage(), typing) << "the whole text replaces the part typed";
    road.picture("bob-welcomed");
    dismissHostHint(road);
    EXPECT_EQ(currentName(), "Bob");
    EXPECT_EQ(PlayerManager::getInstance()->getPlayers().size(), 2u);

    // Ann chosen again by her row, then Bob's row and remove.
    ASSERT_TRUE(road.openDialog("BUTTON_CHANGENAME", "DIALOG_PLAYERSELECT"));
    auto* select = objectCast<DialogPlayerSelect>(road.dialog("DIALOG_PLAYERSELECT"));
    ASSERT_NE(select, nullptr);
    const auto rowOf = [&](const std::wstring& name) {
        for (int32_t row = 0; row < 8; ++row) {
            Label* label = select->getNameLabel(row);
            if (label && label->getText() == name) {
                return row;
            }
        }
        return -1;
    };
    const auto clickRow = [&](int32_t row) {
        road.clickWidget(select->getNameButton(row), "the name in row " + std::to_string(row));
    };
    ASSERT_GE(rowOf(L"Ann"), 0);
    clickRow(rowOf(L"Ann"));
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_PLAYERSELECT"));
    road.run(600);
    road.picture("ann-again");
    EXPECT_EQ(currentName(), "Ann");
    EXPECT_EQ(labelText(road, "LABEL_PLAYERNAME"), L"Welcome, Ann");

    ASSERT_TRUE(road.openDialog("BUTTON_CHANGENAME", "DIALOG_PLAYERSELECT"));
    select = objectCast<DialogPlayerSelect>(road.dialog("DIALOG_PLAYERSELECT"));
    ASSERT_GE(rowOf(L"Bob"), 0);
    clickRow(rowOf(L"Bob"));
    ASSERT_TRUE(road.openDialog("BUTTON_REMOVE", "TEXT_REMOVE_PLAYER"));
    road.picture("remove-bob-question");
    ASSERT_TRUE(road.closeDialog("BUTTON_YES", "TEXT_REMOVE_PLAYER"));
    road.run(600);
    road.picture("bob-removed");
    EXPECT_EQ(PlayerManager::getInstance()->getPlayers().size(), 1u);
    EXPECT_EQ(rowOf(L"Bob"), -1);
    EXPECT_EQ(road.finish(), 0);
}

// The first run of the quit road: settings changed, the floor reached noted, quit with "yes".
// Writes the stored settings and what the road saw to `out`, as "name value" lines.
void quitWithYes(FILE* out) {
    RoadDriver road("quit");
    ASSERT_TRUE(startAsAnn(road));
    road.run(600);
    ASSERT_TRUE(road.openDialog("BUTTON_SETTINGS", "DIALOG_SETTINGS"));
    dragMusicDown(road);
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_SETTINGS"));
    std::fprintf(out, "volume %d\n", musicVolume());
    QuovelMahjongPlayer::current()->floorReached = 3;

    ASSERT_TRUE(road.openDialog("BUTTON_QUIT", "CTEXT_QUESTION_QUIT"));
    road.picture("quit-question");
    altEnterAnswersNothing(road);
    ASSERT_TRUE(road.click("BUTTON_YES"));
    ASSERT_TRUE(road.waitForEnd());
    EXPECT_EQ(road.finish(), 0);
    EXPECT_NE(road.sessionEventsText().find("gameQuit"), std::string::npos);
    std::vector<KeyValue> stored;
    ASSERT_TRUE(road.keys.readValues(RoadDriver::SETTINGS_KEY, stored));
    for (const KeyValue& value : stored) {
        if (value.type == KeyValueType::DWORD) {
            std::fprintf(out, "key %s %u\n", value.name.c_str(), value.dword);
        }
    }
}

TEST(Road, QuitWithYesThenASecondStartReadsEverythingBack) {
    // The first run goes in a child process: the program's object factory is filled once per
    // process, and its shut-down empties it. The key store's values come back through a pipe.
    int link[2];
    ASSERT_EQ(pipe(link), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(link[0]);
        FILE* out = fdopen(link[1], "w");
        quitWithYes(out);
        std::fclose(out);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    close(link[1]);
    FILE* in = fdopen(link[0], "r");
    int32_t volume = -1;
    RoadDriver again("quit", RoadDriver::KEEP_FOLDERS);
    char name[64];
    unsigned value = 0;
    char kind[8];
    while (std::fscanf(in, "%7s", kind) == 1) {
        if (std::string(kind) == "volume" && std::fscanf(in, "%d", &volume) == 1) {
            continue;
        }
        if (std::fscanf(in, "%63s %u", name, &value) == 2) {
            again.keys.writeDword(RoadDriver::SETTINGS_KEY, name, value);
        }
    }
    std::fclose(in);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the first run failed";
    // The statistics file keeps the session, without its events.
    const std::string statistics = again.statisticsText();
    EXPECT_NE(statistics.find("<PlayingSession"), std::string::npos) << statistics;
    EXPECT_EQ(statistics.find("gameQuit"), std::string::npos) << statistics;

    // The second start: the lobby greets Ann without asking, her floor and the volume kept.
    ASSERT_TRUE(reachLobby(again));
    again.run(800);
    again.picture("second-start");
    EXPECT_FALSE(again.dialog("DIALOG_NEWPLAYER"));
    EXPECT_EQ(labelText(again, "LABEL_PLAYERNAME"), L"Welcome, Ann");
    EXPECT_EQ(QuovelMahjongPlayer::current()->floorReached, 3);
    EXPECT_GE(volume, 0);
    EXPECT_EQ(musicVolume(), volume);
    EXPECT_EQ(again.finish(), 0);
}

// Every scene of the building and every dialog, built from the shipped definitions on a player's
// road, finds each widget, text, picture, sound and font that its code looks up and that its
// definition names: nothing falls back silently to an empty widget, text or picture.
TEST(Road, EverySceneAndDialogFindsAllItsContent) {
    // What the program itself misses fails the road when it ends; here the definitions' keys.
    std::set<std::string> missing;
    // Every scene, dialog and hint laid out with the real fonts for the widest name: no text
    // under a button or another text, nothing off the screen, no line cut by its box. A scene
    // as the window shows it.
    RoadDriver road("content");
    const auto audit = [&](const std::string& where, GameNode* root = nullptr,
                           const Image* shown = nullptr) {
        expectClearLayout(road.scene(), where, root ? shown : road.window(where).get(), root);
    };
    ASSERT_TRUE(reachLobby(road) && road.waitForDialog("DIALOG_NEWPLAYER"));
    road.run(800);
    road.picture("first-start");
    audit("first start", road.scene()->getTree());  // the lobby lies dimmed under the question
    ASSERT_TRUE(enterFirstName(road, LONG_NAME) && road.waitForDialog("DIALOG_DORRICK_HINT"));
    dismissHostHint(road);
    audit("lobby");
    // The sign holds the name on its two lines above the divider, the second ending in "...".
    expectWholeLinesEndingInDots(road.picture("long-name-on-the-sign").get(),
                                 objectCast<Label>(road.find("LABEL_PLAYERNAME")), 2);
    openTheRooms();
    for (const char* room : {"CASINO", "ROOF", "RECROOM"}) {
        ASSERT_TRUE(rideTo(road, std::string("BUTTON_") + room, std::string("SCENE_") + room,
                           [&] { audit("lift"); }));
        road.run(1000);
        dismissHostHint(road);
        audit(room);
    }
    ASSERT_TRUE(rideToFloorOne(road));
    audit("hallway");
    ASSERT_TRUE(enterRoom(road, 1));
    audit("game");
    showEveryDialog(road, [&](const std::string& name, Dialog* dialog) {
        RefHolder<Image> shown = road.picture(name);
        audit(name, dialog, shown.get());
        if (auto* list = objectCast<DialogPlayerSelect>(dialog)) {  // its row shortens the name
            expectWholeLinesEndingInDots(shown.get(), list->getNameLabel(0), 1);
        }
    });
    for (int32_t n = 0; BasicProperties::instance()->hasText("DORRICK_HINT_" + std::to_string(n));
         ++n) {
        auto* host = objectCast<DialogDorrickHint>(road.scene()->getDialog("DIALOG_DORRICK_HINT"));
        host->showHint(n);
        road.scene()->openDialog(host);
        road.run(800);
        host->getTextLabel()->finishTyping();
        audit("host hint " + std::to_string(n), host);
        dismissHostHint(road);
    }
    for (int32_t id = DialogHint::FIRST_HINT; id < QuovelMahjongPlayer::HINT_COUNT; ++id) {
        QuovelMahjongPlayer::current()->hints[static_cast<size_t>(id)] = true;
        DialogHint* hint = DialogHint::showHint(nullptr, id, nullptr);
        ASSERT_NE(hint, nullptr);
        for (int32_t page = 0; page < hint->getPageCount(); ++page) {
            road.run(tuning().HINT_ENTER_FROM_OPEN + 100);
            audit("hint " + std::to_string(id) + " page " + std::to_string(page + 1), hint);
            road.clickIn("DIALOG_HINT", "BUTTON_OK");
        }
        dismissTutorialHint(road);
    }
    int checked = 0;
    for (PropertyNode* part :
         {GuiDefinitions::instance()->getTemplates(), GuiDefinitions::instance()->getScenes(),
          GuiDefinitions::instance()->getDialogs()}) {
        checkDefinitionKeys(part, missing, checked);
    }
    EXPECT_GT(checked, 500);
    EXPECT_EQ(road.finish(), 0);
    EXPECT_EQ(missing, std::set<std::string>());
}

// The hallway's door card, closed once the pointer has left the doors, then for a `door` grown
// and filled with the pointer left on that door; null when it did not get there.
DialogRoomPreview* doorCard(RoadDriver& road, int32_t door = 0) {
    auto* hallway = objectCast<SceneHallway>(road.scene());
    DialogRoomPreview* card = hallway->getRoomPreview();
    const auto cardIs = [&](int32_t state) {
        return road.waitFor([&] { return card->getPreviewState() == state; }, "the door card");
    };
    road.moveTo(400, 560);
    if (!cardIs(DialogRoomPreview::CLOSED)) {
        return nullptr;
    }
    if (Button* knob = door > 0 ? hallway->getDoor(door) : nullptr) {
        road.moveTo(knob->getAbsoluteX() + knob->getWidth() / 2,
                    knob->getAbsoluteY() + knob->getHeight() / 2);
    }
    return door == 0 || cardIs(DialogRoomPreview::OPEN) ? card : nullptr;
}

// The building's states where a layout fault was once seen, in full screen at 800 x 600 with
// the window's frame buttons, reached in turn on one road: each is laid out clear (the scene's
// tree with its background's lines, or the dialog that darkens it, the shown tooltip and the
// window's picture) and holds what its step adds.
TEST(Road, EveryRoomLaysOutClearInFullScreen) {
    RoadDriver road("layout");
    road.display.screenW = 800;
    road.display.screenH = 600;
    const auto laidOutClear = [&](const std::string& state, const char* dialog = nullptr) {
        GameNode* root = dialog ? road.dialog(dialog) : nullptr;
        expectClearLayout(road.scene(), state, road.picture(state).get(), root,
                          objectCast<ToolTip>(SceneManager::getInstance()->getToolTip()));
    };
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();

    // The host speaks in the lift once the doors have opened; his line is shown whole.
    road.run(600);
    ASSERT_TRUE(road.click("BUTTON_ELEVATOR") && road.waitForScene("SCENE_ELEVATOR"));
    TypeLabel* line = objectCast<SceneElevator>(road.scene())->getSpeechText();
    ASSERT_TRUE(road.waitFor([&] { return line->isVisible(); }, "the host's line"));
    line->finishTyping();
    road.run(100);
    laidOutClear("lift-host-speaks");

    ASSERT_TRUE(road.click("BUTTON_CASINO") && road.waitForScene("SCENE_CASINO", 30000));
    road.run(1000);
    dismissHostHint(road);
    const auto* lift = objectCast<Sprite>(road.find("BUTTON_ELEVATOR"));
    road.moveTo(lift->getAbsoluteX() + lift->getWidth() / 2,
                lift->getAbsoluteY() + lift->getHeight() / 2);
    road.run(1500);
    ASSERT_TRUE(objectCast<ToolTip>(SceneManager::getInstance()->getToolTip())->isShowing());
    laidOutClear("casino-lift-tooltip");

    road.moveTo(400, 300);
    for (int32_t step = 0; step < SceneCasino::SEQUENCE_LENGTH; ++step) {
        const Rect spot = SceneCasino::sequenceArea(step);
        road.clickAt(spot.x + spot.w / 2, spot.y + spot.h / 2);
    }
    ASSERT_TRUE(road.waitForDialog("DIALOG_KILLER_STONES"));
    road.run(1500);
    // A tile falling straight (not weaving) in the bullets' column, caught on the label.
    auto* arcade = objectCast<DialogKillerStones>(road.dialog("DIALOG_KILLER_STONES"));
    const Label* bullets = arcade->getBulletsLabel();
    Sprite* tile = arcade->spawnTile();
    for (; tile->getTag() == DialogKillerStones::TILE_WEAVING; tile = arcade->spawnTile()) {
        tile->setRemoved(true);
    }
    tile->setX(bullets->getX() + 40);
    ASSERT_TRUE(road.waitFor([&] { return tile->getY() >= bullets->getY() - 16; }, "the tile"));
    laidOutClear("arcade-tile-at-bullets", "DIALOG_KILLER_STONES");

    road.press(27);
    ASSERT_TRUE(
        road.waitFor([&] { return !road.dialog("DIALOG_KILLER_STONES"); }, "the arcade to close") &&
        road.click("SWITCH_CLASSIC"));
    road.run(600);
    laidOutClear("casino-classic");
    ASSERT_TRUE(rideTo(road, "BUTTON_ROOF", "SCENE_ROOF"));
    road.run(1000);
    dismissHostHint(road);
    ASSERT_TRUE(road.click("SWITCH_SPEED"));
    road.run(600);
    laidOutClear("roof-speed");
    ASSERT_TRUE(road.click("SWITCH_MIXED"));
    road.run(600);
    laidOutClear("roof-mixed");

    ASSERT_TRUE(rideTo(road, "BUTTON_RECROOM", "SCENE_RECROOM"));
    road.run(1000);
    dismissHostHint(road);
    laidOutClear("recroom-side-panel");
    // The pointer off the switch: its frame without the pointer's light. The lamp of the chosen
    // game type's switch, as the first pick lit it, is lit the same after a game.
    ASSERT_TRUE(road.click("SWITCH_CLASSIC") && road.waitForDialog("DIALOG_LAYOUTPREVIEW"));
    road.moveTo(120, 20);
    road.run(1000);
    const auto lamp = [&] { return testpixels::colorAt(road.window().get(), 48, 156); };
    const uint32_t firstPick = lamp();
    laidOutClear("recroom-layout-page");

    auto* page = objectCast<DialogLayoutPreview>(road.dialog("DIALOG_LAYOUTPREVIEW"));
    ASSERT_TRUE(road.clickWidget(page->getSlotButton(0), "the first layout") &&
                road.waitForScene("SCENE_GAME", 30000) && waitUntilPlaying(road) &&
                clickHudButton(road, "BUTTON_HINT_UNLIMITED"));
    // The floater's flight, from its pop-in to the top of its rise.
    for (int32_t ms = 100; ms <= 1300; ms += 200) {
        road.run(200);
        laidOutClear("clock-penalty-" + std::to_string(ms));
    }
    laidOutClear("recroom-clock-penalty");

    ASSERT_TRUE(clearBoardByClicks(road) && continueFromLevelEnd(road, "SCENE_RECROOM"));
    road.moveTo(120, 20);
    road.run(1000);
    EXPECT_EQ(lamp(), firstPick) << "the chosen type's lamp";
    laidOutClear("recroom-after-a-won-game");

    ASSERT_TRUE(rideToFloorOne(road) && doorCard(road, 1));
    laidOutClear("hallway-door-card");
    // A damaged room's card says so in place of an empty board.
    auto* floorOne =
        static_cast<PropertyVector*>(LevelCatalog::instance()->getHallway()->getChildAt(0));
    PropertyValue* layout =
        static_cast<PropertyNode*>(floorOne->getChildAt(1))->getChildValue("layout");
    const std::wstring kept = layout->getText();
    layout->setText(L"unreadable.xml");
    DialogRoomPreview* card = doorCard(road, 2);
    layout->setText(kept);
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->getLabel(DialogRoomPreview::DAMAGED)->isVisible() &&
                !card->getPreviewSprite()->isVisible());
    laidOutClear("hallway-damaged-room-card");

    ASSERT_TRUE(doorCard(road) && road.openDialog("BUTTON_MENU", "DIALOG_ROOM_MENU"));
    // Headed as the button that opens it reads.
    EXPECT_EQ(labelText(road, "HEADER"), L"Room menu");
    laidOutClear("hallway-room-menu", "DIALOG_ROOM_MENU");
    EXPECT_EQ(road.finish(), 0);
}

// Every dialog, closed and kept by its scene, shown a second time: each widget stands where the
// first showing put it, frame and widgets together.
TEST(Road, EveryDialogReopensWhereItFirstStood) {
    RoadDriver road("reopen");
    ASSERT_TRUE(startAsAnn(road) && rideToFloorOne(road) && enterRoom(road, 1));
    showEveryDialog(road, [&](const std::string& name, Dialog* dialog) {
        std::vector<std::string> first, again;
        GameNode::walk(dialog, &addWidgetPlace, &first);
        road.scene()->closeDialog(dialog);
        road.run(100);
        ASSERT_EQ(road.scene()->getDialog(name), dialog);
        road.scene()->openDialog(dialog);
        road.run(800);
        GameNode::walk(dialog, &addWidgetPlace, &again);
        EXPECT_EQ(again, first);
        expectClearLayout(road.scene(), name, nullptr, dialog);
        road.picture(name + "-again");
    });
    EXPECT_EQ(road.finish(), 0);
}

}  // namespace lobby_road_test
