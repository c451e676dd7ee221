#include <gtest/gtest.h>
#include <malloc.h>
#include <tinyxml.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/FakeFilesTest.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/core/XmlNestingScan.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ThreadClock.h"

namespace property_store_robustness_test {

std::string repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// A chain of `depth` nodes under the store, the innermost holding one value.
PropertyNode* nodeChain(int depth) {
    auto* top = new PropertyNode("n", "Node");
    PropertyNode* node = top;
    for (int i = 1; i < depth; ++i) {
        node = static_cast<PropertyNode*>(node->addChild(new PropertyNode("n", "Node")));
    }
    node->addChild(new PropertyValue("leaf", 1));
    return top;
}

int chainDepth(PropertyNode* node) {
    int depth = 0;
    for (; node->getChild("n"); node = node->getChildNode("n")) {
        ++depth;
    }
    return node->getChildValue("leaf")->getInt() == 1 ? depth : -1;
}

class PropertyStoreRobustnessTest : public FakeFilesTest {
protected:
    // Loads `xml` into a store that already holds one value; a failed load must leave it so.
    bool loadsInto(const std::string& xml) {
        put("/opt/game/input.xml", xml);
        RefHolder<PropertyStore> store(new PropertyStore());
        store->addChild(new PropertyValue("before", 1));
        const bool loaded = store->loadFile("/opt/game/input.xml");
        if (!loaded) {
            EXPECT_EQ(store->getChildCount(), 1);
            EXPECT_EQ(store->getNameTable().size(), 1u);
        }
        return loaded;
    }
};

TEST_F(PropertyStoreRobustnessTest, DeepNestingIsMalformedNotAStackOverflow) {
    EXPECT_FALSE(loadsInto(repeat("<a>", 1000000)));
    EXPECT_FALSE(loadsInto(repeat("<Node id=\"n\">", 5000) + repeat("</Node>", 5000)));
    // End tags hidden from a naive count inside numeric entities (the parser reads
    // "&#x</a>x41;" as one "A"), each hiding one level.
    EXPECT_FALSE(loadsInto("<root>" + repeat("<a><a>&#x</a>x41;", 100000)));

    // Up to the bound (the top-level element included) a file loads whole.
    const int deepest = PropertyStore::MAX_NESTING - 1;
    const std::string chain = "<root>" + repeat("<Node id=\"n\">", deepest) +
                              "<Integer id=\"leaf\" value=\"1\"/>" + repeat("</Node>", deepest) +
                              "</root>";
    put("/opt/game/deep.xml", chain);
    RefHolder<PropertyStore> store(new PropertyStore("/opt/game/deep.xml"));
    ASSERT_TRUE(store->load());
    EXPECT_EQ(chainDepth(store->getChildNode("n")), deepest - 1);
    const std::string tooDeep = "<root>" + repeat("<Node id=\"n\">", deepest + 1) +
                                repeat("</Node>", deepest + 1) + "</root>";
    EXPECT_FALSE(loadsInto(tooDeep));
}

TEST_F(PropertyStoreRobustnessTest, RandomAndTruncatedTextsFailCleanly) {
    const std::string valid =
        "<?xml version=\"1.0\"?><root><Label id=\"l\" a=\"1\" b='x &amp; y'>text"
        "<Vector id=\"v\"><Integer value=\"1\"/><Text>caf\xC3\xA9 &#233;</Text></Vector>"
        "<!-- note --><Text id=\"c\"><![CDATA[<raw>]]></Text></Label></root>";
    ASSERT_TRUE(loadsInto(valid));
    // Every proper prefix leaves the root element open.
    for (size_t length = 0; length < valid.size(); ++length) {
        EXPECT_FALSE(loadsInto(valid.substr(0, length))) << length;
    }

    std::mt19937 random(1234);
    const std::string alphabet = "<>/=\"'&#;!?-[] \nabxAB0\xC3\xA9\xF0\xFF";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const size_t length = random() % 200;
        for (size_t i = 0; i < length; ++i) {
            text += round % 2 ? static_cast<char>(random() % 256)
                              : alphabet[random() % alphabet.size()];
        }
        loadsInto(text);  // whatever it gives, a failure changed nothing
        // Damage the valid text at one place.
        std::string damaged = valid;
        damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
        loadsInto(damaged);
    }
    // A 0 byte ends the text, as the parser sees it; one just after a UTF-8 lead byte is
    // stepped over by the parser and must not lead it past the end of the buffer.
    EXPECT_TRUE(loadsInto(std::string("<root/>\0<a>", 11)));
    EXPECT_FALSE(loadsInto(std::string("<root><Text>\xF0\0\0", 15)));
    EXPECT_FALSE(loadsInto("<root><Text>\xF0"));
    // The parser takes these for documents, but they hold no element.
    EXPECT_FALSE(loadsInto("<!-- only a comment -->"));
    EXPECT_FALSE(loadsInto("<"));
}

