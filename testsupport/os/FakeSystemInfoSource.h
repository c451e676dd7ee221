#pragma once

#include "framework/os/SystemInfo.h"

// A system for tests: gather answers whatever the test put in `info`.
class FakeSystemInfoSource : public SystemInfoSource {
public:
    SystemInfo gather() override {
        ++gatherCount;
        return info;
    }

    SystemInfo info;
    int gatherCount = 0;
};
