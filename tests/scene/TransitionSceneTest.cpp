// Transition scenes: the fades, the waits for a slow or stuck loader (the window kept
// answering, the wait bounded), and the loading text with its dots.
#include "gui/GuiFixture.h"
#include "gui/SceneProbes.h"

#include "framework/scene/FullScreenFrame.h"

namespace transition_scene_test {

// The fake loader: busy for the given number of questions (always when negative).
int busyAnswersLeft = 0;
int loaderQuestions = 0;
bool fakeLoaderBusy() {
    ++loaderQuestions;
    if (busyAnswersLeft < 0) {
        return true;
    }
    if (busyAnswersLeft > 0) {
        --busyAnswersLeft;
        return true;
    }
    return false;
}

// The full-screen frame's calls, as "attach <scene name>" and "input on" / "input off".
class RecordingFrame : public FullScreenFrame {
public:
    void attachToScene(Scene* scene) override {
        calls.push_back("attach " + (scene ? scene->getName() : std::string("none")));
    }
    void setFrameInputActive(bool active) override {
        calls.push_back(active ? "input on" : "input off");
    }
    std::vector<std::string> calls;
};

class TransitionSceneTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        busyAnswersLeft = 0;
        loaderQuestions = 0;
        TransitionScene::loaderProbe.install(&fakeLoaderBusy);
        definitionsFrom(
            "<Node id=\"scenes\"><ProbeScene id=\"SCENE_A\"/><ProbeScene id=\"SCENE_B\"/>"
            "<AlphaTransition id=\"ALPHA\" time=\"100\"/>"
            "<FadeBlackTransition id=\"FADE\" time=\"100\"/>"
            "<FadeBlackTransition id=\"FADE_LABEL\" time=\"100\" showdelay=\"300\" "
            "showtime=\"1100\"><Vector id=\"components\">"
            "<ProbeLabel id=\"LOADING_LABEL\" text=\"Loading\"/></Vector>"
            "</FadeBlackTransition></Node>");
        manager = SceneManager::getInstance();
        a = static_cast<ProbeScene*>(manager->createScene("SCENE_A"));
        b = static_cast<ProbeScene*>(manager->createScene("SCENE_B"));
        manager->requestScene(a);
        manager->update(20);
    }
    // Sets the transition and asks for b; the first frame shows the transition.
    TransitionScene* startTransition(const std::string& name) {
        manager->setTransition(name);
        auto* transition = objectCast<TransitionScene>(manager->getTransition());
        manager->requestScene(b);
        manager->update(100);
        return transition;
    }
    // Runs frames of 100 ms until b runs, at most `limit`; the number of frames run.
    int framesUntilTarget(int limit) {
        int frames = 0;
        while (manager->getRunningScene() != b && frames < limit) {
            manager->update(100);
            ++frames;
        }
        return frames;
    }
    void TearDown() override {
        FullScreenFrame::install(nullptr);
        GuiTest::TearDown();
    }
    ProbeRegistrations probes;
    SceneManager* manager = nullptr;
    ProbeScene* a = nullptr;
    ProbeScene* b = nullptr;
};

TEST_F(TransitionSceneTest, TheAlphaWaitForASlowLoaderKeepsTheWindowServicedAndIsBounded) {
    busyAnswersLeft = 5;
    RecordingFrame frame;
    FullScreenFrame::install(&frame);
    startTransition("ALPHA");
    EXPECT_EQ(loaderQuestions, 6);
    EXPECT_EQ(events.queueServices, 5);
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(5, 10));
    EXPECT_TRUE(events.queue.empty());  // nothing taken from the window's queue
    EXPECT_EQ(b->shows, 1);
    EXPECT_LE(framesUntilTarget(10), 3);
    EXPECT_TRUE(b->getComponentsContainer().isActive());
    // The frame moves to the target with its input off, and is back on in a window only when
    // the window is in full screen (the fake window is not).
    EXPECT_EQ(frame.calls, (std::vector<std::string>{"input off", "attach SCENE_B", "input off",
                                                     "attach SCENE_B"}));
    FullScreenFrame::install(nullptr);

    // A loader that never finishes: the wait gives up after ten seconds and goes on.
    busyAnswersLeft = -1;
    clock.sleeps.clear();
    manager->setTransition("ALPHA");
    std::swap(a, b);
    manager->requestScene(b);
    manager->update(100);
    EXPECT_EQ(clock.sleeps.size(), 1000u);
    EXPECT_EQ(manager->getCurrentScene(), b);
    EXPECT_LE(framesUntilTarget(10), 3);
}

