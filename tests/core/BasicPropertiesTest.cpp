#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"

namespace basic_properties_test {

class BasicPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        BasicProperties::releaseInstance();
        BasicProperties::createInstance();
        globals = BasicProperties::instance();
    }
    void TearDown() override { BasicProperties::releaseInstance(); }

    // Stores a property through the factory, as loading does.
    void store(AbstractProperty* property) {
        RefHolder<AbstractProperty> held(property);
        RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(property));
        EXPECT_EQ(made.get(), nullptr);
    }

    // Hands a text value to the named handler, whatever its own type word.
    void handle(const char* handler, const char* name, const wchar_t* text) {
        RefHolder<PropertyValue> value(new PropertyValue(name, text, true));
        EXPECT_EQ(ObjectFactoryContainer::instance()->create(handler, value.get()), nullptr);
    }

    BasicProperties* globals = nullptr;
};

TEST_F(BasicPropertiesTest, BasicTextReadsUnderscoreAsBlankAndEntersMissingKeys) {
    store(new PropertyValue("CTEXT_BLANK", L"_"));
    store(new PropertyValue("CTEXT_HELLO", L"Hello"));
    EXPECT_EQ(getBasicText("CTEXT_BLANK"), L" ");
    EXPECT_EQ(getBasicText("CTEXT_HELLO"), L"Hello");
    EXPECT_EQ(getBasicText("CTEXT_MISSING"), L"");
    // The miss entered the key; a later store overwrites it.
    store(new PropertyValue("CTEXT_MISSING", L"found"));
    EXPECT_EQ(getBasicText("CTEXT_MISSING"), L"found");
    store(new PropertyValue("CTEXT_UNDERSCORES", L"__"));
    EXPECT_EQ(getBasicText("CTEXT_UNDERSCORES"), L"__");
}

TEST_F(BasicPropertiesTest, ALaterValueReplacesAnEarlierOneByName) {
    // Two files' "properties" nodes, created in file order.
    RefHolder<PropertyStore> first(new PropertyStore("first.xml"));
    RefHolder<PropertyStore> second(new PropertyStore("second.xml"));
    PropertyNode* firstProperties =
        static_cast<PropertyNode*>(first->addChild(new PropertyNode("properties", "Node")));
    PropertyNode* secondProperties =
        static_cast<PropertyNode*>(second->addChild(new PropertyNode("properties", "Node")));
    firstProperties->addChild(new PropertyValue("X", 1));
    firstProperties->addChild(new PropertyValue("ONLY_FIRST", 7));
    secondProperties->addChild(new PropertyValue("X", 2));
    firstProperties->createChildObjects();
    secondProperties->createChildObjects();
    EXPECT_EQ(globals->getInteger("X"), 2);
    EXPECT_EQ(globals->getInteger("ONLY_FIRST"), 7);
}

TEST_F(BasicPropertiesTest, HandlersReadTextsTheirOwnWay) {
    handle("Integer", "HEX", L"#FFFFFFFF");
    handle("Integer", "LONG", L"#1FFFFFFFF");
    EXPECT_EQ(globals->getInteger("HEX"), -1);
    EXPECT_EQ(globals->getInteger("LONG"), -1);

    handle("Boolean", "FLAG_CAPITAL", L"False");
    handle("Boolean", "FLAG_EMPTY", L"");
    handle("Boolean", "FLAG_FALSE", L"false");
    EXPECT_TRUE(globals->getBoolean("FLAG_CAPITAL"));
    EXPECT_FALSE(globals->getBoolean("FLAG_EMPTY"));
    EXPECT_FALSE(globals->getBoolean("FLAG_FALSE"));

    handle("Double", "N", L" 0.1e1junk");
    handle("Float", "N", L" 0.1e1junk");
    handle("Double", "BAD", L"abc");
    EXPECT_EQ(globals->getDouble("N"), 1.0);
    EXPECT_EQ(globals->getFloat("N"), 1.0f);
    EXPECT_EQ(globals->getDouble("BAD"), 0.0);

    handle("String", "NAME", L"Caf\u00e9");
    EXPECT_EQ(globals->getString("NAME"), "Caf\xC3\xA9");
}

