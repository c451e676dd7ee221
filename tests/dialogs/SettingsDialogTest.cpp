// The settings dialog as the game authors it: filled from the stored settings and the live
// state, volumes heard at once and undone by cancel, OK storing, saving and applying full
// screen and hints, the slider's step sounds, and the credits behind the info button.
#include <algorithm>
#include <string>
#include <vector>

#include "app/ChoiceDialogsFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/gui/Slider.h"
#include "framework/gui/Switch.h"
#include "game/dialogs/DialogCredits.h"
#include "game/dialogs/DialogSettings.h"

namespace settings_dialog_test {

class SettingsDialogTest : public ChoiceDialogsTest {
protected:
    // The settings as a fresh start reads them from the store (the manager is made again).
    static QuovelMahjongGameSettings reloaded() {
        SettingsManager::releaseInstance();
        SettingsManager::createInstance(new QuovelMahjongGameSettings());
        QuovelMahjongGameSettings read;
        read.copyFrom(SettingsManager::instance()->getSettings());
        return read;
    }
    static Slider* slider(Dialog* dialog, const char* name) {
        return objectCast<Slider>(dialog->findChild(name));
    }
    static Switch* switchOf(Dialog* dialog, const char* name) {
        return objectCast<Switch>(dialog->findChild(name));
    }
    void storeVolumes(int32_t effects, int32_t music) {
        IGameSettings* stored = SettingsManager::instance()->getSettings();
        stored->setSoundVolume(effects);
        stored->setMusicVolume(music);
        SettingsManager::instance()->saveToRegistry();
        SoundManager::getInstance()->setEffectsVolume(effects);
        SoundManager::getInstance()->setMusicVolume(music);
    }
};

TEST_F(SettingsDialogTest, SlidersAreHeardAtOnceAndCancelPutsTheStoredVolumesBack) {
    storeVolumes(200, 80);
    player().showHints = false;
    auto* dialog = open<DialogSettings>("DIALOG_SETTINGS");
    ASSERT_NE(dialog, nullptr);
    Slider* effects = slider(dialog, "SLIDER_FXVOL");
    Slider* music = slider(dialog, "SLIDER_MUSICVOL");
    ASSERT_TRUE(effects && music);
    EXPECT_EQ(effects->value, 200.0f);
    EXPECT_EQ(music->value, 80.0f);
    EXPECT_FALSE(switchOf(dialog, "SWITCH_FULLSCREEN")->isOn());
    EXPECT_TRUE(switchOf(dialog, "SWITCH_FULLSCREEN")->isEnabled());
    EXPECT_FALSE(switchOf(dialog, "SWITCH_SHOWHINTS")->isOn());
    played();

    // The effects knob is grabbed and dragged to the left end: the effect volume follows at once.
    Button* knob = effects->getKnob();
    const int32_t x = knob->getAbsoluteX() + knob->getWidth() / 2;
    const int32_t y = knob->getAbsoluteY() + knob->getHeight() / 2;
    dialog->getComponentsContainer().onLeftButtonDown(x, y, 1, false);
    dialog->getComponentsContainer().onMouseMove(x - 400, y, 1);
    EXPECT_EQ(effects->value, 0.0f);
    EXPECT_EQ(SoundManager::getInstance()->getEffectsVolume(), 0);
    EXPECT_EQ(mixer->effectsMasterVolume, 0);
    dialog->getComponentsContainer().onMouseMove(x + 400, y, 1);
    EXPECT_EQ(effects->value, 255.0f);
    frames(600);
    dialog->getComponentsContainer().onLeftButtonUp(x + 400, y, 0);
    frames(1000);
    music->stepUp();
    EXPECT_EQ(SoundManager::getInstance()->getMusicVolume(), 80 + 25);

    dialog->onCancel(nullptr);
    EXPECT_EQ(SoundManager::getInstance()->getEffectsVolume(), 200);
    EXPECT_EQ(mixer->effectsMasterVolume, 200);
    EXPECT_EQ(SoundManager::getInstance()->getMusicVolume(), 80);
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_EQ(scene->findDialog("DIALOG_SETTINGS"), nullptr);
    const QuovelMahjongGameSettings stored = reloaded();
    EXPECT_EQ(stored.getSoundVolume(), 200);
    EXPECT_EQ(stored.getMusicVolume(), 80);
}

TEST_F(SettingsDialogTest, TheSliderSoundsStepWithTheValueAtMostTwiceASecond) {
    auto* dialog = open<DialogSettings>("DIALOG_SETTINGS");
    ASSERT_NE(dialog, nullptr);
    Slider* effects = slider(dialog, "SLIDER_FXVOL");
    Button* knob = effects->getKnob();
    const int32_t x = knob->getAbsoluteX() + knob->getWidth() / 2;
    const int32_t y = knob->getAbsoluteY() + knob->getHeight() / 2;
    dialog->getComponentsContainer().onLeftButtonDown(x, y, 1, false);
    dialog->getComponentsContainer().onMouseMove(x - 400, y, 1);
    played();
    frames(1000);  // 10 ms frames: sounds in the first frame and 510 ms later
    const std::vector<std::string> low = played();
    ASSERT_EQ(low.size(), 2u);
    EXPECT_NE(low[0].find("slider_1.wav"), std::string::npos) << low[0];
    dialog->getComponentsContainer().onMouseMove(x + 400, y, 1);
    EXPECT_EQ(effects->value, 255.0f);
    frames(200);  // the next 510 ms after the second, from the top of the range
    const std::vector<std::string> high = played();
    ASSERT_EQ(high.size(), 1u);
    EXPECT_NE(high[0].find("slider_5.wav"), std::string::npos) << high[0];
    dialog->getComponentsContainer().onLeftButtonUp(x + 400, y, 0);
    frames(1000);
    EXPECT_TRUE(played().empty());
    EXPECT_EQ(DialogSettings::sliderSoundNumber(127.5f, 0, 255), 3);
    EXPECT_EQ(DialogSettings::sliderSoundNumber(5, 5, 5), 1);
}

TEST_F(SettingsDialogTest, OkStoresSavesAndAppliesFullScreenAndHints) {
    storeVolumes(200, 80);
    player().showHints = false;
    player().hints.fill(false);
    auto* dialog = open<DialogSettings>("DIALOG_SETTINGS");
    ASSERT_NE(dialog, nullptr);
    slider(dialog, "SLIDER_MUSICVOL")->stepDown();
    // The captions work the switches through the dialog's input.
    click(dialog, objectCast<Sprite>(dialog->findChild("LABEL_FULLSCREEN")));
    click(dialog, objectCast<Sprite>(dialog->findChild("LABEL_SHOWHINTS")));
    EXPECT_TRUE(switchOf(dialog, "SWITCH_FULLSCREEN")->isOn());
    EXPECT_FALSE(GameWindow::getInstance()->isFullScreen());  // only on OK
    EXPECT_FALSE(player().showHints);

    click(dialog, objectCast<Sprite>(dialog->findChild("BUTTON_OK")));
    EXPECT_TRUE(GameWindow::getInstance()->isFullScreen());
    EXPECT_TRUE(player().showHints);
    EXPECT_TRUE(
        std::all_of(player().hints.begin(), player().hints.end(), [](bool b) { return b; }));
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_EQ(scene->findDialog("DIALOG_SETTINGS"), nullptr);
    QuovelMahjongGameSettings stored = reloaded();
    EXPECT_EQ(stored.getMusicVolume(), 54);  // 80 - 25.5, truncated
    EXPECT_EQ(stored.getSoundVolume(), 200);
    EXPECT_TRUE(stored.getFullscreen());
    EXPECT_TRUE(stored.getUseHints());

    // A new opening reads the live state; hints off changes only the flag.
    player().hints[3] = false;
    dialog = open<DialogSettings>("DIALOG_SETTINGS");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(switchOf(dialog, "SWITCH_FULLSCREEN")->isOn());
    EXPECT_TRUE(switchOf(dialog, "SWITCH_SHOWHINTS")->isOn());
    click(dialog, switchOf(dialog, "SWITCH_SHOWHINTS"));
    dialog->onOk(nullptr);
    EXPECT_FALSE(player().showHints);
    EXPECT_FALSE(player().hints[3]);
    EXPECT_TRUE(player().hints[4]);
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_FALSE(reloaded().getUseHints());

    // OK without changes still saves: a value changed behind the dialog's back is written over.
    dialog = open<DialogSettings>("DIALOG_SETTINGS");
    SettingsManager::instance()->getSettings()->setSoundVolume(17);
    dialog->onOk(nullptr);
    EXPECT_EQ(reloaded().getSoundVolume(), 200);
    frames(tuning().DIALOG_FADE_TIME + 20);
}

TEST_F(SettingsDialogTest, AScreenNoLargerThanTheGameKeepsFullScreenDisabled) {
    GameWindow::releaseInstance();
    display.screenW = 800;
    display.screenH = 600;
    GameWindow::createInstance(
        WindowServices{&display, &events, &cursor, &clipboard, &messageBox, &clock}, "Quovel", 800,
        600, true, 0, 102);
    auto* dialog = open<DialogSettings>("DIALOG_SETTINGS");
    ASSERT_NE(dialog, nullptr);
    Switch* fullscreen = switchOf(dialog, "SWITCH_FULLSCREEN");
    EXPECT_TRUE(fullscreen->isOn());
    EXPECT_FALSE(fullscreen->isEnabled());
    click(dialog, objectCast<Sprite>(dialog->findChild("LABEL_FULLSCREEN")));
    EXPECT_TRUE(fullscreen->isOn());
    dialog->onOk(nullptr);
    EXPECT_TRUE(GameWindow::getInstance()->isFullScreen());
    frames(tuning().DIALOG_FADE_TIME + 20);
}

TEST_F(SettingsDialogTest, InfoOpensTheCreditsAboveAndThePictureIsWritten) {
    auto* dialog = open<DialogSettings>("DIALOG_SETTINGS");
    ASSERT_NE(dialog, nullptr);
    RefHolder<Image> picture = writeScenePicture(scene.get(), "settings-dialog");
    ASSERT_NE(picture, nullptr);

    click(dialog, objectCast<Sprite>(dialog->findChild("BUTTON_INFO")));
    ASSERT_EQ(scene->getOpenDialogs().size(), 2u);
    EXPECT_EQ(scene->getOpenDialogs().back().get(), scene->findDialog("DIALOG_CREDITS"));
    EXPECT_NE(objectCast<DialogCredits>(scene->getOpenDialogs().back().get()), nullptr);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_SETTINGS"));
}

}  // namespace settings_dialog_test
