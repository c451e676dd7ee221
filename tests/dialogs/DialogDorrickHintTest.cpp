// The host's hint box: the player's name in every "%n" (and only there), a box grown by its
// text, its own sound instead of the generic one, and OK handing the dialog to the opener's
// callback once it has faded out; hint 3's star count by best score.
#include "game/dialogs/DialogDorrickHint.h"

#include <map>

#include "content/ContentXml.h"
#include "dialogs/GameDialogFixture.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/SceneRecRoom.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/screen/GameSceneStates.h"
#include "testsupport/TempFolder.h"

namespace dialog_dorrick_hint_test {

// A 200 x 80 box; the font advances 6 pixels a character, lines are 10 apart, 8 high.
constexpr const char* HINT_DEFINITIONS =
    "<Node id=\"dialogs\"><DialogDorrickHint id=\"DIALOG_DORRICK_HINT\" width=\"200\" "
    "height=\"80\"><Vector id=\"components\">"
    "<TypeLabel id=\"TEXT\" x=\"10\" y=\"10\" width=\"180\" wrapstyle=\"wordwrap\" font=\"F\" "
    "section=\"gui\"/>"
    "<Button id=\"BUTTON_OK\" x=\"80\" y=\"40\" image=\"STRIP\" section=\"gui\"/>"
    "</Vector></DialogDorrickHint></Node>";

class DialogDorrickHintTest : public GameDialogTest {
protected:
    void SetUp() override {
        GameDialogTest::SetUp();
        RefHolder<Sound> sound = new Sound(1.0f);
        sound->load(1, 0, "SOUND_DORRICK_HINT");
        defaultSection->addObject("SOUND_DORRICK_HINT", new MemoryObjectResource(sound.get()));
        font = new SyntheticFont();
        section->addObject("F", new MemoryObjectResource(font.get()));
        definitionsFrom(HINT_DEFINITIONS);
        BasicProperties::instance()->setText("DORRICK_HINT_1", L"Hi %n, I am %n's host.");
        BasicProperties::instance()->setText("DORRICK_HINT_2", L"No name here.");
        PlayerManager::createInstance("", false);
        PlayerManager::getInstance()->addPlayer(new QuovelMahjongPlayer("Al%n"));
    }
    void TearDown() override {
        PlayerManager::releaseInstance();
        GameDialogTest::TearDown();
    }
    DialogDorrickHint* hint() {
        return objectCast<DialogDorrickHint>(scene->getDialog("DIALOG_DORRICK_HINT"));
    }

