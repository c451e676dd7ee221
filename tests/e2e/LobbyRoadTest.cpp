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

#include "e2e/RoadDriver.h"
#include "e2e/RoadSteps.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyVector.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/Slider.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceSection.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/SettingsManager.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/dialogs/DialogHelp.h"
#include "game/dialogs/DialogPlayerSelect.h"
#include "game/dialogs/DialogTrophy.h"

namespace {

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

// Where each named, visible widget of a dialog stands on the screen, the dialog included.
using WidgetPlaces = std::vector<std::string>;

void addWidgetPlace(GameNode* node, void* places) {
    if (!node->getName().empty() && node->isVisible() && !node->isRemoved()) {
        static_cast<WidgetPlaces*>(places)->push_back(node->getName() + " " +
                                                      std::to_string(node->getAbsoluteX()) + "," +
                                                      std::to_string(node->getAbsoluteY()));
    }
}

WidgetPlaces widgetPlaces(Dialog* shown) {
    WidgetPlaces places;
    GameNode::walk(shown, &addWidgetPlace, &places);
    return places;
}

// Every dialog of the shipped definitions, by name.
std::vector<std::string> shippedDialogNames() {
    std::vector<std::string> names;
    PropertyNode* dialogs = GuiDefinitions::instance()->getDialogs();
    for (int32_t index = 0; index < dialogs->getChildCount(); ++index) {
        names.push_back(dialogs->getChildAt(index)->getName());
    }
    return names;
}

// The keys a definition below `node` names by its own keys: pictures, fonts and sounds in their
// resource sections, texts in the text table. Each one missing is added to `missing`; `checked`
// counts the keys looked at.
void checkDefinitionKeys(AbstractProperty* node, std::set<std::string>& missing, int& checked) {
    if (!node || (!node->isNode() && !node->isVector())) {
        return;
    }
    // A node is a vector of its children with names (the type records keep them apart).
    auto* list = static_cast<PropertyVector*>(node);
    for (int32_t index = 0; index < list->getChildCount(); ++index) {
        checkDefinitionKeys(list->getChildAt(index), missing, checked);
    }
    auto* keys = objectCast<PropertyNode>(node);
    if (!keys) {
        return;
    }
    const auto valueOf = [&](const char* key) {
        AbstractProperty* value = keys->getChild(key);
        return value ? value->getValue() : std::string();
    };
    const auto known = [](const std::string& key, const std::string& sectionName) {
        ResourceSection* found = ResourceManager::getInstance()->getSection(sectionName);
        return found && found->findResource(key);
    };
    const std::string section = valueOf("section");
    const std::string soundSection = keys->getChild("soundsection") ? valueOf("soundsection") : section;
    for (const char* key : {"image", "background", "scenebackground", "font", "cursorimage"}) {
        checked += keys->getChild(key) != nullptr;
        if (keys->getChild(key) && !known(valueOf(key), section)) {
            missing.insert("resource " + section + "/" + valueOf(key) + " of " + keys->getName());
        }
    }
    for (const char* key :
         {"clicksound", "oversound", "disabledsound", "onsound", "offsound", "sound"}) {
        checked += keys->getChild(key) != nullptr;
        if (keys->getChild(key) && !known(valueOf(key), soundSection)) {
            missing.insert("resource " + soundSection + "/" + valueOf(key) + " of " +
                           keys->getName());
        }
    }
    for (const char* key : {"textid", "tooltip"}) {
        checked += keys->getChild(key) != nullptr;
        if (keys->getChild(key) && !BasicProperties::instance()->hasText(valueOf(key))) {
            missing.insert("text " + valueOf(key) + " of " + keys->getName());
        }
    }
}

// Each shipped dialog taken from the running scene and opened there, shown for `showMs`,
// closed and dropped; `shown` sees each while it is open. The board under them is paused.
void showEveryDialog(RoadDriver& road, int32_t showMs,
                     const std::function<void(const std::string&, Dialog*)>& shown) {
    Scene* scene = road.scene();
    ASSERT_NE(scene, nullptr);
    for (const std::string& name : shippedDialogNames()) {
        SCOPED_TRACE(name);
        Dialog* dialog = scene->getDialog(name);
        ASSERT_NE(dialog, nullptr);
        scene->openDialog(dialog);
        road.run(showMs);
        shown(name, dialog);
        if (scene->findDialog(name) == dialog) {
            scene->closeDialog(dialog);
            scene->dropDialog(name);
        }
        road.run(100);
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
    ASSERT_TRUE(road.click("BUTTON_TROPHIES"));
    ASSERT_TRUE(road.waitForDialog("DIALOG_TROPHY"));
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
    road.run(600);
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
        auto* button = dynamic_cast<Sprite*>(select->getNameButton(row));
        ASSERT_NE(button, nullptr);
        road.clickAt(button->getAbsoluteX() + button->getWidth() / 2,
                     button->getAbsoluteY() + button->getHeight() / 2);
    };
    ASSERT_GE(rowOf(L"Ann"), 0);
    clickRow(rowOf(L"Ann"));
    ASSERT_TRUE(road.closeDialog("BUTTON_OK", "DIALOG_PLAYERSELECT"));
    road.run(600);
    road.picture("ann-again");
    EXPECT_EQ(currentName(), "Ann");
    EXPECT_EQ(welcomeText(road), L"Welcome, Ann");

    ASSERT_TRUE(road.click("BUTTON_CHANGENAME"));
    ASSERT_TRUE(road.waitForDialog("DIALOG_PLAYERSELECT"));
    select = objectCast<DialogPlayerSelect>(road.dialog("DIALOG_PLAYERSELECT"));
    road.run(600);
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
    ASSERT_TRUE(road.click("BUTTON_YES"));
    ASSERT_TRUE(road.waitForEnd());
    EXPECT_EQ(road.finish(), 0);
    std::vector<KeyValue> stored;
    ASSERT_TRUE(road.keys.readValues(RoadDriver::settingsKey, stored));
    for (const KeyValue& value : stored) {
        if (value.type == KeyValueType::Dword) {
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
    RoadDriver again("quit", RoadDriver::keepFolders);
    char name[64];
    unsigned value = 0;
    char kind[8];
    while (std::fscanf(in, "%7s", kind) == 1) {
        if (std::string(kind) == "volume" && std::fscanf(in, "%d", &volume) == 1) {
            continue;
        }
        if (std::fscanf(in, "%63s %u", name, &value) == 2) {
            again.keys.writeDword(RoadDriver::settingsKey, name, value);
        }
    }
    std::fclose(in);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the first run failed";
    const std::string statistics = again.statisticsText();
    EXPECT_NE(statistics.find("gameQuit"), std::string::npos);

    // The second start: the lobby greets Ann without asking, her floor and the volume kept.
    ASSERT_TRUE(reachLobby(again));
    again.run(800);
    again.picture("second-start");
    EXPECT_FALSE(again.dialog("DIALOG_NEWPLAYER"));
    EXPECT_EQ(welcomeText(again), L"Welcome, Ann");
    EXPECT_EQ(QuovelMahjongPlayer::current()->floorReached, 3);
    EXPECT_GE(volume, 0);
    EXPECT_EQ(musicVolume(), volume);
    EXPECT_EQ(again.finish(), 0);
}

}  // namespace

// Every scene of the building and every dialog, built from the shipped definitions on the road
// a player takes, finds each widget, text, picture, sound and font that its code and its
// definition name: nothing falls back silently to an empty widget, text or picture.
TEST(Road, EverySceneAndDialogFindsAllItsContent) {
    std::set<std::string> missing;
    setMissingContentSink([&](const std::string& kind, const std::string& key) {
        missing.insert(kind + " " + key);
    });
    RoadDriver road("content");
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    for (const auto& [button, scene] :
         std::vector<std::pair<std::string, std::string>>{{"BUTTON_CASINO", "SCENE_CASINO"},
                                                          {"BUTTON_ROOF", "SCENE_ROOF"},
                                                          {"BUTTON_RECROOM", "SCENE_RECROOM"}}) {
        ASSERT_TRUE(rideTo(road, button, scene));
        road.run(1000);
        road.picture(scene);
        dismissHostHint(road);
    }
    ASSERT_TRUE(rideToFloorOne(road));
    ASSERT_TRUE(enterRoom(road, 1));
    showEveryDialog(road, 800, [&](const std::string& name, Dialog*) { road.picture(name); });
    // What no road reaches (a sound of a button never pressed) is checked by its key.
    GuiDefinitions* definitions = GuiDefinitions::instance();
    int checked = 0;
    for (PropertyNode* part :
         {definitions->getTemplates(), definitions->getScenes(), definitions->getDialogs()}) {
        checkDefinitionKeys(part, missing, checked);
    }
    EXPECT_GT(checked, 500);
    EXPECT_EQ(road.finish(), 0);
    setMissingContentSink(nullptr);
    for (const std::string& line : missing) {
        ADD_FAILURE() << "missing " << line;
    }
}

// Every dialog that a scene keeps after closing it, shown a second time, lays its widgets out
// where its first showing put them: the frame and its widgets together, not at the corner.
TEST(Road, EveryDialogReopensWhereItFirstStood) {
    RoadDriver road("reopen");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    ASSERT_TRUE(enterRoom(road, 1));
    Scene* scene = road.scene();
    showEveryDialog(road, 800, [&](const std::string& name, Dialog* dialog) {
        const WidgetPlaces first = widgetPlaces(dialog);
        EXPECT_FALSE(first.empty());
        scene->closeDialog(dialog);
        road.run(100);
        ASSERT_EQ(scene->getDialog(name), dialog) << "the scene kept it";
        scene->openDialog(dialog);
        road.run(800);
        EXPECT_EQ(widgetPlaces(dialog), first);
        road.picture(name + "-again");
    });
    EXPECT_EQ(road.finish(), 0);
}
