// Sounds loaded by the resource loader while the main thread plays the ones already there, on
// the real mixer (SDL's dummy driver), so the loader, the mixer's callback and the main thread
// all meet. This test also runs under ThreadSanitizer (CTest label "tsan").
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "framework/os/SdlAudioMixer.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "platform/ResourceFiles.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/WaitFor.h"
#include "testsupport/os/TestSounds.h"

namespace sound_load_thread_test {

using namespace std::chrono_literals;

class SoundLoadThreadTest : public ResourceFilesTest {
protected:
    void TearDown() override {
        ResourceFilesTest::TearDown();
        SoundManager::releaseInstance();
    }

    std::string toneFile(const std::string& name, uint32_t frames, double frequency) {
        const std::string path = folder.file(name);
        EXPECT_TRUE(testsounds::writeFile(
            path,
            testsounds::wavFile(22050, 1, testsounds::tone(22050, 1, frames, frequency, 8000))));
        return path;
    }

    ScopedEnvironment driver{"SDL_AUDIODRIVER", "dummy"};
    testsounds::TempFolder folder;
};

TEST_F(SoundLoadThreadTest, TheLoaderLoadsSoundsWhileLoadedOnesPlay) {
    SoundManager::init(44100, 32, std::make_shared<SdlAudioMixer>());
    ASSERT_TRUE(SoundManager::isSoundAvailable());
    constexpr int count = 12;
    std::string later;
    for (int i = 0; i < count; ++i) {
        later += "<Sound id=\"S" + std::to_string(i) + "\" file=\"" +
                 toneFile("s" + std::to_string(i) + ".wav", 4000 + 500 * i, 300 + 40 * i) + "\"/>";
    }
    ResourceManager* manager =
        idleManager("<Section id=\"now\" name=\"now\"><Sound id=\"BEAT\" file=\"" +
                    toneFile("beat.wav", 11025, 110) +
                    "\"/></Section><Section id=\"later\" name=\"later\">" + later + "</Section>");
    auto* beat = objectCast<Sound>(manager->getLoadedResourceHandle("BEAT", "now"));
    ASSERT_NE(beat, nullptr);
    const int32_t beatChannel = beat->play(255, 128, true);
    ASSERT_GE(beatChannel, 0);

    EXPECT_TRUE(manager->requestSectionLoad("later"));
    manager->setReady();
    int loaded = 0;
    int plays = 0;
    while (loaded < count) {
        loaded = 0;
        for (int i = 0; i < count; ++i) {
            Sound* sound = nullptr;
            {
                ResourceManager::DataLock lock;
                sound =
                    objectCast<Sound>(manager->getResourceHandle("S" + std::to_string(i), "later"));
            }
            if (sound != nullptr) {
                ++loaded;
                plays += sound->play(200, i * 20, false) >= 0 ? 1 : 0;
            }
        }
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(loaded, count);
    EXPECT_GT(plays, 0);
    EXPECT_TRUE(SoundManager::getMixer()->isPlaying(beatChannel));
    ResourceManager::stopLoader();
}

}  // namespace sound_load_thread_test
