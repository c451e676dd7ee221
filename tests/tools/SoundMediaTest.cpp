#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "framework/os/AudioDecoder.h"
#include "framework/os/SdlAudioMixer.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/MemoryBuffer.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundResource.h"
#include "framework/platform/StreamResource.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/WaitFor.h"
#include "testsupport/os/TestSounds.h"
#include "testsupport/platform/PictureEncoder.h"
#include "tools/synth/AudioFile.h"
#include "tools/synth/Effect.h"
#include "tools/synth/Score.h"

// The game's sounds and music as the build made them from art/, found through the resource
// list, read where the game reads them (sounds from the data archive, music from its loose
// files) and decoded by the game's own decoder.
namespace sound_media_test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path GAME_FOLDER = fs::path(QUOVEL_BINARY_DIR) / "game";
const fs::path ART_FOLDER = fs::path(QUOVEL_SOURCE_DIR) / "art";
constexpr int RATE = 44100;
// -1 dBFS and 1 % of full scale in 16-bit steps.
constexpr int PEAK_LIMIT = 29204;
constexpr int SILENCE_LIMIT = 328;

const std::set<std::string> LOOPED_KEYS = {"SOUND_SHUFFLE", "SOUND_TIME", "SOUND_ELEVATOR_MOVING"};
const char* const SECTION_NAMES[] = {"splash",  "music",    "preloading", "default", "lobby",
                                     "trophy",  "elevator", "hallway",    "casino",  "casrecroof",
                                     "recroom", "roof",     "game",       "manual"};

struct AudioResource {
    std::string section;
    std::string key;
    std::string file;
    bool music = false;
    float multiplier = 0;
};

// Every sound and music resource of the game's resource list (the list read, nothing loaded).
std::vector<AudioResource> audioResources() {
    std::vector<AudioResource> found;
    ResourceManager* manager = ResourceManager::createInstance();
    EXPECT_TRUE(
        manager->loadSectionList((GAME_FOLDER / "media/properties/resources.xml").string()));
    {
        ResourceManager::DataLock lock;
        for (const char* name : SECTION_NAMES) {
            ResourceSection* section = manager->getSection(name);
            for (const auto& [key, resource] :
                 section ? section->getResources() : ResourceSection::ResourceTable{}) {
                if (const auto* sound = objectCast<SoundResource>(resource.get())) {
                    found.push_back(
                        {name, key, sound->getFileName(), false, sound->getVolumeMultiplier()});
                } else if (const auto* piece = objectCast<StreamResource>(resource.get())) {
                    found.push_back(
                        {name, key, piece->getFileName(), true, piece->getVolumeMultiplier()});
                }
            }
        }
    }
    ResourceManager::stopLoader();
    return found;
}

bool decode(const fs::path& file, SampleData& sample) {
    std::vector<uint8_t> bytes;
    return audio::readSoundFile(file.string(), bytes) &&
           audio::decodeSample(bytes.data(), bytes.size(), RATE, sample);
}

// A sound as the game reads it: from the data archive.
bool decodeFromArchive(const std::string& file, SampleData& sample) {
    FileArchive::open(2, (GAME_FOLDER / "media.dat").string());
    MemoryBuffer buffer;
    const bool read = FileArchive::readFile(FileArchive::getFileMode(), file, buffer);
    FileArchive::close();
    return read && audio::decodeSample(buffer.getData(), buffer.getSize(), RATE, sample);
}

// One channel of a decoded sound as levels in [-1, 1].
std::vector<double> sampleChannel(const SampleData& sample, int which) {
    std::vector<double> out;
    for (size_t i = static_cast<size_t>(which); i < sample.pcm.size();
         i += static_cast<size_t>(sample.channels)) {
        out.push_back(sample.pcm[i] / 32768.0);
    }
    return out;
}

int peakOf(const SampleData& sample) {
    int peak = 0;
    for (int16_t value : sample.pcm) {
        peak = std::max(peak, std::abs(static_cast<int>(value)));
    }
    return peak;
}

// True when the jump from the last sample back to the first is no larger than the 99th
// percentile of the sound's own adjacent-sample steps.
bool loopsWithoutASeam(const std::vector<double>& samples, std::string& detail) {
    std::vector<double> steps;
    for (size_t i = 1; i < samples.size(); ++i) {
        steps.push_back(std::abs(samples[i] - samples[i - 1]));
    }
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    const double typical = steps[steps.size() * 99 / 100];
    const double seam = std::abs(samples.front() - samples.back());
    detail = "seam " + std::to_string(seam) + ", 99th percentile " + std::to_string(typical);
    return seam <= typical;
}

