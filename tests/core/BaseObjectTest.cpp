#include <gtest/gtest.h>

#include <string>

#include "framework/core/BaseObject.h"
#include "framework/core/Interface.h"
#include "framework/core/RefHolder.h"

namespace base_object_test {

// A small class tree shaped like the framework's: a node, a drawable with an interface, a
// widget with three parents, and a property root that is a BaseObject in layout only.
class NodeLike : public BaseObject {
    QUOVEL_TYPE(NodeLike)
};
class RenderableLike : public Interface {
    QUOVEL_INTERFACE_TYPE(RenderableLike)
};
class ListenerLike : public Interface {
    QUOVEL_INTERFACE_TYPE(ListenerLike)
};
class GuiMethodLike : public Interface {
    QUOVEL_INTERFACE_TYPE(GuiMethodLike)
};
class SpriteLike : public NodeLike, public RenderableLike {
    QUOVEL_TYPE(SpriteLike)
};
class ButtonLike : public SpriteLike, public ListenerLike, public GuiMethodLike {
    QUOVEL_TYPE(ButtonLike)
};
class PropertyRootLike : public BaseObject {
    QUOVEL_TYPE(PropertyRootLike)
};
class PropertyNodeLike : public PropertyRootLike {
    QUOVEL_TYPE(PropertyNodeLike)
};
class SameName : public BaseObject {
    QUOVEL_TYPE(SameName)
};

QUOVEL_DEFINE_TYPE(NodeLike, &BaseObject::typeRecord)
QUOVEL_DEFINE_TYPE(RenderableLike, &Interface::typeRecord)
QUOVEL_DEFINE_TYPE(ListenerLike, &Interface::typeRecord)
QUOVEL_DEFINE_TYPE(GuiMethodLike, &Interface::typeRecord)
QUOVEL_DEFINE_TYPE(SpriteLike, &NodeLike::typeRecord, &RenderableLike::typeRecord)
QUOVEL_DEFINE_TYPE(ButtonLike, &SpriteLike::typeRecord, &ListenerLike::typeRecord,
                   &GuiMethodLike::typeRecord)
QUOVEL_DEFINE_TYPE(PropertyRootLike)
QUOVEL_DEFINE_TYPE(PropertyNodeLike, &PropertyRootLike::typeRecord)
QUOVEL_DEFINE_TYPE(SameName)

// A record with the same name as NodeLike's but a different identity.
constexpr const TypeRecord* impostorParents[] = {nullptr};
constexpr TypeRecord impostor{"NodeLike", impostorParents};

TEST(TypeRecord, EveryRecordIsItself) {
    for (const TypeRecord* record :
         {&BaseObject::typeRecord, &Interface::typeRecord, &NodeLike::typeRecord,
          &SpriteLike::typeRecord, &ButtonLike::typeRecord, &PropertyRootLike::typeRecord}) {
        EXPECT_TRUE(record->isA(record)) << record->name;
    }
}

TEST(TypeRecord, AncestorsAreNotDescendants) {
    EXPECT_FALSE(BaseObject::typeRecord.isA(&SpriteLike::typeRecord));
    EXPECT_FALSE(NodeLike::typeRecord.isA(&SpriteLike::typeRecord));
    EXPECT_FALSE(Interface::typeRecord.isA(&RenderableLike::typeRecord));
}

TEST(TypeRecord, SeveralParentsAreWalkedDepthFirst) {
    const TypeRecord& button = ButtonLike::typeRecord;
    EXPECT_TRUE(button.isA(&SpriteLike::typeRecord));
    EXPECT_TRUE(button.isA(&ListenerLike::typeRecord));
    EXPECT_TRUE(button.isA(&GuiMethodLike::typeRecord));
    // Through the first parent's own parents.
    EXPECT_TRUE(button.isA(&NodeLike::typeRecord));
    EXPECT_TRUE(button.isA(&RenderableLike::typeRecord));
    EXPECT_TRUE(button.isA(&BaseObject::typeRecord));
    // Through the interfaces.
    EXPECT_TRUE(button.isA(&Interface::typeRecord));
    EXPECT_FALSE(SpriteLike::typeRecord.isA(&ListenerLike::typeRecord));
}

TEST(TypeRecord, RecordsNotLayoutDecideTheAnswer) {
    // A root record lists no parent even though the class derives from BaseObject.
    EXPECT_TRUE(PropertyNodeLike::typeRecord.isA(&PropertyRootLike::typeRecord));
    EXPECT_FALSE(PropertyNodeLike::typeRecord.isA(&BaseObject::typeRecord));
    PropertyNodeLike node;
    EXPECT_FALSE(node.isA(&BaseObject::typeRecord));
    EXPECT_EQ(objectCast<BaseObject>(static_cast<BaseObject*>(&node)), nullptr);
    EXPECT_EQ(objectCast<PropertyRootLike>(static_cast<BaseObject*>(&node)), &node);
}

TEST(TypeRecord, NamesAreNeverCompared) {
    EXPECT_STREQ(impostor.name, NodeLike::typeRecord.name);
    EXPECT_FALSE(SpriteLike::typeRecord.isA(&impostor));
    EXPECT_FALSE(impostor.isA(&NodeLike::typeRecord));
}

TEST(TypeRecord, ObjectsAnswerTheirOwnRecord) {
    ButtonLike button;
    BaseObject& base = button;
    EXPECT_EQ(base.getType(), &ButtonLike::typeRecord);
    EXPECT_STREQ(base.getType()->name, "ButtonLike");
    EXPECT_EQ(objectCast<SpriteLike>(&base), &button);
    EXPECT_EQ(objectCast<SameName>(&base), nullptr);
    EXPECT_EQ(base.castTo(&ListenerLike::typeRecord), nullptr);
}

// Counts its destructions; can opt out of deletion like the static null objects.
class DestructionCounter : public BaseObject {
public:
    explicit DestructionCounter(int& destroyed, bool isStatic = false)
        : destroyed(destroyed), isStatic(isStatic) {}
    ~DestructionCounter() override { ++destroyed; }
    BaseObject* getObject() override { return isStatic ? nullptr : this; }

private:
    int& destroyed;
    bool isStatic;
};

TEST(BaseObject, LastReleaseDestroys) {
    int destroyed = 0;
    auto* object = new DestructionCounter(destroyed);
    EXPECT_EQ(object->getRefCount(), 0);
    object->addRef();
    object->addRef();
    object->release();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(object->getRefCount(), 1);
    object->release();
    EXPECT_EQ(destroyed, 1);
}

TEST(BaseObject, ReferencedOnceAndReleasedIsDestroyedAtOnce) {
    int destroyed = 0;
    auto* object = new DestructionCounter(destroyed);
    object->addRef();
    object->release();
    EXPECT_EQ(destroyed, 1);
}

TEST(BaseObject, ObjectsWithoutAWholeObjectAreNeverDeleted) {
    int destroyed = 0;
    {
        DestructionCounter staticLike(destroyed, true);
        staticLike.addRef();
        staticLike.release();
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);  // by its own scope, not by the count
}

TEST(BaseObject, ToStringPrintsTheWholeAddress) {
    NodeLike object;
    const std::string text = object.toString();
    ASSERT_EQ(text.rfind("Address: ", 0), 0u);
    ASSERT_EQ(text.substr(text.size() - 2), "; ");
    const std::string number = text.substr(9, text.size() - 11);
    EXPECT_EQ(std::stoull(number), reinterpret_cast<std::uintptr_t>(&object));
}

TEST(RefHolder, HoldingCountsAndLettingGoReleases) {
    int destroyed = 0;
    auto* object = new DestructionCounter(destroyed);
    {
        RefHolder<DestructionCounter> first(object);
        EXPECT_EQ(object->getRefCount(), 1);
        {
            RefHolder<DestructionCounter> copy = first;
            EXPECT_EQ(object->getRefCount(), 2);
            RefHolder<BaseObject> widened = copy;
            EXPECT_EQ(object->getRefCount(), 3);
        }
        EXPECT_EQ(object->getRefCount(), 1);
        RefHolder<DestructionCounter> moved = std::move(first);
        EXPECT_EQ(object->getRefCount(), 1);
        EXPECT_FALSE(first);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(RefHolder, SelfAssignmentKeepsTheObject) {
    int destroyed = 0;
    RefHolder<DestructionCounter> holder(new DestructionCounter(destroyed));
    RefHolder<DestructionCounter>& alias = holder;
    holder = alias;
    holder = holder.get();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(holder->getRefCount(), 1);
}

TEST(RefHolder, AssignmentReleasesTheOldObject) {
    int destroyedA = 0, destroyedB = 0;
    RefHolder<DestructionCounter> holder(new DestructionCounter(destroyedA));
    holder = new DestructionCounter(destroyedB);
    EXPECT_EQ(destroyedA, 1);
    EXPECT_EQ(destroyedB, 0);
    holder.reset();
    EXPECT_EQ(destroyedB, 1);
}

TEST(RefHolder, NullHoldersCallNothing) {
    RefHolder<DestructionCounter> empty;
    RefHolder<DestructionCounter> copy = empty;
    RefHolder<DestructionCounter> fromNull(nullptr);
    copy = fromNull;
    EXPECT_EQ(copy.get(), nullptr);
    EXPECT_FALSE(copy);
}

}  // namespace base_object_test
