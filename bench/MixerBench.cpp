// The mixing callback runs on the audio thread once per device buffer; its cost decides how
// much of each buffer's real time is left for everything else.
#include <benchmark/benchmark.h>

#include <cmath>

#include "framework/os/MixerCore.h"

namespace {

constexpr int RATE = 44100;
constexpr uint32_t BUFFER_FRAMES = 1024;

SampleData noiseSample(int channels, uint32_t frames, uint32_t seed) {
    SampleData sample;
    sample.channels = channels;
    sample.loop = true;
    sample.pcm.resize(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    for (int16_t& value : sample.pcm) {
        seed = seed * 1664525u + 1013904223u;
        value = static_cast<int16_t>(seed >> 20);
    }
    return sample;
}

// 32 sample voices (half mono, half stereo, each at its own volume and pan) and 2 music
// streams whose rings are topped up with one buffer per pass, as the feeder would.
void BM_Mix32VoicesAnd2Streams(benchmark::State& state) {
    MixerCore core(RATE, 32);
    std::vector<SampleData> samples;
    for (uint32_t i = 0; i < 32; ++i) {
        samples.push_back(noiseSample(1 + static_cast<int>(i % 2), RATE / 2 + i * 97, i + 1));
    }
    for (uint32_t i = 0; i < 32; ++i) {
        const int32_t channel = core.playSample(&samples[i], false);
        core.setVolume(channel, 100 + static_cast<int>(i * 4));
        core.setPan(channel, static_cast<int>(i * 8));
    }
    core.setEffectsMasterVolume(200);
    StreamRing rings[2] = {StreamRing(4 * BUFFER_FRAMES), StreamRing(4 * BUFFER_FRAMES)};
    const SampleData music = noiseSample(2, BUFFER_FRAMES, 99);
    for (StreamRing& ring : rings) {
        core.setVolumeAbsolute(core.playStream(&ring, false), 180);
    }
    std::vector<int16_t> out(BUFFER_FRAMES * 2);
    for (auto _ : state) {
        for (StreamRing& ring : rings) {
            ring.write(music.pcm.data(), BUFFER_FRAMES);
        }
        core.mix(out.data(), BUFFER_FRAMES);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    // Processor time over the sound's time, in per cent: the share of real time the mix takes.
    const double soundHundredths =
        static_cast<double>(state.iterations()) * BUFFER_FRAMES / static_cast<double>(RATE) / 100.0;
    state.counters["realTimePercent"] = benchmark::Counter(
        soundHundredths, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Mix32VoicesAnd2Streams);

}  // namespace