TEST_F(PropertyStoreRobustnessTest, ANodeOfManyChildrenFillsAndEmptiesInLinearTime) {
    // A hang guard, not a speed figure: with a scan per added child this took minutes. The
    // thread's processor time, which load hardly lengthens: the node counts no operations.
    const double start = threadCpuMilliseconds();
    const int count = 200000;
    RefHolder<PropertyNode> node(new PropertyNode("list", "Node"));
    std::vector<PropertyValue*> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(static_cast<PropertyValue*>(
            node->addChild(new PropertyValue("k" + std::to_string(i), i))));
    }
    // Every third child is replaced (it moves to the end), every seventh removed.
    for (int i = 0; i < count; i += 3) {
        node->addChild(new PropertyValue("k" + std::to_string(i), -i));
    }
    RefHolder<PropertyValue> removed(values[7]);
    for (int i = 0; i < count; i += 7) {
        node->removeChild("k" + std::to_string(i));
    }
    EXPECT_EQ(removed->getRefCount(), 1);    // released by the node at once
    EXPECT_EQ(values[1]->getRefCount(), 2);  // the list's and the name table's

    std::vector<int> expected;
    for (int i = 0; i < count; ++i) {
        if (i % 3 != 0 && i % 7 != 0) {
            expected.push_back(i);
        }
    }
    for (int i = 0; i < count; i += 3) {
        if (i % 7 != 0) {
            expected.push_back(-i);
        }
    }
    ASSERT_EQ(node->getChildCount(), static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(node->getChildAt(static_cast<int32_t>(i))->getInt(), expected[i]) << i;
    }
    EXPECT_EQ(node->getNameTable().size(), expected.size());
    EXPECT_LT(threadCpuMilliseconds() - start, 60000.0);
}

TEST_F(PropertyStoreRobustnessTest, OversizedFilesAreRefusedWithTheReasonLogged) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    // Valid files padded with blanks to the limit and one byte beyond.
    const std::string text = "<root><Text id=\"t\" value=\"x\"/></root>";
    const size_t limit = PropertyStore::MAX_FILE_BYTES;
    put("/opt/game/limit.xml", text + std::string(limit - text.size(), ' '));
    put("/opt/game/over.xml", text + std::string(limit + 1 - text.size(), ' '));

    RefHolder<PropertyStore> store(new PropertyStore());
    EXPECT_TRUE(store->loadFile("/opt/game/limit.xml"));
    EXPECT_TRUE(logged.empty());
    EXPECT_FALSE(loadsInto(fileText("/opt/game/over.xml")));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("input.xml"), std::string::npos);
    EXPECT_NE(logged[0].find("16 MB"), std::string::npos);
    setProblemSink(nullptr);
}

// A node "w" of `attributes` attributes, its "id" one of them.
std::string wideNode(int attributes) {
    std::string text = "<root><Node id=\"w\"";
    for (int i = 1; i < attributes; ++i) {
        text += " a" + std::to_string(i) + "=\"1\"";
    }
    return text + "/></root>";
}