// The source of a built sound, read as the synthesiser reads it.
synth::Effect sourceOf(const std::string& file) {
    synth::Source source;
    synth::Effect effect;
    std::string error;
    const std::string name = fs::path(file).stem().string();
    EXPECT_TRUE(source.read((ART_FOLDER / "sounds" / (name + ".synth")).string(), error) &&
                effect.parse(source, error))
        << error;
    return effect;
}

void fft(std::vector<std::complex<double>>& values) {
    const size_t n = values.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(values[i], values[j]);
        }
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> turn =
            std::polar(1.0, -2.0 * M_PI / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> a = values[start + k];
                const std::complex<double> b = values[start + k + length / 2] * w;
                values[start + k] = a + b;
                values[start + k + length / 2] = a - b;
                w *= turn;
            }
        }
    }
}

// A picture for a person to look at: the waveform on top, below it the spectrum over time on
// a logarithmic frequency scale from 40 Hz to 16 kHz, brighter for louder.
bool writeSoundPicture(const std::vector<double>& samples, const fs::path& file) {
    constexpr int width = 600, waveHeight = 100, spectrumHeight = 200, window = 1024;
    PngSpec spec;
    spec.width = width;
    spec.height = waveHeight + spectrumHeight;
    spec.rows.assign(spec.height, std::vector<uint8_t>(width * 3, 16));
    const double perColumn = static_cast<double>(samples.size()) / width;
    for (int x = 0; x < width; ++x) {
        const auto first = static_cast<size_t>(x * perColumn);
        const auto last = std::max(first + 1, static_cast<size_t>((x + 1) * perColumn));
        double low = 0, high = 0;
        for (size_t i = first; i < last && i < samples.size(); ++i) {
            low = std::min(low, samples[i]);
            high = std::max(high, samples[i]);
        }
        const int top = static_cast<int>((1.0 - high) * waveHeight / 2);
        const int bottom = static_cast<int>((1.0 - low) * waveHeight / 2);
        for (int y = std::max(top, 0); y <= std::min(bottom, waveHeight - 1); ++y) {
            spec.rows[y][x * 3 + 1] = 200;
        }
        std::vector<std::complex<double>> values(window);
        const auto centre = static_cast<long>(first);
        for (int i = 0; i < window; ++i) {
            const long at = centre + i - window / 2;
            const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (window - 1));
            values[i] =
                at >= 0 && at < static_cast<long>(samples.size()) ? samples[at] * hann : 0.0;
        }
        fft(values);
        for (int y = 0; y < spectrumHeight; ++y) {
            const double hz = 40.0 * std::pow(400.0, 1.0 - static_cast<double>(y) / spectrumHeight);
            const auto bin = static_cast<size_t>(hz * window / RATE);
            const double db = synth::toDecibels(std::abs(values[bin]) / (window / 4.0));
            const double shade = std::clamp((db + 90.0) / 90.0, 0.0, 1.0);
            uint8_t* pixel = &spec.rows[waveHeight + y][x * 3];
            pixel[0] = static_cast<uint8_t>(255 * std::min(1.0, shade * 1.6));
            pixel[1] = static_cast<uint8_t>(255 * shade * shade);
            pixel[2] = static_cast<uint8_t>(90 * shade);
        }
    }
    return testsounds::writeFile(file.string(), encodePng(spec));
}

