#include <gtest/gtest.h>

#include "framework/core/BasicProperties.h"
#include "framework/core/GameNode.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "game/rules/TileManager.h"
#include "testsupport/rules/RulesFixtures.h"

namespace tile_test {

using rules_test::makeTile;
using rules_test::ScopedTuning;
using rules_test::tileNode;

// The usual suits: three of nine, winds, dragons, and two special suits matching as a whole.
class TileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RefHolder<PropertyNode> defs(new PropertyNode("suitDefs", "Node"));
        const int sizes[] = {9, 9, 9, 4, 3, 4, 4};
        for (int i = 0; i < 7; ++i) {
            auto* suit = new PropertyNode("s" + std::to_string(i), "Suit");
            suit->addChild(new PropertyValue("size", sizes[i], true));
            suit->addChild(new PropertyValue("matchType", i >= 5 ? "suit" : "exact", true));
            defs->addChild(suit);
        }
        BasicProperties::createInstance();
        BasicProperties::instance()->setNode("suitDefs", defs.get());
        TileManager::createInstance();
    }
    void TearDown() override {
        TileManager::releaseInstance();
        BasicProperties::releaseInstance();
    }
};

TEST_F(TileTest, ATileIsReadFromItsNode) {
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->create("Tile", tileNode(6, 3, 2, 1, 8, true).get()));
    auto* tile = objectCast<Tile>(made.get());
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->getGridX(), 6);
    EXPECT_EQ(tile->getGridY(), 3);
    EXPECT_EQ(tile->getGridZ(), 2);
    EXPECT_EQ(tile->getSuit(), 1);
    EXPECT_EQ(tile->getValue(), 8);
    EXPECT_TRUE(tile->isOnSideBoard());
    EXPECT_TRUE(tile->isPresent());
    EXPECT_FALSE(tile->isWholeSuit());

    // Without "suit": no face and not on a side board, whatever else the node says.
    RefHolder<PropertyNode> plain = tileNode(0x10, 0, 0);
    plain->addChild(new PropertyValue("idx", 5, true));
    plain->addChild(PropertyValue::fromBool("sideboard", true, true));
    RefHolder<Tile> faceless(new Tile(plain.get()));
    EXPECT_EQ(faceless->getSuit(), Tile::NO_SUIT);
    EXPECT_EQ(faceless->getValue(), 0);
    EXPECT_FALSE(faceless->isOnSideBoard());
    EXPECT_EQ(faceless->getGridX(), 16);
}

TEST_F(TileTest, MatchKeys) {
    EXPECT_EQ(makeTile(0, 0, 0, 2, 5)->getMatchKey(), 0x205);
    RefHolder<Tile> first = makeTile(0, 0, 0, 5, 0);
    RefHolder<Tile> second = makeTile(0, 0, 0, 5, 3);
    EXPECT_TRUE(first->isWholeSuit());
    EXPECT_EQ(first->getMatchKey(), 0x500);
    EXPECT_EQ(first->getMatchKey(), second->getMatchKey());
    EXPECT_NE(makeTile(0, 0, 0, 4, 0)->getMatchKey(), makeTile(0, 0, 0, 4, 1)->getMatchKey());
    // A suit number without a suit matches face by face; a negative one does not overflow.
    EXPECT_EQ(makeTile(0, 0, 0, 9, 1)->getMatchKey(), 0x901);
    RefHolder<Tile> negative = makeTile(0, 0, 0, 0, 0);
    negative->setFace(-1, 0);
    EXPECT_EQ(negative->getMatchKey(), static_cast<int32_t>(0xFFFFFF00u));

    RefHolder<Tile> dealt = makeTile(0, 0, 0, 0, 0);
    dealt->setFace(6, 2);
    EXPECT_TRUE(dealt->isWholeSuit());
    EXPECT_EQ(dealt->getMatchKey(), 0x600);
}

TEST_F(TileTest, SavingWritesTheKeysTheReaderReads) {
    RefHolder<Tile> tile = makeTile(12, 7, 3, 6, 2);
    RefHolder<PropertyNode> node(new PropertyNode("", "Tile"));
    tile->save(node.get());
    std::vector<std::string> names;
    for (const auto& entry : node->getNameTable()) {
        names.push_back(entry.first);
        EXPECT_TRUE(entry.second->getTypeWord().empty()) << entry.first;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"x", "y", "z", "idx", "suit", "sideboard"}));
    EXPECT_EQ(node->getChildValue("sideboard")->getValue(), "false");
    RefHolder<Tile> read(new Tile(node.get()));
    EXPECT_EQ(read->getMatchKey(), tile->getMatchKey());
    EXPECT_EQ(read->getGridZ(), 3);
}

TEST_F(TileTest, ACopySharesItsReferencesAndKeepsEveryField) {
    RefHolder<Tile> tile = makeTile(4, 2, 1, 3, 1);
    RefHolder<GameNode> effect(new GameNode());
    tile->setEffectNode(effect.get());
    tile->setDistance(17);
    tile->setVisible(false);
    tile->setOnSideBoard(true);
    RefHolder<Tile> copy(new Tile(*tile));
    EXPECT_EQ(copy->getEffectNode(), effect.get());
    EXPECT_EQ(effect->getRefCount(), 3);
    EXPECT_EQ(copy->getDistance(), 17);
    EXPECT_FALSE(copy->isPresent());
    EXPECT_TRUE(copy->isOnSideBoard());
    EXPECT_EQ(copy->getMatchKey(), 0x301);
    EXPECT_EQ(copy->getGridX(), 4);
    copy.reset();
    EXPECT_EQ(effect->getRefCount(), 2);
}

TEST_F(TileTest, FaceOffsetsFollowTheSheetLayout) {
    ScopedTuning constants({{"TILE_FACE_WIDTH", 30}, {"TILE_FACE_HEIGHT", 40}});
    struct Case {
        int suit, value, x, y;
    };
    for (const Case& c :
         {Case{0, 3, 90, 0}, Case{1, 0, 0, 41}, Case{2, 8, 240, 82}, Case{3, 2, 60, 164},
          Case{4, 1, 150, 164}, Case{5, 3, 90, 123}, Case{6, 0, 120, 123}, Case{7, 0, 0, 0}}) {
        RefHolder<Tile> tile = makeTile(0, 0, 0, c.suit, c.value);
        EXPECT_EQ(tile->getFaceOffsetX(), c.x) << c.suit;
        EXPECT_EQ(tile->getFaceOffsetY(), c.y) << c.suit;
    }
}

TEST_F(TileTest, TilesOfASuitAreCollected) {
    std::vector<RefHolder<Tile>> tiles = {makeTile(0, 0, 0, 1, 0), makeTile(2, 0, 0, 2, 0),
                                          makeTile(4, 0, 0, 1, 4), nullptr};
    std::vector<RefHolder<Tile>> ofSuit;
    collectTilesOfSuit(tiles, 1, ofSuit);
    ASSERT_EQ(ofSuit.size(), 2u);
    EXPECT_EQ(ofSuit[1]->getValue(), 4);
}

}  // namespace tile_test
