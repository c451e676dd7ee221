#pragma once

// Requests to end from outside: SIGTERM (a logout, `kill`), SIGINT (Ctrl+C) and SIGHUP (a closed
// terminal, a dropped remote login). The program installs its handlers first thing in `main`,
// before SDL starts, and tells SDL to install none of its own: a signal at any moment of the run
// then ends the game as its own quit does. A second signal ends the process at once.
namespace terminationSignals {

// Installs the handlers for the rest of the process's life; call once, before SDL starts.
void install();
// Whether a signal came that the message loop has not taken yet; takes it.
bool take();
// Whether any signal came since `install`: from then on no message box waits for a person.
bool requested();

}  // namespace terminationSignals