TEST_F(BasicPropertiesTest, WrongKindsStoreTheNullObjectsValue) {
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    RefHolder<PropertyNode> node(new PropertyNode("THING", "Node"));
    node->addChild(new PropertyValue("value", L"12"));
    factory->create("Integer", node.get());
    factory->create("Text", node.get());
    factory->create("Vector", node.get());
    EXPECT_EQ(globals->getInteger("THING"), 0);
    EXPECT_EQ(globals->getText("THING"), L"");
    EXPECT_EQ(globals->getVector("THING"), DUMMY_VECTOR);

    RefHolder<PropertyValue> value(new PropertyValue("VALUE", 3));
    factory->create("Node", value.get());
    EXPECT_EQ(globals->getNode("VALUE"), DUMMY_NODE);
    EXPECT_EQ(factory->create("Integer", nullptr), nullptr);
}

TEST_F(BasicPropertiesTest, MissingNamesReadAsDefaults) {
    EXPECT_EQ(globals->getInteger("NONE"), 0);
    EXPECT_EQ(globals->getDouble("NONE"), 0.0);
    EXPECT_EQ(globals->getFloat("NONE"), 0.0f);
    EXPECT_FALSE(globals->getBoolean("NONE"));
    EXPECT_EQ(globals->getString("NONE"), "");
    EXPECT_EQ(globals->getText("NONE"), L"");
    EXPECT_EQ(globals->getNode("NONE"), nullptr);
    EXPECT_EQ(globals->getVector("NONE"), nullptr);
}

TEST_F(BasicPropertiesTest, StoredNodesOutliveTheirStore) {
    PropertyNode* setup = nullptr;
    {
        RefHolder<PropertyStore> file(new PropertyStore("dialogs.xml"));
        auto* setups =
            static_cast<PropertyNode*>(file->addChild(new PropertyNode("setups", "Node")));
        setup = static_cast<PropertyNode*>(setups->addChild(new PropertyNode("BUTTON", "Node")));
        setup->addChild(new PropertyValue("width", 80));
        setups->createChildObjects();
    }
    ASSERT_EQ(globals->getNode("BUTTON"), setup);
    EXPECT_EQ(setup->getRefCount(), 1);
    EXPECT_EQ(setup->getChild("width")->getInt(), 80);

    // Replacing it releases the old node.
    store(new PropertyNode("BUTTON", "Node"));
    EXPECT_NE(globals->getNode("BUTTON"), setup);
}

// The names are kept for the rest of the process once loaded, so they are watched in a fresh
// one: a death test of the "threadsafe" style starts the test program anew.
TEST_F(BasicPropertiesTest, GameNameIsEmptyUntilLoadedThenKept) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto names = [] {
        std::fprintf(stderr, "[%s/%s]", BasicProperties::getGameName().c_str(),
                     BasicProperties::getGameId().c_str());
    };
    EXPECT_EXIT(
        {
            names();
            store(new PropertyValue("GAME_NAME", std::string("Quovel Mahjong")));
            store(new PropertyValue("GAME_ID", std::string("QuovelMahjong")));
            names();
            store(new PropertyValue("GAME_NAME", std::string("Other")));
            BasicProperties::releaseInstance();
            names();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0),
        "\\[/\\]\\[Quovel Mahjong/QuovelMahjong\\]\\[Quovel Mahjong/QuovelMahjong\\]");
}

TEST(BasicPropertiesWithoutInstance, TextsReadEmpty) {
    BasicProperties::releaseInstance();
    EXPECT_EQ(getBasicText("ANY"), L"");
    EXPECT_EQ(BasicProperties::instance(), nullptr);
}

}  // namespace basic_properties_test