TEST_F(PropertyStoreRobustnessTest, WideAndDenseFilesAreRefusedWithTheReasonLogged) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    const int widest = PropertyStore::MAX_ATTRIBUTES;
    put("/opt/game/wide.xml", wideNode(widest));
    RefHolder<PropertyStore> store(new PropertyStore("/opt/game/wide.xml"));
    ASSERT_TRUE(store->load());
    EXPECT_EQ(store->getChildNode("w")->getNameTable().size(), widest - 1u);
    EXPECT_TRUE(logged.empty());
    EXPECT_FALSE(loadsInto(wideNode(widest + 1)));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("input.xml\" not read: an element has more than 256 attributes"),
              std::string::npos);

    // A file of empty elements would take a hundred times its size: refused before it is parsed.
    EXPECT_FALSE(loadsInto("<root>" + repeat("<a/>", 250000) + "</root>"));
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_NE(logged[1].find("would take more than 64 times its size"), std::string::npos);
    // A short file is no such file, though its few elements cost more than 64 times its bytes.
    EXPECT_TRUE(loadsInto("<r><a/><b/><c/></r>"));
    // Dense files of half a megabyte are refused, before they are parsed or as their tree
    // grows, or read within it, document and tree together (malloc's count); in a vector every
    // element is kept. Real files are read: a player's values, statistics sessions.
    const struct {
        std::string holder;
        std::vector<std::string> pieces;
        bool read;
    } dense[] = {
        {"Node", {"<ab/>", "<a>x</a>", "<a b=1 c=1/>"}, false},
        {"Vector",
         {"<a/>", "<ab/>", "<abc/>", "<a>x</a>", "<a b=1 c=1/>", "<Tile x=\"3\" y=\"1\" z=\"0\"/>"},
         false},
        {"Node", {"<Integer id=\"k\" value=\"1\"/>"}, true},
        {"Vector",
         {"<abcdefg/>",
          "<PlayingSession StartTime=\"1700000000\" EndTime=\"1700003600\" GameMode=\"0\" "
          "NumOfPlayers=\"1\" FullScreen=\"false\"/>"},
         true}};
    for (const auto& [holder, pieces, read] : dense) {
        for (const std::string& piece : pieces) {
            const std::string text = "<root><" + holder + ">" +
                                     repeat(piece, (1 << 19) / static_cast<int>(piece.size())) +
                                     "</" + holder + "></root>";
            const size_t before = mallinfo2().uordblks;
            RefHolder<PropertyStore> store(new PropertyStore());
            TiXmlDocument document;
            size_t treeMemory = 0;
            const bool parsed = store->parseBuffer(text, document, "dense", &treeMemory);
            EXPECT_EQ(parsed && store->readDocument(document, treeMemory), read) << holder << piece;
            EXPECT_LE(mallinfo2().uordblks - before, 64 * text.size()) << holder << piece;
        }
    }
    setProblemSink(nullptr);
}

