#include "framework/os/SdlMessageBox.h"

#include <SDL.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/os/PosixFiles.h"
#include "framework/os/StderrMessageBox.h"
#include "framework/os/TerminationSignals.h"

namespace {

constexpr const char* REQUEST = "--show-message-box";
constexpr uint32_t POLL_MS = 20;
// How long a box's process taken away by a termination signal is given to end before its group
// is killed, and how long after that the game still waits to reap it.
constexpr uint32_t GRACE_MS = 300;
constexpr uint32_t GRACE_STEP_MS = 5;
constexpr int TERMINATION_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};

bool childProcessBoxes = false;

bool showHere(const std::string& title, const std::string& text) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) ==
           0;
}

// Ends the box's whole group: the box and the helper process SDL shows it from.
void endGroup(int) {
    kill(0, SIGKILL);
}

// The box's process is given the read end of a pipe whose write end only the game holds: end of
// file means the game has gone, however it went. The system tells that by SIGIO rather than to a
// waiting thread: SDL forks to show the box, and a child forked beside a running thread can
// inherit a lock that thread held (the allocator's) and wait on it forever.
void endWithGame(int aliveFd) {
    // Only a process in a group of its own may end its whole group.
    if (aliveFd < 0 || getpgrp() != getpid()) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = endGroup;
    sigemptyset(&action.sa_mask);
    const int flags = fcntl(aliveFd, F_GETFL);
    if (flags < 0 || sigaction(SIGIO, &action, nullptr) != 0 ||
        fcntl(aliveFd, F_SETOWN, getpid()) != 0 ||
        fcntl(aliveFd, F_SETFL, flags | O_ASYNC | O_NONBLOCK) != 0) {
        return;
    }
    // The game may have gone before the signal was asked for.
    pollfd gone{aliveFd, POLLIN, 0};
    if (poll(&gone, 1, 0) > 0) {
        endGroup(SIGIO);
    }
}

// Whether the box's process has ended; it is then reaped, its wait status in `status`. Its group
// is killed first: SDL shows the box from a helper process of that group, which would keep the
// box on the screen when the box's process was killed from outside. The ended process, not yet
// reaped, holds its number meanwhile, so that no other group can take it.
bool reaped(pid_t child, int& status) {
    siginfo_t info{};
    if (waitid(P_PID, child, &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        if (errno == EINTR) {
            return false;
        }
        status = W_EXITCODE(127, 0);  // not a child of ours: nothing to wait for
        return true;
    }
    if (info.si_pid != child) {
        return false;
    }
    kill(-child, SIGKILL);
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

// Takes the box away at a termination signal: its group is asked to end, and killed after a
// short grace. The game never waits on it for longer; a process that does not even end by
// SIGKILL is left to the system.
void takeAway(pid_t child) {
    kill(-child, SIGTERM);
    int status = 0;
    for (uint32_t waited = 0; !reaped(child, status); waited += GRACE_STEP_MS) {
        if (waited == GRACE_MS) {
            kill(-child, SIGKILL);
        } else if (waited >= 2 * GRACE_MS) {
            return;
        }
        SDL_Delay(GRACE_STEP_MS);
    }
}

// True when the box was shown and closed; false when it could not be shown, or was taken away
// by a termination signal (`ended` set).
bool showInChild(const std::string& title, const std::string& text, bool& ended) {
    int alive[2];
    if (pipe2(alive, O_CLOEXEC) != 0) {
        return showHere(title, text);
    }
    char program[] = "/proc/self/exe";
    std::string request = REQUEST;
    std::string aliveArgument = std::to_string(alive[0]);
    std::string titleArgument = title;
    std::string textArgument = text;
    char* arguments[] = {
        program, request.data(), aliveArgument.data(), titleArgument.data(), textArgument.data(),
        nullptr};
    // Until it restores the default actions, the child carries the game's own handlers: a
    // termination signal sent to its group then would be taken by them and lost, and the box
    // would wait for a person. The child is born with those signals blocked, and takes them by
    // their default actions once it unblocks them.
    sigset_t termination, previous;
    sigemptyset(&termination);
    for (const int signal : TERMINATION_SIGNALS) {
        sigaddset(&termination, signal);
    }
    pthread_sigmask(SIG_BLOCK, &termination, &previous);
    const pid_t child = fork();
    if (child == 0) {
        // A group of its own, so that the box's own helper process goes with it.
        setpgid(0, 0);
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        for (const int signal : TERMINATION_SIGNALS) {
            sigaction(signal, &byDefault, nullptr);
        }
        sigprocmask(SIG_UNBLOCK, &termination, nullptr);
        fcntl(alive[0], F_SETFD, 0);
        execv(program, arguments);
        _exit(127);
    }
    if (child > 0) {
        setpgid(child, child);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    // The write end is closed when the box is done, or by the system when the game ends.
    close(alive[0]);
    const FileDescriptor writeEnd(alive[1]);
    if (child < 0) {
        return showHere(title, text);
    }
    int status = 0;
    while (!reaped(child, status)) {
        if (terminationSignals::requested()) {
            takeAway(child);
            ended = true;
            return false;
        }
        SDL_Delay(POLL_MS);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool SdlMessageBox::show(const std::string& title, const std::string& text) {
    bool ended = terminationSignals::requested();
    if (!ended && (childProcessBoxes ? showInChild(title, text, ended) : showHere(title, text))) {
        return false;
    }
    return StderrMessageBox().show(title, text);
}

void showMessageBoxesInChildProcess() {
    childProcessBoxes = true;
}

int serveMessageBoxRequest(int argc, char** argv) {
    if (argc != 5 || std::strcmp(argv[1], REQUEST) != 0) {
        return -1;
    }
    // The parent's termination signal ends this process by the default action.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A box whose game has gone (killed, crashed) would stand alone on the screen: it goes with
    // the game, and so does its group (SDL shows an X box from a process of its own).
    char* end = nullptr;
    const long aliveFd = std::strtol(argv[2], &end, 10);
    endWithGame(*end == '\0' && aliveFd >= 0 && aliveFd < 65536 ? static_cast<int>(aliveFd) : -1);
    return showHere(argv[3], argv[4]) ? 0 : 1;
}