TEST(SoundMedia, EverySoundDecodesWithinItsLevelsAndStartsAndEndsOrLoopsCleanly) {
    const std::vector<AudioResource> resources = audioResources();
    const fs::path previews = fs::path(QUOVEL_BINARY_DIR) / "sound-previews";
    fs::create_directories(previews);
    const std::set<std::string> pictured = {"SOUND_TILE_SELECT", "SOUND_COMBO1",
                                            "SOUND_COMBO10",     "SOUND_LEVEL_WON",
                                            "SOUND_TIME",        "SOUND_ELEVATOR_MOVING"};
    std::map<std::string, std::vector<std::pair<double, std::string>>> loudness;
    std::map<std::string, std::set<float>> multipliers;
    std::set<std::string> named;
    std::set<std::string> loopsSeen;
    for (const AudioResource& sound : resources) {
        if (sound.music) {
            continue;
        }
        SCOPED_TRACE(sound.section + " " + sound.key + " " + sound.file);
        named.insert(sound.file);
        SampleData sample;
        if (!decodeFromArchive(sound.file, sample)) {
            ADD_FAILURE() << "is not in the archive or does not decode";
            continue;
        }
        const std::vector<double> samples = sampleChannel(sample, 0);
        const synth::Effect source = sourceOf(sound.file);
        EXPECT_EQ(sample.channels, 1);
        EXPECT_LE(peakOf(sample), PEAK_LIMIT);
        EXPECT_EQ(source.loops(), LOOPED_KEYS.count(sound.key) == 1);
        if (LOOPED_KEYS.count(sound.key)) {
            loopsSeen.insert(sound.key);
            std::string detail;
            EXPECT_TRUE(loopsWithoutASeam(samples, detail)) << detail;
        } else {
            EXPECT_LE(std::abs(sample.pcm.front()), SILENCE_LIMIT);
            EXPECT_LE(std::abs(sample.pcm.back()), SILENCE_LIMIT);
            EXPECT_LT(sample.frames(), 3u * RATE);
        }
        const std::string& group = source.group();
        loudness[group].push_back(
            {synth::toDecibels(synth::loudestWindowRms(samples, RATE)), sound.key});
        multipliers[group].insert(sound.multiplier);
        if (pictured.count(sound.key)) {
            EXPECT_TRUE(writeSoundPicture(samples, previews / (sound.key + ".png")));
        }
    }
    EXPECT_EQ(loopsSeen, LOOPED_KEYS);
    EXPECT_EQ(loudness.count(""), 0u) << "a sound without a group";
    std::set<float> groupMultipliers;
    for (const auto& [group, levels] : loudness) {
        const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
        EXPECT_LE(loudest->first - quietest->first, 6.0)
            << group << ": " << quietest->second << " at " << quietest->first << " dB, "
            << loudest->second << " at " << loudest->first << " dB";
        EXPECT_EQ(multipliers[group].size(), 1u) << group << " has several volume multipliers";
        groupMultipliers.insert(*multipliers[group].begin());
    }
    EXPECT_EQ(groupMultipliers.size(), loudness.size()) << "two groups share a multiplier";
    // Rendered alike, the groups are set apart by their multipliers, quietest first.
    const char* const order[] = {"interface", "tiles", "warnings", "celebrations"};
    for (size_t i = 0; i < std::size(order); ++i) {
        ASSERT_EQ(multipliers[order[i]].size(), 1u) << order[i];
        if (i > 0) {
            EXPECT_LT(*multipliers[order[i - 1]].begin(), *multipliers[order[i]].begin())
                << order[i - 1] << " against " << order[i];
        }
    }
    EXPECT_GE(named.size(), 60u);
}

TEST(SoundMedia, EveryPieceOfMusicLastsAMinuteAndLoopsWithoutASeam) {
    std::set<std::string> named;
    for (const AudioResource& piece : audioResources()) {
        if (!piece.music) {
            continue;
        }
        SCOPED_TRACE(piece.key + " " + piece.file);
        EXPECT_EQ(piece.section, "music");
        named.insert(piece.file);
        SampleData sample;
        if (!decode(GAME_FOLDER / piece.file, sample)) {
            ADD_FAILURE() << "does not decode";
            continue;
        }
        ASSERT_EQ(sample.channels, 2);
        EXPECT_LE(peakOf(sample), PEAK_LIMIT);
        EXPECT_GE(sample.frames(), 60u * RATE);
        for (int side = 0; side < 2; ++side) {
            std::string detail;
            EXPECT_TRUE(loopsWithoutASeam(sampleChannel(sample, side), detail))
                << side << ": " << detail;
        }
        if (piece.key == "MUSIC_QUOVEL") {
            std::vector<double> opening = sampleChannel(sample, 0);
            opening.resize(12 * RATE);
            EXPECT_TRUE(writeSoundPicture(
                opening, fs::path(QUOVEL_BINARY_DIR) / "sound-previews" / "MUSIC_QUOVEL.png"));
        }
    }
    EXPECT_EQ(named.size(), 7u);
}

