#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "framework/core/RefHolder.h"
#include "game/rules/TileManager.h"

namespace tile_manager_test {

RefHolder<PropertyNode> suitNode(const std::string& id, int size, const char* matchType) {
    RefHolder<PropertyNode> suit(new PropertyNode(id, "Suit"));
    suit->addChild(new PropertyValue("size", std::to_string(size), true));
    suit->addChild(new PropertyValue("numAppears", "4", true));
    suit->addChild(new PropertyValue("image", "TILES_" + id, true));
    if (matchType) {
        suit->addChild(new PropertyValue("matchType", matchType, true));
    }
    suit->addChild(new PropertyValue("faceXIdx", "2", true));
    suit->addChild(new PropertyValue("faceYIdx", "#10", true));
    return suit;
}

// Suits with the given sizes, numbered in order; the last `special` of them match as a whole.
RefHolder<PropertyNode> suitDefs(const std::vector<int>& sizes, size_t special = 0) {
    RefHolder<PropertyNode> defs(new PropertyNode("suitDefs", "Node"));
    for (size_t i = 0; i < sizes.size(); ++i) {
        const bool whole = i + special >= sizes.size();
        defs->addChild(suitNode("s" + std::to_string(i), sizes[i], whole ? "suit" : "exact").get());
    }
    return defs;
}

using FaceCounts = std::map<std::pair<int, int>, int>;

FaceCounts countFaces(const std::vector<RefHolder<TileDef>>& defs) {
    FaceCounts counts;
    for (const auto& def : defs) {
        ++counts[{def->getSuit(), def->getValue()}];
    }
    return counts;
}

class TileManagerTest : public ::testing::Test {
protected:
    void SetUp() override { Random::createInstance(1234); }
    void TearDown() override { Random::releaseInstance(); }
};

TEST_F(TileManagerTest, SuitsAreReadAndNumberedInOrder) {
    auto defs = suitDefs({9, 4}, 1);
    // A child that the factory makes into something else is not a suit.
    defs->addChild(new PropertyNode("stray", "GameNode"));
    defs->addChild(suitNode("odd", 3, "color").get());
    TileManager manager(defs.get());
    ASSERT_EQ(manager.getSuitCount(), 3);
    const TileSuit* first = manager.getSuit(0);
    EXPECT_EQ(first->getIndex(), 0);
    EXPECT_EQ(first->getSize(), 9);
    EXPECT_EQ(first->getAppearances(), 4);
    EXPECT_EQ(first->getImage(), "TILES_s0");
    EXPECT_EQ(first->getFaceColumn(), 2);
    EXPECT_EQ(first->getFaceRow(), 16);
    EXPECT_FALSE(manager.matchesAsWhole(0));
    EXPECT_TRUE(manager.matchesAsWhole(1));
    // An unknown match word keeps "exact"; the suit is numbered after the skipped child.
    EXPECT_EQ(manager.getSuit(2)->getIndex(), 2);
    EXPECT_FALSE(manager.matchesAsWhole(2));
    EXPECT_EQ(manager.getSuit(3), nullptr);
    EXPECT_EQ(manager.getSuit(-1), nullptr);
    EXPECT_FALSE(manager.matchesAsWhole(7));
}

TEST_F(TileManagerTest, TheSingletonReadsTheGlobalSuitDefs) {
    BasicProperties::createInstance();
    auto defs = suitDefs({9, 9, 9, 4, 3, 4, 4}, 2);
    BasicProperties::instance()->setNode("suitDefs", defs.get());
    TileManager::createInstance();
    ASSERT_NE(TileManager::instance(), nullptr);
    EXPECT_EQ(TileManager::instance()->getSuitCount(), 7);
    TileManager::releaseInstance();
    EXPECT_EQ(TileManager::instance(), nullptr);
    BasicProperties::releaseInstance();

    // Without "suitDefs" the list is empty.
    TileManager::createInstance();
    EXPECT_EQ(TileManager::instance()->getSuitCount(), 0);
    TileManager::releaseInstance();
}

TEST_F(TileManagerTest, AClassicDealOf144GivesTwoSpecialGroupsAndFourOfEveryFace) {
    auto defs = suitDefs({9, 9, 9, 4, 3, 4, 4}, 2);
    TileManager manager(defs.get());
    std::vector<RefHolder<TileDef>> out;
    manager.dealDefs(144, 2, 4, 5, out);
    ASSERT_EQ(out.size(), 144u);
    int special = 0;
    FaceCounts counts = countFaces(out);
    for (const auto& [face, count] : counts) {
        if (face.first >= 5) {
            special += count;
        } else {
            EXPECT_EQ(count, 4) << face.first << "/" << face.second;
        }
    }
    EXPECT_EQ(special, 8);
    EXPECT_EQ(counts.size(), 34u + 8u);  // every regular face, every special face once
}

TEST_F(TileManagerTest, TheSameSeedDealsTheSameFaces) {
    auto defs = suitDefs({9, 9, 9, 4, 3, 4, 4}, 2);
    TileManager manager(defs.get());
    std::vector<RefHolder<TileDef>> first;
    std::vector<RefHolder<TileDef>> second;
    manager.dealDefs(100, 2, 4, 5, first);
    Random::createInstance(1234);
    manager.dealDefs(100, 2, 4, 5, second);
    ASSERT_EQ(first.size(), 100u);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i]->getSuit(), second[i]->getSuit());
        EXPECT_EQ(first[i]->getValue(), second[i]->getValue());
    }
    // The remainder comes in pairs of equal regular faces.
    for (const auto& [face, count] : countFaces(first)) {
        if (face.first < 5) {
            EXPECT_EQ(count % 2, 0);
        }
    }
}

