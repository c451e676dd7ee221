#include "game/app/ProgramStart.h"

#include "framework/os/SdlMessageBox.h"

int startGameProgram(int argc, char** argv, terminationSignals::Ending ending) {
    // The program run again by itself to show a message box (see SdlMessageBox).
    if (const int boxShown = serveMessageBoxRequest(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    terminationSignals::install(ending);
    showMessageBoxesInChildProcess();
    return -1;
}
