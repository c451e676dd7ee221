#pragma once

// Lets only one copy of the game run, and lets a second copy ask the running one to come
// forward before it ends.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;

    // Takes the lock for as long as this object lives. False only when another running copy
    // holds it (after a short wait for one that is quitting); a lock that cannot be made at
    // all does not stop the game.
    virtual bool tryAcquire() = 0;
    // Asks the copy that holds the lock to bring its window forward.
    virtual void signalOwner() = 0;
    // For the holder: true once for each request made since the last call.
    virtual bool takeRaiseRequest() = 0;
};
