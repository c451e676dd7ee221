#include "game/profile/TrophyList.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "app/ProfileTestSupport.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"

namespace trophy_list_test {

using TrophyListTest = ProfileTest;

std::vector<int32_t> savedStates(const TrophyList& list) {
    RefHolder<PropertyNode> node(new PropertyNode("trophies", "Trophies"));
    list.save(node.get());
    const PropertyVector* saved = node->getChildVector("trophyVector");
    std::vector<int32_t> states;
    for (int32_t i = 0; i < saved->getChildCount(); ++i) {
        EXPECT_EQ(saved->getChildAt(i)->getTypeWord(), "Integer");
        states.push_back(saved->getChildAt(i)->getInt());
    }
    return states;
}

// A "trophyVector" of `count` values 1, 2, 3, ...
RefHolder<PropertyNode> savedVector(int32_t count) {
    RefHolder<PropertyNode> node(new PropertyNode("trophies", "Trophies"));
    auto* saved = static_cast<PropertyVector*>(node->addChild(new PropertyVector("trophyVector")));
    for (int32_t i = 0; i < count; ++i) {
        saved->addChild(new PropertyValue("", i % 4 + 1));
    }
    return node;
}

TEST_F(TrophyListTest, DefinitionsGiveEntriesTheirDefaultsAndStatesSaveAsTheFileSays) {
    writeTrophies(
        "<root><Text id=\"TROPHY_SECTION\" value=\"shelf\"/><Vector id=\"TROPHIES\">"
        "<Trophy><Vector id=\"trophyinfos\"><TrophyInfo/>"
        "<TrophyInfo image=\"BIG\" section=\"own\" x=\"-4\" y=\"0x10\" headerId=\"H\"/>"
        "</Vector></Trophy><Trophy/><Trophy/></Vector></root>");
    RefHolder<TrophyList> list(new TrophyList());
    ASSERT_EQ(list->size(), 3);
    const Trophy& first = *list->getTrophy(TrophyId::NO_UNDO);
    ASSERT_EQ(first.infos.size(), 2u);
    const TrophyInfo& shelf = first.getInfo(0);
    EXPECT_EQ(std::tie(shelf.section, shelf.x, shelf.y, shelf.image),
              std::make_tuple("shelf", 0, 0, ""));
    const TrophyInfo& large = first.getInfo(1);
    EXPECT_EQ(std::tie(large.image, large.section, large.x, large.y, large.headerId),
              std::make_tuple("BIG", "own", -4, 16, "H"));

    // Without SAVE_NOT_SHOWN_AS_NEW every earned trophy is saved as seen; memory keeps its state.
    list->getTrophy(TrophyId::NO_UNDO)->state = Trophy::ANNOUNCED;
    list->getTrophy(TrophyId::PLENTY_OF_TIME)->state = Trophy::HELD_BACK;
    EXPECT_EQ(savedStates(*list), (std::vector<int32_t>{3, 0, 3}));
    EXPECT_EQ(list->getTrophy(TrophyId::NO_UNDO)->state, Trophy::ANNOUNCED);

    writeTrophies(trophyDefinitions(3, "<Boolean id=\"SAVE_NOT_SHOWN_AS_NEW\" value=\"false\"/>"));
    RefHolder<TrophyList> asTheyAre(new TrophyList());
    for (int32_t i = 0; i < 3; ++i) {
        asTheyAre->getTrophy(i)->state = std::vector<int32_t>{1, 2, 4}[i];
    }
    EXPECT_EQ(savedStates(*asTheyAre), (std::vector<int32_t>{1, 2, 4}));
}

TEST_F(TrophyListTest, SavedStatesFillOnlyTheTrophiesThatExist) {
    RefHolder<TrophyList> list(new TrophyList());
    list->load(savedVector(25).get());
    EXPECT_EQ(list->getTrophy(TrophyId::FULL_STOCKS)->state, 4);
    RefHolder<TrophyList> fewer(new TrophyList());
    fewer->load(savedVector(5).get());
    EXPECT_EQ(fewer->getTrophy(TrophyId::TEN_BONUSES)->state, 1);
    EXPECT_EQ(fewer->getTrophy(TrophyId::FLOOR_DONE)->state, 0);
    // A value in place of the list changes nothing.
    RefHolder<PropertyNode> wrong(new PropertyNode("trophies"));
    wrong->addChild(new PropertyValue("trophyVector", 3));
    fewer->load(wrong.get());
    EXPECT_EQ(fewer->getTrophy(TrophyId::TEN_BONUSES)->state, 1);
}

TEST_F(TrophyListTest, TextsTakeTheGroupingSymbolAndTheOptionalPlusText) {
    BasicProperties& texts = *BasicProperties::instance();
    texts.setText("CTEXT_DIGIT_GROUPING_SYMBOL", L"_");
    texts.setText("H3", L"  10%1000 of 1%1000%1000\t");
    texts.setText("B3", L" Got %2 and %2, 5%1000 ");
    texts.setText("B3_PLUS", L"more");
    RefHolder<TrophyList> list(new TrophyList());
    const TrophyInfo& info = list->getTrophy(TrophyId::QUICK_BONUS)->getInfo(1);
    EXPECT_EQ(info.headerText(), L"10 000 of 1 000 000");
    EXPECT_EQ(info.bodyText(false), L"Got  and %2, 5 000");
    EXPECT_EQ(info.bodyText(true), L"Got more and %2, 5 000");
}

// Reading and changing trophies goes through what the definitions hold: no crash whatever
// number of trophies the file gives.
TEST_F(TrophyListTest, AnyNumberOfTrophiesFromNoneToTwentyIsSafe) {
    for (int32_t count : {-1, 0, 1, 19, 20}) {
        SCOPED_TRACE(count);
        if (count < 0) {
            std::filesystem::remove(folder.path / "media/properties/trophies.xml");
        } else {
            writeTrophies(trophyDefinitions(count));
        }
        RefHolder<QuovelMahjongPlayer> player(new QuovelMahjongPlayer("Ann"));
        TrophyList& list = player->getTrophies();
        EXPECT_EQ(list.size(), std::max(count, 0));
        EXPECT_EQ(list.getTrophy(count), nullptr);
        EXPECT_EQ(list.getTrophy(-1), nullptr);
        for (int32_t i = 0; i < 20; ++i) {
            player->setHostHintShown(i);
            EXPECT_TRUE(player->wasHostHintShown(i));
        }
        player->setTrophiesSeen();
        list.load(savedVector(20).get());
        EXPECT_EQ(savedStates(list).size(), static_cast<size_t>(std::max(count, 0)));
        if (count > 0) {
            EXPECT_EQ(list.getTrophy(TrophyId::NO_UNDO)->getInfo(2).image, "");
        }
    }
}

// The game's own definitions: twenty trophies, each with its cabinet picture and its award
// entry whose texts exist.
TEST(TrophyContent, TwentyTrophiesWithPicturesAndTexts) {
    const std::string media = std::string(QUOVEL_BINARY_DIR) + "/game/";
    CurrentFolderScope inside(media);
    BasicProperties::createInstance();
    RefHolder<PropertyStore> texts(new PropertyStore("media/properties/text.xml"));
    ASSERT_TRUE(texts->load());
    for (const auto& [key, text] : texts->getNameTable()) {
        BasicProperties::instance()->setText(key, text->getText());
    }
    RefHolder<TrophyList> list(new TrophyList());
    ASSERT_EQ(list->size(), TrophyList::TROPHY_COUNT);
    std::set<std::string> images;
    std::set<std::pair<int32_t, int32_t>> places;
    for (int32_t i = 0; i < list->size(); ++i) {
        SCOPED_TRACE(i);
        const Trophy& trophy = *list->getTrophy(i);
        ASSERT_GE(trophy.infos.size(), 2u);
        const TrophyInfo& shelf = trophy.getInfo(0);
        const TrophyInfo& award = trophy.getInfo(1);
        EXPECT_EQ(shelf.section, "trophy");
        EXPECT_TRUE(images.insert(shelf.image).second);
        EXPECT_TRUE(images.insert(award.image).second);
        EXPECT_TRUE(places.insert({shelf.x, shelf.y}).second);
        EXPECT_EQ(award.x, shelf.x);
        EXPECT_EQ(award.y, shelf.y);
        EXPECT_NE(award.headerText(), L"");
        EXPECT_NE(award.bodyText(false), L"");
        EXPECT_EQ(award.headerText().find(L'%'), std::wstring::npos);
        EXPECT_EQ(award.bodyText(false).find(L'%'), std::wstring::npos);
        // The cabinet fills "%3" in the plus texts of these trophies only.
        const bool figure = i == 4 || i == 12 || i == 13 || i == 16;
        EXPECT_EQ(award.bodyText(true).find(L"%3") != std::wstring::npos, figure);
    }
    BasicProperties::releaseInstance();
}

}  // namespace trophy_list_test