TEST_F(TransitionSceneTest, WithoutALabelTheFadeWaitsForTheLoaderThenFadesIn) {
    busyAnswersLeft = 4;
    auto* fade = static_cast<FadeBlackTransitionScene*>(startTransition("FADE"));
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_FADE_OUT);
    EXPECT_EQ(b->shows, 0);  // the target is shown only when the fade-in starts
    manager->update(100);    // the fade-out ends
    EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_WAIT);
    for (int i = 0; i < 4; ++i) {
        manager->update(100);
        EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_WAIT);
    }
    manager->update(100);
    EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_FADE_IN);
    EXPECT_EQ(b->shows, 1);
    EXPECT_LE(framesUntilTarget(5), 3);
    EXPECT_TRUE(b->getComponentsContainer().isActive());
    // Hidden a frame after its target runs, the transition keeps no window-sized picture.
    const RefHolder<Scene> done = fade;
    EXPECT_NE(fade->getSnapshotB()->getImage(), nullptr);
    manager->update(100);
    EXPECT_EQ(fade->getState(), Scene::STATE_LOADED);
    EXPECT_EQ(fade->getSnapshotA()->getImage(), nullptr);
    EXPECT_EQ(fade->getSnapshotB()->getImage(), nullptr);
    EXPECT_EQ(fade->getBackgroundImage(), nullptr);

    // Stuck loading: after ten seconds of waiting the fade-in starts anyway.
    busyAnswersLeft = -1;
    std::swap(a, b);
    auto* stuck = static_cast<FadeBlackTransitionScene*>(startTransition("FADE"));
    for (int i = 0; i < 100; ++i) {
        manager->update(100);
    }
    EXPECT_EQ(stuck->getPhase(), FadeBlackTransitionScene::PHASE_WAIT);
    manager->update(100);
    EXPECT_EQ(stuck->getPhase(), FadeBlackTransitionScene::PHASE_FADE_IN);
}

TEST_F(TransitionSceneTest, TheLoadingTextShowsAfterTheDelayWithDotsAndStaysItsShowTime) {
    busyAnswersLeft = -1;
    auto* fade = static_cast<FadeBlackTransitionScene*>(startTransition("FADE_LABEL"));
    auto* label = static_cast<ProbeLabel*>(fade->getLoadingLabel());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getAlpha(), 0);
    EXPECT_EQ(label->getNextSibling(), fade->getSnapshotB());  // drawn below the new picture
    manager->update(100);                                      // fade-out over, waiting
    std::vector<std::wstring> texts;
    for (int i = 0; i < 13; ++i) {
        manager->update(100);
        texts.push_back(label->text);
        // Loading ends once the text shows; the text stays its whole show time all the same.
        if (i == 4) {
            busyAnswersLeft = 0;
        }
        EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_WAIT) << i;
    }
    // 300 ms of delay; then 300 ms per dot, wrapping after three.
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Loading", L"Loading", L"Loading", L"Loading",
                                                L"Loading", L"Loading.", L"Loading.", L"Loading.",
                                                L"Loading..", L"Loading..", L"Loading..",
                                                L"Loading...", L"Loading..."}));
    EXPECT_GT(label->getAlpha(), 0);
    manager->update(100);
    EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_FADE_IN);
    EXPECT_LE(framesUntilTarget(5), 3);
    EXPECT_EQ(label->getAlpha(), 0);  // faded out with the fade-in
}

TEST_F(TransitionSceneTest, LoadingDoneWithinTheDelayNeverShowsTheText) {
    busyAnswersLeft = 1;
    auto* fade = static_cast<FadeBlackTransitionScene*>(startTransition("FADE_LABEL"));
    auto* label = static_cast<ProbeLabel*>(fade->getLoadingLabel());
    manager->update(100);
    manager->update(100);
    manager->update(100);
    EXPECT_EQ(fade->getPhase(), FadeBlackTransitionScene::PHASE_FADE_IN);
    framesUntilTarget(5);
    EXPECT_EQ(label->getAlpha(), 0);
    EXPECT_EQ(label->text, L"Loading");
}

}  // namespace transition_scene_test
