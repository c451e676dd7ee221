// The whole program run on fake operating-system services from the built game folder: the
// order in which the services start and go, what a normal run saves, what a refused start
// leaves alone, the forced full screen of a small desktop and the sleeping of an inactive
// window; and the developer's mistakes the program reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>

#include <sys/wait.h>
#include <unistd.h>

#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyFileHooks.h"
#include "framework/core/PropertyStore.h"
#include "framework/gui/Button.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceObject.h"
#include "framework/platform/ResourceSection.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/TimedTaskManager.h"
#include "framework/scene/SceneManager.h"
#include "game/app/GameListeners.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/dialogs/PlayerSwitch.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/GameSplit.h"
#include "game/screen/BuildingHooks.h"
#include "rules/GameTestSupport.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/e2e/RoadDriver.h"
#include "testsupport/os/FakeAudioMixer.h"
#include "testsupport/os/FakeClipboard.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeCursor.h"
#include "testsupport/os/FakeDisplay.h"
#include "testsupport/os/FakeEventSource.h"
#include "testsupport/os/FakeKeyStore.h"
#include "testsupport/os/FakeMessageBox.h"
#include "testsupport/os/FakeSystemInfoSource.h"
#include "testsupport/os/FillingDisk.h"
#include "testsupport/platform/LoaderPass.h"

namespace quovel_mahjong_main_test {

// Which services exist at a moment of the run.
std::string services() {
    std::string made;
    made += SettingsManager::instance() ? "settings " : "";
    made += SceneManager::getInstance() ? "scenes " : "";
    made += GameWindow::getInstance() ? "window " : "";
    made += SoundManager::getInstance() ? "sound " : "";
    made += ResourceManager::getInstance() ? "resources " : "";
    made += PlayerManager::getInstance() ? "players " : "";
    return made;
}

// The display and the mixer note which services exist when they are opened and closed.
struct RecordingDisplay : FakeDisplay {
    bool createWindow(const std::string& title, int width, int height, bool full) override {
        log.push_back("window made with: " + services());
        return FakeDisplay::createWindow(title, width, height, full);
    }
    // A full-screen window is shown once the first sections are asked for, before their wait
    // ends (the players come after it), so that the loader works while a slow show blocks; a
    // window as soon as it is made.
    void show() override {
        ResourceManager* resources = ResourceManager::getInstance();
        const bool asked = resources && resources->getTotalUnits() > 0;
        log.push_back("window shown with: " + services() + (asked ? "(first sections asked)" : ""));
        FakeDisplay::show();
    }
    void destroyWindow() override {
        if (hasWindow()) {
            log.push_back("window gone with: " + services());
        }
        FakeDisplay::destroyWindow();
    }
    std::vector<std::string> log;
};

struct RecordingMixer : FakeAudioMixer {
    explicit RecordingMixer(std::vector<std::string>& log) : log(log) {}
    bool start(int rate, int channels) override {
        log.push_back("sound started with: " + services());
        return FakeAudioMixer::start(rate, channels);
    }
    void close() override {
        log.push_back("sound closed with: " + services());
        FakeAudioMixer::close();
    }
    std::vector<std::string>& log;
};

// Time moves by the sleeps asked for, and the resource loader ends a pass at each while it has
// work. A hook sees every sleep while the frame tasks exist.
struct RunClock : FakeClock {
    void sleep(uint32_t ms) override {
        FakeClock::sleep(ms);
        waitForALoaderPass();
        if (onSleep && TimedTaskManager::getInstance()) {
            onSleep(ms);
        }
    }
    std::function<void(uint32_t)> onSleep;
};

// Notes the elapsed time of every frame.
struct ElapsedProbe : Task {
    void update(int32_t elapsedMs) override { elapsed.push_back(elapsedMs); }
    std::vector<int32_t> elapsed;
};

class ProgramRun : public ::testing::Test {
protected:
    ProgramRun() { enterProgramHome(home.str(), keys, display); }
    ~ProgramRun() override { leaveProgramHome(); }

    int run(int64_t quitAfterFrames) {
        AppServices given = fakeProgramServices(
            {&display, &events, &cursor, &clipboard, &messageBox, &clock}, &systemInfo,
            std::make_shared<RecordingMixer>(display.log), anotherCopyRunning);
        given.quitAfterFrames = quitAfterFrames;
        CurrentFolderScope back(std::filesystem::current_path());
        return QuovelMahjongMain::runProgram(
            given, (std::filesystem::path(QUOVEL_BINARY_DIR) / "game").string());
    }

