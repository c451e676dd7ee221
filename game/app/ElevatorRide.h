#pragma once

#include <cstdint>
#include <vector>

// The elevator's travel state that other scenes set: the floor the cabin stands at (0 is the
// lobby), the floors it is still to stop at, and the floor a ride is heading for (-1: none).
struct ElevatorRide {
    int32_t currentFloor = 0;
    std::vector<int32_t> targetFloors;
    int32_t pendingFloor = -1;

    // Back at the lobby with no ride planned.
    void reset() {
        targetFloors.clear();
        pendingFloor = -1;
        currentFloor = 0;
    }
};

// The one ride of the program.
inline ElevatorRide& elevatorRide() {
    static ElevatorRide ride;
    return ride;
}
