#include "framework/os/TerminationSignals.h"

#include <SDL.h>
#include <signal.h>

#include <atomic>

namespace {

std::atomic<bool> pending{false};
std::atomic<bool> came{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onTerminationSignal(int) {
    came.store(true);
    pending.store(true);
}

}  // namespace

namespace terminationSignals {

void install(Ending ending) {
    // SDL's own handlers would turn the signal into a close request, which only asks.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = ending == Ending::QUIT_GAME ? &onTerminationSignal : SIG_DFL;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

bool take() {
    return pending.exchange(false);
}

bool requested() {
    return came.load();
}

}  // namespace terminationSignals