// Same sources, same files: rendering again gives the bytes the build wrote.
TEST(SoundMedia, TheSynthesiserRendersTheBuiltFilesAgainByteForByte) {
    testsounds::TempFolder folder;
    synth::Source source;
    std::string error;
    ASSERT_TRUE(source.read((ART_FOLDER / "sounds/combo7.synth").string(), error)) << error;
    synth::Effect effect;
    ASSERT_TRUE(effect.parse(source, error)) << error;
    std::string warning;
    ASSERT_TRUE(synth::writeWav(folder.file("combo7.wav"), effect.render(warning), RATE));
    EXPECT_EQ(testsounds::readFile(folder.file("combo7.wav")),
              testsounds::readFile((GAME_FOLDER / "media/sounds/combo7.wav").string()));

    ASSERT_TRUE(source.read((ART_FOLDER / "music/game_split.score").string(), error)) << error;
    synth::Score score;
    ASSERT_TRUE(score.parse(source, error)) << error;
    std::vector<double> left, right;
    score.render(left, right);
    ASSERT_TRUE(synth::writeOgg(folder.file("split.ogg"), left, right, RATE, score.quality(),
                                score.serial()));
    EXPECT_EQ(testsounds::readFile(folder.file("split.ogg")),
              testsounds::readFile((GAME_FOLDER / "media/music/game_split.ogg").string()));
}

// Where `played` (a run of captured frames of one side) sits in the looping `source`: the index
// in the source of its first frame, or -1. `from` and `to` bound the search.
long placeInLoop(const std::vector<int>& played, const std::vector<int>& source, long from, long to,
                 int tolerance) {
    const auto n = static_cast<long>(source.size());
    for (long k = std::max(0L, from); k < std::min(n, to); ++k) {
        bool same = true;
        for (long j = 0; j < 256 && same; ++j) {
            same = std::abs(played[j] - source[(k + j) % n]) <= tolerance;
        }
        if (same) {
            return k;
        }
    }
    return -1;
}

// How many frames of `played` from `start` follow the looping source from `k` without a
// difference above the tolerance.
long followedFrames(const std::vector<int>& played, size_t start, const std::vector<int>& source,
                    long k, int tolerance) {
    long count = 0;
    for (size_t i = start; i < played.size(); ++i, ++count) {
        if (std::abs(played[i] - source[(k + count) % source.size()]) > tolerance) {
            break;
        }
    }
    return count;
}

