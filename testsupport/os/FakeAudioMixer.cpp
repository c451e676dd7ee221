#include "testsupport/os/FakeAudioMixer.h"

#include <algorithm>

namespace {

std::string number(int64_t value) {
    return std::to_string(value);
}

}  // namespace

bool FakeAudioMixer::start(int outputRate, int channels) {
    std::lock_guard<std::mutex> guard(lock);
    record("start " + number(outputRate) + " " + number(channels));
    started = !failStart;
    rate = outputRate;
    return started;
}

bool FakeAudioMixer::isStarted() const {
    std::lock_guard<std::mutex> guard(lock);
    return started;
}

int FakeAudioMixer::outputRate() const {
    std::lock_guard<std::mutex> guard(lock);
    return started ? rate : 0;
}

void FakeAudioMixer::close() {
    std::lock_guard<std::mutex> guard(lock);
    record("close");
    started = false;
    samples.clear();
    channels.clear();
    streams.clear();
}

int32_t FakeAudioMixer::addSample(const std::string& source, uint32_t mode) {
    if (!started || failLoads) {
        return 0;
    }
    const int32_t handle = nextHandle++;
    samples[handle] = SampleState{source, mode, (mode & MODE_LOOP_NORMAL) != 0};
    return handle;
}

int32_t FakeAudioMixer::loadSample(const std::string& fileName, uint32_t mode) {
    std::lock_guard<std::mutex> guard(lock);
    record("loadSample " + fileName + " " + number(mode));
    return addSample(fileName, mode);
}

int32_t FakeAudioMixer::loadSample(const void*, size_t length, uint32_t mode) {
    std::lock_guard<std::mutex> guard(lock);
    record("loadSample memory " + number(static_cast<int64_t>(length)) + " " + number(mode));
    return addSample("memory " + number(static_cast<int64_t>(length)), mode);
}

void FakeAudioMixer::freeSample(int32_t sample) {
    std::lock_guard<std::mutex> guard(lock);
    record("freeSample " + number(sample));
    if (samples.erase(sample) == 0) {
        return;
    }
    for (auto& [handle, channel] : channels) {
        if (channel.sample == sample) {
            channel.playing = false;
        }
    }
}

uint32_t FakeAudioMixer::sampleLength(int32_t sample) {
    std::lock_guard<std::mutex> guard(lock);
    record("sampleLength " + number(sample));
    return samples.count(sample) ? loadedSampleLength : 0;
}

bool FakeAudioMixer::setSampleMode(int32_t sample, uint32_t mode) {
    std::lock_guard<std::mutex> guard(lock);
    record("setSampleMode " + number(sample) + " " + number(mode));
    auto found = samples.find(sample);
    if (found == samples.end()) {
        return false;
    }
    found->second.loop = (mode & MODE_LOOP_NORMAL) != 0;
    return true;
}

int32_t FakeAudioMixer::playSample(int32_t sample, bool paused) {
    std::lock_guard<std::mutex> guard(lock);
    record("playSample " + number(sample) + (paused ? " paused" : ""));
    if (!samples.count(sample)) {
        return NO_CHANNEL;
    }
    const int32_t channel = nextHandle++;
    ChannelState state;
    state.sample = sample;
    state.paused = paused;
    noteHeard(state);
    channels[channel] = state;
    return channel;
}

void FakeAudioMixer::noteHeard(ChannelState& state) {
    if (!state.paused) {
        state.loudestHeard = std::max(state.loudestHeard, state.volume);
    }
}

FakeAudioMixer::ChannelState* FakeAudioMixer::playingChannel(int32_t channel) {
    auto found = channels.find(channel);
    return found != channels.end() && found->second.playing ? &found->second : nullptr;
}

bool FakeAudioMixer::setVolume(int32_t channel, int volume) {
    std::lock_guard<std::mutex> guard(lock);
    record("setVolume " + number(channel) + " " + number(volume));
    return setChannelVolume(playingChannel(channel), volume, false);
}

bool FakeAudioMixer::setVolumeAbsolute(int32_t channel, int volume) {
    std::lock_guard<std::mutex> guard(lock);
    record("setVolumeAbsolute " + number(channel) + " " + number(volume));
    return setChannelVolume(playingChannel(channel), volume, true);
}

bool FakeAudioMixer::setChannelVolume(ChannelState* state, int volume, bool absolute) {
    if (!state) {
        return false;
    }
    state->volume = std::clamp(volume, 0, MAX_VOLUME);
    state->absolute = absolute || state->stream != 0;
    noteHeard(*state);
    return true;
}

