#pragma once

#include <cstdint>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"

// A unit of per-frame work: started once, then updated every frame with the elapsed
// milliseconds while it is active. Finishing is a request that the owning manager carries out
// at the task's next turn, appending the follow-up task in its place.
class Task : public BaseObject {
    QUOVEL_TYPE(Task)
public:
    Task() = default;
    ~Task() override = default;

    // Called once, before the first update.
    virtual void start() {}
    virtual void update(int32_t elapsedMs) { (void)elapsedMs; }
    // Called when the task leaves a manager.
    virtual void stop() {}
    virtual void setActive(bool value) { active = value; }

    bool isActive() const { return active; }
    bool isFinished() const { return finished; }
    void finish() { finished = true; }
    bool isRegistered() const { return registered; }
    bool isStarted() const { return started; }

    // The task that takes this one's place when it finishes (referenced).
    void setFollowUp(Task* task) { followUp = task; }

private:
    friend class TaskManager;

    bool active = true;
    bool finished = false;
    bool registered = false;
    RefHolder<Task> followUp;
    bool started = false;
};
