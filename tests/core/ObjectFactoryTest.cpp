#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "content/ContentXml.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"

namespace object_factory_test {

int liveWidgets = 0;

// A factory-built class that counts its instances and remembers its definition's "title".
class Widget : public BaseObject {
    QUOVEL_TYPE(Widget)
public:
    explicit Widget(PropertyNode* definition)
        : title(definition->getChildValue("title")->getText()) {
        ++liveWidgets;
    }
    ~Widget() override { --liveWidgets; }
    std::wstring title;
};

// One that takes the definition as it comes.
class Anything : public BaseObject {
    QUOVEL_TYPE(Anything)
public:
    explicit Anything(AbstractProperty* definition) : definition(definition) {}
    AbstractProperty* definition;
};

QUOVEL_DEFINE_TYPE(Widget, &BaseObject::typeRecord)
QUOVEL_DEFINE_TYPE(Anything, &BaseObject::typeRecord)

BaseObject* makeNothing(AbstractProperty*) {
    return nullptr;
}

void collectTypeWords(const ContentNode& node, std::set<std::string>& words) {
    for (const ContentNode& child : node.children) {
        words.insert(child.tag);
        collectTypeWords(child, words);
    }
}

TEST(ObjectFactoryContainer, EveryTypeWordOfTheShippedPropertyFilesIsRegistered) {
    // Nodes of these type words are read by their key, never built by name.
    const std::set<std::string> readByKey = {"Bonus",   "Layout", "Place",
                                             "Section", "Trophy", "TrophyInfo"};
    std::set<std::string> words;
    int files = 0;
    const std::filesystem::path media = std::filesystem::path(QUOVEL_BINARY_DIR) / "game/media";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(media)) {
        if (entry.path().extension() != ".xml") {
            continue;
        }
        ++files;
        std::vector<ContentNode> nodes;
        std::string error;
        ASSERT_TRUE(readContentFile(entry.path().string(), nodes, error)) << error;
        for (const ContentNode& node : nodes) {
            words.insert(node.tag);
            collectTypeWords(node, words);
        }
    }
    EXPECT_GT(files, 10);
    EXPECT_TRUE(words.count("Tile") && words.count("Level"));
    for (const std::string& word : words) {
        EXPECT_TRUE(readByKey.count(word) || ObjectFactoryContainer::instance()->has(word))
            << word << " is used by a property file but not registered";
    }
}

TEST(ObjectFactoryContainer, TheProcessContainerExistsBeforeMain) {
    // Registration made it; the first use after main finds it, not a new empty one.
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    EXPECT_EQ(factory, ObjectFactoryContainer::instance());
    EXPECT_TRUE(factory->has("Integer"));
    EXPECT_EQ(factory->getRefCount(), 1);
    EXPECT_TRUE(factory->isA(&BaseObject::typeRecord));
}

TEST(ObjectFactoryContainer, CreatesByNameAndUnknownNamesGiveNull) {
    RefHolder<ObjectFactoryContainer> factory(new ObjectFactoryContainer());
    factory->add("Widget", &createFromDefinition<Widget>);
    factory->add("Anything", &createFromDefinition<Anything>);

    RefHolder<PropertyNode> definition(new PropertyNode("W", "Widget"));
    definition->addChild(new PropertyValue("title", L"Hello"));
    {
        RefHolder<BaseObject> made(factory->create("Widget", definition.get()));
        ASSERT_NE(made.get(), nullptr);
        EXPECT_EQ(made->getType(), &Widget::typeRecord);
        EXPECT_EQ(static_cast<Widget*>(made.get())->title, L"Hello");
        EXPECT_EQ(liveWidgets, 1);
    }
    EXPECT_EQ(liveWidgets, 0);

    EXPECT_EQ(factory->create("Unknown", definition.get()), nullptr);
    EXPECT_EQ(factory->create("", definition.get()), nullptr);
    EXPECT_EQ(factory->createObject(nullptr), nullptr);

    // By the definition's own type word.
    RefHolder<BaseObject> byTypeWord(factory->createObject(definition.get()));
    EXPECT_EQ(byTypeWord->getType(), &Widget::typeRecord);

    // A class wanting a node gets DUMMY_NODE for a value; one wanting anything gets it as is.
    RefHolder<PropertyValue> value(new PropertyValue("title", L"ignored"));
    RefHolder<BaseObject> fromValue(factory->create("Widget", value.get()));
    EXPECT_EQ(static_cast<Widget*>(fromValue.get())->title, L"");
    RefHolder<BaseObject> anything(factory->create("Anything", value.get()));
    EXPECT_EQ(static_cast<Anything*>(anything.get())->definition, value.get());
}

TEST(ObjectFactoryContainer, ALaterRegistrationReplacesTheEarlier) {
    RefHolder<ObjectFactoryContainer> factory(new ObjectFactoryContainer());
    factory->add("Widget", &createFromDefinition<Widget>);
    factory->add("Widget", &makeNothing);
    EXPECT_EQ(factory->getNames(), std::vector<std::string>{"Widget"});
    RefHolder<PropertyNode> definition(new PropertyNode("W", "Widget"));
    EXPECT_EQ(factory->create("Widget", definition.get()), nullptr);
    EXPECT_EQ(liveWidgets, 0);

    factory->remove("Widget");
    EXPECT_FALSE(factory->has("Widget"));
    EXPECT_TRUE(factory->getNames().empty());
}

class FactoryWithGlobals : public ::testing::Test {
protected:
    void SetUp() override {
        BasicProperties::releaseInstance();
        BasicProperties::createInstance();
    }
    void TearDown() override { BasicProperties::releaseInstance(); }
};

TEST_F(FactoryWithGlobals, ValueTypeWordsStoreAndMakeNothing) {
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    RefHolder<PropertyValue> integer(new PropertyValue("LIVES", 3));
    EXPECT_EQ(factory->createObject(integer.get()), nullptr);
    EXPECT_EQ(BasicProperties::instance()->getInteger("LIVES"), 3);

    // The handler decides, not the value's own type word.
    RefHolder<PropertyValue> text(new PropertyValue("RATE", L"2.5"));
    EXPECT_EQ(factory->create("Double", text.get()), nullptr);
    EXPECT_EQ(BasicProperties::instance()->getDouble("RATE"), 2.5);
}

TEST_F(FactoryWithGlobals, CreateChildObjectsSkipsUnregisteredTypeWords) {
    RefHolder<PropertyNode> properties(new PropertyNode("properties", "Node"));
    properties->addChild(new PropertyValue("A", 1));
    properties->addChild(new PropertyNode("mystery", "NoSuchClass"));
    properties->addChild(new PropertyValue("B", L"bee"));
    properties->addChild(new PropertyValue("C", 5, true));  // untyped: no handler
    properties->addChild(new PropertyNode("SETUP_X", "Node"));

    properties->createChildObjects();
    BasicProperties* globals = BasicProperties::instance();
    EXPECT_EQ(globals->getInteger("A"), 1);
    EXPECT_EQ(globals->getText("B"), L"bee");
    EXPECT_EQ(globals->getInteger("C"), 0);
    EXPECT_EQ(globals->getNode("SETUP_X"), properties->getChild("SETUP_X"));
    EXPECT_EQ(globals->getNode("mystery"), nullptr);
}

}  // namespace object_factory_test