TEST_F(TileManagerTest, GroupsLargerThanASuitAddDrawnFacesOfThatSuit) {
    auto defs = suitDefs({9, 9, 9, 4, 3, 4, 4}, 2);
    TileManager manager(defs.get());
    std::vector<RefHolder<TileDef>> out;
    // Triple: copies 3, groups of 6; T = (34 * 3 + 6) * 2 = 216.
    manager.dealDefs(216, 3, 6, 5, out);
    ASSERT_EQ(out.size(), 216u);
    int special = 0;
    for (const auto& def : out) {
        if (def->getSuit() >= 5) {
            ++special;
            EXPECT_LT(def->getValue(), 4);
            EXPECT_GE(def->getValue(), 0);
        }
    }
    EXPECT_EQ(special, 12);
}

TEST_F(TileManagerTest, TheRemainderDealStopsWhenTheFacesRunOut) {
    auto defs = suitDefs({1, 1});
    TileManager manager(defs.get());
    std::vector<RefHolder<TileDef>> out;
    manager.dealDefs(10, 2, 4, 2, out);
    // Both faces twice, then two distinct pairs; the third pick finds the pool empty.
    EXPECT_EQ(out.size(), 8u);
    FaceCounts counts = countFaces(out);
    EXPECT_EQ((counts[{0, 0}]), 4);
    EXPECT_EQ((counts[{1, 0}]), 4);
}

TEST_F(TileManagerTest, MissingSpecialSuitsAreLeftOutAndRegularFacesFillTheDeal) {
    auto defs = suitDefs({9, 9, 9, 4, 3});
    TileManager manager(defs.get());
    std::vector<RefHolder<TileDef>> out;
    manager.dealDefs(144, 2, 4, 5, out);
    ASSERT_EQ(out.size(), 144u);
    for (const auto& def : out) {
        EXPECT_LT(def->getSuit(), 5);
    }
    // More regular suits asked for than exist: only the existing ones are dealt.
    std::vector<RefHolder<TileDef>> more;
    manager.dealDefs(144, 2, 4, 9, more);
    EXPECT_EQ(more.size(), 144u);
}

TEST_F(TileManagerTest, DealsWithNothingToDealEnd) {
    std::vector<RefHolder<TileDef>> out;
    TileManager empty(nullptr);
    empty.dealDefs(144, 2, 4, 5, out);
    EXPECT_TRUE(out.empty());

    auto zeroSizes = suitDefs({0, -3, 0, 0, 0, 0, 0});
    TileManager zero(zeroSizes.get());
    zero.dealDefs(144, 2, 4, 5, out);
    zero.dealDefs(144, 2, 0, 5, out);
    zero.dealDefs(144, 0, 0, 5, out);
    EXPECT_TRUE(out.empty());

    auto real = suitDefs({9, 9, 9, 4, 3, 4, 4}, 2);
    TileManager manager(real.get());
    manager.dealDefs(144, 0, 4, 5, out);  // no copies: only special groups
    manager.dealDefs(144, -2, -4, 5, out);
    manager.dealDefs(-5, 2, 4, 5, out);
    for (const auto& def : out) {
        EXPECT_GE(def->getSuit(), 5);
    }
}

}  // namespace tile_manager_test
