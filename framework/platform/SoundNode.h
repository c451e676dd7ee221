#pragma once

#include <cstdint>

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Sound.h"

class PropertyNode;

// A scene node that plays a sound resource: widgets and scenes place it in their trees and
// play it on their events. Several users may share one playing sound (a looping sound stops
// when the last user stops it), a non-looping sound restarts no sooner than a minimum interval,
// and the pan may follow the node's place across the screen. Does nothing without a sound or
// while sound is unavailable.
class SoundNode : public GameNode {
    QUOVEL_TYPE(SoundNode)
public:
    // Keys: "sound" and "section" (the resource, found through the resource manager),
    // "looped", "volume", "panning", "screenpospanning", "panminx", "panmaxx", "panminvalue",
    // "panmaxvalue", "forcedrestart", "forcedstop", "maxusers", "minstartinterval".
    explicit SoundNode(PropertyNode* definition);
    // Plays `sound` at the volume its multiplier gives.
    explicit SoundNode(Sound* sound);
    // Stops the node's channel.
    ~SoundNode() override;

    // Starts the sound unless the users or the restart interval forbid it; either way counts
    // one more user. The channel, -1 without sound.
    virtual int32_t play(bool forcedRestart, int32_t volume, int32_t pan, bool loop);
    // Counts one user less (all of them when forced) and stops the channel when none is left;
    // true when the channel was stopped.
    virtual bool stop(bool forced);
    // The pan of the node's place: 0 at the left edge of the game window, 255 at its right.
    virtual int32_t computePan() const;
    // Keeps the pan within the node's limits, stores it and sets it on the channel.
    virtual void applyPan(int32_t newPan);
    void update(int32_t elapsedMs) override;
    // Milliseconds; 0 without sound.
    virtual uint32_t getLength();

    Sound* getSound() const { return sound.get(); }
    int32_t getChannel() const { return channel; }
    int32_t getUsers() const { return users; }
    bool isLooped() const { return looped; }
    bool isPlaying() const { return playing; }
    int32_t getVolume() const { return volume; }
    int32_t getPan() const { return pan; }
    bool getScreenPositionPanning() const { return screenPositionPanning; }
    int32_t getPanMinX() const { return panMinX; }
    int32_t getPanMaxX() const { return panMaxX; }
    int32_t getLowestPan() const { return lowestPan; }
    int32_t getHighestPan() const { return highestPan; }
    bool getForcedRestart() const { return forcedRestart; }
    bool getForcedStop() const { return forcedStop; }
    int32_t getMaxUsers() const { return maxUsers; }
    int32_t getRemainingTime() const { return remainingTime; }
    int32_t getMinStartInterval() const { return minStartInterval; }

private:
    void init(PropertyNode* definition);

    RefHolder<Sound> sound;
    int32_t channel = -1;
    bool looped = false;
    // Set when a play starts the sound, cleared when the node stops it.
    bool playing = false;
    int32_t users = 0;
    int32_t volume = 255;
    int32_t pan = 128;
    bool screenPositionPanning = false;
    // Read and kept; nothing uses them.
    int32_t panMinX = -1;
    int32_t panMaxX = -1;
    int32_t lowestPan = 0;
    int32_t highestPan = 255;
    bool forcedRestart = false;
    bool forcedStop = false;
    int32_t maxUsers = 1;
    int32_t remainingTime = 0;
    int32_t minStartInterval = 200;
};
