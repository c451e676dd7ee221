#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/os/AudioMixer.h"
#include "framework/platform/SoundStream.h"
#include "framework/platform/Task.h"

// Owns the sound device for the run: starts the mixer, keeps the effects and music volumes,
// mutes while the game window is inactive, and plays music in two slots so that a new piece
// cross-fades with the old one (the current slot fades out while the next one fades in, after
// an optional start delay). A task updated once per frame moves the fades.
//
// When the device cannot start, sound is unavailable: every operation here, of Sound and of
// SoundStream does nothing and returns its neutral result, and the game runs silent.
//
// Samples load on the resource loader thread while the main thread plays: the availability
// flag is atomic and the mixer is shared, so a load that overlaps shut-down finds either the
// device open or a closed mixer that ignores it.
class SoundManager : public Task {
    QUOVEL_TYPE(SoundManager)
public:
    // The open mode the music of a piece already playing is restarted with (loops).
    static constexpr uint32_t RESTART_STREAM_MODE = 0x132;

    // Starts `mixer` at `rate` Hz with `channels` sample channels and, whatever the outcome,
    // makes the manager and takes a reference to it. A null mixer runs silent.
    static SoundManager* init(int rate, int channels, std::shared_ptr<AudioMixer> mixer);
    static SoundManager* getInstance();
    // The manager while sound is available, else null.
    static SoundManager* availableInstance();
    // Drops the reference init took; the last reference closes the device.
    static void releaseInstance();

    // True only between a successful start and the manager's destruction. Any thread.
    static bool isSoundAvailable();
    // The mixer while sound is available, else null. Any thread; the mixer stays valid for as
    // long as the caller holds it.
    static std::shared_ptr<AudioMixer> getMixer();

    ~SoundManager() override;

    // The per-frame fade work.
    void update(int32_t elapsedMs) override;

    // Cross-fades to `stream`: the current piece fades out over `fadeMs`, the new one rises
    // from 0 to `level` over `fadeInMs`, starting from its beginning after `startDelayMs`. A
    // stream of the piece already playing only re-targets its fade.
    void playMusic(int32_t fadeMs, float level, int32_t fadeInMs, SoundStream* stream,
                   int32_t startDelayMs, uint32_t openMode);
    // A scene's music, the piece `key` of the "music" section once loaded: the piece playing
    // fades out over a second while this one rises over 100 ms after 600 ms, looping. Nothing
    // while sound is unavailable or the piece is not loaded.
    static void playSceneMusic(const std::string& key);
    // Opens (when needed) and plays `stream`; true at once when it is `previous`. True when it
    // got a channel.
    bool startStream(SoundStream* stream, SoundStream* previous, uint32_t openMode);
    void startFade(SoundStream* stream, float from, float to, int32_t durationMs);
    // Stores the volume (0..255) and applies it unless muted.
    void setStreamVolume(SoundStream* stream, int32_t volume);
    // The game's own mute (the pause); sound plays again only when neither it nor a lost
    // window focus holds it.
    void setMute(bool flag);
    // The window lost (true) or regained (false) the focus.
    void setFocusLost(bool lost);
    // Stops and closes the current stream, then swaps the current and next slots.
    void stopCurrentMusic();
    bool stopStream(SoundStream* stream);
    // Stops and closes both streams; the slots keep them.
    void stopMusic();
    // Ends a pending cross-fade at once, as its end would: the outgoing piece stops and the
    // incoming one becomes the current piece.
    void finishMusicChange();
    // Above 0: fades the music out and stops it when silent (false). 0: stops it now, keeping
    // its position for the next start (true when stopped).
    bool fadeOutMusic(int32_t durationMs);

    bool isMuted() const { return muted; }
    int32_t getEffectsVolume() const { return effectsVolume; }
    // Stores the effects volume (0..255) and gives it to the device unless muted.
    void setEffectsVolume(int32_t volume);
    int32_t getMusicVolume() const { return musicVolume; }
    // Stores the music volume (0..255); the streams take it when their volume is next applied.
    void setMusicVolume(int32_t volume);

    SoundStream* getCurrentStream() const { return current.get(); }
    SoundStream* getNextStream() const { return next.get(); }
    bool isChangePending() const { return changePending; }
    int32_t getStartDelay() const { return startDelay; }
    bool isFadingOut() const { return fadingOut; }
    bool isStopped() const { return stopped; }

private:
    explicit SoundManager(std::shared_ptr<AudioMixer> mixer);
    // The mixer while sound is available, else null.
    AudioMixer* activeMixer() const;
    // The stream's channel volume: its own volume and multiplier, the music volume and its fade.
    int32_t streamLevel(const SoundStream& stream) const;
    // Sets the volumes for the mute that the two holders give.
    void applyMute();
    // Moves the stream's fade level toward its target by `elapsedMs` steps and applies it.
    void moveFade(SoundStream* stream, int32_t elapsedMs);

    std::shared_ptr<AudioMixer> mixer;
    // Either of the two below.
    bool muted = false;
    bool muteHeld = false;
    bool focusLost = false;
    int32_t effectsVolume = AudioMixer::MAX_VOLUME;
    int32_t musicVolume = AudioMixer::MAX_VOLUME;
    RefHolder<SoundStream> current;
    RefHolder<SoundStream> next;
    bool changePending = false;
    int32_t startDelay = 0;
    bool fadingOut = false;
    bool stopped = false;
};
