#include "game/app/ProgramStart.h"

#include "framework/os/SdlMessageBox.h"
#include "framework/os/TerminationSignals.h"

int startGameProgram(int argc, char** argv) {
    // The program run again by itself to show a message box (see SdlMessageBox).
    if (const int boxShown = serveMessageBoxRequest(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    terminationSignals::install();
    showMessageBoxesInChildProcess();
    return -1;
}
