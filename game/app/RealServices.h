#pragma once

#include <memory>

#include "framework/os/LinuxSystemInfoSource.h"
#include "framework/os/MessageBox.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/SystemClock.h"
#include "game/app/QuovelMahjongMain.h"

// The operating-system services the program runs on, wired into `services`: SDL's display (the
// caller's, which the start-up bench times), events, cursor, clipboard and mixer, the system
// clock, the system report and a file lock for the single instance. The game's listeners are
// installed too, so whatever runs the program on these runs the whole game: the program's main
// and the benches.
struct RealServices {
    // `headless`: the message box only writes to stderr (the benches; see createMessageBox).
    explicit RealServices(SdlDisplay& display, bool headless = false);

    SdlEventSource events;
    SdlCursor cursor;
    SdlClipboard clipboard;
    SystemClock clock;
    LinuxSystemInfoSource systemInfo;
    std::unique_ptr<MessageBox> messageBox;
    AppServices services;
};