TEST_F(PropertyStoreRobustnessTest, FilesTheReaderWouldRefuseAreNotWritten) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    const std::string file = "/opt/game/out.xml";
    RefHolder<PropertyStore> store(new PropertyStore());
    store->setSaveFileName(file);
    // Untyped values become attributes of their node ("id" one more): as many as are read
    // back, then one more.
    auto* wide = static_cast<PropertyNode*>(store->addChild(new PropertyNode("w", "Node")));
    for (int i = 1; i < PropertyStore::MAX_ATTRIBUTES; ++i) {
        wide->addChild(new PropertyValue("a" + std::to_string(i), i, true));
    }
    ASSERT_TRUE(store->save());
    const std::vector<uint8_t> saved = fake.files[file];
    wide->addChild(new PropertyValue("a0", 0, true));
    EXPECT_FALSE(store->save());
    EXPECT_EQ(fake.files[file], saved);

    // A text that makes the file as large as is read, then one byte larger.
    store->removeChild("w");
    store->addChild(new PropertyValue("t", std::string()));
    ASSERT_TRUE(store->save());
    const size_t room = PropertyStore::MAX_FILE_BYTES - fake.files[file].size();
    store->addChild(new PropertyValue("t", std::string(room, 'x')));
    ASSERT_TRUE(store->save());
    EXPECT_EQ(fake.files[file].size(), PropertyStore::MAX_FILE_BYTES);
    store->addChild(new PropertyValue("t", std::string(room + 1, 'x')));
    EXPECT_FALSE(store->save());
    EXPECT_EQ(fake.files[file].size(), PropertyStore::MAX_FILE_BYTES);

    // Nodes of 26 one-letter values, written as attributes: a hundred are written and read
    // back, a thousand would take more than 64 times their file.
    store->removeChild("t");
    for (const int count : {100, 1000}) {
        auto* list = static_cast<PropertyVector*>(store->addChild(new PropertyVector("v")));
        for (int i = 0; i < count; ++i) {
            auto* node = static_cast<PropertyNode*>(list->addChild(new PropertyNode("", "a")));
            for (char c = 'a'; c <= 'z'; ++c) {
                node->addChild(new PropertyValue(std::string(1, c), 1, true));
            }
        }
        EXPECT_EQ(store->save(), count == 100);
        RefHolder<PropertyStore> reread(new PropertyStore(file));
        ASSERT_TRUE(reread->load());
        EXPECT_EQ(reread->getChildVector("v")->getChildCount(), 100);
    }
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_NE(logged[0].find("out.xml\" not saved: an element has more than 256"),
              std::string::npos);
    EXPECT_NE(logged[1].find("out.xml\" not saved: larger than 16 MB"), std::string::npos);
    EXPECT_NE(logged[2].find("out.xml\" not saved: its elements and attributes would take"),
              std::string::npos);
    setProblemSink(nullptr);
}

TEST_F(PropertyStoreRobustnessTest, InvalidUtf8InNamesAndTagsReadsAsReplacementCharacters) {
    // Lone bytes, a cut sequence and an over-long form: each becomes U+FFFD (EF BF BD).
    put("/opt/game/bytes.xml",
        "<root><Node id=\"a\xFF\xC3z\" b\xE9=\"1\"><Integer id=\"\xC0\xAF\" value=\"2\"/>"
        "</Node><T\xFEg id=\"ok\xC3\xA9\"/></root>");
    RefHolder<PropertyStore> store(new PropertyStore("/opt/game/bytes.xml"));
    ASSERT_TRUE(store->load());
    const std::string bad = "\xEF\xBF\xBD";
    PropertyNode* node = store->getChildNode("a" + bad + bad + "z");
    ASSERT_FALSE(node->isDummy());
    EXPECT_EQ(node->getChild("b" + bad)->getInt(), 1);
    EXPECT_EQ(node->getChild(bad + bad)->getInt(), 2);
    EXPECT_EQ(store->getChild("ok\xC3\xA9")->getTypeWord(), "T" + bad + "g");

    // What is written reads back under the same names.
    store->setSaveFileName("/opt/game/again.xml");
    ASSERT_TRUE(store->save());
    RefHolder<PropertyStore> again(new PropertyStore("/opt/game/again.xml"));
    ASSERT_TRUE(again->load());
    EXPECT_EQ(again->getChildNode("a" + bad + bad + "z")->getChild("b" + bad)->getInt(), 1);
    EXPECT_EQ(again->getChildNode("a" + bad + bad + "z")->getChild(bad + bad)->getInt(), 2);
    EXPECT_EQ(again->getChild("ok\xC3\xA9")->getTypeWord(), "T" + bad + "g");
}

TEST_F(PropertyStoreRobustnessTest, AFailedSaveLeavesTheOldFileWhole) {
    put("/opt/game/keep.xml", "<root><Text id=\"old\" value=\"1\"/></root>");
    const std::vector<uint8_t> before = fake.files["/opt/game/keep.xml"];
    RefHolder<PropertyStore> store(new PropertyStore());
    store->addChild(new PropertyValue("new", 2));
    store->setSaveFileName("/opt/game/keep.xml");
    fake.failWrites = true;
    EXPECT_FALSE(store->save());
    EXPECT_EQ(fake.files["/opt/game/keep.xml"], before);

    fake.failWrites = false;
    store->setSaveFileName("/opt/game/no-such-folder/x.xml");
    EXPECT_FALSE(store->save());
    store->setSaveFileName("");
    EXPECT_FALSE(store->save());
    store->setSaveFileName("/opt/game/keep.xml");
    EXPECT_TRUE(store->save());
    EXPECT_NE(fake.files["/opt/game/keep.xml"], before);
}

