#pragma once

#include "framework/os/MessageBox.h"

// SDL's simple message box, for a session with a person at the screen. When SDL cannot show
// one the message goes to stderr instead, so it is never lost.
//
// In the game the box is shown by a child process (the program run again with the request as
// its arguments), while this one waits: a termination signal then takes the box away, waiting
// for its process at most a short grace (under a second), and the game ends as its quit does
// instead of waiting on the box. Once a
// termination signal has come, no box is shown: the message goes to stderr. The child ends with
// its parent, however the parent ends, and the box ends with the child, however the child ends.
class SdlMessageBox : public MessageBox {
public:
    bool show(const std::string& title, const std::string& text) override;
};

// For the program's entry: from now on boxes are shown by the program run again (see above).
// Only a program whose entry serves such requests may ask for it.
void showMessageBoxesInChildProcess();
// For the program's entry: when the arguments are a box's request, shows the box and gives the
// exit code of its process (0 when it was shown and closed); -1 for any other arguments.
int serveMessageBoxRequest(int argc, char** argv);
