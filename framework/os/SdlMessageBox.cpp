#include "framework/os/SdlMessageBox.h"

#include <SDL.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
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
    const pid_t child = fork();
    if (child == 0) {
        // A group of its own, so that the box's own helper process goes with it.
        setpgid(0, 0);
        fcntl(alive[0], F_SETFD, 0);
        execv(program, arguments);
        _exit(127);
    }
    // The write end is closed when the box is done, or by the system when the game ends.
    close(alive[0]);
    const FileDescriptor writeEnd(alive[1]);
    if (child < 0) {
        return showHere(title, text);
    }
    setpgid(child, child);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        if (done < 0 && errno != EINTR) {
            return false;
        }
        if (terminationSignals::requested()) {
            kill(-child, SIGTERM);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            ended = true;
            return false;
        }
        SDL_Delay(POLL_MS);
    }
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
