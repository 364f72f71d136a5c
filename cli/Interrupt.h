#pragma once

namespace veldrin::cli {

inline constexpr int kInterruptedExitCode = 130; // what shells report for a run ended by Ctrl-C
inline constexpr const char* kInterruptedMessage = "Interrupted";

// While it lives, Ctrl-C (SIGINT) and SIGTERM only ask the run to stop at its next model, so that it
// writes nothing more and leaves no index of models never written; a second signal ends the process
// at once, as it would without the guard. One guard at a time.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // True once a signal has arrived under this guard. Safe to poll from any thread.
    static bool requested();
};

} // namespace veldrin::cli