bool FakeAudioMixer::setPan(int32_t channel, int pan) {
    std::lock_guard<std::mutex> guard(lock);
    record("setPan " + number(channel) + " " + number(pan));
    ChannelState* state = playingChannel(channel);
    if (!state) {
        return false;
    }
    state->pan = std::clamp(pan, 0, 255);
    return true;
}

bool FakeAudioMixer::setPaused(int32_t channel, bool paused) {
    std::lock_guard<std::mutex> guard(lock);
    record("setPaused " + number(channel) + " " + number(paused));
    ChannelState* state = playingChannel(channel);
    if (!state) {
        return false;
    }
    state->paused = paused;
    noteHeard(*state);
    return true;
}

bool FakeAudioMixer::stopChannel(int32_t channel) {
    std::lock_guard<std::mutex> guard(lock);
    record("stopChannel " + number(channel));
    ChannelState* state = playingChannel(channel);
    if (!state) {
        return false;
    }
    state->playing = false;
    return true;
}

bool FakeAudioMixer::isPlaying(int32_t channel) {
    std::lock_guard<std::mutex> guard(lock);
    return playingChannel(channel) != nullptr;
}

void FakeAudioMixer::setEffectsMasterVolume(int volume) {
    std::lock_guard<std::mutex> guard(lock);
    record("setEffectsMasterVolume " + number(volume));
    if (started) {
        effectsMasterVolume = std::clamp(volume, 0, MAX_VOLUME);
    }
}

int32_t FakeAudioMixer::openStream(const std::string& fileName, uint32_t mode) {
    std::lock_guard<std::mutex> guard(lock);
    record("openStream " + fileName + " " + number(mode));
    if (!started || failStreamOpen) {
        return 0;
    }
    const int32_t handle = nextHandle++;
    StreamState state;
    state.fileName = fileName;
    state.mode = mode;
    streams[handle] = state;
    return handle;
}

FakeAudioMixer::StreamState* FakeAudioMixer::openStreamState(int32_t stream) {
    auto found = streams.find(stream);
    return found != streams.end() && found->second.open ? &found->second : nullptr;
}

bool FakeAudioMixer::addSyncPoint(int32_t stream, uint32_t offset) {
    std::lock_guard<std::mutex> guard(lock);
    record("addSyncPoint " + number(stream) + " " + number(offset));
    StreamState* state = openStreamState(stream);
    if (!state) {
        return false;
    }
    state->syncPoints.push_back(offset);
    return true;
}

std::vector<uint32_t> FakeAudioMixer::syncPoints(int32_t stream) {
    std::lock_guard<std::mutex> guard(lock);
    record("syncPoints " + number(stream));
    StreamState* state = openStreamState(stream);
    return state ? state->syncPoints : std::vector<uint32_t>{};
}

int32_t FakeAudioMixer::playStream(int32_t stream, bool paused) {
    std::lock_guard<std::mutex> guard(lock);
    record("playStream " + number(stream) + (paused ? " paused" : ""));
    StreamState* state = openStreamState(stream);
    if (!state) {
        return NO_CHANNEL;
    }
    if (playingChannel(state->channel)) {
        return state->channel;
    }
    state->channel = nextHandle++;
    ChannelState channel;
    channel.stream = stream;
    channel.absolute = true;
    channel.paused = paused;
    noteHeard(channel);
    channels[state->channel] = channel;
    return state->channel;
}

bool FakeAudioMixer::setStreamPosition(int32_t stream, uint32_t position) {
    std::lock_guard<std::mutex> guard(lock);
    record("setStreamPosition " + number(stream) + " " + number(position));
    StreamState* state = openStreamState(stream);
    if (!state) {
        return false;
    }
    state->position = position;
    return true;
}

uint32_t FakeAudioMixer::streamPosition(int32_t stream) {
    std::lock_guard<std::mutex> guard(lock);
    record("streamPosition " + number(stream));
    StreamState* state = openStreamState(stream);
    return state ? state->position : 0;
}

bool FakeAudioMixer::stopStream(int32_t stream) {
    std::lock_guard<std::mutex> guard(lock);
    record("stopStream " + number(stream));
    StreamState* state = openStreamState(stream);
    if (!state || failStreamStop) {
        return false;
    }
    if (ChannelState* channel = playingChannel(state->channel)) {
        channel->playing = false;
    }
    state->position = 0;
    return true;
}

bool FakeAudioMixer::closeStream(int32_t stream) {
    std::lock_guard<std::mutex> guard(lock);
    record("closeStream " + number(stream));
    StreamState* state = openStreamState(stream);
    if (!state || failStreamClose) {
        return false;
    }
    if (ChannelState* channel = playingChannel(state->channel)) {
        channel->playing = false;
    }
    state->open = false;
    return true;
}

std::vector<std::string> FakeAudioMixer::takeCalls() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}
