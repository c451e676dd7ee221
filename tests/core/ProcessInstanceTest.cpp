#include "framework/core/ProcessInstance.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"

namespace process_instance_test {

int liveInstances = 0;

class CountedInstance : public BaseObject {
public:
    CountedInstance() { ++liveInstances; }
    ~CountedInstance() override { --liveInstances; }
};

static_assert(std::is_trivially_destructible_v<ProcessInstance<CountedInstance>>);

TEST(ProcessInstance, MadeOnceAndReleasedNotDeletedWhileHeldElsewhere) {
    ProcessInstance<CountedInstance> instance;
    EXPECT_EQ(instance.get(), nullptr);
    int made = 0;
    CountedInstance* first = instance.create([&] {
        ++made;
        return new CountedInstance();
    });
    EXPECT_EQ(instance.create([&] {
        ++made;
        return new CountedInstance();
    }),
              first);
    EXPECT_EQ(made, 1);
    {
        RefHolder<CountedInstance> kept(first);
        instance.release();
        EXPECT_EQ(instance.get(), nullptr);
        EXPECT_EQ(liveInstances, 1);  // the outside reference keeps it
    }
    EXPECT_EQ(liveInstances, 0);
    instance.release();  // twice is harmless
    EXPECT_EQ(liveInstances, 0);
}

}  // namespace process_instance_test
