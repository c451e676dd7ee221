#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/os/SdlAudioMixer.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundStream.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"
#include "testsupport/os/TestSounds.h"

// The sound classes on the real SDL mixer: captured output, a device that cannot start, and
// the loader thread meeting the main thread and shut-down.
namespace sound_device_test {

using namespace std::chrono_literals;

void writeTone(const std::string& path, uint32_t frames, double amplitude = 12000) {
    const std::vector<uint8_t> wav =
        testsounds::wavFile(44100, 1, testsounds::tone(44100, 1, frames, 440, amplitude));
    writeTestFile(path, std::string(wav.begin(), wav.end()));
}

class SoundOnSdl : public testing::Test {
protected:
    ~SoundOnSdl() override { SoundManager::releaseInstance(); }
    // SDL's dummy driver consumes sound in real time and plays nothing.
    ScopedEnvironment driver{"SDL_AUDIODRIVER", "dummy"};
    TempFolder temp;
    CurrentFolderScope inside{temp.path};
};

TEST_F(SoundOnSdl, APlayedSoundIsInTheCapturedOutput) {
    const std::string output = temp / "output.raw";
    ScopedEnvironment disk("SDL_AUDIODRIVER", "disk");
    ScopedEnvironment file("SDL_DISKAUDIOFILE", output);
    writeTone("media/sounds/tone.wav", 8820);  // 200 ms

    SoundManager::init(44100, 32, std::make_shared<SdlAudioMixer>());
    ASSERT_TRUE(SoundManager::isSoundAvailable());
    RefHolder<Sound> sound(new Sound(0.5f));
    ASSERT_EQ(sound->load(2, 0, "media/sounds/tone.wav"), 0);
    EXPECT_EQ(sound->getLength(), 200u);
    // 255 at a multiplier of 0.5 plays at 127, panned fully right.
    const int32_t channel = sound->play(255, 255, false);
    ASSERT_GE(channel, 0);
    std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer();
    waitFor([&] { return !mixer->isPlaying(channel); });
    // The device thread writes the buffer it mixed before closing lets it end.
    SoundManager::releaseInstance();

    const std::string bytes = readTestFile(output);
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    int loudestLeft = 0;
    int loudestRight = 0;
    size_t sounding = 0;
    for (size_t i = 0; i + 1 < frames.size(); i += 2) {
        loudestLeft = std::max(loudestLeft, std::abs(static_cast<int>(frames[i])));
        loudestRight = std::max(loudestRight, std::abs(static_cast<int>(frames[i + 1])));
        sounding += frames[i + 1] != 0 ? 1 : 0;
    }
    EXPECT_EQ(loudestLeft, 0);
    EXPECT_GT(loudestRight, 5000);  // 12000 * 127 / 255, about 5976
    EXPECT_LT(loudestRight, 6500);
    EXPECT_NEAR(static_cast<double>(sounding), 8820.0, 200.0);
}

TEST_F(SoundOnSdl, AnUnknownDriverRunsSilentAndHarmless) {
    ScopedEnvironment unknown("SDL_AUDIODRIVER", "no-such-driver");
    writeTone("media/sounds/tone.wav", 441);
    SoundManager* manager = SoundManager::init(44100, 32, std::make_shared<SdlAudioMixer>());
    EXPECT_FALSE(SoundManager::isSoundAvailable());
    EXPECT_EQ(SoundManager::getMixer(), nullptr);

    RefHolder<Sound> sound(new Sound());
    EXPECT_EQ(sound->load(1, 0, "media/sounds/tone.wav"), 0);
    EXPECT_EQ(sound->getSample(), 0);
    EXPECT_EQ(sound->play(255, 128, false), -1);
    EXPECT_EQ(sound->getLength(), 0u);

    RefHolder<SoundStream> music(new SoundStream());
    music->setFileName("media/sounds/tone.wav");
    EXPECT_FALSE(manager->startStream(music.get(), nullptr, SoundManager::RESTART_STREAM_MODE));
    manager->playMusic(1000, 1.0f, 100, music.get(), 600, SoundManager::RESTART_STREAM_MODE);
    manager->update(16);
    manager->setMute(true);
    EXPECT_FALSE(manager->fadeOutMusic(0));
    manager->stopMusic();
    EXPECT_FALSE(music->isOpen());
    EXPECT_EQ(manager->getCurrentStream(), nullptr);
}

TEST_F(SoundOnSdl, SoundsLoadOnTheLoaderThreadWhileTheMainThreadPlays) {
    constexpr int count = 24;
    for (int i = 0; i < count; ++i) {
        writeTone("media/sounds/s" + std::to_string(i) + ".wav", 2000 + 100 * i);
    }
    writeTone("media/sounds/main.wav", 441);
    SoundManager::init(44100, 32, std::make_shared<SdlAudioMixer>());
    ASSERT_TRUE(SoundManager::isSoundAvailable());
    RefHolder<Sound> playing(new Sound());
    ASSERT_EQ(playing->load(1, 0, "media/sounds/main.wav"), 0);

    std::mutex loadedLock;
    std::vector<RefHolder<Sound>> loaded;
    std::atomic<int> failures{0};
    std::thread loader([&] {
        for (int i = 0; i < count; ++i) {
            // Made and loaded off the main thread, as the resource loader does.
            RefHolder<Sound> sound(new Sound());
            failures += sound->load(2, 0, "media/sounds/s" + std::to_string(i) + ".wav") != 0;
            std::lock_guard<std::mutex> guard(loadedLock);
            loaded.push_back(sound);
        }
    });
    int played = 0;
    size_t seen = 0;
    while (seen < static_cast<size_t>(count)) {
        played += playing->play(100, 64, false) >= 0 ? 1 : 0;
        std::lock_guard<std::mutex> guard(loadedLock);
        for (; seen < loaded.size(); ++seen) {
            played += loaded[seen]->play(255, 128, false) >= 0 ? 1 : 0;
        }
    }
    loader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_GE(played, count);
    for (const RefHolder<Sound>& sound : loaded) {
        EXPECT_NE(sound->getSample(), 0);
    }
}

TEST_F(SoundOnSdl, ShutDownWhileTheLoaderStillLoadsAndFreesIsHarmless) {
    writeTone("media/sounds/tone.wav", 4410);
    SoundManager::init(44100, 32, std::make_shared<SdlAudioMixer>());
    ASSERT_TRUE(SoundManager::isSoundAvailable());
    std::atomic<bool> done{false};
    std::atomic<int> loadsBefore{0};
    std::atomic<int> quietLoadsAfter{0};
    std::vector<RefHolder<Sound>> kept;
    std::thread loader([&] {
        while (!done) {
            const bool availableBefore = SoundManager::isSoundAvailable();
            RefHolder<Sound> sound(new Sound());
            const int32_t result = sound->load(1, 0, "media/sounds/tone.wav");
            if (availableBefore) {
                loadsBefore += result == 0 ? 1 : 0;
            } else {
                quietLoadsAfter += result == 0 && sound->getSample() == 0 ? 1 : 0;
            }
            if (kept.size() < 8) {
                kept.push_back(sound);  // freed after the device has closed
            }
        }
    });
    waitFor([&] { return loadsBefore > 3; });
    SoundManager::releaseInstance();
    waitFor([&] { return quietLoadsAfter > 3; });
    done = true;
    loader.join();
    kept.clear();
    EXPECT_FALSE(SoundManager::isSoundAvailable());
}

}  // namespace sound_device_test
