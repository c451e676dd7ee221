#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PropertyNames.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"

namespace property_tree_test {

// Names of a node's name table, in its order.
std::vector<std::string> tableNames(const PropertyNode& node) {
    std::vector<std::string> names;
    for (const auto& entry : node.getNameTable()) {
        names.push_back(entry.first);
    }
    return names;
}

using Names = std::vector<std::string>;

TEST(PropertyValue, ConstructorsSetTypeWordAndText) {
    RefHolder<PropertyValue> integer(new PropertyValue("i", -12));
    EXPECT_EQ(integer->getTypeWord(), "Integer");
    EXPECT_EQ(integer->getText(), L"-12");
    EXPECT_EQ(integer->getInt(), -12);

    RefHolder<PropertyValue> floating(new PropertyValue("f", 2.5f));
    EXPECT_EQ(floating->getTypeWord(), "Float");
    EXPECT_EQ(floating->getText(), L"2.5");

    RefHolder<PropertyValue> narrow(new PropertyValue("s", std::string("caf\xC3\xA9")));
    EXPECT_EQ(narrow->getTypeWord(), "String");
    EXPECT_EQ(narrow->getText(), L"caf\u00e9");
    EXPECT_EQ(narrow->toString(), "caf\xC3\xA9");

    RefHolder<PropertyValue> wide(new PropertyValue("t", L"hello"));
    EXPECT_EQ(wide->getTypeWord(), "Text");

    RefHolder<PropertyValue> typed(new PropertyValue("k", "Boolean", 1));
    EXPECT_EQ(typed->getTypeWord(), "Boolean");
    EXPECT_EQ(typed->getText(), L"1");

    RefHolder<PropertyValue> untyped(new PropertyValue("u", 7, true));
    EXPECT_EQ(untyped->getTypeWord(), "");
    EXPECT_EQ(untyped->getText(), L"7");

    RefHolder<PropertyValue> yes(PropertyValue::fromBool("b", true));
    EXPECT_EQ(yes->getTypeWord(), "Boolean");
    EXPECT_EQ(yes->getText(), L"true");
    EXPECT_TRUE(yes->getBool());
}

TEST(PropertyValue, ReadersOfNonValuesReadTheNullValue) {
    RefHolder<PropertyNode> node(new PropertyNode("n", "Node"));
    node->addChild(new PropertyValue("value", L"42"));
    // A node's own text is the null value's, not its "value" child's.
    EXPECT_EQ(node->getText(), L"");
    EXPECT_EQ(node->getInt(), 0);
    EXPECT_FALSE(node->getBool());
    EXPECT_EQ(node->getFloat(), 0.0f);
    EXPECT_EQ(node->getChildValue("missing"), DUMMY_VALUE);
    EXPECT_EQ(node->getChildNode("value"), DUMMY_NODE);  // wrong kind
    EXPECT_EQ(node->getChildVector("value"), DUMMY_VECTOR);
    EXPECT_EQ(node->getChildValue("value")->getInt(), 42);
}

TEST(PropertyNode, ReAddingANameMovesItToTheEndAndReplacesIt) {
    RefHolder<PropertyNode> node(new PropertyNode("n", "Node"));
    PropertyValue* firstA = new PropertyValue("a", 1);
    node->addChild(firstA);
    node->addChild(new PropertyValue("b", 2));
    PropertyValue* secondA = new PropertyValue("a", 3);
    EXPECT_EQ(node->addChild(secondA), secondA);

    EXPECT_EQ(listedNames(*node), (Names{"b", "a"}));
    EXPECT_EQ(tableNames(*node), (Names{"b", "a"}));
    EXPECT_EQ(node->getChild("a"), secondA);
    EXPECT_EQ(node->getChildAt(1), secondA);
    EXPECT_EQ(node->getChildCount(), 2);
}

TEST(PropertyNode, UntypedValuesAreFoundByNameOnly) {
    RefHolder<PropertyNode> node(new PropertyNode("Label_1", "Label"));
    node->addChild(new PropertyValue("x", 10, true));
    node->addChild(new PropertyValue("width", 20));
    node->addChild(new PropertyValue("y", 5, true));

    EXPECT_EQ(node->getChildCount(), 1);
    EXPECT_EQ(listedNames(*node), (Names{"width"}));
    // The name table keeps insertion order, untyped values included.
    EXPECT_EQ(tableNames(*node), (Names{"x", "width", "y"}));
    EXPECT_EQ(node->getChild("x")->getInt(), 10);

    // An untyped value replacing a typed one leaves the list.
    node->addChild(new PropertyValue("width", 30, true));
    EXPECT_EQ(node->getChildCount(), 0);
    EXPECT_EQ(tableNames(*node), (Names{"x", "y", "width"}));
    EXPECT_EQ(node->getChild("width")->getInt(), 30);
}

TEST(PropertyNode, IndexOutOfRangeReadsNull) {
    RefHolder<PropertyNode> node(new PropertyNode("n"));
    node->addChild(new PropertyValue("a", 1));
    EXPECT_EQ(node->getChildAt(-1), nullptr);
    EXPECT_EQ(node->getChildAt(1), nullptr);
    EXPECT_NE(node->getChildAt(0), nullptr);
    EXPECT_EQ(node->getChild("absent"), nullptr);
}

TEST(PropertyNode, RemoveChildDropsBothEntriesAndReleases) {
    RefHolder<PropertyNode> node(new PropertyNode("n"));
    RefHolder<PropertyValue> kept(new PropertyValue("a", 1));
    node->addChild(kept.get());
    node->addChild(new PropertyValue("b", 2, true));
    EXPECT_EQ(kept->getRefCount(), 3);  // ours, the list's, the table's

    node->removeChild("a");
    EXPECT_EQ(kept->getRefCount(), 1);
    EXPECT_EQ(node->getChild("a"), nullptr);
    EXPECT_EQ(node->getChildCount(), 0);
    EXPECT_EQ(tableNames(*node), (Names{"b"}));

    node->removeChild("b");
    node->removeChild("never there");
    EXPECT_TRUE(node->getNameTable().empty());
}

TEST(PropertyNode, ReAddingTheSameChildKeepsItAlive) {
    // The node holds the only references: re-adding must not free the child on the way.
    RefHolder<PropertyNode> node(new PropertyNode("n"));
    PropertyValue* child = new PropertyValue("a", 1);
    node->addChild(child);
    node->addChild(new PropertyValue("b", 2));
    EXPECT_EQ(node->addChild(child), child);
    EXPECT_EQ(child->getRefCount(), 2);
    EXPECT_EQ(child->getInt(), 1);
    EXPECT_EQ(listedNames(*node), (Names{"b", "a"}));
}

TEST(PropertyNode, AddBoolAndChoices) {
    RefHolder<PropertyNode> node(new PropertyNode("n"));
    PropertyValue* flag = node->addBool("visible", false, false);
    ASSERT_NE(flag, nullptr);
    EXPECT_EQ(flag->getTypeWord(), "Boolean");
    EXPECT_EQ(flag->getText(), L"false");
    PropertyValue* attribute = node->addBool("hidden", true, true);
    EXPECT_EQ(attribute->getTypeWord(), "");
    EXPECT_EQ(node->getChildCount(), 1);

    node->addChild(new PropertyValue("align", "center", true));
    node->addChild(new PropertyValue("wrap", L"Center"));
    static const char* const words[] = {"left", "center", "right", "center"};
    EXPECT_EQ(node->getChoice("align", words, -1), 1);  // the first match
    EXPECT_EQ(node->getChoice("wrap", words, -1), -1);  // exact, case matters
    EXPECT_EQ(node->getChoice("absent", words, 2), 2);
    EXPECT_EQ(DUMMY_NODE->getChoice("align", words, 7), 7);
}

TEST(PropertyVector, KeepsEveryElementInOrder) {
    RefHolder<PropertyVector> vector(new PropertyVector("list"));
    EXPECT_EQ(vector->getTypeWord(), "Vector");
    EXPECT_TRUE(vector->isVector());
    vector->addChild(new PropertyValue("", 1));
    vector->addChild(new PropertyValue("", 2));
    vector->addChild(new PropertyValue("same", 3));
    vector->addChild(new PropertyValue("same", 4, true));
    PropertyValue* flag = vector->addBool(true);
    ASSERT_NE(flag, nullptr);
    EXPECT_EQ(flag->getName(), "");
    EXPECT_EQ(flag->getTypeWord(), "Boolean");
    ASSERT_EQ(vector->getChildCount(), 5);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vector->getChildAt(i)->getInt(), i + 1);
    }
    EXPECT_EQ(vector->getChildAt(5), nullptr);
}

