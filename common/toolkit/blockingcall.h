#pragma once

namespace common {

// Marks a call that waits for something outside the program (a sound) while the window keeps
// painting. Timers don't tick inside such a call, so a tick never runs within another event.
class BlockingCall final {
public:
    BlockingCall() { ++s_depth; }
    ~BlockingCall() { --s_depth; }
    BlockingCall(const BlockingCall &) = delete;
    BlockingCall &operator=(const BlockingCall &) = delete;

    static bool active() { return s_depth > 0; }

private:
    static inline int s_depth = 0;
};

} // namespace common
