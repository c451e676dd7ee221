// The scene manager: changes in the frames the rules give, with and without a one-shot
// transition, scenes marked removed dropped once they are not current.
#include "framework/platform/ImageResource.h"
#include "gui/GuiFixture.h"
#include "gui/SceneProbes.h"

namespace scene_manager_test {

class SceneManagerTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        definitionsFrom(
            "<Node id=\"scenes\"><ProbeScene id=\"SCENE_A\"/><ProbeScene id=\"SCENE_B\"/>"
            "<ProbeScene id=\"SCENE_ROOM\" section=\"gui\"/>"
            "<ProbeScene id=\"SCENE_ROOM_TOO\" section=\"gui\"/>"
            "<AlphaTransition id=\"TRANSITION_QUICK\" time=\"0\" wait=\"false\"/>"
            "<Dialog id=\"NOT_A_TRANSITION\"/></Node>");
        manager = SceneManager::getInstance();
        a = static_cast<ProbeScene*>(manager->createScene("SCENE_A"));
        b = static_cast<ProbeScene*>(manager->createScene("SCENE_B"));
    }
    ProbeRegistrations probes;
    SceneManager* manager = nullptr;
    ProbeScene* a = nullptr;
    ProbeScene* b = nullptr;
};

TEST_F(SceneManagerTest, AFirstSceneRunsAtOnceAndAChangeHidesTheOldOneAFrameLater) {
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(manager->getScene("SCENE_A"), a);
    EXPECT_EQ(manager->getScene("SCENE_C"), nullptr);
    manager->update(20);  // nothing current, nothing requested: nothing runs
    EXPECT_EQ(manager->getCurrentScene(), nullptr);

    manager->requestScene(a);
    manager->update(20);
    EXPECT_EQ(manager->getCurrentScene(), a);
    EXPECT_EQ(a->shows, 1);
    EXPECT_EQ(a->updates, 1);  // shown and run in the same frame
    EXPECT_EQ(a->getState(), Scene::STATE_CURRENT);
    EXPECT_EQ(manager->getRequestedScene(), nullptr);

    manager->requestScene(b);
    manager->update(20);
    EXPECT_EQ(manager->getCurrentScene(), b);
    EXPECT_EQ(b->shows, 1);
    EXPECT_EQ(b->updates, 0);  // switched, but no parts run in that frame
    EXPECT_EQ(a->hides, 0);
    EXPECT_EQ(a->getState(), Scene::STATE_CURRENT);

    manager->update(20);
    EXPECT_EQ(a->hides, 1);
    EXPECT_EQ(a->getState(), Scene::STATE_LOADED);
    EXPECT_FALSE(a->getComponentsContainer().isActive());
    EXPECT_EQ(b->updates, 1);

    // Back again: no second load.
    manager->requestScene(a);
    manager->update(20);
    manager->update(20);
    EXPECT_EQ(a->loads, 1);
    EXPECT_EQ(a->shows, 2);

    // A request for the running scene, even through a transition, changes nothing.
    manager->setTransition("TRANSITION_QUICK");
    manager->requestScene(a);
    manager->update(20);
    manager->update(20);
    EXPECT_EQ(manager->getRunningScene(), a);
    EXPECT_EQ(manager->getTransition(), nullptr);
    EXPECT_EQ(a->shows, 2);
    EXPECT_EQ(a->hides, 1);
    EXPECT_EQ(a->getState(), Scene::STATE_CURRENT);
    EXPECT_TRUE(a->getComponentsContainer().isActive());
}

TEST_F(SceneManagerTest, ATransitionIsUsedForOneChangeAndLeadsToItsTarget) {
    manager->requestScene(a);
    manager->update(20);
    manager->setTransition("NOT_A_TRANSITION");
    EXPECT_EQ(manager->getTransition(), nullptr);
    manager->setTransition("TRANSITION_QUICK");
    auto* transition = objectCast<TransitionScene>(manager->getTransition());
    ASSERT_NE(transition, nullptr);

    manager->requestScene(b);
    manager->update(20);  // the transition becomes current and is shown; it shows the target
    EXPECT_EQ(manager->getRunningScene(), transition);
    EXPECT_EQ(transition->getFromScene(), a);
    EXPECT_EQ(transition->getTargetScene(), b);
    EXPECT_EQ(manager->getCurrentScene(), b);
    EXPECT_EQ(b->shows, 1);
    EXPECT_FALSE(b->getComponentsContainer().isActive());

    manager->update(20);  // the old scene is hidden; the zero-time fade finishes at once
    EXPECT_EQ(a->hides, 1);
    EXPECT_EQ(manager->getRequestedScene(), b);
    manager->update(20);  // the target becomes current without a second show
    EXPECT_EQ(manager->getRunningScene(), b);
    EXPECT_EQ(b->shows, 1);
    EXPECT_EQ(manager->getTransition(), nullptr);
    EXPECT_TRUE(b->getComponentsContainer().isActive());
    manager->update(20);
    EXPECT_EQ(transition->getState(), Scene::STATE_LOADED);  // hidden a frame later

    // The next change goes direct.
    manager->requestScene(a);
    manager->update(20);
    EXPECT_EQ(manager->getRunningScene(), a);
}

TEST_F(SceneManagerTest, ASceneMarkedRemovedStaysWhileCurrent) {
    manager->requestScene(a);
    manager->update(20);
    a->setRemoved(true);
    b->setRemoved(true);
    manager->update(20);
    EXPECT_EQ(manager->getScene("SCENE_A"), a);
    EXPECT_EQ(manager->getScene("SCENE_B"), nullptr);  // not current: dropped
    RefHolder<Scene> other = new ProbeScene();
    manager->addScene("SCENE_C", other.get());
    manager->requestScene(other.get());
    manager->update(20);
    manager->update(20);  // the old scene is retired here, after this frame's sweep
    EXPECT_EQ(manager->getScene("SCENE_A"), a);
    manager->update(20);
    EXPECT_EQ(manager->getScene("SCENE_A"), nullptr);
}

TEST_F(SceneManagerTest, ALeftScenesUnheldPicturesAreReleasedUnlessTheNextSharesItsSection) {
    auto picture = [&](const char* key) {
        RefHolder<ImageResource> resource = new ImageResource(std::string(key) + ".png", "", 0);
        RefHolder<Image> image = Image::createImage(4, 4, 4);
        resource->setImage(image.get());
        resource->setLoaded();
        section->addObject(key, resource.get());
        return resource;
    };
    RefHolder<ImageResource> lookedUp = picture("LOOKED_UP");
    RefHolder<ImageResource> shown = picture("SHOWN");
    RefHolder<Image> onScreen = shown->getImage();  // a sprite's hold
    manager->requestScene(manager->createScene("SCENE_ROOM"));
    manager->update(20);
    manager->requestScene(manager->createScene("SCENE_ROOM_TOO"));
    manager->update(20);
    manager->update(20);
    EXPECT_TRUE(lookedUp->isLoaded());
    manager->requestScene(a);
    manager->update(20);
    EXPECT_TRUE(lookedUp->isLoaded());  // the scene left is hidden a frame later
    manager->update(20);
    EXPECT_FALSE(lookedUp->isLoaded());
    EXPECT_EQ(lookedUp->getImage(), nullptr);
    EXPECT_EQ(shown->getImage(), onScreen.get());
}

}  // namespace scene_manager_test