TEST(PropertyNode, KindsAndTypeRecords) {
    RefHolder<PropertyStore> store(new PropertyStore("a.xml"));
    EXPECT_EQ(store->getTypeWord(), "root");
    EXPECT_EQ(store->getName(), "");
    EXPECT_TRUE(store->isNode());
    EXPECT_EQ(store->getFiles(), (Names{"a.xml"}));
    EXPECT_TRUE(store->getCondenseWhiteSpace());
    EXPECT_EQ(RefHolder<PropertyStore>(new PropertyStore())->getFiles().size(), 0u);

    EXPECT_TRUE(store->isA(&PropertyNode::typeRecord));
    EXPECT_TRUE(store->isA(&AbstractProperty::typeRecord));
    EXPECT_FALSE(store->isA(&BaseObject::typeRecord));
    // Shares the vector's code but is not a vector.
    EXPECT_FALSE(store->isA(&PropertyVector::typeRecord));
    EXPECT_EQ(vectorOrDummy(store.get()), DUMMY_VECTOR);
    EXPECT_EQ(nodeOrDummy(store.get()), store.get());
    EXPECT_EQ(nodeOrDummy(nullptr), DUMMY_NODE);
}

TEST(NullObjects, StayEmptyAndSurviveTheirHolders) {
    ASSERT_EQ(DUMMY_VALUE, PropertyValue::dummy());
    EXPECT_EQ(DUMMY_VALUE->getName(), "DUMMY_VALUE");
    EXPECT_EQ(DUMMY_VALUE->getTypeWord(), "");
    EXPECT_EQ(DUMMY_NODE->getName(), "DUMMY_NODE");
    EXPECT_EQ(DUMMY_NODE->getTypeWord(), "");
    EXPECT_EQ(DUMMY_VECTOR->getName(), "DUMMY_VECTOR");

    {
        // Holders count them, and the last release destroys nothing.
        RefHolder<PropertyNode> node(DUMMY_NODE);
        RefHolder<PropertyValue> value(DUMMY_VALUE);
        RefHolder<PropertyVector> vector(DUMMY_VECTOR);
        EXPECT_GE(node->getRefCount(), 1);
    }
    DUMMY_VALUE->setText(L"changed");
    DUMMY_VALUE->setTypeWord("Text");
    DUMMY_NODE->setName("renamed");
    EXPECT_EQ(DUMMY_VALUE->getText(), L"");
    EXPECT_EQ(DUMMY_VALUE->getTypeWord(), "");
    EXPECT_EQ(DUMMY_NODE->getName(), "DUMMY_NODE");

    RefHolder<PropertyValue> child(new PropertyValue("a", 1));
    EXPECT_EQ(DUMMY_NODE->addChild(child.get()), child.get());
    EXPECT_EQ(DUMMY_VECTOR->addChild(child.get()), child.get());
    EXPECT_EQ(DUMMY_NODE->addBool("b", true, false), nullptr);
    EXPECT_EQ(DUMMY_VECTOR->addBool(true), nullptr);
    EXPECT_EQ(child->getRefCount(), 1);
    EXPECT_EQ(DUMMY_NODE->getChildCount(), 0);
    EXPECT_TRUE(DUMMY_NODE->getNameTable().empty());
    EXPECT_EQ(DUMMY_VECTOR->getChildCount(), 0);
}

}  // namespace property_tree_test