TEST_F(PropertyStoreRobustnessTest, TreesTooDeepToReadBackAreNotWritten) {
    put("/opt/game/tree.xml", "<root/>");
    const std::vector<uint8_t> before = fake.files["/opt/game/tree.xml"];
    RefHolder<PropertyStore> store(new PropertyStore());
    store->setSaveFileName("/opt/game/tree.xml");
    store->addChild(nodeChain(PropertyStore::MAX_NESTING));
    EXPECT_FALSE(store->save());
    EXPECT_EQ(fake.files["/opt/game/tree.xml"], before);

    // A node that holds itself would never end.
    auto* loop = static_cast<PropertyNode*>(store->addChild(new PropertyNode("loop", "Node")));
    loop->addChild(loop);
    store->removeChild("n");
    EXPECT_FALSE(store->save());
    loop->removeChild("loop");  // break the cycle so the node can go

    // The deepest tree that is written reads back whole.
    store->removeChild("loop");
    store->addChild(nodeChain(PropertyStore::MAX_NESTING - 2));
    ASSERT_TRUE(store->save());
    RefHolder<PropertyStore> reread(new PropertyStore("/opt/game/tree.xml"));
    ASSERT_TRUE(reread->load());
    EXPECT_EQ(chainDepth(reread->getChildNode("n")), PropertyStore::MAX_NESTING - 3);
}

// Two stores with different white-space settings parse at the same time; the parser's flag is
// process-wide, so each parse must run with its own setting from start to end.
TEST_F(PropertyStoreRobustnessTest, ParsesWithDifferentWhiteSpaceSettingsAtOnce) {
    put("/opt/game/spaced.xml", "<root><Text id=\"t\">a   b</Text></root>");
    auto readMany = [](bool condense, const std::wstring& expected, int& wrong) {
        for (int i = 0; i < 300; ++i) {
            RefHolder<PropertyStore> store(new PropertyStore("/opt/game/spaced.xml"));
            store->setCondenseWhiteSpace(condense);
            if (!store->load() || store->getChildValue("t")->getText() != expected) {
                ++wrong;
            }
        }
    };
    int wrongCondensed = 0;
    int wrongKept = 0;
    std::thread condensing(readMany, true, L"a b", std::ref(wrongCondensed));
    std::thread keeping(readMany, false, L"a   b", std::ref(wrongKept));
    condensing.join();
    keeping.join();
    EXPECT_EQ(wrongCondensed, 0);
    EXPECT_EQ(wrongKept, 0);
}

// The real file system: the write goes through a temporary file renamed over the target.
TEST(PropertyStoreOnDisk, SavesAtomicallyAndFailsWithoutDamage) {
    TempFolder temp;
    RefHolder<PropertyStore> store(new PropertyStore());
    store->addChild(new PropertyValue("name", L"Ann"));
    store->setSaveFileName(temp / "players.plrs");
    writeTestFile(temp / "players.plrs", "old contents");
    ASSERT_TRUE(store->save());
    EXPECT_EQ(readTestFile(temp / "players.plrs").rfind("<root>", 0), 0u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.path)) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // no temporary file left behind

    std::filesystem::create_directory(temp / "folder");
    writeTestFile(temp / "folder/inside", "x");
    store->setSaveFileName(temp / "folder");
    EXPECT_FALSE(store->save());
    EXPECT_EQ(readTestFile(temp / "folder/inside"), "x");
    store->setSaveFileName(temp / "missing/players.plrs");
    EXPECT_FALSE(store->save());
}

}  // namespace property_store_robustness_test