    RefHolder<SyntheticFont> font;
};

void* closedTo = nullptr;
int closings = 0;

int32_t afterClose(void* target, BaseObject*) {
    closedTo = target;
    ++closings;
    return 0;
}

TEST_F(DialogDorrickHintTest, TheNameFillsEveryMarkAndTheBoxGrowsWithItsText) {
    DialogDorrickHint* box = hint();
    ASSERT_NE(box, nullptr);
    // A name that itself holds "%n" goes in unchanged, in both places.
    box->showHint(1);
    EXPECT_EQ(box->getTextLabel()->getText(), L"Hi Al%n, I am Al%n's host.");
    const int32_t lines = static_cast<int32_t>(box->getTextLabel()->getLines().size());
    EXPECT_EQ(box->getTextLabel()->getHeight(), 8 + 10 * (lines - 1));
    EXPECT_EQ(box->getHeight(), 80 + box->getTextLabel()->getHeight());
    EXPECT_EQ(box->getOkButton()->getY(), 40 + box->getTextLabel()->getHeight());

    DialogDorrickHint* plain = hint();
    plain->showHint(2);
    EXPECT_EQ(plain->getTextLabel()->getText(), L"No name here.");

    // The box is made once per scene and filled again: each fill starts from the definition's
    // layout, so the OK button does not walk down. A hint without a text gives an empty box of
    // the requested height plus the empty label's.
    DialogDorrickHint* empty = hint();
    EXPECT_EQ(empty, box);
    empty->showHint(99);
    EXPECT_EQ(empty->getTextLabel()->getText(), L"");
    EXPECT_EQ(empty->getHeight(), 80 + empty->getTextLabel()->getHeight());
    EXPECT_EQ(empty->getOkButton()->getY(), 40 + empty->getTextLabel()->getHeight());
}

TEST_F(DialogDorrickHintTest, OkClosesWithTheHostsSoundAndHandsTheDialogToTheOpener) {
    DialogDorrickHint* box = hint();
    box->showHint(1);
    box->setCallback(this, &afterClose);
    scene->openDialog(box);
    EXPECT_EQ(played(), Keys{"SOUND_DORRICK_HINT"});
    frame(200);  // faded in, the text still typing
    EXPECT_FALSE(box->getTextLabel()->isFinished());

    Button* ok = box->getOkButton();
    const int32_t x = ok->getAbsoluteX() + 2;
    const int32_t y = ok->getAbsoluteY() + 2;
    InputHandler* input = scene->getInputHandler();
    input->onMouseMove(x, y, 0);
    input->onLeftButtonDown(x, y, 1, false);
    input->onLeftButtonUp(x, y, 0);
    EXPECT_EQ(closings, 0);
    for (int i = 0; i < 20; ++i) {
        frame(16);
    }
    EXPECT_EQ(closings, 1);
    // The callback's target became the dialog itself.
    EXPECT_EQ(closedTo, static_cast<void*>(box));
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_DORRICK_HINT"));
}

TEST(DorrickHintStars, TheMedalOfTheBestScoreGivesTheStarCount) {
    // Bronze (below silver) one star, silver two, gold three; the limits belong to the higher.
    EXPECT_EQ(DialogDorrickHint::starsFor(0, 500, 900), L"1");
    EXPECT_EQ(DialogDorrickHint::starsFor(499, 500, 900), L"1");
    EXPECT_EQ(DialogDorrickHint::starsFor(500, 500, 900), L"2");
    EXPECT_EQ(DialogDorrickHint::starsFor(899, 500, 900), L"2");
    EXPECT_EQ(DialogDorrickHint::starsFor(900, 500, 900), L"3");
}

// The shipped texts by hint number: each number that a place shows carries the text meant for
// that place and event, and no text waits for a number that nothing shows.
TEST(DorrickHintTexts, EveryNumberShowsTheTextMeantForItsPlace) {
    std::vector<ContentNode> top;
    std::string error;
    ASSERT_TRUE(readContentFile(std::string(QUOVEL_BINARY_DIR) + "/game/media/properties/text.xml",
                                top, error))
        << error;
    std::map<int, std::string> texts;
    for (const ContentNode& node : top) {
        if (node.tag == "Text" && node.id.rfind("DORRICK_HINT_", 0) == 0) {
            texts[std::stoi(node.id.substr(13))] = node.value("value");
        }
    }
    // Lobby, hallway arrival, the hallway after a first win (floor 1 below silver, at silver,
    // higher floors below gold), the three rooms, the rules' trophy remarks.
    std::map<int, std::string> places = {{0, "welcome to the building"},
                                         {1, "door"},
                                         {2, "first room won"},
                                         {3, "%x"},
                                         {4, "gold score"},
                                         {5, "casino"},
                                         {SceneRecRoom::HOST_HINT, "rec room"},
                                         {7, "roof"},
                                         {15, "100,000 points"},
                                         {16, "10,000 pairs"},
                                         {17, "same face twice"}};
    // The game screen's instructions, by room and game type: each teaches its type's rules in
    // the words of the Help pages, which spell the types as the game does.
    const char* types[] = {"Classic,", "FreeCell,", "Split,", "Triple,", "River,", "Speed,"};
    const char* rules[] = {"its left or its right side is open",
                           "counts as free",
                           "one side-board tile with one free",
                           "three free tiles",
                           "at most two turns",
                           "one tile at a time"};
    std::string shipped =
        readTestFile(std::string(QUOVEL_BINARY_DIR) + "/game/media/properties/commontext.xml");
    // A page that speaks of the clock or the shuffle says what the rec room has instead.
    for (int page = 1; page <= 4; ++page) {
        const std::string words =
            readTestFile(std::string(QUOVEL_SOURCE_DIR) + "/art/images/manual/help_page" +
                         std::to_string(page) + ".svg");
        for (const char* rule : {"time runs out", "clock", "huffle"}) {
            EXPECT_TRUE(words.find(rule) == std::string::npos ||
                        words.find("rec room") != std::string::npos)
                << "page " << page << ": " << rule;
        }
        shipped += words;
    }
    EXPECT_EQ(shipped.find("Free Cell"), std::string::npos);
    // One word each everywhere, on the rooms' buttons too: building, elevator, board & tiles.
    shipped += readTestFile(std::string(QUOVEL_SOURCE_DIR) + "/art/splash/splash0.svg");
    std::string read =
        shipped + readTestFile(std::string(QUOVEL_BINARY_DIR) + "/game/media/properties/text.xml");
    for (const char* room : {"hallway/", "recroom/", "rooms/"}) {
        const std::string art = std::string(QUOVEL_BINARY_DIR) + "/art/images/" + room + "button_";
        read += readTestFile(art + "elevator.svg") + readTestFile(art + "customize.svg");
    }
    for (const char* other : {"hotel", "HOTEL", " lift", "Lift", ">Customize<", ">Tiles<"}) {
        EXPECT_EQ(read.find(other), std::string::npos) << other;
    }
    for (int type = 0; type < 6; ++type) {
        const auto gameType = static_cast<GameType>(type);
        const std::string& text = texts[StateInstructions::hintNumber(RoomKind::FLOORS, gameType)];
        EXPECT_TRUE(text.find(rules[type]) != std::string::npos &&
                    shipped.find(rules[type]) != std::string::npos)
            << rules[type];
        places[StateInstructions::hintNumber(RoomKind::FLOORS, gameType)] = types[type];
        EXPECT_EQ(StateInstructions::hintNumber(RoomKind::ROOF, gameType), type == 5 ? 13 : 14);
    }
    places[14] = "Mixed,";
    EXPECT_EQ(places.size(), 18u) << "two places share a hint number";
    for (const auto& [number, words] : places) {
        EXPECT_NE(texts[number].find(words), std::string::npos)
            << "hint " << number << " \"" << texts[number] << "\" lacks \"" << words << "\"";
    }
    for (const auto& [number, text] : texts) {
        EXPECT_TRUE(places.count(number)) << "hint " << number << " is shown nowhere: " << text;
    }
}

}  // namespace dialog_dorrick_hint_test
