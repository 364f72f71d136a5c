#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>

namespace veldrin::cli {

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

struct sigaction previousInt, previousTerm;

extern "C" void onStopSignal(int) { stopRequested.store(true); }

} // namespace

InterruptGuard::InterruptGuard() {
    stopRequested.store(false);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // The handler is used once: the next signal takes the default action and ends the process.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptGuard::requested() { return stopRequested.load(); }

} // namespace veldrin::cli
