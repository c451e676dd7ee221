// The game's six property files, read from the game's folder in one load: the dialog frame,
// its setup, the three transitions and the loading text are there and build.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/DialogPainter.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/FileArchive.h"
#include "framework/scene/TransitionScene.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/rules/TuningConstants.h"
#include "testsupport/TempFolder.h"

TEST(GuiDefinitionsLoad, TheGamesFilesGiveTheFrameItsSetupAndTheTransitions) {
    CurrentFolderScope inside(std::filesystem::path(QUOVEL_BINARY_DIR) / "game");
    FileArchive::close();
    BasicProperties::createInstance();
    loadGuiDefinitions();
    GuiDefinitions* definitions = GuiDefinitions::instance();
    EXPECT_EQ(definitions->getFiles().size(), 6u);
    ASSERT_NE(definitions->getLoadHook(), nullptr);

    PropertyNode* frame = definitions->findTemplate("PAINTER_DIALOG");
    RefHolder<BaseObject> painter = ObjectFactoryContainer::instance()->createObject(frame);
    auto* dialogPainter = objectCast<DialogPainter>(painter.get());
    ASSERT_NE(dialogPainter, nullptr);
    EXPECT_EQ(dialogPainter->getImageNames().size(), 9u);
    EXPECT_EQ(dialogPainter->getCenterColor(), 0xFFF6EFE0u);
    ASSERT_NE(BasicProperties::instance()->getNode("SETUP_DIALOG"), nullptr);

    for (const char* name : {"TRANSITION_DEFAULT", "TRANSITION_ELEVATOR", "TRANSITION_SPLASH"}) {
        SCOPED_TRACE(name);
        RefHolder<BaseObject> made =
            ObjectFactoryContainer::instance()->createObject(definitions->findScene(name));
        EXPECT_NE(objectCast<TransitionScene>(made.get()), nullptr);
    }
    EXPECT_EQ(getBasicText("CTEXT_LOADING"), L"Loading");
    GuiDefinitions::releaseInstance();
    BasicProperties::releaseInstance();
    loadTuningConstants();
}
