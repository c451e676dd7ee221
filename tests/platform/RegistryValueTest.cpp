#include <gtest/gtest.h>

#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/os/FileKeyStore.h"
#include "framework/platform/RegistryValue.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeKeyStore.h"

namespace registry_value_test {

struct SplitCase {
    const char* path;
    const char* keyPath;
    const char* valueName;
};

TEST(RegistryPathTest, SplitsAtTheLastSeparatorAfterDroppingOneTrailingOne) {
    const SplitCase cases[] = {
        {"Games/QuovelMahjong/bvq/", "Games\\QuovelMahjong", "bvq"},
        {"Software\\Brastel\\Games\\Id\\bvq\\dgfilename", "Software\\Brastel\\Games\\Id\\bvq",
         "dgfilename"},
        {"a/b\\c", "a\\b", "c"},
        {"a\\b\\\\", "a\\b", ""},  // only one trailing separator goes
        {"single", "single", ""},
        {"\\single", "\\single", ""},  // a separator in first place does not cut
        {"/", "", ""},
        {"", "", ""},
    };
    for (const SplitCase& c : cases) {
        std::string keyPath = "stale";
        std::string valueName = "stale";
        splitRegistryPath(c.path, keyPath, valueName);
        EXPECT_EQ(keyPath, c.keyPath) << c.path;
        EXPECT_EQ(valueName, c.valueName) << c.path;
    }
    EXPECT_EQ(withRegistrySeparators("a/b\\c/"), "a\\b\\c\\");
}

TEST(RegistryPathTest, GameKeyIsUnderBrastelGamesNamedByTheGameId) {
    EXPECT_EQ(getGameRegistryPath(), "Software\\Brastel\\Games\\" + BasicProperties::getGameId());
}

// Each test runs on its own key store in a temporary folder.
class RegistryValueTest : public ::testing::Test {
protected:
    void SetUp() override { KeyStore::setCurrentUser(&store); }
    void TearDown() override { KeyStore::setCurrentUser(nullptr); }

    TempFolder folder;
    FileKeyStore store{folder.str()};
};

constexpr const char* TOTAL_PATH = "Software\\Brastel\\Games\\Test\\bvq\\totalplayingtime";
constexpr const char* TEST_BVQ_KEY = "Software\\Brastel\\Games\\Test\\bvq";

TEST_F(RegistryValueTest, MissingNumberReadsTheDefaultAndDoesNotExist) {
    RegistryValue value(TOTAL_PATH, false);
    EXPECT_EQ(value.getKeyPath(), TEST_BVQ_KEY);
    EXPECT_EQ(value.getValueName(), "totalplayingtime");
    EXPECT_EQ(value.readDword(), 0u);
    EXPECT_FALSE(value.getExists());
}

TEST_F(RegistryValueTest, WrittenNumberIsStoredAndReadBack) {
    RegistryValue written(TOTAL_PATH, true);
    written.writeDword(0xFFFFFFF0u);
    EXPECT_TRUE(written.getExists());
    EXPECT_TRUE(written.getForceWrite());

    KeyValue stored;
    ASSERT_TRUE(store.readValue(TEST_BVQ_KEY, "TotalPlayingTime", stored));
    EXPECT_EQ(stored.type, KeyValueType::DWORD);
    EXPECT_EQ(stored.dword, 0xFFFFFFF0u);

    RegistryValue read(TOTAL_PATH, false);
    EXPECT_EQ(read.readDword(), 0xFFFFFFF0u);
    EXPECT_TRUE(read.getExists());
}

TEST_F(RegistryValueTest, ATextOrBinaryUnderTheNameIsNoNumber) {
    ASSERT_TRUE(store.writeString(TEST_BVQ_KEY, "totalplayingtime", "12"));
    RegistryValue value(TOTAL_PATH, false);
    EXPECT_EQ(value.readDword(), 0u);
    EXPECT_FALSE(value.getExists());

    ASSERT_TRUE(store.writeValue(TEST_BVQ_KEY, KeyValue::makeBinary("totalplayingtime", "abcd")));
    EXPECT_EQ(value.readDword(), 0u);
    EXPECT_FALSE(value.getExists());
}

TEST_F(RegistryValueTest, StringValueIsStoredAsText) {
    RegistryStringValue value("Software/Brastel/Games/Test/bvq/dgfilename", false, "none");
    EXPECT_EQ(value.getDefaultValue(), "none");
    EXPECT_EQ(value.getValue(), "");
    value.write("/data/_temp/gd.xml");
    EXPECT_TRUE(value.getExists());
    EXPECT_EQ(value.getValue(), "/data/_temp/gd.xml");

    KeyValue stored;
    ASSERT_TRUE(store.readValue(TEST_BVQ_KEY, "dgfilename", stored));
    EXPECT_EQ(stored, KeyValue::makeString("dgfilename", "/data/_temp/gd.xml"));
}

TEST(RegistryValueFailureTest, FailedWritesLeaveExistsFalse) {
    FakeKeyStore failing;
    failing.failWrites = true;
    KeyStore::setCurrentUser(&failing);
    RegistryValue number(TOTAL_PATH, false);
    number.writeDword(5);
    EXPECT_FALSE(number.getExists());
    RegistryStringValue text(TOTAL_PATH, false, "");
    text.write("x");
    EXPECT_FALSE(text.getExists());
    // A path outside the store's branch is refused, and silently so.
    KeyStore::setCurrentUser(nullptr);
    RegistryValue outside("Hardware\\Games\\value", false);
    EXPECT_EQ(outside.readDword(), 0u);
    EXPECT_FALSE(outside.getExists());
}

}  // namespace registry_value_test
