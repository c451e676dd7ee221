#include <gtest/gtest.h>

#include "framework/core/BasicProperties.h"
#include "game/rules/TuningConstants.h"

namespace tuning_constants_test {

class TuningConstantsTest : public ::testing::Test {
protected:
    void SetUp() override { BasicProperties::createInstance(); }
    void TearDown() override {
        BasicProperties::releaseInstance();
        loadTuningConstants();
    }
};

TEST_F(TuningConstantsTest, AuthoredIntegersAndFloatsReachTheTableOnce) {
    BasicProperties& table = *BasicProperties::instance();
    table.setInteger("DIALOG_FADE_TIME", 250);
    table.setInteger("TILE_HOVER_COLOR", 0xFF00FF);
    table.setFloat("PREVIEW_SCALE", 0.375f);
    table.setFloat("MULTIPLIER_PERCENTAGE", 1.5f);
    loadTuningConstants();
    EXPECT_EQ(tuning().DIALOG_FADE_TIME, 250);
    EXPECT_EQ(tuning().TILE_HOVER_COLOR, 0xFF00FF);
    EXPECT_FLOAT_EQ(tuning().PREVIEW_SCALE, 0.375f);
    EXPECT_FLOAT_EQ(tuning().MULTIPLIER_PERCENTAGE, 1.5f);
    // A later change of the global table does not reach the constants without a new read.
    BasicProperties::instance()->setInteger("DIALOG_FADE_TIME", 9);
    EXPECT_EQ(tuning().DIALOG_FADE_TIME, 250);
    // Without the table a read puts every constant back to 0.
    BasicProperties::releaseInstance();
    loadTuningConstants();
    EXPECT_EQ(tuning().DIALOG_FADE_TIME, 0);
    EXPECT_EQ(tuning().PREVIEW_SCALE, 0.0f);
}

TEST_F(TuningConstantsTest, MissingKeysReadZeroAndAreEnteredWithZero) {
    BasicProperties::instance()->setInteger("SOMETHING_ELSE", 7);
    loadTuningConstants();
    EXPECT_EQ(tuning().HINT_AUTO_CLOSE_TIME, 0);
    EXPECT_EQ(tuning().TILE_SIDEBOARD_FADE_TIME, 0);
    EXPECT_EQ(tuning().GOODIE_WIGGLE_ANGLE, 0.0f);
    // Entered: a later store replaces the inserted 0, and a second read picks it up.
    BasicProperties::instance()->setInteger("TILE_SIDEBOARD_FADE_TIME", 40);
    loadTuningConstants();
    EXPECT_EQ(tuning().TILE_SIDEBOARD_FADE_TIME, 40);
}

}  // namespace tuning_constants_test
