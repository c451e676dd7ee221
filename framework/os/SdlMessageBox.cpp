#include "framework/os/SdlMessageBox.h"

#include <SDL.h>
#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "framework/os/SdlEventSource.h"
#include "framework/os/StderrMessageBox.h"

namespace {

constexpr const char* REQUEST = "--show-message-box";
constexpr uint32_t POLL_MS = 20;

bool childProcessBoxes = false;

bool showHere(const std::string& title, const std::string& text) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) ==
           0;
}

// True when the box was shown and closed; false when it could not be shown, or was taken away
// by a termination signal (`ended` set).
bool showInChild(const std::string& title, const std::string& text, bool& ended) {
    char program[] = "/proc/self/exe";
    std::string request = REQUEST;
    std::string titleArgument = title;
    std::string textArgument = text;
    char* arguments[] = {program, request.data(), titleArgument.data(), textArgument.data(),
                         nullptr};
    const pid_t child = fork();
    if (child == 0) {
        // A group of its own, so that the box's own helper process goes with it.
        setpgid(0, 0);
        execv(program, arguments);
        _exit(127);
    }
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
        if (SdlEventSource::terminationPending()) {
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

void SdlMessageBox::show(const std::string& title, const std::string& text) {
    bool ended = SdlEventSource::terminationPending();
    if (!ended && (childProcessBoxes ? showInChild(title, text, ended) : showHere(title, text))) {
        return;
    }
    StderrMessageBox().show(title, text);
}

void showMessageBoxesInChildProcess() {
    childProcessBoxes = true;
}

int serveMessageBoxRequest(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], REQUEST) != 0) {
        return -1;
    }
    return showHere(argv[2], argv[3]) ? 0 : 1;
}
