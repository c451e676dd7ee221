#pragma once

// Test doubles for the scene graph and the modifier engine: live-object counting and a
// modifier that records its updates.

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/core/Modifier.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/nodes/ModifierFraction.h"

// Scene-graph objects of the test build that are alive now (Counted objects only).
inline int liveObjects = 0;

// T that counts itself in liveObjects while it exists.
template <class T>
class Counted : public T {
public:
    template <class... Args>
    requires std::is_constructible_v<T, Args...>
    explicit Counted(Args&&... args) : T(std::forward<Args>(args)...) { ++liveObjects; }
    ~Counted() override { --liveObjects; }
};

// Names of the modifiers in the order of their updates, for every probe that has a name.
inline std::vector<std::string> updateLog;

// A modifier that finishes after a set number of updates (never when negative), logs each
// update under its name and runs an optional action from inside its update.
class ProbeModifier : public Modifier {
public:
    explicit ProbeModifier(std::string probeName = std::string(), int32_t finishAfter = -1,
                           uint32_t probeFlags = 0) {
        setName(std::move(probeName));
        setFlags(probeFlags);
        this->finishAfter = finishAfter;
        ++liveObjects;
    }
    explicit ProbeModifier(PropertyNode*) : ProbeModifier("from definition") {}
    ~ProbeModifier() override { --liveObjects; }

    void update(int32_t elapsedMs) override {
        ++updates;
        totalMs += elapsedMs;
        if (!getName().empty()) {
            updateLog.push_back(getName());
        }
        if (finishAfter >= 0 && updates >= finishAfter) {
            finish();
        }
        if (action) {
            action(this);
        }
    }

    int32_t updates = 0;
    int32_t totalMs = 0;
    int32_t finishAfter = -1;
    std::function<void(ProbeModifier*)> action;
};

// A timed modifier that only steps, logging its updates.
class TimedProbe : public ModifierFraction {
public:
    TimedProbe(std::string probeName, int32_t duration, EasingFunction easing = nullptr)
        : ModifierFraction(duration, easing) {
        setName(std::move(probeName));
        ++liveObjects;
    }
    ~TimedProbe() override { --liveObjects; }

    void update(int32_t elapsedMs) override {
        updateLog.push_back(getName());
        step(elapsedMs);
    }
};

// Registers a create function in the process factory for the lifetime of the object.
class ScopedRegistration {
public:
    ScopedRegistration(std::string name, ObjectFactoryContainer::CreateFunction function)
        : name(std::move(name)) {
        ObjectFactoryContainer::instance()->add(this->name, function);
    }
    ~ScopedRegistration() { ObjectFactoryContainer::instance()->remove(name); }
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

private:
    std::string name;
};