    std::filesystem::path gameFolder() const {
        return std::filesystem::path(home.str()) / "data/Brastel/Games/Quovel Mahjong";
    }

    TempFolder home;
    FakeKeyStore keys;
    RecordingDisplay display;
    FakeEventSource events;
    FakeCursor cursor;
    FakeClipboard clipboard;
    FakeMessageBox messageBox;
    RunClock clock;
    FakeSystemInfoSource systemInfo;
    bool anotherCopyRunning = false;
};

TEST_F(ProgramRun, ANormalRunStartsInOrderShowsTheSplashSavesAndReleasesInOrder) {
    std::vector<std::string> runningScenes;
    RefHolder<ElapsedProbe> probe(new ElapsedProbe());
    bool stalled = false;
    clock.onSleep = [&](uint32_t) {
        if (Scene* scene = SceneManager::getInstance()->getRunningScene()) {
            runningScenes.push_back(scene->getName());
        }
        // One long stall: the frame after it is told at most 100 ms.
        if (!stalled) {
            stalled = true;
            TimedTaskManager::getInstance()->addTask(probe.get());
            clock.advance(700);
        }
    };
    EXPECT_EQ(run(30), QuovelMahjongMain::NORMAL_RUN);

    // Start-up: settings and players (a box about their files stands alone) before the window,
    // the window before sound, sound before resources, the window shown while the first
    // sections load; shut-down: the window goes after the saves, sound before the loader stops.
    const std::vector<std::string> expected = {
        "window made with: settings scenes window players ",
        "sound started with: settings scenes window players ",
        "window shown with: settings scenes window sound resources players (first sections asked)",
        "window gone with: settings scenes window sound resources players ",
        "sound closed with: settings resources ",
    };
    EXPECT_EQ(display.log, expected);
    EXPECT_EQ(display.title, "Quovel Mahjong");
    EXPECT_EQ(display.calls.front(), "createWindow full");

    ASSERT_FALSE(runningScenes.empty());
    EXPECT_EQ(runningScenes.back(), "SCENE_SPLASH");
    ASSERT_FALSE(probe->elapsed.empty());
    EXPECT_EQ(*std::max_element(probe->elapsed.begin(), probe->elapsed.end()), 100);

    // Saved after a normal run: players, scores, settings.
    EXPECT_TRUE(std::filesystem::exists(gameFolder() / "players/players.plrs.!"));
    EXPECT_TRUE(std::filesystem::exists(gameFolder() / "players/scores.xml.!"));
    std::vector<KeyValue> settings;
    EXPECT_TRUE(keys.readValues("Software\\Brastel\\Games\\QuovelMahjong", settings));
    EXPECT_NE(findKeyValue(settings, "musicvolume"), nullptr);

    EXPECT_EQ(services(), "");
    EXPECT_EQ(QuovelMahjongMain::getInstance(), nullptr);
    EXPECT_EQ(TimedTaskManager::getInstance(), nullptr);
}

TEST_F(ProgramRun, ARefusedStartEndsWithOneAndLeavesEveryStoredFileAlone) {
    std::filesystem::create_directories(gameFolder() / "players");
    writeTestFile(gameFolder() / "players/players.plrs.!", "the stored list");
    writeTestFile(gameFolder() / "players/scores.xml.!", "the stored scores");
    keys.writeDword("Software\\Brastel\\Games\\QuovelMahjong", "fullscreen", 0);
    const auto listTime = std::filesystem::last_write_time(gameFolder() / "players/players.plrs.!");

    anotherCopyRunning = true;
    EXPECT_EQ(run(5), QuovelMahjongMain::REFUSED_START);

    EXPECT_TRUE(display.calls.empty());
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_EQ(readTestFile(gameFolder() / "players/players.plrs.!"), "the stored list");
    EXPECT_EQ(readTestFile(gameFolder() / "players/scores.xml.!"), "the stored scores");
    EXPECT_EQ(std::filesystem::last_write_time(gameFolder() / "players/players.plrs.!"), listTime);
    std::vector<KeyValue> settings;
    ASSERT_TRUE(keys.readValues("Software\\Brastel\\Games\\QuovelMahjong", settings));
    EXPECT_EQ(settings.size(), 1u);
    EXPECT_EQ(services(), "");
}

TEST_F(ProgramRun, ASmallDesktopStartsInFullScreenWhateverTheStoredSetting) {
    keys.writeDword("Software\\Brastel\\Games\\QuovelMahjong", "fullscreen", 0);
    display.screenW = 800;
    display.screenH = 600;
    EXPECT_EQ(run(2), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_EQ(display.calls.front(), "createWindow full");
}

TEST_F(ProgramRun, AWindowedSettingIsKeptOnALargeDesktop) {
    keys.writeDword("Software\\Brastel\\Games\\QuovelMahjong", "fullscreen", 0);
    EXPECT_EQ(run(2), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_EQ(display.calls.front(), "createWindow windowed");
    ASSERT_GE(display.log.size(), 2u);
    EXPECT_EQ(display.log[1], "window shown with: settings scenes window players ");
}

TEST_F(ProgramRun, AnInactiveWindowSleepsInsteadOfRunningFrames) {
    events.push({WM_SIZE, SIZE_MINIMIZED, 0});
    int pausedSleeps = 0;
    bool frameRan = false;
    clock.onSleep = [&](uint32_t ms) {
        frameRan = frameRan || SceneManager::getInstance()->getRunningScene() != nullptr;
        if (ms == 40 && ++pausedSleeps == 5) {
            events.postQuit(0);
        }
    };
    EXPECT_EQ(run(0), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_EQ(pausedSleeps, 5);
    EXPECT_FALSE(frameRan);
}

TEST_F(ProgramRun, AGameSceneSavesThePlayersWhenShownAndAsksToQuitOnceYesEndsTheRun) {
    bool lobbyAsked = false;
    bool playersSavedOnShow = false;
    bool defaultLoadedWhenAsked = false;
    int closes = 0;
    int questionsSeen = 0;
    clock.onSleep = [&](uint32_t) {
        SceneManager* scenes = SceneManager::getInstance();
        if (!scenes) {
            return;
        }
        if (!lobbyAsked) {
            lobbyAsked = true;
            scenes->requestScene(scenes->getScene("SCENE_LOBBY"));
            return;
        }
        Scene* running = scenes->getRunningScene();
        if (!running || running->getName() != "SCENE_LOBBY") {
            return;
        }
        if (closes == 0) {
            playersSavedOnShow = std::filesystem::exists(gameFolder() / "players/players.plrs.!");
        }
        auto* question = objectCast<DialogYesNo>(running->findDialog("CTEXT_QUESTION_QUIT"));
        if (question && questionsSeen == 0) {
            ++questionsSeen;
            defaultLoadedWhenAsked =
                ResourceManager::getInstance()->getSection("default")->isFullyLoaded();
        }
        // The close box twice, then "yes".
        if (closes < 2) {
            ++closes;
            events.push({WM_CLOSE, 0, 0});
        } else if (closes == 2 && question) {
            ++closes;
            EXPECT_TRUE(running->isDialogOpen("CTEXT_QUESTION_QUIT"));
            // One question however often it was asked (the lobby's name input is open too:
            // there is no player yet).
            EXPECT_EQ(std::ranges::count(running->getOpenDialogs(), "CTEXT_QUESTION_QUIT",
                                         [](const auto& open) { return open->getName(); }),
                      1);
            EXPECT_TRUE(running->isDialogOpen("DIALOG_NEWPLAYER"));
            auto* yes =
                static_cast<iGuiMethod*>(question->getYesButton()->castTo(&iGuiMethod::typeRecord));
            yes->invoke(question->getYesButton());
        }
    };
    EXPECT_EQ(run(0), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_TRUE(playersSavedOnShow);
    EXPECT_EQ(closes, 3);
    EXPECT_EQ(questionsSeen, 1);
    EXPECT_TRUE(defaultLoadedWhenAsked);
    EXPECT_TRUE(std::filesystem::exists(gameFolder() / "players/scores.xml.!"));
}

TEST_F(ProgramRun, ADamagedProfileIsKeptAsideAndAFailingFolderIsToldOnceWhileSavesRetry) {
    // The statistics file is empty; Ann's profile is cut short; the players' folder is swapped
    // for a file and given back; the disk fills up; the quit is asked.
    writeTestFile(gameFolder() / "_temp/gd.xml", "");
    const std::filesystem::path folder = gameFolder() / "players", away = folder.string() + "~";
    const std::string profile = (folder / "-41-nn.plr.!").string();
    int frame = 0, floorRead = -1;
    std::wstring asked;
    FillingDisk disk;
    clock.onSleep = [&](uint32_t) {
        SceneManager* scenes = SceneManager::getInstance();
        if (frame > 30 || frame++ % 5 != 0) {
            return;
        }
        PlayerManager* players = PlayerManager::getInstance();
        if (frame == 1) {
            players->addPlayer(new QuovelMahjongPlayer("Ann"));
        } else if (frame == 6) {
            writeTestFile(profile, readTestFile(profile).substr(0, 300));
            players->loadPlayer(QuovelMahjongPlayer::current());
            QuovelMahjongPlayer::current()->floorReached = 3;
            std::filesystem::rename(folder, away);
            writeTestFile(folder, "in the way");
        } else if (frame == 16) {
            std::filesystem::remove(folder);
            std::filesystem::rename(away, folder);
        } else if (frame == 26) {
            RefHolder<QuovelMahjongPlayer> reread(new QuovelMahjongPlayer("Ann"));
            floorRead = players->loadPlayer(reread.get()) ? reread->floorReached : -1;
            disk.full = keys.failWrites = true;
            keys.writeError = EDQUOT;
        } else if (frame == 31) {
            // The profile written alone leaves the list's failure standing; the settings fail.
            disk.full = false;
            PlayerFileReport::savePlayer(QuovelMahjongPlayer::current());
            disk.full = true;
            SettingsManager::instance()->saveToRegistry();
            QuovelMahjongMain::askQuit();
            Dialog* question = scenes->getCurrentScene()->findDialog("CTEXT_QUESTION_QUIT");
            asked = objectCast<DialogYesNo>(question)->getMessage()->getText();
            events.postQuit(0);
        }
        scenes->requestScene(scenes->getScene(frame % 2 ? "SCENE_LOBBY" : "SCENE_ELEVATOR"));
    };
    ASSERT_EQ(run(0), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_EQ(floorRead, 3);
    EXPECT_NE(asked.find(L"save of your progress and the settings failed"), std::wstring::npos);
    ASSERT_EQ(messageBox.shown.size(), 6u);
    EXPECT_NE(messageBox.shown[0].text.find("statistics are kept\nin the file\ngd.xml.damaged-20"),
              std::string::npos);
    EXPECT_NE(messageBox.shown[1].text.find("Ann is kept\nin the file\n-41-nn"), std::string::npos);
    EXPECT_NE(messageBox.shown[2].text.find("saved\nin the file\n-41-nn.plr.!\nin the folder\n/"),
              std::string::npos);
    // The file standing in the players' folder's place is named, not the right to write.
    const std::string taken = std::regex_replace(messageBox.shown[2].text, std::regex("\n"), "");
    EXPECT_NE(taken.find(folder.string() + "Please move"), std::string::npos);
    // A full disk is called so; at the end every kind lost is named, told before or not.
    std::string full =
        messageBox.shown[3].text + "#" + messageBox.shown[4].text + "#" + messageBox.shown[5].text;
    std::ranges::replace(full, '\n', ' ');
    const std::string room = " The disk is full. Please make room on it for the game's files.";
    const std::string lost = " could not be saved in the folder ";
    EXPECT_TRUE(std::regex_match(
        full, std::regex("Your progress" + lost + "/.*" + room +
                         "#The settings could not be saved in the file values.keystore in the "
                         "folder Software.Brastel.Games.QuovelMahjong" +
                         room + "#Your progress and the high scores" + lost + "/.*" + room +
                         "  The settings" + lost + "Software.Brastel.Games.QuovelMahjong" + room)))
        << full;
}

// A profile linked to nowhere is told, left through the quit, and named by the quit question.
TEST_F(ProgramRun, AProfileLinkedToNowhereIsToldKeptAndNamedByTheQuitQuestion) {
    const std::filesystem::path profile = gameFolder() / "players/-41-nn.plr.!";
    std::wstring asked;
    clock.onSleep = [&](uint32_t) {
        Scene* running = SceneManager::getInstance()->getRunningScene();
        if (PlayerManager* players = PlayerManager::getInstance(); !players->getCurrentPlayer()) {
            players->addPlayer(new QuovelMahjongPlayer("Ann"));
            std::filesystem::create_symlink(home.path / "gone/-41-nn.plr.!", profile);
            players->loadPlayer(QuovelMahjongPlayer::current());
            SceneManager::getInstance()->goToScene("SCENE_LOBBY", "");
        } else if (asked.empty() && running && running->getName() == "SCENE_LOBBY") {
            QuovelMahjongMain::askQuit();
            auto* question = objectCast<DialogYesNo>(running->findDialog("CTEXT_QUESTION_QUIT"));
            asked = question->getMessage()->getText();
            events.postQuit(0);
        }
    };
    ASSERT_EQ(run(0), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_NE(asked.find(L"Nothing of your progress is saved"), std::wstring::npos);
    EXPECT_TRUE(std::filesystem::is_symlink(profile) && messageBox.shown.size() == 1);
    EXPECT_EQ(messageBox.shown[0].text.rfind("The profile of Ann could not be found: its", 0), 0u);
}

// Profiles that failed before a switch are named by the quit question and written at the end;
// one that fails again there is told by its owner's name.
TEST_F(ProgramRun, AProfileThatFailedBeforeASwitchIsNamedAtTheQuitAndWrittenAtTheEnd) {
    const std::filesystem::path profile = gameFolder() / "players/-41-nn.plr.!";
    std::wstring asked;
    clock.onSleep = [&](uint32_t) {
        Scene* running = SceneManager::getInstance()->getRunningScene();
        if (PlayerManager* players = PlayerManager::getInstance(); !players->getCurrentPlayer()) {
            for (const char* name : {"Ann", "Cy", "Bob"}) {
                players->addPlayer(new QuovelMahjongPlayer(name));
            }
            std::filesystem::create_directories(profile / "in the way");
            ASSERT_TRUE(switchToPlayer("Cy"));
            const std::filesystem::path cy =
                gameFolder() / "players" / players->getStoredProfileName("Cy");
            std::filesystem::remove(cy);
            std::filesystem::create_directories(cy / "in the way");
            ASSERT_TRUE(switchToPlayer("Bob"));
            SceneManager::getInstance()->goToScene("SCENE_LOBBY", "");
        } else if (asked.empty() && running && running->getName() == "SCENE_LOBBY") {
            QuovelMahjongMain::askQuit();
            auto* question = objectCast<DialogYesNo>(running->findDialog("CTEXT_QUESTION_QUIT"));
            asked = question->getMessage()->getText();
            std::filesystem::remove_all(profile);
            events.postQuit(0);
        }
    };
    ASSERT_EQ(run(0), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_NE(asked.find(L"The last save of the progress of Ann and the progress of Cy failed"),
              std::wstring::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(profile));
    ASSERT_FALSE(messageBox.shown.empty());
    EXPECT_EQ(messageBox.shown.back().text.rfind("The progress of Cy could not be saved", 0), 0u)
        << messageBox.shown.back().text;
}

// A data folder named with "..", a final dot or a backslash, or a relative HOME, is read as
// written: over two starts (a process each: the program runs once per process) nothing is lost
// or told. A player list linked to nowhere is told; Ann and her win come from her profile.
TEST_F(ProgramRun, AnyDataFolderNameKeepsTheProgressOverTwoStarts) {
    const std::string root = home.str();
    const std::string up =
        std::filesystem::relative(root, std::filesystem::path(QUOVEL_BINARY_DIR) / "game");
    std::filesystem::create_directories(root + "/x");
    for (const std::string& value : {root + "/x/../data", root + "/x/../home", root + "/data.",
                                     root + "/da\\ta", up + "/x/../rel./home", root + "/list"}) {
        const bool viaHome = value.ends_with("home"), linked = value.ends_with("list");
        ScopedEnvironment data("XDG_DATA_HOME", viaHome ? nullptr : value.c_str());
        ScopedEnvironment given(viaHome ? "HOME" : "XDG_DATA_HOME", value);
        const std::filesystem::path list = value + "/Brastel/Games/Quovel Mahjong/players";
        if (linked && std::filesystem::create_directories(list)) {
            std::filesystem::create_symlink(root + "/gone", list / "players.plrs.!");
        }
        for (const bool again : {false, true}) {
            if (const pid_t child = (std::fflush(nullptr), fork()); child != 0) {
                int status = -1;
                EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0) << value << again;
                continue;
            }
            bool done = false, read = false;
            const LevelPlace won{.floor = 1, .room = 1};
            clock.onSleep = [&, again](uint32_t) {
                PlayerManager* players = PlayerManager::getInstance();
                RefHolder<PropertyStore> game(new PropertyStore());
                if (!std::exchange(done, true) && !again) {
                    players->addPlayer(new QuovelMahjongPlayer("Ann"));
                    QuovelMahjongPlayer::current()->floorReached = 7;
                    QuovelMahjongPlayer::current()->getStats().recordLevelWon(won, 100, 9);
                    players->writeSaveGame(game.get(), "1", "Ann");
                } else if (auto* ann = QuovelMahjongPlayer::current(); again && ann) {
                    read = ann->floorReached == 7 &&
                           ann->getStats().roomRecord(1, 1)->levelWinCount == 1 &&
                           players->loadSaveGame(game.get(), "1", "Ann");
                }
                events.postQuit(0);
            };
            EXPECT_TRUE(run(0) == QuovelMahjongMain::NORMAL_RUN && (read || !again));
            const std::vector<FakeMessageBox::Message>& told = messageBox.shown;
            EXPECT_EQ(told.size(), size_t{linked}) << (told.empty() ? "" : told.back().text);
            _exit((std::fflush(nullptr), ::testing::Test::HasFailure()));
        }
    }
}

// A disk full from the start is told once, in the start's words, not again as saves fail.
TEST_F(ProgramRun, ADiskFullAtTheStartIsToldOnceAsNothingLostYet) {
    FillingDisk disk;
    disk.full = true;
    ASSERT_EQ(run(1500), QuovelMahjongMain::NORMAL_RUN);  // into the loading scene, which saves
    ASSERT_EQ(messageBox.shown.size(), 2u);               // and the end's
    EXPECT_EQ(messageBox.shown[0].text.rfind("The disk is full. Nothing is lost yet", 0), 0u);
}

// The settings' disk alone is full: only its folder is named.
TEST_F(ProgramRun, ADiskFullForTheSettingsAloneNamesTheirFolderAlone) {
    keys.failWrites = true;
    keys.writeError = ENOSPC;
    ASSERT_EQ(run(1500), QuovelMahjongMain::NORMAL_RUN);
    std::string told = messageBox.shown.at(0).text;
    std::erase(told, '\n');  // a long path is broken over lines
    EXPECT_NE(told.find("folderSoftware\\Brastel\\Games\\QuovelMahjong"), std::string::npos);
    EXPECT_EQ(told.find("folder" + gameFolder().string()), std::string::npos);
}

TEST_F(ProgramRun, TheSplashClosesTheWindowAtOnceWithoutAQuestion) {
    int frames = 0;
    bool asked = false;
    clock.onSleep = [&](uint32_t) {
        Scene* running = SceneManager::getInstance()->getRunningScene();
        if (!running || running->getName() != "SCENE_SPLASH") {
            return;
        }
        asked = asked || !running->getOpenDialogs().empty();
        if (++frames == 3) {
            events.push({WM_CLOSE, 0, 0});
        }
        // The run must end by itself; this only stops a broken one.
        if (frames > 200) {
            events.postQuit(9);
        }
    };
    EXPECT_EQ(run(0), QuovelMahjongMain::NORMAL_RUN);
    EXPECT_LT(frames, 10);
    EXPECT_FALSE(asked);
}

TEST(SectionWait, AFailedResourceCountsAsLoadedAndAWaitGivesUpAfterItsLimit) {
    TempFolder data;
    writeTestFile(data / "resources.xml",
                  "<root><Node id=\"Sections\"><Section id=\"broken\" name=\"broken\">"
                  "<Image id=\"MISSING\" file=\"no/such/picture.png\"/>"
                  "</Section></Node></root>");
    RunClock clock;
    AppServices given;
    given.window.clock = &clock;
    QuovelMahjongMain::createInstance(given);
    ResourceManager* resources = ResourceManager::createInstance();
    ASSERT_TRUE(resources->loadSectionList(data / "resources.xml"));

    // Before the loader may start, the section never loads: the wait ends at its limit.
    resources->requestSectionLoad("broken");
    EXPECT_FALSE(resources->waitForUrgentSections(10));
    EXPECT_GE(clock.milliseconds(), QuovelMahjongMain::SECTION_WAIT_LIMIT_MS);
    EXPECT_LE(clock.milliseconds(), QuovelMahjongMain::SECTION_WAIT_LIMIT_MS + 10);

    // Once it may, the picture that cannot be read counts as done and the wait ends at once.
    resources->setReady();
    clock.set(0);
    EXPECT_TRUE(resources->waitForUrgentSections(10));
    EXPECT_LT(clock.milliseconds(), 2000u);
    EXPECT_TRUE(resources->getSection("broken")->findResource("MISSING")->getHasError());

    ResourceManager::stopLoader();
    QuovelMahjongMain::releaseInstance();
}

// Each kind of developer's mistake is reported at once, naming the call and what is missing: a
// property file met without its hooks, an unknown scene, transition or dialog id, a hook that
// must be filled left empty, a road's check with no report, a tuning constant missing from the
// data, a board that is not the game's; last, a program without the game's wiring, which starts
// nothing and tells the player nothing (not that the data is missing).
TEST_F(ProgramRun, EachKindOfMistakeIsReportedInWordsForTheDeveloper) {
    TempFolder data;
    for (const char* file : GUI_PROPERTY_FILES) {
        writeTestFile(data / file, "<root/>");
    }
    SceneManager* manager = SceneManager::createInstance();
    RefHolder<Scene> scene = new Scene(DUMMY_NODE);
    manager->addScene("SCENE_A", scene.get());
    RefHolder<Game> split(new GameSplit(nullptr));
    const auto strayBoard = game_test::makeLayout({{0, 0, 0}, {4, 0, 0}});
    const std::pair<const char*, std::function<void()>> misses[] = {
        {"property file \"a.xml\" met while the property-file hooks are empty",
         [] {
             PropertyFileHooks::install({});
             RefHolder<PropertyStore>(new PropertyStore("a.xml"))->load();
         }},
        {"SceneManager::goToScene: no scene \"SCENE_B\"",
         [&] { manager->goToScene("SCENE_B", ""); }},
        {"SceneManager::createScene: no definition \"SCENE_B\"",
         [&] { manager->createScene("SCENE_B"); }},
        {"SceneManager::setTransition: no definition \"TRANSITION_B\"",
         [&] { manager->goToScene("SCENE_A", "TRANSITION_B"); }},
        {"Scene::getDialog: no definition \"DIALOG_NONE\"",
         [&] { EXPECT_EQ(scene->getDialog("DIALOG_NONE"), nullptr); }},
        {"BuildingHooks::quitAsked was called while empty",
         [] {
             BuildingHooks::quitAsked.install(nullptr);
             BuildingHooks::quitAsked();
         }},
        {"RoadCheck::report was called while empty",
         [] {
             const auto report = RoadCheck::report.install(nullptr);
             RoadCheck(false) << "a failure";
             RoadCheck::report.install(report);
         }},
        {"tuning constants missing from the property files, each read as 0: BONUS_ANIM_BONUS_DELAY",
         [&] {
             CurrentFolderScope inside(data.path);
             FileArchive::close();
             BasicProperties::createInstance();
             loadGuiDefinitions();
         }},
        {"Game::buildLevel: the board is neither the game's",
         [&] { split->buildLevel(strayBoard.get()); }},
        {"the property-file hooks are empty",
         [&] {
             PropertyFileHooks::install({});
             EXPECT_EQ(run(1), QuovelMahjongMain::CANNOT_START);
         }},
        {"the game's listener BuildingHooks::levelWon is empty; call installGameListeners() first",
         [&] {
             BuildingHooks::levelWon.install(nullptr);
             EXPECT_EQ(run(1), QuovelMahjongMain::CANNOT_START);
         }},
        {"does not start the game: installGameListeners() was not called, so the game's "
         "listeners are empty",
         [&] {
             QuovelMahjongMain::missingWiring.install(nullptr);
             EXPECT_EQ(run(1), QuovelMahjongMain::CANNOT_START);
         }},
    };
    // Each is written on stderr after the name of the program that met it.
    testing::internal::CaptureStderr();
    static std::string heard;  // instead of failing the test
    for (const auto& [words, miss] : misses) {
        heard.clear();
        const auto failing = mistakeMade.install([](const std::string& text) { heard += text; });
        miss();
        mistakeMade.install(failing);
        installGameListeners();
        EXPECT_NE(heard.find(words), std::string::npos) << words << " not in: " << heard;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("quovel-road-tests: mistake: ", 0), 0u);
    EXPECT_TRUE(messageBox.shown.empty());
    SceneManager::releaseInstance();
    GuiDefinitions::releaseInstance();
    BasicProperties::releaseInstance();
}

}  // namespace quovel_mahjong_main_test
