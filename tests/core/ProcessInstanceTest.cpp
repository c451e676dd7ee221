#include "framework/core/ProcessInstance.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"

namespace {

int liveObjects = 0;

class Counted : public BaseObject {
public:
    Counted() { ++liveObjects; }
    ~Counted() override { --liveObjects; }
};

static_assert(std::is_trivially_destructible_v<ProcessInstance<Counted>>);

TEST(ProcessInstance, MadeOnceAndReleasedNotDeletedWhileHeldElsewhere) {
    ProcessInstance<Counted> instance;
    EXPECT_EQ(instance.get(), nullptr);
    int made = 0;
    Counted* first = instance.create([&] {
        ++made;
        return new Counted();
    });
    EXPECT_EQ(instance.create([&] {
        ++made;
        return new Counted();
    }),
              first);
    EXPECT_EQ(made, 1);
    {
        RefHolder<Counted> kept(first);
        instance.release();
        EXPECT_EQ(instance.get(), nullptr);
        EXPECT_EQ(liveObjects, 1);  // the outside reference keeps it
    }
    EXPECT_EQ(liveObjects, 0);
    instance.release();  // twice is harmless
    EXPECT_EQ(liveObjects, 0);
}

}  // namespace
