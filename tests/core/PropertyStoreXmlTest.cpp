#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FakeFilesTest.h"
#include "core/PropertyNames.h"
#include "framework/core/DataScrambler.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/FileArchive.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/ZipBuilder.h"

namespace property_store_xml_test {

using Names = std::vector<std::string>;

// Everything a tree holds, in its orders: kind, type word, name, text, then the children (a
// node's in name-table order, marked "@" when untyped).
std::string describe(const AbstractProperty* property) {
    std::string text = property->getTypeWord() + "#" + property->getName();
    if (property->isValue()) {
        return text + "=" + property->getValue();
    }
    text += "{";
    if (const auto* node = objectCast<PropertyNode>(property)) {
        for (const auto& [name, child] : node->getNameTable()) {
            text += (child->getTypeWord().empty() ? "@" : "") + describe(child.get()) + ";";
        }
    } else if (const auto* vector = objectCast<PropertyVector>(property)) {
        for (int32_t i = 0; i < vector->getChildCount(); ++i) {
            text += describe(vector->getChildAt(i)) + ";";
        }
    }
    return text + "}";
}

class PropertyStoreXmlTest : public FakeFilesTest {
protected:
    // A store holding the one file's elements.
    RefHolder<PropertyStore> loaded(const std::string& xml) {
        put("/opt/game/test.xml", xml);
        RefHolder<PropertyStore> store(new PropertyStore("/opt/game/test.xml"));
        EXPECT_TRUE(store->load()) << xml;
        return store;
    }
};

TEST_F(PropertyStoreXmlTest, AttributesBecomeUntypedValuesAndElementsTypedChildren) {
    auto store = loaded(
        "<root><Label id=\"title\" font=\"sans\" x=\"12\">"
        "<Integer id=\"width\" value=\"200\"/></Label></root>");
    ASSERT_EQ(store->getChildCount(), 1);
    PropertyNode* label = store->getChildNode("title");
    EXPECT_EQ(label->getTypeWord(), "Label");
    EXPECT_EQ(label->getChildValue("font")->getText(), L"sans");
    EXPECT_EQ(label->getChildValue("font")->getTypeWord(), "");
    EXPECT_EQ(label->getChildValue("x")->getInt(), 12);
    // The attributes are found by name only; the typed child is listed.
    EXPECT_EQ(listedNames(*label), Names{"width"});
    EXPECT_EQ(label->getChildAt(0)->getTypeWord(), "Integer");
    EXPECT_EQ(label->getChildAt(0)->getInt(), 200);
    EXPECT_EQ(label->getChild("id"), nullptr);
}

TEST_F(PropertyStoreXmlTest, TopLevelElementsVanishWhateverTheirTag) {
    auto store = loaded(
        "<?xml version=\"1.0\"?>\n<!-- two top-level elements -->\n"
        "<first ignored=\"1\"><Text id=\"a\" value=\"1\"/></first>\n"
        "<second><String id=\"b\" value=\"2\"/><Boolean value=\"true\"/></second>");
    EXPECT_EQ(listedNames(*store), (Names{"a", "b", ""}));
    EXPECT_EQ(store->getChild("ignored"), nullptr);
    EXPECT_EQ(store->getChildValue("b")->getTypeWord(), "String");
    EXPECT_TRUE(store->getChildValue("")->getBool());
}

TEST_F(PropertyStoreXmlTest, LaterElementsAndLaterFilesOverrideByName) {
    put("/opt/game/first.xml",
        "<root><Text id=\"x\" value=\"a\"/><Integer id=\"keep\" value=\"1\"/>"
        "<Text id=\"y\" value=\"a\"/><Text id=\"y\" value=\"b\"/></root>");
    put("/opt/game/second.xml", "<root><Text id=\"x\" value=\"b\"/></root>");
    RefHolder<PropertyStore> store(new PropertyStore("/opt/game/first.xml"));
    store->addFile("/opt/game/second.xml");
    ASSERT_TRUE(store->load());
    EXPECT_EQ(store->getChildValue("x")->getText(), L"b");
    EXPECT_EQ(store->getChildValue("y")->getText(), L"b");
    EXPECT_EQ(store->getChildValue("keep")->getInt(), 1);
    // One child per name; the replacing one moves to the end of the list.
    EXPECT_EQ(listedNames(*store), (Names{"keep", "y", "x"}));
}

TEST_F(PropertyStoreXmlTest, VectorsKeepEveryElementWhereNodesKeepTheLast) {
    auto store = loaded(
        "<root><Node id=\"n\"><Integer value=\"1\"/><Integer value=\"2\"/></Node>"
        "<Vector id=\"v\" extra=\"ignored\"><Integer value=\"1\"/><Integer value=\"2\"/>"
        "<Text id=\"same\" value=\"3\"/><Text id=\"same\" value=\"4\"/></Vector></root>");
    PropertyNode* node = store->getChildNode("n");
    ASSERT_EQ(node->getChildCount(), 1);
    EXPECT_EQ(node->getChildAt(0)->getInt(), 2);
    PropertyVector* vector = store->getChildVector("v");
    ASSERT_EQ(vector->getChildCount(), 4);
    EXPECT_EQ(vector->getChildAt(1)->getInt(), 2);
    EXPECT_EQ(vector->getChildAt(3)->getText(), L"4");
    EXPECT_EQ(listedNames(*vector), (Names{"", "", "same", "same"}));
}

TEST_F(PropertyStoreXmlTest, TextContentBeatsTheValueAttribute) {
    auto store = loaded(
        "<root><Integer id=\"both\" value=\"10\">20</Integer>"
        "<Integer id=\"text\">10</Integer><Integer id=\"attribute\" value=\"10\"/>"
        "<Text id=\"cdata\"><![CDATA[<b>bold</b> & more]]></Text>"
        "<Label id=\"label\" value=\"attribute\">Hello<Integer id=\"i\" value=\"1\"/></Label>"
        "<Vector id=\"vector\">ignored<Integer value=\"1\"/></Vector></root>");
    EXPECT_EQ(store->getChildValue("both")->getInt(), 20);
    // The tag alone decides the type, wherever the text comes from.
    EXPECT_EQ(describe(store->getChild("text")), "Integer#text=10");
    EXPECT_EQ(describe(store->getChild("attribute")), "Integer#attribute=10");
    EXPECT_EQ(store->getChildValue("cdata")->getText(), L"<b>bold</b> & more");
    // A node's text content becomes its "Text" child "value", replacing the attribute.
    PropertyNode* label = store->getChildNode("label");
    EXPECT_EQ(label->getChildValue("value")->getText(), L"Hello");
    EXPECT_EQ(label->getChildValue("value")->getTypeWord(), "Text");
    EXPECT_EQ(listedNames(*label), (Names{"value", "i"}));
    EXPECT_EQ(store->getChildVector("vector")->getChildCount(), 1);
}

TEST_F(PropertyStoreXmlTest, TextsAreUtf8AndCharacterReferencesAreCodePoints) {
    auto store = loaded(
        "<root><Text id=\"e\" value=\"caf&#233;\"/><Text id=\"h\">&#x4E2D;&lt;&amp;</Text>"
        "<Text id=\"raw\" value=\"\xC3\xA9t\xC3\xA9\"/><Text id=\"bad\" value=\"a\xFF\"/></root>");
    EXPECT_EQ(store->getChildValue("e")->getText(), L"caf\u00e9");
    EXPECT_EQ(store->getChildValue("h")->getText(), L"\u4e2d<&");
    EXPECT_EQ(store->getChildValue("raw")->getText(), L"\u00e9t\u00e9");
    EXPECT_EQ(store->getChildValue("bad")->getText(), L"a\ufffd");
}

TEST_F(PropertyStoreXmlTest, WhiteSpaceIsCondensedUnlessTheStoreSaysNot) {
    const std::string xml = "<root><Text id=\"t\">  two   words\n  here </Text></root>";
    EXPECT_EQ(loaded(xml)->getChildValue("t")->getText(), L"two words here");
    RefHolder<PropertyStore> keeping(new PropertyStore("/opt/game/test.xml"));
    keeping->setCondenseWhiteSpace(false);
    ASSERT_TRUE(keeping->load());
    EXPECT_EQ(keeping->getChildValue("t")->getText(), L"  two   words\n  here ");
}

TEST_F(PropertyStoreXmlTest, WritesRootUntypedValuesAsAttributesAndReadsBackTheSameTree) {
    RefHolder<PropertyStore> store(new PropertyStore());
    auto* label = new PropertyNode("title", "Label");
    // Attributes come first in the element, so they are read back first: added first here.
    label->addChild(new PropertyValue("font", std::string("sans"), true));
    label->addChild(new PropertyValue("x", 12, true));
    label->addChild(new PropertyValue("width", 200));
    store->addChild(label);
    auto* list = new PropertyVector("list");
    list->addChild(new PropertyValue("", L"one \"quoted\" <tag> & 'more'\nline"));
    list->addChild(new PropertyValue("", L"one \"quoted\" <tag> & 'more'\nline"));
    list->addBool(false);
    store->addChild(list);
    store->addChild(new PropertyValue("unicode", L"caf\u00e9 \u4e2d \U0001F600  spaced "));
    store->addChild(new PropertyValue("f", 2.5f));

    store->setSaveFileName("/opt/game/out.xml");
    ASSERT_TRUE(store->save());
    const std::string written = fileText("/opt/game/out.xml");
    EXPECT_EQ(written.rfind("<root>", 0), 0u) << written;  // no declaration
    EXPECT_NE(written.find("<Label id=\"title\" font=\"sans\" x=\"12\">"), std::string::npos);
    EXPECT_NE(written.find("<Integer id=\"width\" value=\"200\" />"), std::string::npos);
    EXPECT_NE(written.find("<Float id=\"f\" value=\"2.5\" />"), std::string::npos);
    EXPECT_EQ(written.find("Text>"), std::string::npos);  // no text content is written

    RefHolder<PropertyStore> reread(new PropertyStore("/opt/game/out.xml"));
    ASSERT_TRUE(reread->load());
    EXPECT_EQ(describe(reread.get()), describe(store.get()));
    EXPECT_EQ(listedNames(*reread->getChildNode("title")), Names{"width"});
}

TEST_F(PropertyStoreXmlTest, WritesWhatNoAttributeCanHoldAsElements) {
    // Each of these would otherwise make a file that cannot be read back, or rename its node.
    RefHolder<PropertyStore> store(new PropertyStore());
    auto* plain = new PropertyNode("plain");  // no type word
    plain->addChild(new PropertyValue("id", std::string("not the name"), true));
    plain->addChild(new PropertyValue("two words", std::string("a"), true));
    plain->addChild(new PropertyValue("", std::string("b"), true));
    plain->addChild(new PropertyValue("-41-nn", std::string("c"), true));
    store->addChild(plain);
    auto* list = new PropertyVector("list");
    list->addChild(new PropertyValue("u", 7, true));
    store->addChild(list);
    store->setSaveFileName("/opt/game/out.xml");
    ASSERT_TRUE(store->save());

    RefHolder<PropertyStore> reread(new PropertyStore("/opt/game/out.xml"));
    ASSERT_TRUE(reread->load()) << fileText("/opt/game/out.xml");
    PropertyNode* node = reread->getChildNode("plain");
    EXPECT_EQ(node->getTypeWord(), "Node");
    EXPECT_EQ(node->getChildValue("id")->getText(), L"not the name");
    EXPECT_EQ(node->getChildValue("two words")->getText(), L"a");
    EXPECT_EQ(node->getChildValue("")->getText(), L"b");
    EXPECT_EQ(node->getChildValue("-41-nn")->getText(), L"c");
    ASSERT_EQ(reread->getChildVector("list")->getChildCount(), 1);
    EXPECT_EQ(reread->getChildVector("list")->getChildAt(0)->getInt(), 7);
}

TEST_F(PropertyStoreXmlTest, EmptyListLoadsTrueAndFailedFilesChangeNothing) {
    RefHolder<PropertyStore> empty(new PropertyStore());
    EXPECT_TRUE(empty->load());
    EXPECT_EQ(empty->getChildCount(), 0);
    EXPECT_TRUE(empty->getNameTable().empty());

    put("/opt/game/broken.xml", "<root><Text id=\"lost\" value=\"1\"/>");
    put("/opt/game/empty.xml", "");
    put("/opt/game/good.xml", "<root><Text id=\"good\" value=\"1\"/></root>");
    RefHolder<PropertyStore> store(new PropertyStore("/opt/game/missing.xml"));
    store->addChild(new PropertyValue("before", 1));
    for (const char* file : {"/opt/game/broken.xml", "/opt/game/empty.xml", "/opt/game/good.xml"}) {
        store->addFile(file);
    }
    EXPECT_FALSE(store->canLoad("/opt/game/missing.xml"));
    EXPECT_FALSE(store->canLoad("/opt/game/broken.xml"));
    EXPECT_TRUE(store->canLoad("/opt/game/good.xml"));
    EXPECT_EQ(listedNames(*store), Names{"before"});  // canLoad changes nothing

    EXPECT_FALSE(store->load());  // every file is tried
    EXPECT_EQ(listedNames(*store), (Names{"before", "good"}));
    EXPECT_FALSE(store->loadFile("/opt/game/missing.xml"));
    EXPECT_EQ(listedNames(*store), (Names{"before", "good"}));
}

TEST_F(PropertyStoreXmlTest, ScrambledModeStoresUnderTheBangNameAndReadsBack) {
    RefHolder<PropertyStore> store(new PropertyStore());
    store->addChild(new PropertyValue("name", L"Ann"));
    store->setSaveFileName("/opt/game/ann.plr");
    store->setSourceMode(3);
    ASSERT_TRUE(store->save());
    EXPECT_EQ(fake.files.count("/opt/game/ann.plr"), 0u);
    std::string stored = fileText("/opt/game/ann.plr.!");
    EXPECT_EQ(stored.find("<root>"), std::string::npos);
    DataScrambler::apply(reinterpret_cast<uint8_t*>(stored.data()), stored.size());
    EXPECT_EQ(stored.rfind("<root>", 0), 0u);

    RefHolder<PropertyStore> reread(new PropertyStore());
    reread->setSourceMode(3);
    EXPECT_TRUE(reread->canLoad("/opt/game/ann.plr"));
    EXPECT_FALSE(reread->canLoad("/opt/game/bob.plr"));
    ASSERT_TRUE(reread->loadFile("/opt/game/ann.plr"));
    EXPECT_EQ(reread->getChildValue("name")->getText(), L"Ann");
    // In the plain mode the file is not there.
    reread->setSourceMode(1);
    EXPECT_FALSE(reread->canLoad("/opt/game/ann.plr"));
}

// The archive is a real zip file, so this runs on the disk.
TEST(PropertyStoreArchive, ReadsMembersFirstInTheArchiveModes) {
    TempFolder temp;
    CurrentFolderScope inside(temp.path);
    std::string scrambled = "<root><Text id=\"from\" value=\"scrambled member\"/></root>";
    DataScrambler::apply(reinterpret_cast<uint8_t*>(scrambled.data()), scrambled.size());
    ASSERT_TRUE(writeZip("media.dat", {{"media/properties/a.xml",
                                        "<root><Text id=\"from\" value=\"member\"/></root>"},
                                       {"media/properties/b.xml.!", scrambled}}));
    writeTestFile("media/properties/a.xml", "<root><Text id=\"from\" value=\"loose\"/></root>");
    writeTestFile("media/properties/c.xml", "<root><Text id=\"from\" value=\"fallback\"/></root>");
    FileArchive::open(1, "");

    RefHolder<PropertyStore> store(new PropertyStore());  // mode 0: the archive's mode 2
    ASSERT_TRUE(store->loadFile("media/properties/a.xml"));
    EXPECT_EQ(store->getChildValue("from")->getText(), L"member");
    ASSERT_TRUE(store->loadFile("media/properties/c.xml"));
    EXPECT_EQ(store->getChildValue("from")->getText(), L"fallback");
    store->setSourceMode(1);
    ASSERT_TRUE(store->loadFile("media/properties/a.xml"));
    EXPECT_EQ(store->getChildValue("from")->getText(), L"loose");
    store->setSourceMode(4);
    ASSERT_TRUE(store->loadFile("media/properties/b.xml"));
    EXPECT_EQ(store->getChildValue("from")->getText(), L"scrambled member");
    FileArchive::close();
}

}  // namespace property_store_xml_test
