// The registry of GUI definitions: sections merged across files, global values and setups in
// BasicProperties, setups inherited, and the load hook.
#include "gui/GuiFixture.h"

namespace gui_definitions_test {

class CountingHook : public GuiLoadHook {
public:
    void onLoaded() override {
        ++calls;
        seenInteger = BasicProperties::instance()->getInteger("GUI_TEST_CONSTANT");
    }
    int calls = 0;
    int32_t seenInteger = -1;
};

class GuiDefinitionsTest : public GuiTest {};

TEST_F(GuiDefinitionsTest, LaterFilesOverrideEarlierDefinitionsAndGlobalsAreStoredBeforeTheHook) {
    putFile("first.xml",
            "<root><Integer id=\"GUI_TEST_CONSTANT\" value=\"5\"/>"
            "<Node id=\"dialogs\"><Dialog id=\"DIALOG_A\" movable=\"true\"/>"
            "<Dialog id=\"DIALOG_B\"/></Node>"
            "<Node id=\"templates\"><DialogPainter id=\"FRAME\"/></Node>"
            "<Node id=\"scenes\"><Scene id=\"SCENE_A\"/></Node></root>");
    putFile("second.xml",
            "<root><Integer id=\"GUI_TEST_CONSTANT\" value=\"7\"/>"
            "<Node id=\"dialogs\"><Panel id=\"DIALOG_A\"/></Node></root>");
    GuiDefinitions* definitions = GuiDefinitions::instance();
    definitions->addFile("first.xml");
    definitions->addFile("missing.xml");  // contributes nothing, loading goes on
    definitions->addFile("second.xml");
    RefHolder<CountingHook> hook = new CountingHook();
    definitions->setLoadHook(hook.get());
    definitions->load();

    EXPECT_EQ(definitions->findDialog("DIALOG_A")->getTypeWord(), "Panel");
    EXPECT_EQ(definitions->findDialog("DIALOG_B")->getTypeWord(), "Dialog");
    EXPECT_EQ(definitions->findTemplate("FRAME")->getTypeWord(), "DialogPainter");
    EXPECT_EQ(definitions->findScene("SCENE_A")->getTypeWord(), "Scene");
    EXPECT_EQ(definitions->findScene("DIALOG_A"), DUMMY_NODE);
    EXPECT_EQ(hook->calls, 1);
    EXPECT_EQ(hook->seenInteger, 7);

    // A second load rebuilds the sections rather than adding to them.
    definitions->load();
    EXPECT_EQ(definitions->getDialogs()->getNameTable().size(), 2u);
    EXPECT_EQ(hook->calls, 2);
}

TEST_F(GuiDefinitionsTest, SectionNodesStayOutOfTheGlobalsAndOtherTopLevelNodesGoIn) {
    definitionsFrom(
        "<Node id=\"dialogs\"><Dialog id=\"D\"/></Node>"
        "<Node id=\"LOOSE_NODE\"><Integer id=\"inside\" value=\"1\"/></Node>"
        "<NoSuchClass id=\"UNREGISTERED\"/>"
        "<Node id=\"properties\"><String id=\"GUI_TEST_NAME\" value=\"Quovel\"/></Node>");
    BasicProperties* globals = BasicProperties::instance();
    EXPECT_EQ(globals->getNode("dialogs"), nullptr);
    ASSERT_NE(globals->getNode("LOOSE_NODE"), nullptr);
    EXPECT_EQ(globals->getNode("LOOSE_NODE")->getChild("inside")->getInt(), 1);
    EXPECT_EQ(globals->getString("GUI_TEST_NAME"), "Quovel");
}

TEST_F(GuiDefinitionsTest, ADefinitionKeepsItsOwnKeysAndTakesTheRestFromItsSetup) {
    GuiDefinitions* definitions = definitionsFrom(
        "<Node id=\"setups\"><Node id=\"SETUP_FRAME\"><Boolean id=\"movable\" value=\"true\"/>"
        "<Boolean id=\"autocenter\" value=\"true\"/></Node></Node>"
        "<Node id=\"dialogs\"><Dialog id=\"D\"><String id=\"setup\" value=\"SETUP_FRAME\"/>"
        "<Boolean id=\"movable\" value=\"false\"/></Dialog></Node>");
    PropertyNode* dialog = definitions->findDialog("D");
    EXPECT_FALSE(dialog->getChild("movable")->getBool());
    ASSERT_NE(dialog->getChild("autocenter"), nullptr);
    EXPECT_TRUE(dialog->getChild("autocenter")->getBool());
    EXPECT_NE(BasicProperties::instance()->getNode("SETUP_FRAME"), nullptr);
}

TEST_F(GuiDefinitionsTest, LoadingNoFilesLeavesEmptySectionsAndStillCallsTheHook) {
    GuiDefinitions* definitions = GuiDefinitions::instance();
    RefHolder<CountingHook> hook = new CountingHook();
    definitions->setLoadHook(hook.get());
    definitions->load();
    EXPECT_EQ(hook->calls, 1);
    EXPECT_TRUE(definitions->getTemplates()->getNameTable().empty());
    EXPECT_TRUE(definitions->getDialogs()->getNameTable().empty());
    EXPECT_TRUE(definitions->getScenes()->getNameTable().empty());
}

}  // namespace gui_definitions_test
