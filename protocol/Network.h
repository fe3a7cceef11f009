// The two choices that shape a multiple connection: how the master switches
// between its slaves, and how many slaves it has. The values are those of the
// windows' radio groups (first button 0).
#pragma once

namespace nw {

enum class ConnectionMode {
    MultiDrop = 0,     // S53 = 1
    NodeSwitching = 1, // S53 = 2
};

enum class NetworkSize {
    OneToTwo = 0,
    OneToThree = 1,
    OneToFour = 2,
};

inline constexpr int SlaveCount(NetworkSize size) {
    return static_cast<int>(size) + 2;
}

} // namespace nw