TEST(SoundMedia, LoopedSampleAndStreamRunOnPastTheirEndsWithoutAGap) {
    testsounds::TempFolder folder;
    const std::string output = folder.file("output.raw");
    ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
    ScopedEnvironment file("SDL_DISKAUDIOFILE", output);
    const fs::path loopFile = GAME_FOLDER / "media/sounds/time.wav";
    const fs::path musicFile = GAME_FOLDER / "media/music/game_split.ogg";
    SampleData loop, music;
    ASSERT_TRUE(decode(loopFile, loop));
    ASSERT_TRUE(decode(musicFile, music));
    const std::vector<int> loopSource(loop.pcm.begin(), loop.pcm.end());
    std::vector<int> musicRight;
    for (size_t i = 1; i < music.pcm.size(); i += 2) {
        musicRight.push_back(music.pcm[i]);
    }

    // The sample plays on the left only, the stream on the right only, from 0.3 s before its end.
    SdlAudioMixer mixer;
    ASSERT_TRUE(mixer.start(RATE, 32));
    const int32_t sample = mixer.loadSample(loopFile.string(), AudioMixer::MODE_LOOP_NORMAL);
    const int32_t stream = mixer.openStream(musicFile.string(), AudioMixer::MODE_LOOP_NORMAL);
    ASSERT_NE(sample, 0);
    ASSERT_NE(stream, 0);
    const auto streamStart = static_cast<uint32_t>(musicRight.size() - RATE * 3 / 10);
    ASSERT_TRUE(mixer.setStreamPosition(stream, streamStart));
    const int32_t sampleChannel = mixer.playSample(sample, true);
    const int32_t streamChannel = mixer.playStream(stream, true);
    ASSERT_GE(sampleChannel, 0);
    ASSERT_GE(streamChannel, 0);
    EXPECT_TRUE(mixer.setPan(sampleChannel, 0));
    EXPECT_TRUE(mixer.setPan(streamChannel, 255));
    std::error_code error;
    const uintmax_t written = fs::file_size(output, error);
    ASSERT_FALSE(error);
    EXPECT_TRUE(mixer.setPaused(sampleChannel, false));
    EXPECT_TRUE(mixer.setPaused(streamChannel, false));
    // Two seconds of sound once both play, however slowly the device thread gets its turns.
    const uintmax_t wanted = written + 2 * RATE * 4;
    waitFor([&] { return fs::file_size(output, error) >= wanted && !error; });
    EXPECT_TRUE(mixer.isPlaying(sampleChannel));
    EXPECT_TRUE(mixer.isPlaying(streamChannel));
    mixer.close();

    const std::vector<uint8_t> bytes = testsounds::readFile(output);
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    std::vector<int> left, right;
    for (size_t i = 0; i + 1 < frames.size(); i += 2) {
        left.push_back(frames[i]);
        right.push_back(frames[i + 1]);
    }
    // Each side follows its source sample for sample across the loop point: no gap, no click.
    const auto firstSound = [](const std::vector<int>& side) {
        return static_cast<size_t>(
            std::find_if(side.begin(), side.end(), [](int v) { return v != 0; }) - side.begin());
    };
    const size_t leftStart = firstSound(left);
    ASSERT_LT(leftStart + 256, left.size());
    const std::vector<int> leftRun(left.begin() + static_cast<long>(leftStart), left.end());
    const long loopAt =
        placeInLoop(leftRun, loopSource, 0, static_cast<long>(loopSource.size()), 0);
    ASSERT_GE(loopAt, 0);
    const long loopFollowed = followedFrames(left, leftStart, loopSource, loopAt, 0);
    EXPECT_GT(loopFollowed, static_cast<long>(loopSource.size()) - loopAt + RATE / 10)
        << "the looped sample breaks off after " << loopFollowed << " frames";

    const size_t rightStart = firstSound(right);
    ASSERT_LT(rightStart + 256, right.size());
    const std::vector<int> rightRun(right.begin() + static_cast<long>(rightStart), right.end());
    const long streamAt =
        placeInLoop(rightRun, musicRight, streamStart - RATE / 10, streamStart + RATE / 10, 2);
    ASSERT_GE(streamAt, 0);
    const long streamFollowed = followedFrames(right, rightStart, musicRight, streamAt, 2);
    EXPECT_GT(streamFollowed, static_cast<long>(musicRight.size()) - streamAt + RATE / 4)
        << "the looped stream breaks off after " << streamFollowed << " frames";
}

// A typing error in a source stops the build with the file and line.
TEST(SoundMedia, SourceErrorsNameTheirLine) {
    testsounds::TempFolder folder;
    const auto errorOf = [&](const std::string& name, const std::string& text) {
        testsounds::writeFile(folder.file(name), std::vector<uint8_t>(text.begin(), text.end()));
        synth::Source source;
        std::string error;
        if (!source.read(folder.file(name), error)) {
            return error;
        }
        if (name.ends_with(".score")) {
            synth::Score score;
            score.parse(source, error);
        } else {
            synth::Effect effect;
            effect.parse(source, error);
        }
        return error;
    };
    EXPECT_NE(errorOf("a.synth", "group tiles\ntone freq=C5 decay=0\n").find("a.synth:2"),
              std::string::npos);
    EXPECT_NE(errorOf("b.synth", "# F#4 in a comment\ntone freq=H4\n").find("b.synth:2"),
              std::string::npos);
    EXPECT_NE(errorOf("c.synth", "include c.synth\n").find("nest"), std::string::npos);
    EXPECT_EQ(errorOf("d.synth", "tone freq=F#4 # a comment after a note\n"), "");
    const std::string score = "tempo 80\ninstrument i\n tone decay=1\nend\nsection A\n chords ";
    EXPECT_NE(errorOf("e.score", score + "Cmaj7 Xm\nend\nform A\ntrack i style=chord\n")
                  .find("bad chord Xm"),
              std::string::npos);
    EXPECT_NE(errorOf("f.score", score + "C\nend\nform A B\ntrack i style=chord\n")
                  .find("unknown section B"),
              std::string::npos);
    EXPECT_NE(errorOf("g.score", score + "C\nend\nform A\ntrack i style=arp pattern=1,4\n")
                  .find("bad pattern step 4"),
              std::string::npos);
}

}  // namespace sound_media_test
